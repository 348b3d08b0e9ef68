#include <QPushButton>
#include <QtTest>

#include "shell/gui/dashboard_view.h"
#include "shell/gui/gauge_widget.h"
#include "shell/gui/link_indicator.h"

using quelm::DashboardView;
using quelm::GaugeValues;
using quelm::GaugeWidget;

namespace {

GaugeValues CruiseReadings() {
    GaugeValues r;
    r.MAFS = 1.62;
    r.tps = 0.98;
    r.ECT = 196;
    r.ACT = 88;
    r.bap = 29.4;
    r.Advance = 32.5;
    r.Boost = 4.2;
    r.Vac = 17.8;
    r.Tach = 2150;
    r.Speedo = 62;
    r.AUX1 = 2.5;
    r.AUX2 = 1.1;
    r.HEGOL = 0.72;
    r.HEGOR = 0.18;
    r.DutyCycle = 22.4;
    r.INJPW = 6.3;
    r.WideBand = 14.7;
    r.mpg = 24.6;
    r.EECLOAD = 0.42;
    r.hp = 38;
    r.TQ = 92;
    return r;
}

}  // namespace

class DashboardViewTest : public QObject {
    Q_OBJECT
  private slots:
    void everyGaugeHasItsNameTextsAndStartingScale_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<double>("minimum");
        QTest::addColumn<double>("maximum");
        const QString inHg = QStringLiteral("\"Hg");
        QTest::newRow("Speedo") << "Speedo"
                                << "MPH"
                                << "" << 0.0 << 220.0;
        QTest::newRow("Tach") << "Tach"
                              << "RPM"
                              << "" << 0.0 << 8000.0;
        QTest::newRow("ACT") << "ACT"
                             << "ACT"
                             << "'F" << -30.0 << 300.0;
        QTest::newRow("ECT") << "ECT"
                             << "ECT"
                             << "'F" << -30.0 << 300.0;
        QTest::newRow("MAFS") << "MAFS"
                              << "MAF"
                              << "Volts" << 0.0 << 5.0;
        QTest::newRow("tps") << "tps"
                             << "TPS"
                             << "" << 0.0 << 5.0;
        QTest::newRow("AUX1") << "AUX1"
                              << "AUX1"
                              << "Volts" << 0.0 << 5.0;
        QTest::newRow("AUX2") << "AUX2"
                              << "AUX2"
                              << "Volts" << 0.0 << 5.0;
        QTest::newRow("WideBand") << "WideBand"
                                  << "Wide02"
                                  << "AFR" << 9.0 << 20.0;
        QTest::newRow("HEGOS") << "HEGOS"
                               << "HEGO"
                               << "" << 0.0 << 1.0;
        QTest::newRow("Advance") << "Advance"
                                 << "Advance"
                                 << "" << -20.0 << 50.0;
        QTest::newRow("Boost") << "Boost"
                               << "Boost"
                               << "PSI" << 0.0 << 30.0;
        QTest::newRow("Vac") << "Vac"
                             << "Vacuum" << inHg << 0.0 << 30.0;
        QTest::newRow("bap") << "bap"
                             << "BAP" << inHg << 15.0 << 32.0;
        QTest::newRow("DutyCycle") << "DutyCycle"
                                   << "Inj. Duty"
                                   << "%" << 0.0 << 100.0;
        QTest::newRow("INJPW") << "INJPW"
                               << "Inj. PW"
                               << "ms" << 0.0 << 160.0;
        QTest::newRow("EECLOAD") << "EECLOAD"
                                 << "LOAD"
                                 << "" << 0.0 << 2.0;
        QTest::newRow("mpg") << "mpg"
                             << "MPG"
                             << "" << 0.0 << 50.0;
        QTest::newRow("hp") << "hp"
                            << "RWHP"
                            << "" << 0.0 << 1000.0;
        QTest::newRow("TQ") << "TQ"
                            << "RWTQ"
                            << "" << 0.0 << 1000.0;
    }
    void everyGaugeHasItsNameTextsAndStartingScale() {
        QFETCH(QString, name);
        QFETCH(QString, title);
        QFETCH(QString, unit);
        QFETCH(double, minimum);
        QFETCH(double, maximum);
        DashboardView view;
        GaugeWidget* g = view.gauge(name);
        QVERIFY2(g != nullptr, qPrintable(name));
        QCOMPARE(view.findChild<GaugeWidget*>(name), g);
        QCOMPARE(g->Title(), title);
        QCOMPARE(g->Unit(), unit);
        QCOMPARE(g->ScaleMinimum(), minimum);
        QCOMPARE(g->ScaleMaximum(), maximum);
    }

    void thereAreExactlyTwentyGaugesAndOnlyHegoHasTwoNeedles() {
        DashboardView view;
        QCOMPARE(static_cast<int>(view.gauges().size()), 20);
        QCOMPARE(view.findChildren<GaugeWidget*>().size(), 20);
        for (GaugeWidget* g : view.gauges()) {
            QCOMPARE(g->NeedleCount(), g->objectName() == "HEGOS" ? 2 : 1);
        }
        QVERIFY(view.gauge("Missing") == nullptr);
        QVERIFY(view.gauge("speedo") == nullptr);  // names are exact
    }

    void advanceGaugeCarriesItsThreeMarksOnTheRightSides() {
        DashboardView view;
        const auto& marks = view.gauge("Advance")->Marks();
        QCOMPARE(static_cast<int>(marks.size()), 3);
        for (const auto& m : marks) {
            if (m.text == "TDC") {
                QCOMPARE(m.value, 0.0);
            } else if (m.text == "BTC") {
                QVERIFY(m.value > 0.0);
            } else {
                QCOMPARE(m.text, QString("ATC"));
                QVERIFY(m.value < 0.0);
            }
        }
    }

    void appliedValuesLandOnTheirGaugesIncludingBothHegoNeedles() {
        DashboardView view;
        const GaugeValues r = CruiseReadings();
        view.ApplyGaugeValues(r);
        const std::vector<std::pair<QString, double>> expected{{"MAFS", r.MAFS},
                                                               {"tps", r.tps},
                                                               {"ECT", r.ECT},
                                                               {"ACT", r.ACT},
                                                               {"bap", r.bap},
                                                               {"Advance", r.Advance},
                                                               {"Boost", r.Boost},
                                                               {"Vac", r.Vac},
                                                               {"Tach", r.Tach},
                                                               {"Speedo", r.Speedo},
                                                               {"AUX1", r.AUX1},
                                                               {"AUX2", r.AUX2},
                                                               {"DutyCycle", r.DutyCycle},
                                                               {"INJPW", r.INJPW},
                                                               {"WideBand", r.WideBand},
                                                               {"mpg", r.mpg},
                                                               {"EECLOAD", r.EECLOAD},
                                                               {"hp", r.hp},
                                                               {"TQ", r.TQ}};
        for (const auto& [name, value] : expected) {
            QVERIFY2(view.gauge(name)->Value() == value, qPrintable(name));
        }
        GaugeWidget* hego = view.gauge("HEGOS");
        QCOMPARE(hego->NeedleValue(0), r.HEGOL);
        QCOMPARE(hego->NeedleValue(1), r.HEGOR);
    }

    void connectButtonAndLinkLampFollowTheStatusCodes() {
        DashboardView view;
        QCOMPARE(view.connectButton()->text(), QString("Connect"));
        QCOMPARE(view.connectButton()->objectName(), QString("Connect"));
        auto* lamp = view.linkIndicator();
        QCOMPARE(lamp->Colour(), QColor(64, 64, 64));
        const std::vector<std::pair<int, QColor>> steps{
            {1, QColor(0, 255, 0)}, {2, QColor(255, 255, 0)}, {3, QColor(255, 0, 0)},
            {7, QColor(255, 0, 0)}, {-1, QColor(255, 0, 0)},  {0, QColor(64, 64, 64)}};
        for (const auto& [stat, colour] : steps) {
            view.SetComStat(stat);
            QCOMPARE(lamp->Colour(), colour);
        }
    }

    void hidingFeatureGaugesReflowsTheirRowAndHidingAllRemovesIt() {
        DashboardView view;
        view.resize(1000, 650);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        const QStringList features{"Boost", "Vac", "WideBand", "AUX1", "AUX2"};
        GaugeWidget* speedo = view.gauge("Speedo");
        const int speedoHeightWithRow = speedo->height();
        view.gauge("Vac")->hide();
        QApplication::processEvents();
        // The remaining four share the row: no empty cell where Vac was.
        const int gap =
            view.gauge("WideBand")->geometry().left() - view.gauge("Boost")->geometry().right();
        QVERIFY2(gap < 10, qPrintable(QString::number(gap)));
        for (const QString& name : features) {
            view.gauge(name)->hide();
        }
        QApplication::processEvents();
        QVERIFY(speedo->height() > speedoHeightWithRow);
        view.gauge("AUX1")->show();
        QApplication::processEvents();
        QVERIFY(view.gauge("AUX1")->isVisible());
    }

    // Shows the panel with plausible values for a screenshot when QUELM_WIDGETS_DEMO gives
    // the seconds to stay up; otherwise skipped.
    void demoWindow() {
        const int seconds = qEnvironmentVariableIntValue("QUELM_WIDGETS_DEMO");
        if (seconds <= 0) {
            QSKIP("demo only");
        }
        DashboardView view;
        view.setWindowTitle("Quelm_Dash");
        view.resize(qEnvironmentVariableIntValue("QUELM_DEMO_WIDTH") > 0
                        ? qEnvironmentVariableIntValue("QUELM_DEMO_WIDTH")
                        : 1060,
                    qEnvironmentVariableIntValue("QUELM_DEMO_HEIGHT") > 0
                        ? qEnvironmentVariableIntValue("QUELM_DEMO_HEIGHT")
                        : 560);
        if (qEnvironmentVariableIsSet("QUELM_DEMO_NO_FEATURES")) {
            for (const char* name : {"Boost", "Vac", "WideBand", "AUX1", "AUX2"}) {
                view.gauge(name)->hide();
            }
        }
        GaugeValues r = CruiseReadings();
        r.Tach = 6900;  // show the warning zone and an overrange on Boost
        r.Boost = 34.0;
        view.ApplyGaugeValues(r);
        view.SetComStat(1);
        view.move(0, 0);
        view.show();
        QTest::qWait(seconds * 1000);
    }
};

QTEST_MAIN(DashboardViewTest)
#include "dashboard_view_test.moc"
