// The vehicle settings dialog: live edits, the Save checks and the exact writes.
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "common/number_text.h"
#include "fake_app_hub.h"
#include "files/settings_file.h"
#include "tools/gui/vehicle_properties.h"

using namespace quelm;

class VehiclePropertiesTest : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir dir_;
    std::unique_ptr<SettingsFile> settings_;
    LiveConfig live_;
    std::unique_ptr<VP> vp_;
    QStringList messages_;

    QLineEdit* box(const char* name) { return vp_->findChild<QLineEdit*>(name); }
    QCheckBox* check(const char* name) { return vp_->findChild<QCheckBox*>(name); }
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
    void clickSave() { QTest::mouseClick(vp_->findChild<QPushButton*>("Save"), Qt::LeftButton); }

  private slots:
    void init() {
        settings_ = std::make_unique<SettingsFile>(dir_.filePath("Quelm.ini").toStdString());
        std::filesystem::remove(settings_->path());
        live_ = LiveConfig{};
        vp_ = std::make_unique<VP>(live_, *settings_);
        messages_.clear();
        vp_->SetMessageSink(quelm::testing::CollectMessages(messages_));
        vp_->show();
    }

    void initialFields() {
        QCOMPARE(box("CI")->text(), QString("302"));
        QCOMPARE(box("numcyl")->text(), QString("8"));
        QCOMPARE(box("injsize")->text(), QString("19"));
        QCOMPARE(box("vsscorrection")->text(), QString("1"));
        QCOMPARE(box("MAFfile")->text(), QString("none specified"));
        QVERIFY(box("MAFfile")->isReadOnly());
        QCOMPARE(check("hasdis")->text(), QString("DIS"));
        QVERIFY(!check("hasbap")->isChecked());
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
        vp_->ConfigureFeaturesFromVars(c);
        QCOMPARE(box("numcyl")->text(), QString("12"));
        QCOMPARE(live_.numcyl, std::string("12"));
        QCOMPARE(box("CI")->text(), QString("1000.5"));
    }

    void unsupportedCylinderCountIsRefused() {
        for (const char* text : {"5", ""}) {
            messages_.clear();
            box("numcyl")->setText(text);
            box("CI")->setText("99");  // only the first failing check speaks
            clickSave();
            QCOMPARE(messages_,
                     QStringList{QString("Quelm does not support %1 cylinder engines.").arg(text)});
            QCOMPARE(box("numcyl")->text(), QString("8"));
            QCOMPARE(live_.numcyl, std::string("8"));
            QCOMPARE(box("CI")->text(), QString("99"));
            QVERIFY(vp_->isVisible());
            QVERIFY(!std::filesystem::exists(settings_->path()));
        }
    }

    void displacementRange() {
        for (const auto& [text, accepted] : {std::pair{"99", false},
                                             {"701", false},
                                             {"abc", false},
                                             {"", false},
                                             {"100", true},
                                             {"700", true}}) {
            vp_->show();
            messages_.clear();
            box("CI")->setText(text);
            clickSave();
            QCOMPARE(vp_->isVisible(), !accepted);
            if (accepted) {
                QVERIFY(messages_.isEmpty());
                QCOMPARE(read("INJECTION", "CI"), std::string(text));
            } else {
                QCOMPARE(messages_, QStringList{QString("Quelm does not support ") + text +
                                                " cubic inch engines."});
                QCOMPARE(box("CI")->text(), QString("302"));
                QVERIFY(!std::filesystem::exists(settings_->path()));
            }
        }
    }

    void speedCorrectionIsANumberWithoutBlanksOrLineBreaks_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("written");  // empty: refused
        QTest::newRow("pasted with a line break") << "1.05\n"
                                                  << " 1.05";
        QTest::newRow("line break before") << "\r\n1.1 "
                                           << " 1.1";
        QTest::newRow("not a number") << "fast"
                                      << "";
    }
    void speedCorrectionIsANumberWithoutBlanksOrLineBreaks() {
        QFETCH(QString, text);
        QFETCH(QString, written);
        box("vsscorrection")->setText(text);
        clickSave();
        if (written.isEmpty()) {
            QCOMPARE(messages_.size(), 1);
            QVERIFY(messages_[0].startsWith("Quelm does not support"));
            QCOMPARE(box("vsscorrection")->text(), QString("1"));
            QVERIFY(!std::filesystem::exists(settings_->path()));
            return;
        }
        QVERIFY(messages_.isEmpty());
        QCOMPARE(stored("VALUE"), written.toStdString());
        // The conversions read the same number before any Save.
        QCOMPARE(LenientNumber(live_.vsscorrection), LenientNumber(written.toStdString()));
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
        vp_->ConfigureFeaturesFromVars(c);
        check("hasdis")->setChecked(true);
        clickSave();
        QVERIFY(messages_.isEmpty());
        QVERIFY(!vp_->isVisible());
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
        vp_->show();
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
        vp_->SetEditHandler([&] { ++shown; });
        QTest::mouseClick(vp_->findChild<QPushButton*>("Edit"), Qt::LeftButton);
        QCOMPARE(shown, 1);
        box("numcyl")->setText("6");
        vp_->close();
        QVERIFY(!vp_->isVisible());
        QCOMPARE(box("numcyl")->text(), QString("6"));
        QCOMPARE(live_.numcyl, std::string("6"));
    }
};

QTEST_MAIN(VehiclePropertiesTest)
#include "vehicle_properties_test.moc"
