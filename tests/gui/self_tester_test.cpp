#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>
#include <algorithm>
#include <optional>

#include "../unit/fake_flashing_device.h"
#include "fake_app_hub.h"
#include "modal_catcher.h"
#include "tools/gui/lamp_widget.h"
#include "tools/gui/self_tester.h"

using namespace quelm;
using quelm::testing::Child;

namespace {

// The window on a virtual clock and a device that, when it flashes, shows code 11 then stays lit;
// otherwise the light never comes on. Message boxes are answered OK.
struct Rig {
    explicit Rig(bool flashes) {
        if (flashes) {
            device.SetLit({{8.0, 8.5}, {11.0, 11.5}, {16.0, 16.5}, {24.0, 1e9}});
        }
    }
    QPushButton* Button(const char* name) { return Child<QPushButton>(w, name); }
    QString Text(const char* name) { return Child<QLabel>(w, name)->text(); }
    QString Digits() { return Text("D1") + Text("D2") + Text("D3"); }
    QString Codes() { return Child<QPlainTextEdit>(w, "CodeList")->toPlainText(); }

    quelm::testing::FakeHub hub{"Quelm.ini"};
    quelm::testing::WindowRuntime& rt = hub.rt;
    FlashingDevice device{rt};
    SelfTester w{device, rt, hub.ops};
    ModalCatcher catcher;
};

}  // namespace

class SelfTesterTest : public QObject {
    Q_OBJECT
  private slots:
    void startRunsTheTestAndStopReenablesStart() {
        Rig r(true);
        r.w.show();
        bool sawRed = false;
        r.rt.onYield = [&] {
            sawRed = sawRed || Child<LampWidget>(r.w, "MIL")->color() == QColor(255, 0, 0);
        };
        r.Button("STGo")->click();

        QTRY_COMPARE(r.Text("Status"), QString("Self Test Complete"));
        QCOMPARE(r.catcher.texts,
                 QStringList{"Turn off ignition, wait 3 seconds, turn on ignition, and click OK."});
        QCOMPARE(r.Codes(), QString(" 11:System Pass"));
        QCOMPARE(r.Digits(), QString("100"));  // the light left on began another code
        QVERIFY(sawRed);
        QCOMPARE(r.device.sent.front(), 'i');
        QCOMPARE(r.device.sent.back(), 'j');
        // Complete: Start stays disabled until Stop is clicked.
        QVERIFY(!r.Button("STGo")->isEnabled());
        QVERIFY(r.Button("STStop")->isEnabled());
        r.Button("STStop")->click();
        QVERIFY(r.Button("STGo")->isEnabled());
        QVERIFY(r.Button("STStop")->isEnabled());
    }

    void closingTheWindowActsAsStop() {
        Rig r(false);
        r.w.show();
        const double start = r.rt.Now();
        r.rt.onYield = [&] {
            if (r.w.isVisible() && r.rt.Now() - start > 20) {
                r.w.close();
            }
        };
        r.Button("STGo")->click();

        QTRY_COMPARE(r.Text("Status"), QString("Self Test Complete"));
        QVERIFY(r.rt.Now() - start < 21);
        QVERIFY(r.Button("STGo")->isEnabled());
        QCOMPARE(std::count(r.device.sent.begin(), r.device.sent.end(), 'j'), 2);
    }

    // The receive loop is told to stop at Start; the test connects only once it has ended.
    void startStopsARunningReceiveLoopAndWaitsForIt() {
        Rig r(true);
        int stops = 0;
        std::optional<OperationRecord::Running> loop{
            r.hub.ops.Begin(LongOperation::Monitoring, [&] { ++stops; })};
        r.Button("STGo")->click();
        QCOMPARE(stops, 1);
        QTRY_COMPARE(r.catcher.texts.size(), 2);
        QVERIFY(r.catcher.texts[0].startsWith("Monitoring has been stopped"));
        QVERIFY(r.catcher.texts[1].startsWith("Turn off ignition"));
        QTest::qWait(50);
        QVERIFY(r.device.sent.empty());
        loop.reset();
        QTRY_COMPARE(r.Text("Status"), QString("Self Test Complete"));

        r.Button("STStop")->click();
        r.Button("STGo")->click();  // no loop now: no notice
        QTRY_COMPARE(r.catcher.texts.size(), 3);
        QCOMPARE(stops, 1);
    }
};

QTEST_MAIN(SelfTesterTest)
#include "self_tester_test.moc"
