#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <fstream>

#include "decode/scope_channels.h"
#include "fake_app_hub.h"
#include "files/log_reader.h"
#include "viewer/gui/log_chart.h"
#include "viewer/gui/log_viewer.h"
#include "viewer/gui/marker_lines.h"
#include "viewer/gui/marks_panel.h"

using namespace quelm;
using quelm::testing::WriteLog;

class LogViewerTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    std::filesystem::path File(const char* name) { return dir_.filePath(name).toStdString(); }

  private slots:
    void showsASmallLogWithItsGapsCursorAndMarkers() {
        // Records 1..50 stamped 0.10 .. 5.00 s; record 20 (2.00 s) fails its checksum.
        WriteLog(File("run.qm1"), 50, [](std::uint32_t n) { return n * 10; });
        {
            std::fstream log(File("run.qm1"), std::ios::in | std::ios::out | std::ios::binary);
            log.seekp(19 * 48 + 37);
            log.put('\x55');
        }
        std::ofstream(File("run.qm1.marks")) << "1.00\tstart\nbroken line\n9.99\tafter the end\n";

        const LiveConfig config;
        const CalibrationTables tables = BuiltInTables();
        LogViewer viewer(config, tables);
        QStringList messages;
        viewer.SetMessageSink(quelm::testing::CollectMessages(messages));
        viewer.show();
        QSignalSpy loaded(&viewer, &LogViewer::loaded);
        viewer.Open(File("run.qm1"));
        QVERIFY(viewer.Loading());
        QVERIFY(loaded.wait(5000));

        QCOMPARE(viewer.log()->size(), std::size_t{50});
        QCOMPARE(viewer.log()->badRecords, std::uint64_t{1});
        QCPGraph* rpm = viewer.chart(0)->graph(0);
        QCOMPARE(rpm->data()->size(), 50);
        QVERIFY(std::isnan(rpm->data()->findBegin(2.0, false)->value));
        QVERIFY(!std::isnan(rpm->data()->findBegin(2.1, false)->value));

        // Both markers listed, only the one inside the log drawn, the bad line named.
        QCOMPARE(viewer.marks()->marks().size(), std::size_t{2});
        QCOMPARE(viewer.chart(0)->markers().Count(), 1);
        QCOMPARE(viewer.chart(0)->markers().X(0), 1.0);
        QVERIFY(messages.join('\n').contains("line 2: no tab between the time and the label"));

        QTableWidget* values = viewer.valueTable();
        viewer.SetCursor(2.05);
        QCOMPARE(values->item(1, 1)->text(), QString("20 (bad checksum)"));
        viewer.SetCursor(2.15);
        QCOMPARE(values->item(0, 1)->text(), QString("2.10"));
        QCOMPARE(values->item(1, 1)->text(), QString("21"));
        QVERIFY(!values->item(2, 1)->text().isEmpty());

        // Metric: the table and the charts convert and name the unit.
        viewer.SetUnits(DisplayUnits::Metric);
        viewer.Redraw();
        const std::size_t ect = *FindLogChannel("ECT");
        const int ectRow = 2 + static_cast<int>(ect);
        QCOMPARE(values->item(ectRow, 0)->text(), QString("ECT (C)"));
        QCOMPARE(values->item(ectRow, 1)->text().toStdString(),
                 TwoDecimalText((viewer.log()->values[ect][20] - 32) * 5.0 / 9));
        QCPGraph* mph = viewer.chart(1)->graph(0);
        QCOMPARE(mph->valueAxis()->label(), QString("MPH (km/h)"));
        QCOMPARE(mph->data()->at(30)->value,
                 viewer.log()->values[*FindLogChannel("MPH")][30] * 1.609344);

        // A log playback and export refuse gets their message; the log shown stays.
        messages.clear();
        viewer.Open(File("absent.qm1"));
        QCOMPARE(messages,
                 QStringList{QString::fromStdString(LogReader(File("absent.qm1")).Error())});
        QCOMPARE(viewer.log()->size(), std::size_t{50});
    }
};

QTEST_MAIN(LogViewerTest)
#include "log_viewer_test.moc"
