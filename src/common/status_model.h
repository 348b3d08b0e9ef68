// The link's observable state: the status bar panels, the link indicator and the Connect
// caption. The link routines write and read it; the main window mirrors it; the command-line
// recorder prints it.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>

#include "common/status_texts.h"

namespace quelm {

// Link indicator states of SetComStat.
enum class ComStat { Grey = 0, Green = 1, Yellow = 2, Red = 3 };

class StatusModel {
  public:
    static constexpr int kPanels = 5;

    // Panels are numbered 1..5 as on the status bar.
    const std::string& Panel(int panel) const;
    void SetPanel(int panel, std::string_view text);

    ComStat Indicator() const { return indicator_; }
    // Any code other than 0..3 leaves the indicator unchanged.
    void SetComStat(int stat);
    void SetIndicator(ComStat stat);

    const std::string& ConnectCaption() const { return connectCaption_; }
    void SetConnectCaption(std::string_view caption);

    // Called after every change; the window repaints, the recorder prints.
    std::function<void()> onChange;

  private:
    void Changed();
    std::array<std::string, kPanels> panels_{};
    ComStat indicator_ = ComStat::Grey;
    std::string connectCaption_{status_text::kConnectCaption};
};

}  // namespace quelm
