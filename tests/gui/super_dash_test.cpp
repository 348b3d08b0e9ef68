// The main window and its small windows through their controls: menus, status bar, feature
// controls, the frame path onto the gauges and the TPS tool, statistics, communications setup,
// the about box.
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

#include "common/app_paths.h"
#include "common/status_texts.h"
#include "common/twips.h"
#include "fake_app_hub.h"
#include "files/gui/export_window.h"
#include "files/gui/logging_window.h"
#include "link/gui/com_setup.h"
#include "link/gui/comstat_display.h"
#include "modal_catcher.h"
#include "shell/gui/about_box.h"
#include "shell/gui/dash_app.h"
#include "shell/gui/dash_layout.h"
#include "shell/gui/super_dash.h"
#include "shell/gui/user_guide.h"
#include "tools/gui/scope_table.h"
#include "tools/gui/self_tester.h"
#include "tools/gui/super_scope.h"
#include "tools/gui/tps_tool.h"
#include "tools/gui/vehicle_windows.h"
#include "viewer/gui/log_viewer.h"
#include "widget_access.h"

using namespace quelm;
using Dash = TestAccess<DashApp>;
using quelm::testing::PanelText;

namespace {

// The window's outer height (caption and borders included) in twips.
int HeightTwips(const QWidget& w) {
    return PixelsToTwips(w.frameGeometry().height(), w.logicalDpiY());
}

// A running engine: about 3000 rpm on 8 cylinders, road speed, two different oxygen sensors.
RawData RunningEngine() {
    RawData raw;
    raw.FIRETIME = 4606;
    raw.VSSTIME = 5000;
    raw.BAPTIME = 6000;
    raw.TPSAD = 200;
    raw.MAFAD = 300;
    raw.ECTAD = 400;
    raw.ACTAD = 500;
    raw.HEGOLAD = 800;
    raw.HEGORAD = 150;
    raw.INJTIME = 1500;
    return raw;
}

QLabel* Label(QWidget& w, const char* name) {
    return w.findChild<QLabel*>(QLatin1String(name));
}

}  // namespace

class SuperDashTest : public QObject {
    Q_OBJECT
  private:
    QTemporaryDir dir_;
    std::filesystem::path Ini(const char* name) const {
        return std::filesystem::path(dir_.path().toStdString()) / name;
    }

  private slots:
    // Each item opens its window (the logging window, the scopes, communications setup and the
    // about box in the tests below); the logging and export windows and the viewer are made on
    // first use.
    void menuItemsOpenTheirWindows() {
        DashApp app(Ini("menus.ini"));
        SuperDash& w = app.window();
        QVERIFY(!Dash::logging(app) && !Dash::exportWindow(app) && !Dash::viewer(app));
        for (const char* item : {SuperDash::kExportItem, SuperDash::kViewerItem,
                                 SuperDash::kComStatsItem, SuperDash::kSelfTestItem}) {
            w.menuItem(item)->trigger();
        }
        QVERIFY(Dash::exportWindow(app) && Dash::exportWindow(app)->isVisible());
        QVERIFY(Dash::viewer(app) && Dash::viewer(app)->isVisible());
        QVERIFY(Dash::comStats(app).isVisible());
        QVERIFY(Dash::selfTester(app).isVisible());
    }

    void featureControlsShowHideScaleAndResize() {
        DashApp app(Ini("features.ini"));
        SuperDash& w = app.window();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.SetGaugeVisible("AUX2", false);
        w.SetHeightTwips(kDashHeightCompactTwips);
        QCoreApplication::processEvents();
        QVERIFY(!w.gauge("AUX2")->isVisible());
        QVERIFY(w.gauge("Tach")->isVisible());
        // One pixel is 15 twips at 96 dpi: allow the rounding of one pixel.
        QVERIFY(std::abs(HeightTwips(w) - kDashHeightCompactTwips) <= 15);
        w.SetGaugeVisible("AUX2", true);
        w.SetHeightTwips(kDashHeightFullTwips);
        QCoreApplication::processEvents();
        QVERIFY(w.gauge("AUX2")->isVisible());
        QVERIFY(std::abs(HeightTwips(w) - kDashHeightFullTwips) <= 15);
        w.SetBoostFullScale(15);
        QCOMPARE(w.gauge("Boost")->ScaleMaximum(), 15.0);
    }

    void aFrameMovesTheGaugesAndTheTpsToolOnlyWhenShownAndNotWhenMinimised() {
        DashApp app(Ini("frame.ini"));
        app.mutableTables() = BuiltInTables();
        SuperDash& w = app.window();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        FrameBuffer frame{};
        Dash::framePath(app).OnGoodFrame(frame, RunningEngine(), 0.5);
        const EngData& eng = app.engData();
        QVERIFY(eng.RPM > 2900 && eng.RPM < 3100);
        // Which value lands on which gauge is the dashboard view's test.
        QCOMPARE(w.gauge("Tach")->Value(), static_cast<double>(eng.RPM));
        QCOMPARE(w.gauge("HEGOS")->NeedleValue(1), static_cast<double>(eng.HEGOR));
        // The TPS tool was hidden: it got nothing.
        QCOMPARE(Dash::tpsTool(app).gauge()->Value(), 0.0);

        // Clicking the tps gauge opens the tool; from then on it follows the sensor.
        QTest::mouseClick(w.gauge("tps"), Qt::LeftButton);
        QVERIFY(Dash::tpsTool(app).isVisible());
        RawData idle = RunningEngine();
        idle.TPSAD = 190;
        Dash::framePath(app).OnGoodFrame(frame, idle, 0.6);
        // Needles move at most once per screen refresh: the frame shows within one.
        QTRY_COMPARE(Dash::tpsTool(app).gauge()->Value(), static_cast<double>(app.engData().TPS));
        QVERIFY(Dash::tpsTool(app).gauge()->Value() > 0);
        const double shown = Dash::tpsTool(app).gauge()->Value();
        Dash::tpsTool(app).hide();
        idle.TPSAD = 250;
        Dash::framePath(app).OnGoodFrame(frame, idle, 0.7);
        QTest::qWait(100);
        QCOMPARE(Dash::tpsTool(app).gauge()->Value(), shown);
        // Minimised, the dashboard converts live frames but does not draw them.
        w.showMinimized();
        QCoreApplication::processEvents();
        const double tach = w.gauge("Tach")->Value();
        RawData faster = RunningEngine();
        faster.FIRETIME = 2303;  // twice the rpm
        Dash::framePath(app).OnGoodFrame(frame, faster, 0.8);
        QTest::qWait(50);
        QCOMPARE(w.gauge("Tach")->Value(), tach);
        QVERIFY(app.engData().RPM > 5000);  // converted all the same
    }

    void zeroItZeroesTheBoostTheLastFrameShowed() {
        DashApp app(Ini("zero.ini"));
        app.mutableTables() = BuiltInTables();
        app.liveConfig().map = MapOption::OneBar;
        RawData manifold = RunningEngine();
        manifold.MAPAD = 409;  // about 2 V: a vacuum, so BOOST is clearly below 0
        FrameBuffer frame{};
        Dash::framePath(app).OnGoodFrame(frame, manifold, 0.5);
        const float boost = app.engData().BOOST;
        QVERIFY(boost < -5);
        app.vehicle().features().zeroMap();
        QCOMPARE(app.liveConfig().mapZeroOffset, -static_cast<double>(boost));
        Dash::framePath(app).OnGoodFrame(frame, manifold, 0.6);
        QVERIFY(std::abs(app.engData().BOOST) < 1e-4);
    }

    void statisticsLabelsAfterATickAndAfterReset() {
        DashApp app(Ini("stats.ini"));
        LinkContext& link = app.link();
        link.Stats.TotalFrames = 120;
        link.Stats.TimeoutErrors = 2;
        link.Stats.ChecksumErrors = 4;
        link.FrameCounter = 23;
        QVERIFY(QMetaObject::invokeMethod(app.window().findChild<QTimer*>("Timer1"), "timeout"));
        comstatdisplay& stats = Dash::comStats(app);
        QCOMPARE(PanelText(app.window(), 3), QStringLiteral(" 23 FPS"));
        QCOMPARE(Label(stats, "tfc")->text(), QStringLiteral("120"));
        QCOMPARE(Label(stats, "flp")->text(), QStringLiteral("5"));

        stats.findChild<QPushButton*>("reset")->click();
        // The labels keep their texts until the next tick.
        QCOMPARE(Label(stats, "tfc")->text(), QStringLiteral("120"));
        link.FrameCounter = 7;
        QVERIFY(QMetaObject::invokeMethod(app.window().findChild<QTimer*>("Timer1"), "timeout"));
        QCOMPARE(Label(stats, "tfc")->text(), QStringLiteral("0"));
        QCOMPARE(PanelText(app.window(), 3), QStringLiteral(" 7 FPS"));
    }

    void comSetupLoadsAppliesAndMapsDevices() {
        const auto ini = Ini("setup.ini");
        std::ofstream(ini) << "[SERIAL]\nCOMPORT= 3\nMAXBAUDRATE=115200\n";
        DashApp app(ini);
        app.portMap().SetSessionDevice(4, "/dev/pts/99");  // as --port gives it
        ComSetup& setup = app.comSetup();
        setup.show();
        QVERIFY(setup.findChild<QRadioButton*>("com3")->isChecked());
        QVERIFY(setup.findChild<QRadioButton*>("r115000")->isChecked());
        QCOMPARE(setup.findChild<QLineEdit*>("device3")->text(), QStringLiteral("/dev/ttyS2"));

        setup.findChild<QRadioButton*>("com2")->setChecked(true);
        setup.findChild<QRadioButton*>("r57600")->setChecked(true);
        setup.findChild<QLineEdit*>("device2")->setText("/dev/ttyUSB0");
        setup.findChild<QPushButton*>("ApplyCom")->click();
        QVERIFY(!setup.isVisible());
        QCOMPARE(PanelText(app.window(), 1), QString::fromUtf8(status_text::kComReset));
        QCOMPARE(app.link().ComPort, 2);
        QCOMPARE(app.link().MaxBaudRate, std::string("57600"));
        QCOMPARE(app.portMap().DevicePath(2), std::string("/dev/ttyUSB0"));
        const std::string text = quelm::testing::Slurp(ini);
        QVERIFY(text.find("COMPORT= 2") != std::string::npos);
        QVERIFY(text.find("MAXBAUDRATE=57600") != std::string::npos);
        // The device map stays out of the settings file, and the next session opens the same
        // device.
        QVERIFY(text.find("ttyUSB0") == std::string::npos);
        DashApp next(ini);
        QCOMPARE(next.portMap().DevicePath(2), std::string("/dev/ttyUSB0"));
        QCOMPARE(next.portMap().DevicePath(3), std::string("/dev/ttyS2"));
        QCOMPARE(next.portMap().DevicePath(4), std::string("/dev/ttyS3"));  // that run's only
    }

    // The size rule (TpsGaugeSize's unit test) reaches the gauge; no minimum size holds the
    // smallest window it is given for back.
    void tpsToolGaugeFollowsTheResizeRule() {
        TPSTool tool;
        tool.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tool));
        const double dpi = tool.logicalDpiX();
        const QSize outer(TwipsToPixels(3000, dpi), TwipsToPixels(2500, dpi));
        tool.resize(outer - (tool.frameGeometry().size() - tool.size()));
        QCoreApplication::processEvents();
        QCOMPARE(tool.frameGeometry().size(), outer);
        const int onePixel = PixelsToTwips(1, dpi);
        QVERIFY(std::abs(PixelsToTwips(tool.gauge()->width(), dpi) - 2880) <= onePixel);
        QVERIFY(std::abs(PixelsToTwips(tool.gauge()->height(), dpi) - 2095) <= onePixel);
    }

    void webButtonReportsEachFailureAndOpensTheAddressOtherwise() {
        QList<QUrl> opened;
        bool browser = false;
        bool accepts = false;
        quelm::frmAbout about(nullptr, quelm::UrlOpener{[&] { return browser; },
                                                        [&](const QUrl& url) {
                                                            opened << url;
                                                            return accepts;
                                                        }});
        auto* visit = about.findChild<QPushButton*>("visitweb");
        ModalCatcher catcher;

        visit->click();  // no browser registered
        QTRY_COMPARE(catcher.titles.size(), 1);
        browser = true;
        visit->click();  // the browser refuses
        QTRY_COMPARE(catcher.titles.size(), 2);
        accepts = true;
        visit->click();  // opens quietly

        QCOMPARE(catcher.titles, QStringList({"Browser Not Found", "URL Failed"}));
        QCOMPARE(catcher.texts,
                 QStringList({"Could not find associated Browser", "Web Page not Opened"}));
        QCOMPARE(opened.size(), 2);
        QVERIFY(opened.first().toString().contains("orvanta"));
    }

    // While a long operation polls on the virtual clock, each kind of box opens over it: the
    // polls go on while the box is open, and its answer still takes effect.
    void boxesLeaveTheRunningOperationPolling() {
        using quelm::testing::Child;
        const auto item = [](const char* name) {
            return [name](DashApp& app) { app.window().menuItem(name)->trigger(); };
        };
        const auto click = [](const char* window, const char* button) {
            return [window, button](DashApp& app) {
                auto* w = app.window().findChild<QWidget*>(window);
                QVERIFY2(w, window);
                Child<QPushButton>(*w, button)->click();
            };
        };
        const std::string old =
            (std::filesystem::path(dir_.path().toStdString()) / "old.qm1").string();
        // The log folder, where Browse opens, lies in the scratch folder.
        qputenv("XDG_DATA_HOME", dir_.path().toLocal8Bit());
        const QString run7 = QString::fromStdString((LogsDir() / "run7").string());
        // The settings cannot be written: their folder is a file.
        std::ofstream(Ini("blocked")) << "";
        struct Row {
            const char* name;
            LongOperation running;
            std::function<void(DashApp&)> prepare, open;
            QString title, text;  // text: the start of a message box's text
            QMessageBox::Icon icon;
            QMessageBox::StandardButton defaultButton, answer;
            std::function<bool(DashApp&)> tookEffect;
        };
        const std::vector<Row> rows = {
            {"about", LongOperation::Monitoring, nullptr, item(SuperDash::kAboutItem),
             "About QUELM", "", QMessageBox::NoIcon, QMessageBox::NoButton, QMessageBox::Ok,
             nullptr},
            {"overwrite question", LongOperation::Monitoring,
             [&](DashApp& app) {
                 app.window().menuItem(SuperDash::kLoggingItem)->trigger();
                 std::ofstream(old) << "keep me";
                 Child<QLineEdit>(*Dash::logging(app), "LogFile")
                     ->setText(QString::fromStdString(old));
             },
             click("Logging", "Record"), "Warning", "File exists.  Overwrite?",
             QMessageBox::Critical, QMessageBox::No, QMessageBox::Yes,
             [&](DashApp& app) {
                 return app.recorder().Recording() && std::filesystem::file_size(old) == 0;
             }},
            {"browse", LongOperation::Monitoring, item(SuperDash::kLoggingItem),
             click("Logging", "browse"), "Browse", "", QMessageBox::NoIcon, QMessageBox::NoButton,
             QMessageBox::Ok,
             [&](DashApp& app) {
                 return Child<QLineEdit>(*Dash::logging(app), "LogFile")->text() == run7 + ".qm1";
             }},
            {"failed settings save", LongOperation::Monitoring,
             [](DashApp& app) {
                 app.window().menuItem(SuperDash::kComSetupItem)->trigger();
                 Child<QRadioButton>(app.comSetup(), "com2")->setChecked(true);
             },
             click("ComSetup", "ApplyCom"), "Communications Setup",
             "The settings could not be saved: ", QMessageBox::Warning, QMessageBox::NoButton,
             QMessageBox::Ok, [](DashApp& app) { return app.link().ComPort == 2; }},
            {"connect refusal", LongOperation::Export, nullptr,
             [](DashApp& app) { app.window().connectButton()->click(); }, "Quelm",
             "A log export is running.  Wait until it is done before connecting.",
             QMessageBox::Information, QMessageBox::NoButton, QMessageBox::Ok,
             [](DashApp& app) { return app.status().Panel(1).empty() && !app.Connected(); }},
        };
        for (const Row& row : rows) {
            const bool blocked = std::string(row.name) == "failed settings save";
            DashApp app(blocked ? Ini("blocked") / "Quelm.ini" : Ini("boxes.ini"));
            app.window().show();
            app.link().Connected = IsLink(row.running);
            if (row.prepare) {
                row.prepare(app);
            }
            // Answered by hand below; after three seconds only if a box blocks the loop.
            ModalCatcher catcher(row.answer, 3000);
            catcher.SetFile(run7);
            quelm::testing::WindowRuntime rt;
            int polls = 0;
            int pollsWhileOpen = 0;
            QPointer<QWidget> box;
            rt.onYield = [&] {
                if (polls == 10) {
                    row.open(app);
                    box = QApplication::activeModalWidget();
                } else if (polls == 40) {
                    catcher.Answer();
                } else if (box && box->isVisible() && polls < 40) {
                    ++pollsWhileOpen;
                }
            };
            {
                bool stopped = false;
                const auto running = app.operations().Begin(row.running, [&] { stopped = true; });
                while (polls < 60 && !stopped) {
                    ++polls;
                    rt.Sleep(1.0 / 280);
                    rt.Yield();
                }
            }
            QVERIFY2(pollsWhileOpen == 29, row.name);
            QCOMPARE(catcher.titles, QStringList{row.title});
            QVERIFY2(row.text.isEmpty() || catcher.texts.value(0).startsWith(row.text), row.name);
            QCOMPARE(catcher.icons.value(0), row.icon);
            QCOMPARE(catcher.defaults.value(0), row.defaultButton);
            QVERIFY2(!QApplication::activeModalWidget(), row.name);
            QVERIFY2(!row.tookEffect || row.tookEffect(app), row.name);
            app.link().Connected = false;
        }
    }

    void userGuideOpensOrSaysWhereItWasLookedFor() {
        QList<QUrl> opened;
        const quelm::UrlOpener opener{nullptr, [&](const QUrl& url) {
                                          opened << url;
                                          return true;
                                      }};
        ModalCatcher catcher;
        quelm::OpenUserGuide(nullptr, "/doc/user-guide.md", {}, opener);
        QCOMPARE(opened, QList<QUrl>{QUrl::fromLocalFile("/doc/user-guide.md")});
        quelm::OpenUserGuide(nullptr, {}, {"/a/user-guide.md", "/b/user-guide.md"}, opener);
        QTRY_COMPARE(catcher.titles, QStringList{"User Guide Not Found"});
        QVERIFY(catcher.texts[0].endsWith("/a/user-guide.md\n/b/user-guide.md"));
        QCOMPARE(opened.size(), 1);
    }

    void metricPeaksAndTheWindowsComeBackAfterTheDashboardClosesFirst() {
        QDir(dir_.path()).mkdir("layout");  // a folder of its own for layout.conf
        const auto ini = Ini("layout/Quelm.ini");
        FrameBuffer frame{};
        {
            DashApp app(ini);
            app.mutableTables() = BuiltInTables();
            SuperDash& w = app.window();
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            w.menuItem(SuperDash::kUnitsMetricItem)->trigger();
            w.menuItem(SuperDash::kPeakHoldItem)->trigger();
            QCOMPARE(w.gauge("Speedo")->ScaleMaximum(), 360.0);
            RawData fast = RunningEngine();
            fast.VSSTIME = 2500;  // faster than the frame after it
            Dash::framePath(app).OnGoodFrame(frame, fast, 0.5);
            const float firstMph = app.engData().MPH;
            Dash::framePath(app).OnGoodFrame(frame, RunningEngine(), 0.6);
            const float peakMph = std::max(firstMph, app.engData().MPH);
            const auto near = [](double a, double b) { return std::abs(a - b) < 1e-3; };
            QTRY_VERIFY(near(w.gauge("Speedo")->Value(), app.engData().MPH * 1.609344));
            QVERIFY(near(TestAccess<GaugeWidget>::Peak(*w.gauge("Speedo"), 0), peakMph * 1.609344));
            w.menuItem(SuperDash::kResetPeaksItem)->trigger();
            QVERIFY(!std::isfinite(TestAccess<GaugeWidget>::Peak(*w.gauge("Speedo"), 0)));

            w.menuItem(SuperDash::kScopeItem)->trigger();
            w.menuItem(SuperDash::kScopeItem)->trigger();
            SuperScope* second = app.scopeTable().Existing(2);
            second->SetChannels({"RPM", "*OFF*", "MPH", "ECT"});
            second->move(40, 50);
            w.menuItem(SuperDash::kLoggingItem)->trigger();
            Dash::logging(app)->findChild<QLineEdit*>("LogFile")->setText("/tmp/run7.qm1");
            app.scopeTable().Existing(1)->close();
            w.close();  // the dashboard first: the program ends with the others open
        }
        QCOMPARE(ReadIniValue(SettingsFile(ini), "LOGGING", "FILE"), std::string("/tmp/run7.qm1"));

        DashApp again(ini);
        QCOMPARE(again.window().gauge("Speedo")->Title(), QString("km/h"));
        QVERIFY(again.window().menuItem(SuperDash::kPeakHoldItem)->isChecked());
        RestoreLayout(again, again.savedLayout());
        QVERIFY(Dash::logging(again) && Dash::logging(again)->isVisible());
        QVERIFY(!again.scopeTable().Existing(1) || !again.scopeTable().Existing(1)->isVisible());
        SuperScope* scope = again.scopeTable().Existing(2);
        QVERIFY(scope && scope->isVisible());
        QCOMPARE(scope->Channels(), (std::array<std::string, 4>{"RPM", "*OFF*", "MPH", "ECT"}));
        QCOMPARE(scope->pos(), QPoint(40, 50));
    }
};

QTEST_MAIN(SuperDashTest)
#include "super_dash_test.moc"
