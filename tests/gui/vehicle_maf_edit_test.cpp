// The MAF editor: loading into the boxes and the conversion table, saving, the chart, Apply.
#include <qcustomplot.h>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <fstream>

#include "common/app_paths.h"
#include "fake_app_hub.h"
#include "files/gui/maf_edit.h"

using namespace quelm;

template <>
struct quelm::TestAccess<MAFEdit> {
    // The file dialogs and the overwrite question, answered by the test.
    static void Prompts(MAFEdit& editor, const FileChooser& chooser, const YesNoQuestion& ask) {
        editor.openChooser_ = chooser;
        editor.saveChooser_ = chooser;
        editor.ask_ = ask;
    }
};

class MafEditTest : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir dir_;
    CalibrationTables tables_{};
    std::unique_ptr<MAFEdit> editor_;
    QStringList messages_;
    QString chosen_;  // what the file dialogs answer; empty means cancel
    bool overwrite_ = false;
    QStringList dialogs_;

    QString path(const char* name) { return dir_.filePath(name); }
    void writeCurve(const QString& file, int points, double topVolts = 5) {
        std::ofstream out(file.toStdString(), std::ios::binary);
        out << "header\r\n";
        for (int i = 0; i < points; ++i) {
            out << i * topVolts / 30 << ',' << i * 40 << "\r\n";
        }
    }
    static std::string readAll(const QString& file) {
        return quelm::testing::Slurp(file.toStdString());
    }
    QLineEdit* volts(int i) { return editor_->findChild<QLineEdit*>(QString("volts%1").arg(i)); }
    QLineEdit* kghr(int i) { return editor_->findChild<QLineEdit*>(QString("kghr%1").arg(i)); }
    QCustomPlot* chart() { return editor_->findChild<QCustomPlot*>("MAFCURVE"); }
    QString fileName() { return editor_->findChild<QLineEdit*>("MAFfile")->text(); }
    bool redrawing() { return editor_->findChild<QTimer*>("Timer1")->isActive(); }
    void click(const char* name) {
        QTest::mouseClick(editor_->findChild<QPushButton*>(name), Qt::LeftButton);
    }

  private slots:
    // The user's data folder, where new curves are saved, lies in the scratch folder.
    void initTestCase() { qputenv("XDG_DATA_HOME", dir_.path().toLocal8Bit()); }

    void init() {
        tables_ = CalibrationTables{};
        editor_ = std::make_unique<MAFEdit>(tables_);
        messages_.clear();
        dialogs_.clear();
        chosen_.clear();
        editor_->SetMessageSink(quelm::testing::CollectMessages(messages_));
        const auto chooser = [this](const QString& title, const QString& folder,
                                    const QString& filter,
                                    const std::function<void(const QString&)>& answered) {
            dialogs_ << title + "|" + folder + "|" + filter;
            answered(chosen_);
        };
        quelm::TestAccess<MAFEdit>::Prompts(*editor_, chooser,
                                            [this](const QString& text, const QString& title,
                                                   const std::function<void(bool)>& answered) {
                                                dialogs_ << title + "|" + text;
                                                answered(overwrite_);
                                            });
    }

    void browseLoadsTheCurveAndTheChartFollows() {
        writeCurve(path("curve.maf"), 31, 4.5);
        chosen_ = path("curve.maf");
        click("browse");
        QCOMPARE(dialogs_, QStringList{"Browse|" + QString::fromStdString(MafLibDir().string()) +
                                       "/|MAF Files (*.maf)"});
        QVERIFY(messages_.isEmpty());
        QCOMPARE(kghr(30)->text(), QString("1200"));
        QCOMPARE(tables_.maf[30].y, 1200.0);
        QVERIFY(volts(30)->isReadOnly() && !volts(15)->isReadOnly());
        // The timer redraws from the boxes within one period.
        QTRY_COMPARE_WITH_TIMEOUT(chart()->graph(0)->dataCount(), 31, 5000);
        QCOMPARE(chart()->xAxis->range().upper, 4.5);
        QCOMPARE(chart()->yAxis->range().upper, 1200.0);
    }

    void extensionIsAppendedCaseSensitivelyAndCancelReloadsTheNamedFile() {
        writeCurve(path("curve2.MAF.maf"), 31);
        chosen_ = path("curve2.MAF");
        click("browse");
        QCOMPARE(fileName(), path("curve2.MAF.maf"));
        writeCurve(path("curve.maf"), 31);
        editor_->SetFileName(path("curve.maf"));
        kghr(30)->clear();
        chosen_.clear();
        click("browse");
        QCOMPARE(kghr(30)->text(), QString("1200"));
    }

    void missingFileFallsBackToTheStockCurve() {
        QString fallback;
        editor_->SetFallbackHandler([&](const QString& p) { fallback = p; });
        editor_->SetFileName(path("gone.maf"));
        editor_->LoadMafTable();
        QCOMPARE(messages_.value(0),
                 QString("File not found attempting to access MAF configuration file.  Setting "
                         "to default. Check Vehicle Settings."));
        QCOMPARE(fileName(), QString::fromStdString(StockMafPath().string()));
        QCOMPARE(fallback, fileName());
    }

    void shortFileKeepsWhatWasRead() {
        writeCurve(path("short.maf"), 20);
        kghr(25)->setText("keep");
        editor_->SetFileName(path("short.maf"));
        editor_->LoadMafTable();
        QCOMPARE(messages_, QStringList{"Default MAF configuration file not installed.  "
                                        "Reinstall Application."});
        QCOMPARE(kghr(19)->text(), QString("760"));
        QCOMPARE(kghr(25)->text(), QString("keep"));
    }

    // Cancel writes nothing; the dialog opens in the user's own folder; an existing file is
    // replaced only after Yes; a failure says why.
    void saveCancelOverwriteAndFailure() {
        click("Save");
        QCOMPARE(dialogs_, QStringList{"Browse|" + QString::fromStdString(UserMafDir().string()) +
                                       "/|MAF Files (*.maf)"});
        QVERIFY(UserMafDir().string().starts_with(dir_.path().toStdString()));
        QVERIFY(messages_.isEmpty());
        QCOMPARE(fileName(), QString("none specified"));
        QVERIFY(!QFile::exists("none specified"));

        writeCurve(path("stock.maf"), 31);
        const std::string stock = readAll(path("stock.maf"));
        kghr(3)->setText("edited");
        chosen_ = path("stock");
        dialogs_.clear();
        click("Save");
        QCOMPARE(dialogs_.value(1), QString("Warning|File exists.  Overwrite?"));
        QCOMPARE(readAll(path("stock.maf")), stock);
        QCOMPARE(fileName(), QString("none specified"));
        overwrite_ = true;
        click("Save");
        QVERIFY(readAll(path("stock.maf")).find(",edited\r\n") != std::string::npos);
        QCOMPARE(fileName(), path("stock.maf"));

        chosen_ = path("no/such/folder/x.maf");
        click("Save");
        QCOMPARE(messages_.size(), 1);
        QVERIFY(messages_[0].startsWith("Error during save.  Check path and file name."));
        QVERIFY2(messages_[0].contains("No such file or directory"), qPrintable(messages_[0]));
    }

    void applyHandsThePathOnAndTheChartStillFollowsTheBoxes() {
        QString applied;
        editor_->SetApplyHandler([&](const QString& p) { applied = p; });
        editor_->SetFileName("/curves/x.maf");
        editor_->show();
        click("Command1");
        QCOMPARE(applied, QString("/curves/x.maf"));
        QVERIFY(!editor_->isVisible());
        QVERIFY(!redrawing());
        // A curve loaded while the redraw is off is drawn at once; showing the window again
        // restarts the redraw.
        writeCurve(path("next.maf"), 31, 4.0);
        editor_->SetFileName(path("next.maf"));
        editor_->LoadMafTable();
        QCOMPARE(chart()->graph(0)->dataCount(), 31);
        QCOMPARE(chart()->xAxis->range().upper, 4.0);
        editor_->show();
        QVERIFY(redrawing());
        kghr(30)->setText("1500");
        QTRY_COMPARE(chart()->yAxis->range().upper, 1500.0);
    }
};

QTEST_MAIN(MafEditTest)
#include "vehicle_maf_edit_test.moc"
