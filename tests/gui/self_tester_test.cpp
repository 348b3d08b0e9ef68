#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QtTest>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "common/runtime.h"
#include "modal_catcher.h"
#include "tools/gui/lamp_widget.h"
#include "tools/gui/self_tester.h"

using namespace quelm;

namespace {

// A virtual clock that also runs the window's pending events, like the dashboard's runtime.
class WindowRuntime : public VirtualRuntime {
  public:
    void Yield() override {
        VirtualRuntime::Yield();
        QCoreApplication::processEvents();
        if (onYield) {
            onYield();
        }
    }
    std::function<void()> onYield;
};

// Flashes 11 after the start wait, closes it with a last flash and a long dark gap, then
// stays lit. With `flashes` false the light never comes on.
class FakeDevice : public SelfTestDevice {
  public:
    FakeDevice(Runtime& rt, bool flashes) : rt_(rt) {
        if (flashes) {
            lit_ = {{8.0, 8.5}, {11.0, 11.5}, {16.0, 16.5}, {24.0, 1e9}};
        }
    }
    void Connect() override {}
    void Send(char c) override {
        sent += c;
        if (c == 'i') {
            begunAt_ = rt_.Now();
        }
        if (c == 'h') {
            reply_ = LitNow() ? "h0" : "h1";
        }
    }
    std::string ReadReply() override { return std::exchange(reply_, {}); }
    bool LitNow() const {
        const double t = rt_.Now() - begunAt_;
        for (auto [from, to] : lit_) {
            if (t >= from && t < to) {
                return true;
            }
        }
        return false;
    }
    std::string sent;

  private:
    Runtime& rt_;
    double begunAt_ = 1e18;
    std::vector<std::pair<double, double>> lit_;
    std::string reply_;
};

template <typename T>
T* Child(QWidget& w, const char* name) {
    auto* child = w.findChild<T*>(name);
    if (!child) {
        qFatal("no control %s", name);
    }
    return child;
}

QString Digits(SelfTester& w) {
    return Child<QLabel>(w, "D1")->text() + Child<QLabel>(w, "D2")->text() +
           Child<QLabel>(w, "D3")->text();
}

}  // namespace

class SelfTesterTest : public QObject {
    Q_OBJECT
  private slots:
    void opensIdle() {
        WindowRuntime rt;
        FakeDevice device(rt, false);
        SelfTester w(device, rt);
        QCOMPARE(w.windowTitle(), QString("Self Test Tool"));
        QVERIFY(w.windowFlags().testFlag(Qt::Tool));
        QCOMPARE(Child<QPushButton>(w, "STGo")->text(), QString("Start Self Test"));
        QVERIFY(Child<QPushButton>(w, "STGo")->isEnabled());
        QCOMPARE(Child<QPushButton>(w, "STStop")->text(), QString("Stop Self Test"));
        QVERIFY(!Child<QPushButton>(w, "STStop")->isEnabled());
        QCOMPARE(Digits(w), QString("000"));
        const QLabel* d1 = Child<QLabel>(w, "D1");
        QVERIFY(d1->font().bold());
        QCOMPARE(d1->font().pointSize(), 18);
        QCOMPARE(d1->font().family(), QString("Verdana"));
        QCOMPARE(Child<QLabel>(w, "Label2")->text(), QString("Check Engine Light"));
        QCOMPARE(Child<LampWidget>(w, "MIL")->color(), QColor(128, 128, 128));
        QCOMPARE(Child<QLabel>(w, "Status")->text(),
                 QString("Close all other applications, and click Start Self Test to begin."));
        auto* list = Child<QPlainTextEdit>(w, "CodeList");
        QVERIFY(list->isReadOnly());
        QVERIFY(list->toPlainText().isEmpty());
        QCOMPARE(list->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QCOMPARE(list->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        w.show();
        QCOMPARE(w.minimumSize(), w.maximumSize());
    }

    void startRunsTheTestAndStopReenablesStart() {
        WindowRuntime rt;
        FakeDevice device(rt, true);
        SelfTester w(device, rt);
        w.show();
        bool sawRed = false;
        rt.onYield = [&] {
            sawRed = sawRed || Child<LampWidget>(w, "MIL")->color() == QColor(255, 0, 0);
        };
        ModalCatcher catcher;
        Child<QPushButton>(w, "STGo")->click();

        QCOMPARE(catcher.texts,
                 QStringList{"Turn off ignition, wait 3 seconds, turn on ignition, and click OK."});
        QCOMPARE(Child<QPlainTextEdit>(w, "CodeList")->toPlainText(), QString(" 11:System Pass"));
        QCOMPARE(Child<QLabel>(w, "Status")->text(), QString("Self Test Complete"));
        QVERIFY(sawRed);
        QCOMPARE(device.sent.front(), 'i');
        QCOMPARE(device.sent.back(), 'j');
        // Complete: Start stays disabled until Stop is clicked.
        QVERIFY(!Child<QPushButton>(w, "STGo")->isEnabled());
        QVERIFY(Child<QPushButton>(w, "STStop")->isEnabled());
        Child<QPushButton>(w, "STStop")->click();
        QVERIFY(Child<QPushButton>(w, "STGo")->isEnabled());
        QVERIFY(Child<QPushButton>(w, "STStop")->isEnabled());

        // A second start clears the list but leaves the digits until the first new digit.
        const QString before = Digits(w);
        QString digitsAtFirstPoll;
        rt.onYield = [&] {
            if (digitsAtFirstPoll.isEmpty() && device.sent.back() == 'h') {
                digitsAtFirstPoll = Digits(w);
                QVERIFY(Child<QPlainTextEdit>(w, "CodeList")->toPlainText().isEmpty());
            }
        };
        Child<QPushButton>(w, "STGo")->click();
        QCOMPARE(digitsAtFirstPoll, before);
        QCOMPARE(Child<QPlainTextEdit>(w, "CodeList")->toPlainText(), QString(" 11:System Pass"));
    }

    void closingTheWindowActsAsStop() {
        WindowRuntime rt;
        FakeDevice device(rt, false);
        SelfTester w(device, rt);
        w.show();
        const double start = rt.Now();
        rt.onYield = [&] {
            if (w.isVisible() && rt.Now() - start > 20) {
                w.close();
            }
        };
        ModalCatcher catcher;
        Child<QPushButton>(w, "STGo")->click();  // returns only when the run has ended

        QVERIFY(rt.Now() - start < 21);
        QCOMPARE(Child<QLabel>(w, "Status")->text(), QString("Self Test Complete"));
        QVERIFY(Child<QPushButton>(w, "STGo")->isEnabled());
        QCOMPARE(std::count(device.sent.begin(), device.sent.end(), 'j'), 2);
    }

    void startStopsARunningReceiveLoopFirst() {
        WindowRuntime rt;
        FakeDevice device(rt, true);
        SelfTester w(device, rt);
        bool loopRunning = true;
        int asked = 0;
        w.stopReceiveLoop = [&] {
            ++asked;
            return std::exchange(loopRunning, false);
        };
        ModalCatcher catcher;
        Child<QPushButton>(w, "STGo")->click();
        QCOMPARE(asked, 1);
        QVERIFY(!loopRunning);
        QCOMPARE(catcher.texts.size(), 2);
        QVERIFY(catcher.texts[0].startsWith("Monitoring has been stopped"));
        QVERIFY(catcher.texts[1].startsWith("Turn off ignition"));

        Child<QPushButton>(w, "STStop")->click();
        Child<QPushButton>(w, "STGo")->click();  // no loop now: no notice
        QCOMPARE(asked, 2);
        QCOMPARE(catcher.texts.size(), 3);
    }
};

QTEST_MAIN(SelfTesterTest)
#include "self_tester_test.moc"
