// "Communications Setup": which COM port and the highest line rate the rate negotiation may
// use, and which device each COM number opens. Apply stores the choice and asks a running link
// to reconnect with it.
#pragma once

#include <QWidget>
#include <array>

class QLabel;
class QLineEdit;
class QRadioButton;

namespace quelm {

class ComPortMap;
class SettingsFile;
struct LinkContext;

class ComSetup : public QWidget {
    Q_OBJECT
  public:
    // The rate options, in the order Apply tests them, and the texts they select.
    static constexpr std::array<const char*, 5> kRateNames{"r9600", "r19200", "r38400", "r57600",
                                                           "r115000"};
    static constexpr std::array<const char*, 5> kRates{"9600", "19200", "38400", "57600", "115200"};
    // Shown when Apply is pressed while no port is configured or chosen.
    static constexpr const char* kChoosePortHint = "Choose the Com port the Quelm is connected to.";

    // `portMap` is the device map the link opens ports through; the window edits it.
    ComSetup(LinkContext& link, ComPortMap& portMap, SettingsFile& settings,
             QWidget* parent = nullptr);

    // Selects the port and rate options from the settings file and shows the device of each
    // COM number. Runs when the window is first shown and again after it has been closed.
    void LoadFromSettings();
    // Takes the choices over (no selection leaves a value as it was), hides the window, sets
    // status panel 1 to "COM Reset" and writes COMPORT and MAXBAUDRATE. While no port is
    // configured, Apply without one only shows a hint and the window stays open.
    void ApplyCom_Click();

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    LinkContext& link_;
    ComPortMap& portMap_;
    SettingsFile& settings_;
    std::array<QRadioButton*, 4> ports_{};
    std::array<QLineEdit*, 4> devices_{};
    std::array<QRadioButton*, 5> rates_{};
    QLabel* hint_ = nullptr;
    bool loaded_ = false;
};

}  // namespace quelm
