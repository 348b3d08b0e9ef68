#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>
#include <memory>
#include <optional>

#include "common/long_operation.h"
#include "fake_app_hub.h"
#include "files/csv_export.h"
#include "files/gui/export_window.h"

using namespace quelm;
using quelm::testing::Child;
using quelm::testing::WriteLog;

namespace {

QStringList Lines(const std::filesystem::path& p) {
    QFile f(QString::fromStdString(p.string()));
    if (!f.open(QIODevice::ReadOnly)) {
        return {};
    }
    QStringList lines = QString::fromLatin1(f.readAll()).split("\r\n");
    if (!lines.isEmpty() && lines.back().isEmpty()) {
        lines.removeLast();
    }
    return lines;
}

}  // namespace

class ExportWindowTest : public QObject, quelm::testing::HubWindow<Export> {
    Q_OBJECT

    QString answer_;
    QStringList asked_;

    QString Status() { return Child<QLabel>(*w, "Status")->text(); }
    void Choose(const std::filesystem::path& p) { answer_ = QString::fromStdString(p.string()); }

  private slots:
    void init() {
        Start();
        asked_.clear();
        w->SetFileChooser([this](const QString& title, const QString&, const QString& filter,
                                 const std::function<void(const QString&)>& answered) {
            asked_ << title << filter;
            answered(answer_);
        });
    }
    void cleanup() { Stop(); }

    void exportsEveryRecordBesideTheLog() {
        WriteLog(File("run1.qm1"), 3, [](std::uint32_t n) { return n * 617; });
        Choose(File("run1.qm1"));
        QStringList seen;
        hub->rt.onYield = [&] { seen << Status(); };
        Child<QPushButton>(*w, "BrowseSRC")->click();

        QCOMPARE(asked_, (QStringList{"Browse", "Quelm Files (*.qm*)"}));
        const QStringList lines = Lines(File("run1.csv"));
        QCOMPARE(lines.size(), 4);
        QCOMPARE(lines[0], QString(kCsvHeader));
        QVERIFY(lines[1].startsWith("6.17,"));
        QVERIFY(lines[3].startsWith("18.51,"));
        QCOMPARE(lines[2].count(','), 20);
        QVERIFY(seen.contains("Processing Frame 1"));
        QCOMPARE(Status(), QString("Done."));
        QCOMPARE(Child<QProgressBar>(*w, "Progress")->value(), 100);
        QVERIFY(messages.isEmpty());
        QCOMPARE(hub->operations().Current(), LongOperation::None);
    }

    void cancelledDialogChangesNothing() {
        answer_.clear();
        Child<QPushButton>(*w, "BrowseSRC")->click();
        QCOMPARE(Status(), QString("Ready."));
        QVERIFY(messages.isEmpty());
    }

    void refusals_data() {
        QTest::addColumn<QString>("case_");
        QTest::newRow("link running") << "connected";
        QTest::newRow("playback running") << "playback";
    }
    void refusals() {
        QFETCH(QString, case_);
        WriteLog(File("run1.qm1"), 3, [](std::uint32_t n) { return n; });
        Choose(File("run1.qm1"));
        std::optional<OperationRecord::Running> playing;
        if (case_ == "connected") {
            hub->connected = true;
        } else {
            playing.emplace(hub->operations().Begin(LongOperation::Playback, {}));
        }
        Child<QPushButton>(*w, "BrowseSRC")->click();
        QCOMPARE(messages.size(), 1);
        QVERIFY(Status() != "Done.");
        QVERIFY(!std::filesystem::exists(File("run1.csv")));
        QVERIFY(asked_.isEmpty());
        QVERIFY(Child<QPushButton>(*w, "BrowseSRC")->isEnabled());
    }
};

QTEST_MAIN(ExportWindowTest)
#include "export_window_test.moc"
