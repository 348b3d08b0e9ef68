// The dashboard against the in-process device simulator: the report of a port error, the
// start-up wait for a port, a full connection to "Ready @ 115200" with moving gauges and markers
// dropped on a scope, the stop on a second Connect, and closing the main window during the
// start-up wait, which ends the program. (How the connection and the receive loop unwind is their
// virtual-clock tests'.)
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <fstream>

#include "common/status_texts.h"
#include "files/gui/logging_window.h"
#include "link/gui/com_setup.h"
#include "modal_catcher.h"
#include "shell/gui/dash_app.h"
#include "shell/gui/startup.h"
#include "shell/gui/super_dash.h"
#include "sim/frame_source.h"
#include "sim/simulator_thread.h"
#include "tools/gui/scope_table.h"
#include "tools/gui/super_scope.h"
#include "widget_access.h"

using namespace quelm;
using Dash = TestAccess<DashApp>;
using quelm::testing::PanelText;

namespace {

using namespace status_text;

// Runs `check` every 20 ms while a blocking call runs; `check` returns true when it is done.
class Watcher {
  public:
    explicit Watcher(std::function<bool()> check) : check_(std::move(check)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (check_()) {
                timer_.stop();
            }
        });
        timer_.start(20);
    }

  private:
    std::function<bool()> check_;
    QTimer timer_;
};

}  // namespace

class DashLinkTest : public QObject {
    Q_OBJECT
  private:
    QTemporaryDir dir_;

  private slots:
    // First: once a program has ended, a dialog's own event loop returns at once, so the box
    // must come before the other tests end theirs.
    void aPortErrorSaysWhyThenEndsTheProgram() {
        QTemporaryDir cwd;  // where the port side file is written
        const QString home = QDir::currentPath();
        QVERIFY(QDir::setCurrent(cwd.path()));
        DashApp app(std::filesystem::path(dir_.path().toStdString()) / "error.ini");
        ModalCatcher catcher;
        app.PortFailed(
            PortFailure("/dev/ttyS0: Permission denied", SerialPortErrorKind::Permission));
        // The program ends once the box is answered.
        QTRY_VERIFY(app.Ending());
        QDir::setCurrent(home);
        QCOMPARE(catcher.texts, QStringList{"Serial Port Error.  Please reconfigure."});
        QCOMPARE(catcher.titles, QStringList{"System Configuration Error"});
        QCOMPARE(catcher.icons.value(0), QMessageBox::Critical);
        QVERIFY(catcher.details.value(0).startsWith("/dev/ttyS0: Permission denied\n"));
        QVERIFY(QFile::exists(cwd.filePath("quelmom.ini")));
    }

    void firstStartOpensSetupAndWaitsForAPort() {
        const auto ini = std::filesystem::path(dir_.path().toStdString()) / "fresh" / "Quelm.ini";
        DashApp app(ini);
        bool sawWait = false;
        bool keptWaiting = false;
        int ticks = 0;
        Watcher watch([&] {
            ++ticks;
            ComSetup& setup = app.comSetup();
            if (!setup.isVisible()) {
                return false;
            }
            // Let the wait run for a while: nothing else may happen meanwhile.
            if (ticks < 10) {
                return false;
            }
            sawWait = app.window().isVisible() && app.status().Indicator() == ComStat::Grey &&
                      setup.findChild<QRadioButton*>("r115000")->isChecked();
            // Apply without a port (none is chosen for the user) keeps waiting, says why and
            // writes nothing; with one it ends the wait.
            setup.findChild<QPushButton*>("ApplyCom")->click();
            keptWaiting = setup.isVisible() && setup.findChild<QLabel*>("hint")->isVisible() &&
                          app.link().ComPort == 0 && PanelText(app.window(), 1).isEmpty() &&
                          !std::filesystem::exists(ini);
            setup.findChild<QRadioButton*>("com1")->setChecked(true);
            setup.findChild<QPushButton*>("ApplyCom")->click();
            return true;
        });
        QVERIFY(LoadDashboard(app, nullptr));
        QVERIFY(sawWait);
        QVERIFY(keptWaiting);
        QCOMPARE(app.link().ComPort, 1);
        QCOMPARE(app.status().Indicator(), ComStat::Red);
        QVERIFY(std::filesystem::exists(ini));
        // Then the vehicle configuration and the MAF curve (the stock one, none being set).
        QVERIFY(app.tables().maf[kMafPoints - 1].x > 0);
    }

    void connectReachesReadyMovesGaugesAndStopsOnTheSecondPress() {
        sim::SimulatorThread device(sim::DeviceOptions{},
                                    std::make_unique<sim::ScenarioSource>(sim::Scenario::Cruise));
        const auto ini = std::filesystem::path(dir_.path().toStdString()) / "link.ini";
        std::ofstream(ini) << "[SERIAL]\nCOMPORT= 2\nMAXBAUDRATE=115200\n";
        DashApp app(ini);
        app.portMap().SetOverride(2, device.path());
        QVERIFY(LoadDashboard(app, nullptr));
        SuperDash& w = app.window();
        SuperScope* scope = app.scopeTable().OpenNextScope();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));

        QString readyText;
        std::vector<int> markerTicks;
        QString lastMark;
        QString captionWhileRunning;
        QColor lampWhileRunning;
        double tach = 0;
        double speedo = 0;
        int goodTicks = 0;
        Watcher watch([&] {
            if (PanelText(w, 2).startsWith("Ready @") &&
                PanelText(w, 1) == QString::fromUtf8(kMonitoring)) {
                readyText = PanelText(w, 2);
                captionWhileRunning = w.connectButton()->text();
                lampWhileRunning =
                    TestAccess<LinkIndicator>::Colour(*w.findChild<LinkIndicator*>("comstat"));
                tach = w.gauge("Tach")->Value();
                speedo = w.gauge("Speedo")->Value();
                if (goodTicks == 0) {
                    // A marker from the dashboard's M key, one from the logging window's button.
                    QTest::keyClick(&w, Qt::Key_M);
                    markerTicks.push_back(TestAccess<StripChart>::MarkerTicks(*scope->chart()));
                    w.menuItem(SuperDash::kLoggingItem)->trigger();
                    Dash::logging(app)->findChild<QPushButton*>("Mark")->click();
                    markerTicks.push_back(TestAccess<StripChart>::MarkerTicks(*scope->chart()));
                    lastMark = Dash::logging(app)->findChild<QLabel*>("lastMark")->text();
                }
                // Give the loop a few more frames, then press Connect again.
                if (++goodTicks > 10) {
                    QTest::mouseClick(w.connectButton(), Qt::LeftButton);
                    return true;
                }
            }
            // A sequence that never gets there must not hang the test.
            if (PanelText(w, 2) == QString::fromUtf8(kComRetry)) {
                QTest::mouseClick(w.connectButton(), Qt::LeftButton);
                return true;
            }
            return false;
        });
        QTest::mouseClick(w.connectButton(), Qt::LeftButton);
        // The click returns once the loop has stopped.
        QCOMPARE(readyText, QStringLiteral("Ready @ 115200"));
        QCOMPARE(captionWhileRunning, QString::fromUtf8(kDisconnectCaption));
        QCOMPARE(lampWhileRunning, QColor(0, 255, 0));
        QCOMPARE(markerTicks, (std::vector<int>{1, 2}));
        QCOMPARE(lastMark, QStringLiteral("Mark 2"));  // not recording: numbered, not written
        QVERIFY2(tach > 1000, qPrintable(QString::number(tach)));
        QVERIFY(speedo > 20);
        QCOMPARE(PanelText(w, 2), QString::fromUtf8(kComStopped));
        QCOMPARE(w.connectButton()->text(), QString::fromUtf8(kConnectCaption));
        QCOMPARE(app.status().Indicator(), ComStat::Red);
        QVERIFY(!app.Connected());
        QVERIFY(app.link().Stats.TotalFrames > 10);
    }

    void closingDuringTheStartUpWaitForAPortEndsIt() {
        const auto ini = std::filesystem::path(dir_.path().toStdString()) / "missing.ini";
        DashApp app(ini);
        QTimer::singleShot(1500, &app.window(), [&] { app.window().close(); });
        QVERIFY(!LoadDashboard(app, nullptr));
        QVERIFY(app.Ending());
        QCOMPARE(app.link().ComPort, 0);
        // The lamp never turned red: the vehicle loading was not reached.
        QCOMPARE(app.status().Indicator(), ComStat::Grey);
    }
};

QTEST_MAIN(DashLinkTest)
#include "dash_link_test.moc"
