#include "common/status_model.h"

#include <stdexcept>

namespace quelm {

namespace {
std::size_t Index(int panel) {
    if (panel < 1 || panel > StatusModel::kPanels) {
        throw std::out_of_range("status panel " + std::to_string(panel));
    }
    return static_cast<std::size_t>(panel - 1);
}
}  // namespace

const std::string& StatusModel::Panel(int panel) const {
    return panels_[Index(panel)];
}

void StatusModel::SetPanel(int panel, std::string_view text) {
    auto& slot = panels_[Index(panel)];
    if (slot != text) {
        slot = text;
        Changed();
    }
}

void StatusModel::SetComStat(int stat) {
    if (stat >= 0 && stat <= 3) {
        SetIndicator(static_cast<ComStat>(stat));
    }
}

void StatusModel::SetIndicator(ComStat stat) {
    if (indicator_ != stat) {
        indicator_ = stat;
        Changed();
    }
}

void StatusModel::SetConnectCaption(std::string_view caption) {
    if (connectCaption_ != caption) {
        connectCaption_ = caption;
        Changed();
    }
}

void StatusModel::Changed() {
    if (onChange) {
        onChange();
    }
}

}  // namespace quelm
