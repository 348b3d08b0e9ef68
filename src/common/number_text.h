// Numbers to and from text the way the settings file, the windows and the CSV export write them.
#pragma once

#include <string>
#include <string_view>

namespace quelm {

// Lenient parse: skips leading blanks, reads an optional sign, digits and at most one "." and
// stops at the first other character. Text that does not start with a number gives 0.
double LenientNumber(std::string_view text);

// The general decimal form: "." as decimal point, no zero before the point below 1 (".5",
// "-.25"), whole numbers without a point, at most `digits` significant digits, exponent form
// ("1.5E+07", "1E-05") only where the plain form needs it.
// `digits` is clamped to 1..17; 7 suits single-precision values, 15 doubles.
std::string GeneralNumber(double value, int digits);

// The longest text AppendGeneralNumber writes ("-1.2345678901234567E-308" and the like).
inline constexpr int kMaxGeneralNumberChars = 32;

// GeneralNumber without allocation, for bulk writers such as the CSV export: writes the text at
// `out` (room for kMaxGeneralNumberChars needed, no terminating NUL) and returns its end.
char* AppendGeneralNumber(char* out, double value, int digits);

// The text of a number that is read back (dialog fields, the settings file): plain decimal with
// the fewest digits that read back to the same double through LenientNumber, never an exponent
// (which LenientNumber would stop at), no zero before the point below 1: "19", "1.05", ".00001",
// "1000000000000000". No leading blank.
std::string PlainNumber(double value);

// The print conversion: PlainNumber with one leading blank when not negative (" 8", "-3").
std::string PrintNumber(double value);

}  // namespace quelm
