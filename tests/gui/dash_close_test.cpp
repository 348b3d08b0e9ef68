// Closing the main window ends the program from inside the long operations: the connection
// sequence and the start-up wait for a port.
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <fstream>

#include "shell/gui/dash_app.h"
#include "shell/gui/startup.h"
#include "shell/gui/super_dash.h"
#include "sim/frame_source.h"
#include "sim/simulator_thread.h"

using namespace quelm;

class DashCloseTest : public QObject {
    Q_OBJECT
  private:
    QTemporaryDir dir_;

  private slots:
    void closingDuringTheConnectionEndsIt() {
        sim::SimulatorThread device(sim::DeviceOptions{},
                                    std::make_unique<sim::ScenarioSource>(sim::Scenario::Idle));
        const auto ini = std::filesystem::path(dir_.path().toStdString()) / "close.ini";
        std::ofstream(ini) << "[SERIAL]\nCOMPORT= 1\nMAXBAUDRATE=115200\n";
        auto app = std::make_unique<DashApp>(ini);
        app->portMap().SetOverride(1, device.path());
        QVERIFY(LoadDashboard(*app, nullptr));
        bool closedWhileConnecting = false;
        // The connection takes many seconds; close the window one second into it.
        QTimer::singleShot(1000, &app->window(), [&] {
            closedWhileConnecting = app->status().Panel(1) == "Initializing";
            app->window().close();
        });
        app->Connect_Click();
        QVERIFY(closedWhileConnecting);
        QVERIFY(app->Ending());
        QVERIFY(!app->window().isVisible());
        QVERIFY(app->status().Panel(2).rfind("Ready", 0) != 0);
        // Ending the program closes the port (and with it the port's lock).
        app.reset();
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

QTEST_MAIN(DashCloseTest)
#include "dash_close_test.moc"
