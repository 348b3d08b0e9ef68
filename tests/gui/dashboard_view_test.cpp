#include <QtTest>

#include "../unit/fake_dashboard.h"
#include "decode/dashboard_update.h"
#include "shell/gui/dashboard_view.h"
#include "shell/gui/link_indicator.h"
#include "widget_access.h"
#include "widgets/gauge_widget.h"

using quelm::DashboardView;
using quelm::GaugeValues;
using quelm::GaugeWidget;

class DashboardViewTest : public QObject {
    Q_OBJECT
  private slots:

    void appliedValuesLandOnTheirGaugesIncludingBothHegoNeedles() {
        // Each reading a different value, so that a crossed wire shows.
        // clang-format off
        const std::pair<const char*, float GaugeValues::*> wires[] = {
            {"MAFS", &GaugeValues::MAFS},           {"tps", &GaugeValues::tps},
            {"ECT", &GaugeValues::ECT},             {"ACT", &GaugeValues::ACT},
            {"bap", &GaugeValues::bap},             {"Advance", &GaugeValues::Advance},
            {"Boost", &GaugeValues::Boost},         {"Vac", &GaugeValues::Vac},
            {"Tach", &GaugeValues::Tach},           {"Speedo", &GaugeValues::Speedo},
            {"AUX1", &GaugeValues::AUX1},           {"AUX2", &GaugeValues::AUX2},
            {"DutyCycle", &GaugeValues::DutyCycle}, {"INJPW", &GaugeValues::INJPW},
            {"WideBand", &GaugeValues::WideBand},   {"mpg", &GaugeValues::mpg},
            {"EECLOAD", &GaugeValues::EECLOAD},     {"hp", &GaugeValues::hp},
            {"TQ", &GaugeValues::TQ},
        };
        // clang-format on
        GaugeValues r;
        float next = 1.5f;
        for (const auto& [name, field] : wires) {
            r.*field = next++;
        }
        r.HEGOL = 0.72f;
        r.HEGOR = 0.18f;
        DashboardView view;
        view.ApplyGaugeValues(r);
        for (const auto& [name, field] : wires) {
            QVERIFY2(view.gauge(name)->Value() == r.*field, name);
        }
        GaugeWidget* hego = view.gauge("HEGOS");
        QCOMPARE(hego->NeedleValue(0), static_cast<double>(r.HEGOL));
        QCOMPARE(hego->NeedleValue(1), static_cast<double>(r.HEGOR));
    }

    // A read-out never loses a sign or leading digits: it shrinks its font to fit its box, and
    // where even the smallest font is too wide it says so.
    void readOutsShrinkToFitOrShowTheOverflowMark() {
        const struct {
            const char* gauge;
            double value;
            int side;
            QString text;
        } rows[] = {
            {"Advance", -1072.4, 200, "-1072.4"}, {"mpg", 24984845, 200, "24984845.0"},
            {"Advance", -1072.4, 80, "-OL"},      {"mpg", 24984845, 80, "OL"},
            {"INJPW", 4.571, 200, "4.6"},
        };
        DashboardView view;
        for (const auto& row : rows) {
            GaugeWidget* g = view.gauge(row.gauge);
            g->resize(row.side, row.side);
            g->SetValue(row.value);
            const GaugeWidget::Readout r = g->ReadoutOf(0);
            QCOMPARE(r.text, row.text);
            QVERIFY2(QFontMetricsF(r.font).horizontalAdvance(r.text) <= r.box.width(), row.gauge);
            QVERIFY(r.font.pixelSize() >= GaugeWidget::kMinReadoutPixels);
        }
    }

    void linkLampFollowsTheStatusCodes() {
        DashboardView view;
        const auto* lamp = view.findChild<quelm::LinkIndicator*>("comstat");
        using Lamp = quelm::TestAccess<quelm::LinkIndicator>;
        QCOMPARE(Lamp::Colour(*lamp), QColor(64, 64, 64));
        const std::vector<std::pair<int, QColor>> steps{
            {1, QColor(0, 255, 0)}, {2, QColor(255, 255, 0)}, {3, QColor(255, 0, 0)},
            {7, QColor(255, 0, 0)}, {-1, QColor(255, 0, 0)},  {0, QColor(64, 64, 64)}};
        for (const auto& [stat, colour] : steps) {
            view.SetComStat(stat);
            QCOMPARE(Lamp::Colour(*lamp), colour);
        }
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
        const int height = qEnvironmentVariableIntValue("QUELM_DEMO_HEIGHT");
        view.resize(1060, height > 0 ? height : 560);
        if (qEnvironmentVariableIsSet("QUELM_DEMO_NO_FEATURES")) {
            for (const char* name : {"Boost", "Vac", "WideBand", "AUX1", "AUX2"}) {
                view.gauge(name)->hide();
            }
        }
        quelm::EngData cruise = quelm::testing::CruisingEngine();
        GaugeValues r = quelm::UpdateDashboard(cruise, quelm::LiveConfig{});
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
