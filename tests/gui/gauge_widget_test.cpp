#include <QtTest>
#include <optional>

#include "tools/gui/tps_tool_gauge.h"
#include "widget_access.h"
#include "widgets/gauge_scale.h"
#include "widgets/gauge_widget.h"

using quelm::GaugeWidget;
using Access = quelm::TestAccess<GaugeWidget>;

namespace {

// The colour of the topmost zone containing the value (ends included), as the face paints it.
std::optional<QColor> ZoneColourAt(const GaugeWidget& g, double value) {
    const auto& zones = g.Zones();
    for (auto it = zones.rbegin(); it != zones.rend(); ++it) {
        if (value >= it->from && value <= it->to) {
            return it->colour;
        }
    }
    return std::nullopt;
}

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

class GaugeWidgetTest : public QObject {
    Q_OBJECT
  private slots:
    void valuesBeyondTheScaleArePinnedButKept() {
        GaugeWidget g;
        g.SetScale(-20, 50);
        for (auto [value, fraction] :
             {std::pair{-45.0, 0.0}, {-20.0, 0.0}, {0.0, 20.0 / 70.0}, {50.0, 1.0}, {75.0, 1.0}}) {
            g.SetValue(value);
            QCOMPARE(g.Value(), value);  // the read-out shows the true value
            QCOMPARE(g.ScaleFraction(g.Value()), fraction);
        }
    }

    void needleAnglesSweepClockwiseFromLowerLeftToLowerRight() {
        namespace gs = quelm::gauge_scale;
        QCOMPARE(gs::AngleDeg(0.0), 225.0);
        QCOMPARE(gs::AngleDeg(0.5), 90.0);
        QCOMPARE(gs::AngleDeg(1.0), -45.0);
        QCOMPARE(gs::Fraction(5.0, 3.0, 3.0), 0.0);  // degenerate scale does not divide by 0
        QCOMPARE(gs::Fraction(std::nan(""), 0.0, 1.0), 0.0);
    }

    void selectedNeedleAloneMovesOnTheNextValue() {
        GaugeWidget g;
        g.SetScale(0, 1);
        g.SetNeedleCount(2);
        g.SelectNeedle(0);
        g.SetValue(0.45);
        g.SelectNeedle(1);
        g.SetValue(0.8);
        QCOMPARE(g.NeedleValue(0), 0.45);
        QCOMPARE(g.NeedleValue(1), 0.8);
        g.SelectNeedle(0);
        g.SetValue(0.1);
        QCOMPARE(g.NeedleValue(0), 0.1);
        QCOMPARE(g.NeedleValue(1), 0.8);
        g.SelectNeedle(5);  // not a needle: the selection stays
        g.SetValue(0.2);
        QCOMPARE(g.NeedleValue(0), 0.2);
    }

    void fullScaleSetsTheUpperEndForLaterValues() {
        GaugeWidget g;
        g.SetScale(0, 30);
        g.SetValue(15);
        QCOMPARE(g.ScaleFraction(g.Value()), 0.5);
        g.SetFullScale(15);
        QCOMPARE(g.ScaleMaximum(), 15.0);
        QCOMPARE(g.ScaleMinimum(), 0.0);
        g.SetValue(7.5);
        QCOMPARE(g.ScaleFraction(g.Value()), 0.5);
    }

    void tpsToolZonesGiveTheColourOfTheTopmostBand() {
        GaugeWidget g;
        quelm::SetupTpsToolGauge(g);
        QCOMPARE(g.ScaleMinimum(), 0.85);
        QCOMPARE(g.ScaleMaximum(), 1.05);
        QCOMPARE(g.Title(), QString("TPS"));
        QCOMPARE(static_cast<int>(g.Zones().size()), 5);
        // Where bands overlap the one drawn last wins: red under yellow, green over yellow.
        const std::pair<double, QColor> rows[] = {
            {0.855, quelm::kZoneRed},   {0.86, quelm::kZoneYellow}, {0.88, quelm::kZoneYellow},
            {0.90, quelm::kZoneGreen},  {0.94, quelm::kZoneGreen},  {0.98, quelm::kZoneYellow},
            {0.99, quelm::kZoneYellow}, {1.02, quelm::kZoneRed},    {1.05, quelm::kZoneRed}};
        for (const auto& [volts, colour] : rows) {
            QCOMPARE(ZoneColourAt(g, volts), std::optional<QColor>(colour));
        }
        QVERIFY(!ZoneColourAt(g, 0.5).has_value());
    }

    void manyValuesPaintAFewTimesAndNeverRebuildTheFace() {
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
    }

    void faceIsRebuiltOnResizeAndScaleChange() {
        GaugeWidget g;
        g.resize(200, 200);
        g.show();
        QVERIFY(QTest::qWaitForWindowExposed(&g));
        QApplication::processEvents();
        const int builds = Access::FaceBuilds(g);
        g.SetFullScale(15);
        QApplication::processEvents();
        QCOMPARE(Access::FaceBuilds(g), builds + 1);
        g.resize(260, 260);
        QApplication::processEvents();
        QCOMPARE(Access::FaceBuilds(g), builds + 2);
        g.AddZone(10, 15, Qt::red);
        QApplication::processEvents();
        QCOMPARE(Access::FaceBuilds(g), builds + 3);
    }
};

QTEST_MAIN(GaugeWidgetTest)
#include "gauge_widget_test.moc"
