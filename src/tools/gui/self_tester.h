// The self-test window: starts the engine computer's key-on self test and shows the lamp, the
// digits being flashed and the list of trouble codes received.
#pragma once

#include <QWidget>
#include <functional>

#include "common/long_operation.h"
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
    // `operations` is the program's record of its long operation: a receive loop or a playback
    // is stopped before the test, which then waits for it to end; an export refuses it.
    SelfTester(SelfTestDevice& device, Runtime& rt, OperationRecord& operations,
               QWidget* parent = nullptr);

    // Asks for the ignition cycle, then runs the whole test, yielding through the runtime.
    void STGo_Click();
    void STStop_Click();

  protected:
    // Closing the window while a test runs stops the test.
    void closeEvent(QCloseEvent* event) override;

  private:
    SelfTestObserver MakeObserver();
    void RunTest();

    OperationRecord& operations_;
    SelfTest test_;
    // Start was clicked and the test has not begun: its boxes are open, or the link unwinds.
    bool startPending_ = false;
    QPlainTextEdit* codeList_;
    QPushButton* go_;
    QPushButton* stop_;
    QLabel* digits_[3];
    LampWidget* lamp_;
    QLabel* status_;
};

}  // namespace quelm
