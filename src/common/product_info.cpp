#include "common/product_info.h"

namespace quelm {

namespace {

std::string VersionNumber(const ProductVersion& v) {
    return std::to_string(v.major) + "." + std::to_string(v.minor) + "." +
           std::to_string(v.revision);
}

}  // namespace

std::string VersionLabel(const ProductVersion& v) {
    return "Version " + VersionNumber(v);
}

std::string VersionLine(std::string_view program, const ProductVersion& v) {
    return std::string(program) + " " + VersionNumber(v);
}

}  // namespace quelm
