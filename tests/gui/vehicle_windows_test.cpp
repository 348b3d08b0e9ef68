// The vehicle windows: the vehicle settings dialog (live edits, the Save checks and the exact
// writes), the feature connector options (live choices, Save with its reload, the gauges), then
// the MAF editor (loading into the boxes and the conversion table, saving, the chart, Apply).
#include <qcustomplot.h>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <fstream>

#include "../unit/fake_dashboard.h"
#include "common/app_paths.h"
#include "common/number_text.h"
#include "fake_app_hub.h"
#include "files/settings_file.h"
#include "tools/gui/vehicle_windows.h"

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

class VehicleWindowsTest : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir dir_;
    std::unique_ptr<SettingsFile> settings_;
    LiveConfig live_;
    CalibrationTables tables_{};
    quelm::testing::FakeDashboard dashboard_;
    std::unique_ptr<VehicleWindows> windows_;
    QStringList messages_;
    std::unique_ptr<MAFEdit> editor_;  // one of its own, with the prompts answered here
    QString chosen_;                   // what the file dialogs answer; empty means cancel
    bool overwrite_ = false;
    QStringList dialogs_;

    VP& vp() { return windows_->vehicleDialog(); }
    QuelmFeatures& features() { return windows_->features(); }
    QLineEdit* box(const char* name) { return vp().findChild<QLineEdit*>(name); }
    QCheckBox* check(const char* name) { return vp().findChild<QCheckBox*>(name); }
    QRadioButton* option(const char* name) { return features().findChild<QRadioButton*>(name); }
    std::string read(const char* section, const char* key) {
        return ReadIniValue(*settings_, section, key);
    }
    std::string fileText() { return quelm::testing::Slurp(settings_->path()); }
    // The value exactly as stored, blanks included (the reader trims them).
    std::string stored(const std::string& key) {
        const std::string text = "\n" + fileText();
        const auto at = text.find("\n" + key + "=");
        if (at == std::string::npos) {
            return "<missing>";
        }
        const auto begin = at + key.size() + 2;
        return text.substr(begin, text.find_first_of("\r\n", begin) - begin);
    }
    void clickSave() { QTest::mouseClick(vp().findChild<QPushButton*>("Save"), Qt::LeftButton); }
    void clickFeaturesSave() {
        QTest::mouseClick(features().findChild<QPushButton*>("Save"), Qt::LeftButton);
    }

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
        settings_ = std::make_unique<SettingsFile>(dir_.filePath("Quelm.ini").toStdString());
        std::filesystem::remove(settings_->path());
        live_ = LiveConfig{};
        dashboard_ = quelm::testing::FakeDashboard{};
        windows_ = std::make_unique<VehicleWindows>(*settings_, live_, tables_);
        messages_.clear();
        windows_->SetMessageSink(quelm::testing::CollectMessages(messages_));
        features().SetDashboard(&dashboard_);
        windows_->LoadVehicleConfig();
        vp().show();
        features().show();
        tables_ = CalibrationTables{};
        editor_ = std::make_unique<MAFEdit>(tables_);
        dialogs_.clear();
        chosen_.clear();
        overwrite_ = false;
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

    void unsavedEditsAndChoicesChangeTheLiveConfiguration() {
        box("numcyl")->clear();
        QTest::keyClicks(box("numcyl"), "4");
        box("vsscorrection")->setText("1.05");
        check("hasdis")->setChecked(true);
        check("hasbatchfire")->setChecked(true);
        QCOMPARE(live_.numcyl, std::string("4"));
        QCOMPARE(live_.vsscorrection, std::string("1.05"));
        QVERIFY(live_.hasdis);
        QVERIFY(live_.hasbatchfire);
        QCOMPARE(dashboard_.heightTwips, 7575);  // loaded: no feature gauges
        option("threebar")->click();
        QCOMPARE(live_.map, MapOption::ThreeBar);
        option("Innovate")->click();
        QCOMPARE(live_.wideBand, WideBandOption::Innovate);
        option("nowideband")->click();
        QCOMPARE(live_.wideBand, WideBandOption::NoWideBand);
        QVERIFY(!std::filesystem::exists(settings_->path()));
    }

    void typingIsLimitedButLoadedValuesAreShownWhole() {
        box("numcyl")->clear();
        QTest::keyClicks(box("numcyl"), "12");
        QCOMPARE(box("numcyl")->text(), QString("1"));
        VehicleConfig c;
        c.NumCylinders = 12;
        c.Displacement = 1000.5;
        vp().ConfigureFeaturesFromVars(c);
        QCOMPARE(box("numcyl")->text(), QString("12"));
        QCOMPARE(live_.numcyl, std::string("12"));
        QCOMPARE(box("CI")->text(), QString("1000.5"));
    }

    // Save refuses a cylinder count or a displacement out of range with the first failing
    // check's message, puts the loaded value back in its box and writes nothing.
    void saveRefusesOutOfRangeValues() {
        const QString cylinders = "Quelm does not support %1 cylinder engines.";
        const QString inches = "Quelm does not support %1 cubic inch engines.";
        const struct {
            const char *numcyl, *ci;
            QString message;  // empty: accepted
            const char *numcylAfter, *ciAfter;
        } rows[] = {
            {"5", "99", cylinders.arg("5"), "8", "99"},
            {"8", "99", inches.arg("99"), "8", "302"},
            {"8", "701", inches.arg("701"), "8", "302"},
            {"8", "150abc", inches.arg("150abc"), "8", "302"},
            {"8", "100", "", "8", "100"},
            {"8", "700", "", "8", "700"},
        };
        for (const auto& row : rows) {
            vp().show();
            messages_.clear();
            box("numcyl")->setText(row.numcyl);
            box("CI")->setText(row.ci);
            clickSave();
            QCOMPARE(messages_, row.message.isEmpty() ? QStringList{} : QStringList{row.message});
            QCOMPARE(box("numcyl")->text(), QString(row.numcylAfter));
            QCOMPARE(live_.numcyl, std::string(row.numcylAfter));
            QCOMPARE(box("CI")->text(), QString(row.ciAfter));
            QCOMPARE(vp().isVisible(), !row.message.isEmpty());
            QCOMPARE(read("INJECTION", "CI"), std::string(row.message.isEmpty() ? row.ci : ""));
        }
    }

    // Pasted line breaks and blanks do not reach the file; the conversions read the same number
    // before any Save. Not a number is refused.
    void speedCorrectionIsANumberWithoutBlanksOrLineBreaks() {
        for (const auto& [text, written] : {std::pair{"\r\n1.1 ", " 1.1"}, {"fast", ""}}) {
            messages_.clear();
            box("vsscorrection")->setText(text);
            clickSave();
            if (*written == '\0') {
                QCOMPARE(messages_.size(), 1);
                QVERIFY(messages_[0].startsWith("Quelm does not support"));
                QCOMPARE(box("vsscorrection")->text(), QString("1"));
                continue;
            }
            QVERIFY(messages_.isEmpty());
            QCOMPARE(stored("VALUE"), std::string(written));
            QCOMPARE(LenientNumber(live_.vsscorrection), LenientNumber(written));
        }
    }

    void injectorSizeIsReducedToItsNumber() {
        // How the number is read is LenientNumber's test; here the box and the written form.
        const std::array<const char*, 3> rows[] = {{"19 lb", "19", " 19"}, {"-3", "-3", "-3"}};
        for (const auto& [text, shown, written] : rows) {
            box("injsize")->setText(text);
            clickSave();
            QCOMPARE(box("injsize")->text(), QString(shown));
            QCOMPARE(stored("INJSIZE"), std::string(written));
        }
    }

    void saveWritesEveryKeyInOrderWithItsForm() {
        VehicleConfig c;
        c.NumCylinders = 6;
        c.InjectorSize = 19;
        c.Displacement = 302;
        c.VssCorrection = 1.05;
        c.MafFile = "/curves/a.maf";
        c.BapPresent = true;
        c.BatchFire = true;
        vp().ConfigureFeaturesFromVars(c);
        check("hasdis")->setChecked(true);
        clickSave();
        QVERIFY(messages_.isEmpty());
        QVERIFY(!vp().isVisible());
        const std::pair<const char*, const char*> expected[] = {
            {"NUMCYL", " 6"}, {"INJSIZE", " 19"}, {"MAFFILE", "/curves/a.maf"}, {"CI", "302"},
            {"BATCH", "YES"}, {"VALUE", " 1.05"}, {"BAPPRESENT", "YES"},        {"DIS", "YES"},
        };
        const char* sections[] = {"INJECTION", "INJECTION",     "INJECTION", "INJECTION",
                                  "INJECTION", "VSSCORRECTION", "SENSORS",   "IGNITION"};
        // Each new key lands after the one written before it.
        const std::string text = fileText();
        std::size_t last = 0;
        for (std::size_t i = 0; i < std::size(expected); ++i) {
            QCOMPARE(stored(expected[i].first), std::string(expected[i].second));
            QVERIFY(!read(sections[i], expected[i].first).empty());
            const auto at = text.find(std::string(expected[i].first) + "=");
            QVERIFY2(at != std::string::npos && at >= last, expected[i].first);
            last = at;
        }
        vp().show();
        check("hasdis")->setChecked(false);
        check("hasbap")->setChecked(false);
        check("hasbatchfire")->setChecked(false);
        clickSave();
        QCOMPARE(read("IGNITION", "DIS"), std::string("NO"));
        QCOMPARE(read("SENSORS", "BAPPRESENT"), std::string("NO"));
        QCOMPARE(read("INJECTION", "BATCH"), std::string("NO"));
    }

    void editBrowseRunsTheHandlerAndClosingOnlyHides() {
        int shown = 0;
        vp().SetEditHandler([&] { ++shown; });
        QTest::mouseClick(vp().findChild<QPushButton*>("Edit"), Qt::LeftButton);
        QCOMPARE(shown, 1);
        box("numcyl")->setText("6");
        vp().close();
        QVERIFY(!vp().isVisible());
        QCOMPARE(box("numcyl")->text(), QString("6"));
        QCOMPARE(live_.numcyl, std::string("6"));
    }
    void featureSaveWritesTheChoicesAndSetsUpTheDashboard() {
        option("twobar")->click();
        option("bailey")->click();
        option("volts")->click();
        clickFeaturesSave();
        QCOMPARE(read("MAP", "TYPE"), std::string("2"));
        QCOMPARE(read("WIDEBAND", "TYPE"), std::string("BAILEY"));
        QCOMPARE(read("AUX", "TYPE"), std::string("1"));
        QCOMPARE(dashboard_.Shown(), std::string("11111"));
        QCOMPARE(dashboard_.boostFullScale, 15.0);
        QCOMPARE(dashboard_.heightTwips, 9075);
        QVERIFY(!features().isVisible());
        QVERIFY(option("twobar")->isChecked());
    }

    void featureSaveReplacesUnsavedVehicleEdits() {
        box("numcyl")->setText("4");
        box("vsscorrection")->setText("1.2");
        QCOMPARE(live_.numcyl, std::string("4"));
        clickFeaturesSave();
        QCOMPARE(box("numcyl")->text(), QString("8"));
        QCOMPARE(live_.numcyl, std::string("8"));
        QCOMPARE(live_.vsscorrection, std::string("1"));
    }

    void unknownFeatureCodesLeaveTheSelection() {
        option("twobar")->click();
        option("DIY")->click();
        VehicleConfig c;
        c.MapType = 7;
        c.WideBandType = 9;
        features().ConfigureFeaturesFromVars(c);
        QVERIFY(option("twobar")->isChecked());
        QVERIFY(option("DIY")->isChecked());
        QVERIFY(dashboard_.visible["WideBand"]);
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

QTEST_MAIN(VehicleWindowsTest)
#include "vehicle_windows_test.moc"
