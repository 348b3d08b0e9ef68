// The shared widgets: the dial gauge (scale, needles, when it paints and rebuilds its face), the
// strip chart (pens, time axis, read-out, replots shared through the refresh queue), then the
// dashboard's panel of gauges (wiring, read-outs, the link lamp) with the screenshot demo.
#include <qcustomplot.h>
#include <QSignalSpy>
#include <QtTest>

#include "../unit/fake_dashboard.h"
#include "decode/dashboard_update.h"
#include "shell/gui/dashboard_view.h"
#include "shell/gui/link_indicator.h"
#include "widget_access.h"
#include "widgets/gauge_scale.h"
#include "widgets/gauge_widget.h"
#include "widgets/refresh_queue.h"
#include "widgets/strip_chart.h"

using quelm::DashboardView;
using quelm::GaugeValues;
using quelm::GaugeWidget;
using quelm::RefreshQueue;
using quelm::StripChart;
using Access = quelm::TestAccess<GaugeWidget>;

namespace {

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
  public:
    explicit PaintCounter(QWidget& w) { w.installEventFilter(this); }
    int count = 0;

  protected:
    bool eventFilter(QObject*, QEvent* e) override {
        count += e->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

}  // namespace

class WidgetsTest : public QObject {
    Q_OBJECT
  private slots:
    // The read-out keeps the true value while the needle is pinned to the scale; full scale
    // moves the upper end for later values; only the selected needle moves.
    void valuesFullScaleAndNeedles() {
        GaugeWidget g;
        g.SetScale(-20, 50);
        for (auto [value, fraction] : {std::pair{-45.0, 0.0}, {0.0, 20.0 / 70.0}, {75.0, 1.0}}) {
            g.SetValue(value);
            QCOMPARE(g.Value(), value);
            QCOMPARE(g.ScaleFraction(g.Value()), fraction);
        }
        GaugeWidget boost;
        boost.SetScale(0, 30);
        boost.SetFullScale(15);
        QCOMPARE(boost.ScaleFraction(7.5), 0.5);

        GaugeWidget two;
        two.SetScale(0, 1);
        two.SetNeedleCount(2);
        two.SelectNeedle(1);
        two.SetValue(0.8);
        two.SelectNeedle(0);
        two.SetValue(0.1);
        two.SelectNeedle(5);  // not a needle: the selection stays
        two.SetValue(0.2);
        QCOMPARE(two.NeedleValue(0), 0.2);
        QCOMPARE(two.NeedleValue(1), 0.8);
    }

    void needleAnglesSweepClockwiseFromLowerLeftToLowerRight() {
        namespace gs = quelm::gauge_scale;
        QCOMPARE(gs::AngleDeg(0.0), 225.0);
        QCOMPARE(gs::AngleDeg(0.5), 90.0);
        QCOMPARE(gs::AngleDeg(1.0), -45.0);
        QCOMPARE(gs::Fraction(5.0, 3.0, 3.0), 0.0);  // degenerate scale does not divide by 0
        QCOMPARE(gs::Fraction(std::nan(""), 0.0, 1.0), 0.0);
    }

    void manyValuesPaintAFewTimesAndOnlyAScaleSizeOrZoneRebuildsTheFace() {
        GaugeWidget g;
        PaintCounter painted(g);
        g.SetScale(0, 8000);
        g.resize(240, 240);
        g.show();
        QVERIFY(QTest::qWaitForWindowExposed(&g));
        QApplication::processEvents();
        const int paintsBefore = painted.count;
        const int facesBefore = Access::FaceBuilds(g);
        QVERIFY(facesBefore >= 1);
        for (int i = 0; i < 1000; ++i) {
            g.SetValue(i * 8.0);
            QCOMPARE(painted.count, paintsBefore);  // setting never paints by itself
        }
        QCOMPARE(g.Value(), 7992.0);
        QTRY_VERIFY(painted.count > paintsBefore);
        // Fed like the poll loop feeds it, a value and a pass of the event loop at a time, the
        // gauge paints at most once per screen refresh (16 ms or more), not once per pass.
        QElapsedTimer clock;
        clock.start();
        const int fedFrom = painted.count;
        for (int i = 0; clock.elapsed() < 300; ++i) {
            g.SetValue(i % 8000);
            QApplication::processEvents();
        }
        const int paints = painted.count - fedFrom;
        QVERIFY2(paints >= 1 && paints <= 300 / 16 + 2, qPrintable(QString::number(paints)));
        QCOMPARE(Access::FaceBuilds(g), facesBefore);
        // A new scale, size or zone does rebuild it.
        g.SetFullScale(15);
        QApplication::processEvents();
        QCOMPARE(Access::FaceBuilds(g), facesBefore + 1);
        g.resize(260, 260);
        QApplication::processEvents();
        QCOMPARE(Access::FaceBuilds(g), facesBefore + 2);
        g.AddZone(10, 15, Qt::red);
        QApplication::processEvents();
        QCOMPARE(Access::FaceBuilds(g), facesBefore + 3);
    }

    void fourPensInTheirColoursEachWithItsOwnRange() {
        StripChart chart;
        QCOMPARE(chart.plot()->graphCount(), 4);
        for (int pen = 0; pen < 4; ++pen) {
            QCOMPARE(chart.plot()->graph(pen)->pen().color(), StripChart::PenColour(pen));
        }
        chart.SetPenRange(2, -1.0, 3.0);
        QCOMPARE(quelm::TestAccess<quelm::StripChart>::PenRangeUpper(chart, 1), 1.0);
        QCOMPARE(chart.plot()->graph(2)->valueAxis()->range().upper, 3.0);
    }

    // Ten charts fed by the same frames replot one per pass of the event loop, each at most once
    // per replot interval, all together no more often than the queue's floor allows, and every
    // one of them gets its turn.
    void chartsSharingAQueueTakeTurns() {
        constexpr int kFloorMs = 5;
        RefreshQueue queue(StripChart::kReplotIntervalMs, nullptr, kFloorMs);
        std::vector<std::unique_ptr<StripChart>> charts;
        for (int i = 0; i < 10; ++i) {
            charts.push_back(std::make_unique<StripChart>());
            charts.back()->SetRefreshQueue(&queue);
            charts.back()->resize(300, 200);
            charts.back()->show();
        }
        QCOMPARE(queue.Members(), 10);
        QCOMPARE(queue.GapMs(), kFloorMs);
        QVERIFY(QTest::qWaitForWindowExposed(charts.back().get()));
        QTest::qWait(StripChart::kReplotIntervalMs * 3);
        const auto total = [&] {
            int sum = 0;
            for (const auto& c : charts) {
                sum += c->ReplotCount();
            }
            return sum;
        };
        const int before = total();
        std::vector<int> each;
        for (const auto& c : charts) {
            each.push_back(c->ReplotCount());
        }
        QElapsedTimer clock;
        clock.start();
        for (int frame = 0; clock.elapsed() < 400; ++frame) {
            for (const auto& c : charts) {
                c->AddPoint(0, frame * 0.0035, 0.5);
            }
            const int passStart = total();
            QApplication::processEvents();
            QVERIFY2(total() - passStart <= 1, "two charts replotted in one pass");
        }
        const qint64 fed = clock.elapsed();
        QVERIFY2(total() - before <= fed / kFloorMs + 1,
                 qPrintable(QString::number(total() - before)));
        for (std::size_t i = 0; i < charts.size(); ++i) {
            const int replots = charts[i]->ReplotCount() - each[i];
            QVERIFY2(replots <= fed / StripChart::kReplotIntervalMs + 1,
                     qPrintable(QString::number(replots)));
        }
        // Every chart has its turn once the feed stops.
        for (std::size_t i = 0; i < charts.size(); ++i) {
            QTRY_VERIFY(charts[i]->ReplotCount() > each[i]);
        }
        charts.pop_back();  // a member that goes leaves the queue
        QCOMPARE(queue.Members(), 9);
    }

    void currentTimeScrollsTheWindowOnlyPastItsRightEnd() {
        StripChart chart;
        chart.ResetTimeAxis(15.0, 0.0);
        QCOMPARE(chart.RangeLower(), 0.0);
        QCOMPARE(chart.RangeUpper(), 15.0);
        chart.SetCurrentTime(10.0);
        QCOMPARE(chart.RangeUpper(), 15.0);
        chart.SetCurrentTime(20.5);
        QCOMPARE(chart.RangeLower(), 5.5);
        QCOMPARE(chart.RangeUpper(), 20.5);
        chart.SetRange(0.0, 4.8);  // the curve editor: 0 to the largest volts
        chart.SetRangeWidth(6.0);
        QCOMPARE(chart.RangeUpper(), 6.0);
    }

    void clickSetsTheReadOutAndValuesAreInterpolatedThere() {
        StripChart chart;
        chart.resize(500, 300);
        chart.show();
        QVERIFY(QTest::qWaitForWindowExposed(&chart));
        chart.ResetTimeAxis(10.0, 0.0);
        for (int i = 0; i <= 10; ++i) {
            chart.AddPoint(0, i, i / 10.0);  // a ramp: y = x / 10
            chart.AddPoint(1, i, 0.75);
        }
        chart.AddPoint(2, 8.0, 0.3);  // one point only: every position reads it
        QTest::qWait(StripChart::kReplotIntervalMs * 3);
        QCOMPARE(chart.ValueAt(0), 0.0);  // no read-out yet
        QSignalSpy spy(&chart, &StripChart::readOut);
        QCustomPlot* plot = chart.plot();
        const int px = static_cast<int>(std::lround(plot->xAxis->coordToPixel(4.5)));
        QTest::mouseClick(plot, Qt::LeftButton, {}, QPoint(px, plot->height() / 2));
        QCOMPARE(spy.count(), 1);
        const double x = quelm::TestAccess<quelm::StripChart>::ReadOutPosition(chart);
        QVERIFY(std::abs(x - 4.5) < 0.05);
        QVERIFY(std::abs(chart.ValueAt(0) - x / 10.0) < 1e-9);
        QCOMPARE(chart.ValueAt(1), 0.75);
        QCOMPARE(chart.ValueAt(2), 0.3);
        QCOMPARE(chart.ValueAt(3), 0.0);  // empty pen
        chart.SetReadOutPosition(20.0);   // beyond the data: last point
        QCOMPARE(chart.ValueAt(0), 1.0);
        QCOMPARE(spy.count(), 2);
    }

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

QTEST_MAIN(WidgetsTest)
#include "widgets_test.moc"
