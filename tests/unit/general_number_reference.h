// The slow reference for the general number format: the C library's %G in the "C" locale, then
// the zero before the point dropped and a negative zero written as "0". The unit tests and the
// fuzz target both hold the fast writer to it.
#pragma once

#include <cstdio>
#include <string>

namespace quelm::test {

inline std::string GeneralNumberReference(double value, int digits) {
    char text[128];
    std::snprintf(text, sizeof text, "%.*G", digits, value);
    std::string s = text;
    if (s.rfind("0.", 0) == 0) {
        s.erase(0, 1);
    } else if (s.rfind("-0.", 0) == 0) {
        s.erase(1, 1);
    } else if (s == "-0") {
        s = "0";
    }
    return s;
}

}  // namespace quelm::test
