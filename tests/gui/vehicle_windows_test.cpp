// The vehicle windows: the vehicle settings dialog (live edits, the Save checks and the exact
// writes), then the feature connector options (live choices, Save with its reload, the gauges).
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

#include "../unit/fake_dashboard.h"
#include "common/number_text.h"
#include "fake_app_hub.h"
#include "files/settings_file.h"
#include "tools/gui/vehicle_windows.h"

using namespace quelm;

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

  private slots:
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
    }

    void unsavedEditsChangeTheLiveConfiguration() {
        box("numcyl")->clear();
        QTest::keyClicks(box("numcyl"), "4");
        box("vsscorrection")->setText("1.05");
        check("hasdis")->setChecked(true);
        check("hasbatchfire")->setChecked(true);
        QCOMPARE(live_.numcyl, std::string("4"));
        QCOMPARE(live_.vsscorrection, std::string("1.05"));
        QVERIFY(live_.hasdis);
        QVERIFY(live_.hasbatchfire);
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
            {"", "99", cylinders.arg(""), "8", "99"},
            {"8", "99", inches.arg("99"), "8", "302"},
            {"8", "701", inches.arg("701"), "8", "302"},
            {"8", "abc", inches.arg("abc"), "8", "302"},
            {"8", "", inches.arg(""), "8", "302"},
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
        for (const auto& [text, written] :
             {std::pair{"1.05\n", " 1.05"}, {"\r\n1.1 ", " 1.1"}, {"fast", ""}}) {
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
        const std::array<const char*, 3> rows[] = {{"24.5", "24.5", " 24.5"},
                                                   {"abc", "0", " 0"},
                                                   {"19 lb", "19", " 19"},
                                                   {"-3", "-3", "-3"}};
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
    void unsavedFeatureChoicesChangeTheLiveConfiguration() {
        QCOMPARE(dashboard_.heightTwips, 7575);  // loaded: no feature gauges
        option("threebar")->click();
        QCOMPARE(live_.map, MapOption::ThreeBar);
        option("Innovate")->click();
        QCOMPARE(live_.wideBand, WideBandOption::Innovate);
        option("nowideband")->click();
        QCOMPARE(live_.wideBand, WideBandOption::NoWideBand);
        QVERIFY(!std::filesystem::exists(settings_->path()));
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
};

QTEST_MAIN(VehicleWindowsTest)
#include "vehicle_windows_test.moc"
