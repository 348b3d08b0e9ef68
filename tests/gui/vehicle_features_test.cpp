// The feature connector options: live choices, Save with its reload, gauges and Zero It!.
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

#include "../unit/fake_dashboard.h"
#include "fake_app_hub.h"
#include "tools/gui/vehicle_windows.h"

using namespace quelm;

using quelm::testing::FakeDashboard;

class VehicleFeaturesTest : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir dir_;
    std::unique_ptr<SettingsFile> settings_;
    LiveConfig live_;
    CalibrationTables tables_{};
    FakeDashboard dashboard_;
    std::unique_ptr<VehicleWindows> windows_;
    QStringList messages_;

    QuelmFeatures& features() { return windows_->features(); }
    QRadioButton* option(const char* name) { return features().findChild<QRadioButton*>(name); }
    void choose(const char* name) { option(name)->click(); }
    void clickSave() {
        QTest::mouseClick(features().findChild<QPushButton*>("Save"), Qt::LeftButton);
    }
    std::string read(const char* section, const char* key) {
        return ReadIniValue(*settings_, section, key);
    }

  private slots:
    void init() {
        settings_ = std::make_unique<SettingsFile>(dir_.filePath("Quelm.ini").toStdString());
        std::filesystem::remove(settings_->path());
        live_ = LiveConfig{};
        dashboard_ = FakeDashboard{};
        windows_ = std::make_unique<VehicleWindows>(*settings_, live_, tables_);
        messages_.clear();
        windows_->SetMessageSink(quelm::testing::CollectMessages(messages_));
        features().SetDashboard(&dashboard_);
        windows_->LoadVehicleConfig();
        features().show();
    }

    void initialSelection() {
        QVERIFY(option("nomap")->isChecked());
        QVERIFY(option("nowideband")->isChecked());
        QVERIFY(option("noAUX")->isChecked());
        QCOMPARE(dashboard_.heightTwips, 7575);
    }

    void unsavedChoicesChangeTheLiveConfiguration() {
        choose("threebar");
        QCOMPARE(live_.map, MapOption::ThreeBar);
        choose("onebar");
        QCOMPARE(live_.map, MapOption::OneBar);
        choose("Innovate");
        QCOMPARE(live_.wideBand, WideBandOption::Innovate);
        choose("DIY");
        QCOMPARE(live_.wideBand, WideBandOption::Diy);
        choose("nowideband");
        QCOMPARE(live_.wideBand, WideBandOption::NoWideBand);
        QVERIFY(!std::filesystem::exists(settings_->path()));
    }

    void saveWritesTheChoicesAndSetsUpTheDashboard() {
        choose("twobar");
        choose("bailey");
        choose("volts");
        clickSave();
        QCOMPARE(read("MAP", "TYPE"), std::string("2"));
        QCOMPARE(read("WIDEBAND", "TYPE"), std::string("BAILEY"));
        QCOMPARE(read("AUX", "TYPE"), std::string("1"));
        QCOMPARE(dashboard_.Shown(), std::string("11111"));
        QCOMPARE(dashboard_.boostFullScale, 15.0);
        QCOMPARE(dashboard_.heightTwips, 9075);
        QVERIFY(!features().isVisible());
        QVERIFY(option("twobar")->isChecked());
    }

    void saveReplacesUnsavedVehicleEdits() {
        auto& vp = windows_->vehicleDialog();
        vp.findChild<QLineEdit*>("numcyl")->setText("4");
        vp.findChild<QLineEdit*>("vsscorrection")->setText("1.2");
        QCOMPARE(live_.numcyl, std::string("4"));
        clickSave();
        QCOMPARE(vp.findChild<QLineEdit*>("numcyl")->text(), QString("8"));
        QCOMPARE(live_.numcyl, std::string("8"));
        QCOMPARE(live_.vsscorrection, std::string("1"));
    }

    void unknownCodesLeaveTheSelection() {
        choose("twobar");
        choose("DIY");
        VehicleConfig c;
        c.MapType = 7;
        c.WideBandType = 9;
        features().ConfigureFeaturesFromVars(c);
        QVERIFY(option("twobar")->isChecked());
        QVERIFY(option("DIY")->isChecked());
        QVERIFY(dashboard_.visible["WideBand"]);
    }
};

QTEST_MAIN(VehicleFeaturesTest)
#include "vehicle_features_test.moc"
