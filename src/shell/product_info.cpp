#include "shell/product_info.h"

namespace quelm {

std::string VersionLabel(const ProductVersion& v) {
    return "Version " + std::to_string(v.major) + "." + std::to_string(v.minor) + "." +
           std::to_string(v.revision);
}

}  // namespace quelm
