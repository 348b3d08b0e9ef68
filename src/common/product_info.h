// Who we are: the names and the version the splash and about windows show.
#pragma once

#include <string>
#include <string_view>

namespace quelm {

inline constexpr const char* kProductName = "Quelm";
inline constexpr const char* kMakerName = "Orvanta";
inline constexpr const char* kWebAddress = "https://www.orvanta.example/";

struct ProductVersion {
    int major = QUELM_VERSION_MAJOR;
    int minor = QUELM_VERSION_MINOR;
    int revision = QUELM_VERSION_PATCH;
};

// "Version 1.4.1": each part as a plain decimal number (the About box).
std::string VersionLabel(const ProductVersion& v = {});

// What `--version` prints, the same in every program: "quelm-dash 1.4.1".
std::string VersionLine(std::string_view program, const ProductVersion& v = {});

}  // namespace quelm
