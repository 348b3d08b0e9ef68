// The self-test window: starts the engine computer's key-on self test and shows the lamp, the
// digits being flashed and the list of trouble codes received.
#pragma once

#include <QWidget>
#include <functional>

#include "common/runtime.h"
#include "tools/self_test.h"
#include "tools/self_test_device.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace quelm {

class LampWidget;

inline const QColor kLampLit{255, 0, 0};
inline const QColor kLampDark{128, 128, 128};

class SelfTester : public QWidget {
    Q_OBJECT
  public:
    SelfTester(SelfTestDevice& device, Runtime& rt, QWidget* parent = nullptr);

    // Provided by the main window: stops a running receive loop so the two never poll the port
    // in turn. Returns true when a loop was running and has been told to stop.
    std::function<bool()> stopReceiveLoop;

    // Runs the whole test inside the click, yielding through the runtime.
    void STGo_Click();
    void STStop_Click();

  protected:
    // Closing the window while a test runs stops the test.
    void closeEvent(QCloseEvent* event) override;

  private:
    SelfTestObserver MakeObserver();

    SelfTest test_;
    QPlainTextEdit* codeList_;
    QPushButton* go_;
    QPushButton* stop_;
    QLabel* digits_[3];
    LampWidget* lamp_;
    QLabel* status_;
};

}  // namespace quelm
