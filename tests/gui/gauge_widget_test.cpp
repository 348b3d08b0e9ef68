#include <QtTest>

#include "tools/gui/tps_tool_gauge.h"
#include "widgets/gauge_scale.h"
#include "widgets/gauge_widget.h"

using quelm::GaugeWidget;

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
        QCOMPARE(g.SelectedNeedle(), 0);
    }

    void fullScaleSetsTheUpperEndForLaterValues() {
        GaugeWidget g;
        g.SetScale(0, 30);
        g.SetValue(15);
        QCOMPARE(g.ScaleFraction(g.Value()), 0.5);
        g.SetFullScale(15);
        QCOMPARE(g.FullScale(), 15.0);
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
            QCOMPARE(g.ZoneColourAt(volts), std::optional<QColor>(colour));
        }
        QVERIFY(!g.ZoneColourAt(0.5).has_value());
    }

    void manyValuesPaintAFewTimesAndNeverRebuildTheFace() {
        GaugeWidget g;
        g.SetScale(0, 8000);
        g.resize(240, 240);
        g.show();
        QVERIFY(QTest::qWaitForWindowExposed(&g));
        QApplication::processEvents();
        const int paintsBefore = g.PaintCount();
        const int facesBefore = g.FaceBuildCount();
        QVERIFY(facesBefore >= 1);
        for (int i = 0; i < 1000; ++i) {
            g.SetValue(i * 8.0);
            QCOMPARE(g.PaintCount(), paintsBefore);  // setting never paints by itself
        }
        QCOMPARE(g.Value(), 7992.0);
        QTRY_VERIFY(g.PaintCount() > paintsBefore);
        // Fed like the poll loop feeds it, a value and a pass of the event loop at a time, the
        // gauge paints at most once per screen refresh (16 ms or more), not once per pass.
        QElapsedTimer clock;
        clock.start();
        const int fedFrom = g.PaintCount();
        for (int i = 0; clock.elapsed() < 300; ++i) {
            g.SetValue(i % 8000);
            QApplication::processEvents();
        }
        const int paints = g.PaintCount() - fedFrom;
        QVERIFY2(paints >= 1 && paints <= 300 / 16 + 2, qPrintable(QString::number(paints)));
        QCOMPARE(g.FaceBuildCount(), facesBefore);
    }

    void faceIsRebuiltOnResizeAndScaleChange() {
        GaugeWidget g;
        g.resize(200, 200);
        g.show();
        QVERIFY(QTest::qWaitForWindowExposed(&g));
        QApplication::processEvents();
        const int builds = g.FaceBuildCount();
        g.SetFullScale(15);
        QApplication::processEvents();
        QCOMPARE(g.FaceBuildCount(), builds + 1);
        g.resize(260, 260);
        QApplication::processEvents();
        QCOMPARE(g.FaceBuildCount(), builds + 2);
        g.AddZone(10, 15, Qt::red);
        QApplication::processEvents();
        QCOMPARE(g.FaceBuildCount(), builds + 3);
    }
};

QTEST_MAIN(GaugeWidgetTest)
#include "gauge_widget_test.moc"
