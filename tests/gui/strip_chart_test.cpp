#include <qcustomplot.h>
#include <QSignalSpy>
#include <QtTest>

#include "widgets/refresh_queue.h"
#include "widgets/strip_chart.h"

using quelm::RefreshQueue;
using quelm::StripChart;

namespace {

void WaitForReplot(StripChart& chart) {
    QTest::qWait(StripChart::kReplotIntervalMs * 3);
    QApplication::processEvents();
    (void)chart;
}

}  // namespace

class StripChartTest : public QObject {
    Q_OBJECT
  private slots:
    void fourPensInTheirColoursEachWithItsOwnRange() {
        StripChart chart;
        const std::array<QColor, 4> colours{QColor(0, 0, 0), QColor(255, 0, 0), QColor(0, 0, 255),
                                            QColor(0, 160, 0)};
        QCOMPARE(chart.plot()->graphCount(), 4);
        for (int pen = 0; pen < 4; ++pen) {
            QCOMPARE(StripChart::PenColour(pen), colours[pen]);
            QCOMPARE(chart.plot()->graph(pen)->pen().color(), colours[pen]);
            QCOMPARE(chart.PenRangeLower(pen), 0.0);
            QCOMPARE(chart.PenRangeUpper(pen), 1.0);
        }
        chart.SetPenRange(2, -1.0, 3.0);
        QCOMPARE(chart.PenRangeUpper(2), 3.0);
        QCOMPARE(chart.PenRangeUpper(1), 1.0);
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
        QVERIFY(total() > before);
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
        WaitForReplot(chart);
        QCOMPARE(chart.ValueAt(0), 0.0);  // no read-out yet
        QSignalSpy spy(&chart, &StripChart::readOut);
        QCustomPlot* plot = chart.plot();
        const int px = static_cast<int>(std::lround(plot->xAxis->coordToPixel(4.5)));
        QTest::mouseClick(plot, Qt::LeftButton, {}, QPoint(px, plot->height() / 2));
        QCOMPARE(spy.count(), 1);
        const double x = chart.ReadOutPosition();
        QVERIFY(std::abs(x - 4.5) < 0.05);
        QVERIFY(std::abs(chart.ValueAt(0) - x / 10.0) < 1e-9);
        QCOMPARE(chart.ValueAt(1), 0.75);
        QCOMPARE(chart.ValueAt(2), 0.3);
        QCOMPARE(chart.ValueAt(3), 0.0);  // empty pen
        chart.SetReadOutPosition(20.0);   // beyond the data: last point
        QCOMPARE(chart.ValueAt(0), 1.0);
        QCOMPARE(spy.count(), 2);
    }
};

QTEST_MAIN(StripChartTest)
#include "strip_chart_test.moc"
