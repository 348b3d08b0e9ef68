#include "common/com_port_map.h"

#include "common/number_text.h"

namespace quelm {

namespace {
bool InRange(int comPort) {
    return comPort >= 1 && comPort <= ComPortMap::kPorts;
}
}  // namespace

int ComPortNumber(std::string_view value) {
    // Compared as a double first: converting one outside the range of int is undefined.
    const double number = LenientNumber(value);
    return number >= 1 && number < ComPortMap::kPorts + 1 ? static_cast<int>(number) : 0;
}

std::string ComPortMap::DefaultPath(int comPort) {
    return InRange(comPort) ? "/dev/ttyS" + std::to_string(comPort - 1) : std::string();
}

std::string ComPortMap::DevicePath(int comPort) const {
    if (!InRange(comPort)) {
        return {};
    }
    const auto at = static_cast<std::size_t>(comPort - 1);
    if (!session_[at].empty()) {
        return session_[at];
    }
    return overrides_[at].empty() ? DefaultPath(comPort) : overrides_[at];
}

bool ComPortMap::SetOverride(int comPort, std::string device) {
    if (!InRange(comPort)) {
        return false;
    }
    overrides_[static_cast<std::size_t>(comPort - 1)] = std::move(device);
    session_[static_cast<std::size_t>(comPort - 1)].clear();
    return true;
}

bool ComPortMap::SetSessionDevice(int comPort, std::string device) {
    if (!InRange(comPort)) {
        return false;
    }
    session_[static_cast<std::size_t>(comPort - 1)] = std::move(device);
    return true;
}

std::string ComPortMap::KeptDevice(int comPort) const {
    return InRange(comPort) ? overrides_[static_cast<std::size_t>(comPort - 1)] : std::string();
}

bool ComPortMap::HasOverride(int comPort) const {
    return !KeptDevice(comPort).empty();
}

}  // namespace quelm
