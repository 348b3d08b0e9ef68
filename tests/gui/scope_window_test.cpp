// The scope window on its own: selectors, labels, plotting, read-out, size rule, saving.
#include <qcustomplot.h>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>

#include "common/records.h"
#include "decode/scope_channels.h"
#include "files/settings_file.h"
#include "shell/gui/strip_chart.h"
#include "tools/gui/super_scope.h"
#include "tools/scope_rules.h"

using quelm::EngData;
using quelm::SettingsFile;
using quelm::StripChart;
using quelm::SuperScope;

namespace {

void SaveSelection(SettingsFile& settings, const QStringList& names) {
    for (int i = 0; i < names.size(); ++i) {
        QVERIFY(
            settings.Write("SCOPESETTINGS", "VAR" + std::to_string(i + 1), names[i].toStdString()));
    }
}

QString Saved(const SettingsFile& settings, int n) {
    return QString::fromStdString(settings.Read("SCOPESETTINGS", "VAR" + std::to_string(n)));
}

double PlottedAt(const StripChart& chart, int pen, int index) {
    return (chart.plot()->graph(pen)->data()->constBegin() + index)->value;
}

EngData CruiseData() {
    EngData e{};
    e.RPM = 2150;
    e.LOAD = 0.42f;
    e.MPH = 62;
    e.MPG = 24.6f;
    e.TPS = 0.98f;
    e.ADVANCE = 32.5f;
    e.HEGOL = 0.72f;
    e.BOOST = 4.2f;
    return e;
}

}  // namespace

class ScopeWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        settings_ = std::make_unique<SettingsFile>(dir_->filePath("Quelm.ini").toStdString());
    }
    void cleanup() {
        settings_.reset();
        dir_.reset();
    }

    void freshWindowHasItsControlsAndSelectsAdvanceEverywhere() {
        SuperScope scope(*settings_);
        QCOMPARE(scope.windowTitle(), QString("Quelm_Scope"));
        const QColor colours[] = {QColor(0, 0, 0), QColor(255, 0, 0), QColor(0, 0, 255),
                                  QColor(0, 160, 0)};
        for (int n = 1; n <= 4; ++n) {
            QComboBox* box = scope.findChild<QComboBox*>(QString("Var%1").arg(n));
            QVERIFY(box);
            QCOMPARE(box, scope.selector(n));
            QVERIFY(!box->isEditable());
            QCOMPARE(box->toolTip(), QString("Choose an item to view."));
            QCOMPARE(box->count(), 21);
            for (int i = 0; i < 21; ++i) {
                QCOMPARE(box->itemText(i).toStdString(),
                         std::string(quelm::kScopeChannels[static_cast<std::size_t>(i)].name));
            }
            QCOMPARE(box->currentText(), QString("ADVANCE"));
            QLabel* label = scope.findChild<QLabel*>(QString("val%1").arg(n));
            QVERIFY(label);
            QCOMPARE(label->text(), QString("0"));
            QVERIFY(label->font().bold());
            QCOMPARE(label->font().family(), QString("Verdana"));
            QCOMPARE(label->palette().color(QPalette::WindowText), colours[n - 1]);
            QCOMPARE(scope.chart()->plot()->graph(n - 1)->pen().color(), colours[n - 1]);
        }
        QCOMPARE(scope.findChild<QPushButton*>("Clear")->text(), QString("Clear"));
    }

    void savedNamesRestoredExactlyUnknownEndsOnAdvance_data() {
        QTest::addColumn<QStringList>("saved");
        QTest::addColumn<QStringList>("selected");
        QTest::newRow("found") << QStringList{"RPM", "*OFF*", "TPS", "BOOST"}
                               << QStringList{"RPM", "*OFF*", "TPS", "BOOST"};
        QTest::newRow("other case, empty, unknown")
            << QStringList{"rpm", "", "SPEED", "MPG"}
            << QStringList{"ADVANCE", "ADVANCE", "ADVANCE", "MPG"};
    }
    void savedNamesRestoredExactlyUnknownEndsOnAdvance() {
        QFETCH(QStringList, saved);
        QFETCH(QStringList, selected);
        SaveSelection(*settings_, saved);
        SuperScope scope(*settings_);
        for (int n = 1; n <= 4; ++n) {
            QCOMPARE(scope.selector(n)->currentText(), selected[n - 1]);
        }
    }

    void allSelectorsOffGetNoPointsAndNoLabelChanges() {
        SaveSelection(*settings_, {"*OFF*", "*OFF*", "*OFF*", "*OFF*"});
        SuperScope scope(*settings_);
        scope.chart()->SetCurrentTime(2.0);
        const EngData eng = CruiseData();
        for (int i = 0; i < 50; ++i) {
            scope.UpdateScope(eng, 20.0 + i);
        }
        QTest::qWait(2 * StripChart::kReplotIntervalMs);  // labels follow with the replot
        for (int n = 1; n <= 4; ++n) {
            QCOMPARE(scope.chart()->PointCount(n - 1), 0);
            QCOMPARE(scope.valueLabel(n)->text(), QString("0"));
        }
        QCOMPARE(scope.chart()->CurrentTime(), 2.0);
        QCOMPARE(scope.chart()->RangeUpper(), 15.0);
    }

    void eachPenPlotsItsChannelAsAFractionWithoutClamping() {
        SaveSelection(*settings_, {"ADVANCE", "*OFF*", "MPG", "RPM"});
        SuperScope scope(*settings_);
        const float advances[] = {-20.0f, 50.0f, -34.0f, 85.0f};
        const double expected[] = {0.0, 1.0, -0.2, 1.5};
        EngData eng = CruiseData();
        for (int i = 0; i < 4; ++i) {
            eng.ADVANCE = advances[i];
            eng.MPG = 10.0f * static_cast<float>(i);
            scope.UpdateScope(eng, 0.1 * i);
        }
        for (int i = 0; i < 4; ++i) {
            QVERIFY(std::abs(PlottedAt(*scope.chart(), 0, i) - expected[i]) < 1e-9);
            QVERIFY(std::abs(PlottedAt(*scope.chart(), 2, i) - 10.0 * i / 50.0) < 1e-6);
            QVERIFY(std::abs(PlottedAt(*scope.chart(), 3, i) - 2150.0 / 8000.0) < 1e-9);
        }
        QCOMPARE(scope.chart()->PointCount(1), 0);
        QTRY_COMPARE(scope.valueLabel(2)->text(), QString("0"));
        QTRY_COMPARE(scope.valueLabel(1)->text(), QString("85"));
        QTRY_COMPARE(scope.valueLabel(3)->text(), QString("30"));
        QTRY_COMPARE(scope.valueLabel(4)->text(), QString("2150"));
        QCOMPARE(scope.chart()->CurrentTime(), 0.3);
    }

    void mpgShowsTheValueOfTheFrameGiven() {
        SaveSelection(*settings_, {"MPG", "*OFF*", "*OFF*", "*OFF*"});
        SuperScope scope(*settings_);
        EngData eng = CruiseData();
        eng.MPG = 24.6f;
        scope.UpdateScope(eng, 1.0);
        QCOMPARE(PlottedAt(*scope.chart(), 0, 0), static_cast<double>(24.6f) / 50.0);
        QTRY_COMPARE(scope.valueLabel(1)->text(), QString("24.6"));
    }

    void labelsCutToTwoDecimalsTowardMinusInfinity_data() {
        QTest::addColumn<float>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("-1.234") << -1.234f << "-1.24";
        QTest::newRow("12.345") << 12.345f << "12.34";
        QTest::newRow("-3.46") << -3.46f << "-3.46";
        QTest::newRow("whole") << 40.0f << "40";
    }
    void labelsCutToTwoDecimalsTowardMinusInfinity() {
        QFETCH(float, value);
        QFETCH(QString, text);
        SaveSelection(*settings_, {"*OFF*", "*OFF*", "ADVANCE", "*OFF*"});
        SuperScope scope(*settings_);
        EngData eng{};
        eng.ADVANCE = value;
        scope.UpdateScope(eng, 0.5);
        QTRY_COMPARE(scope.valueLabel(3)->text(), text);
    }

    void readOutTurnsThePenFractionBackIntoTheChannelUnit_data() {
        QTest::addColumn<QString>("channel");
        QTest::addColumn<double>("fraction");
        QTest::addColumn<QString>("text");
        QTest::newRow("RPM") << "RPM" << 0.5 << "4000";
        QTest::newRow("LOAD") << "LOAD" << 0.123456 << "0.24";
        QTest::newRow("ADVANCE") << "ADVANCE" << 0.1 << "-13";
        QTest::newRow("HEGOL") << "HEGOL" << 0.25 << "0.25";
        QTest::newRow("ECT") << "ECT" << 0.75 << "225";
        QTest::newRow("OFF") << "*OFF*" << 0.7 << "0";
    }
    void readOutTurnsThePenFractionBackIntoTheChannelUnit() {
        QFETCH(QString, channel);
        QFETCH(double, fraction);
        QFETCH(QString, text);
        SaveSelection(*settings_, {"RPM", channel, "RPM", "RPM"});
        SuperScope scope(*settings_);
        StripChart* chart = scope.chart();
        chart->AddPoint(1, 0.0, fraction);
        chart->AddPoint(1, 10.0, fraction);
        chart->AddPoint(0, 0.0, 0.0);
        chart->AddPoint(0, 10.0, 1.0);
        chart->SetReadOutPosition(5.0);
        QTRY_COMPARE(scope.valueLabel(2)->text(), text);
        QTRY_COMPARE(scope.valueLabel(1)->text(), QString("4000"));  // halfway up a 0..1 ramp
        QTRY_COMPARE(scope.valueLabel(3)->text(), QString("0"));     // no data on that pen
    }

    void clearEmptiesEveryPen() {
        SuperScope scope(*settings_);
        scope.UpdateScope(CruiseData(), 1.0);
        QCOMPARE(scope.chart()->PointCount(3), 1);
        QTest::mouseClick(scope.findChild<QPushButton*>("Clear"), Qt::LeftButton);
        for (int pen = 0; pen < 4; ++pen) {
            QCOMPARE(scope.chart()->PointCount(pen), 0);
        }
    }

    void resetClearsAndShowsFifteenSeconds() {
        SuperScope scope(*settings_);
        for (int i = 0; i < 100; ++i) {
            scope.UpdateScope(CruiseData(), 0.5 * i);
        }
        QVERIFY(scope.chart()->RangeLower() > 0.0);
        scope.ResetScope();
        QCOMPARE(scope.chart()->PointCount(0), 0);
        QCOMPARE(scope.chart()->RangeLower(), 0.0);
        QCOMPARE(scope.chart()->RangeUpper(), 15.0);
    }

    void keepsTwoMinutesOfPointsSoLongRunsStayFlat() {
        SuperScope scope(*settings_);
        for (int i = 0; i <= 2000; ++i) {
            scope.UpdateScope(CruiseData(), 0.1 * i);
        }
        QTest::qWait(StripChart::kReplotIntervalMs * 4);
        const auto data = scope.chart()->plot()->graph(0)->data();
        QVERIFY(data->constBegin()->key >= 200.0 - 120.0 - 1e-9);
        QVERIFY(data->constBegin()->key < 200.0 - 119.0);
        QCOMPARE((data->constEnd() - 1)->key, 200.0);
    }

    void smallWindowGrowsTo5000TwipsAndChartFollows() {
        SuperScope scope(*settings_);
        scope.show();
        QVERIFY(QTest::qWaitForWindowExposed(&scope));
        const double twips = quelm::TwipsPerPixel(scope.logicalDpiX());
        const auto px = [twips](int tw) { return static_cast<int>(std::lround(tw / twips)); };
        scope.resize(px(3000), px(3000));
        QApplication::processEvents();
        const double w = scope.width() * twips;
        const double h = scope.height() * twips;
        QVERIFY2(w >= 5000 && w < 5000 + twips, qPrintable(QString::number(w)));
        QVERIFY2(h >= 5000 && h < 5000 + twips, qPrintable(QString::number(h)));
        // The chart is the window less 120 by 1250 twips, to the pixel.
        QVERIFY(std::abs(scope.chart()->width() * twips - (w - 120)) <= twips);
        QVERIFY(std::abs(scope.chart()->height() * twips - (h - 1250)) <= twips);
        if (scope.logicalDpiX() == 96) {
            QVERIFY(std::abs(scope.chart()->width() * twips - 4880) <= twips);
            QVERIFY(std::abs(scope.chart()->height() * twips - 3750) <= twips);
        }

        scope.resize(px(9000), px(7200));
        QApplication::processEvents();
        QCOMPARE(scope.size(), QSize(px(9000), px(7200)));
        QCOMPARE(scope.chart()->size(), QSize(px(9000 - 120), px(7200 - 1250)));
        // Nothing overlaps: labels under their selectors, Clear right of them, chart below.
        for (int n = 1; n <= 4; ++n) {
            const QRect sel = scope.selector(n)->geometry();
            const QRect lab = scope.valueLabel(n)->geometry();
            QVERIFY(lab.top() >= sel.bottom());
            QVERIFY(lab.left() >= sel.left() && lab.left() < sel.left() + 8);
            QVERIFY(lab.bottom() < scope.chart()->geometry().top());
            QVERIFY(sel.right() < scope.findChild<QPushButton*>("Clear")->geometry().left());
        }
    }

    void closingWritesTheFourSelectionsInOrder() {
        SuperScope scope(*settings_);
        scope.selector(1)->setCurrentText("RPM");
        scope.selector(2)->setCurrentText("*OFF*");
        scope.selector(3)->setCurrentText("WIDEO2");
        scope.show();
        QVERIFY(scope.close());
        QVERIFY(!scope.isVisible());
        QCOMPARE(Saved(*settings_, 1), QString("RPM"));
        QCOMPARE(Saved(*settings_, 2), QString("*OFF*"));
        QCOMPARE(Saved(*settings_, 3), QString("WIDEO2"));
        QCOMPARE(Saved(*settings_, 4), QString("ADVANCE"));
    }

    void demoWindow() {
        const int seconds = qEnvironmentVariableIntValue("QUELM_SCOPES_DEMO");
        if (seconds <= 0) {
            QSKIP("demo only");
        }
        SaveSelection(*settings_, {"RPM", "ADVANCE", "TPS", "HEGOL"});
        SuperScope a(*settings_);
        SaveSelection(*settings_, {"MPH", "LOAD", "*OFF*", "BOOST"});
        SuperScope b(*settings_);
        a.setWindowTitle("Scope1");
        b.setWindowTitle("Scope2");
        a.move(0, 0);
        b.move(0, 420);
        a.resize(640, 380);
        b.resize(520, 334);
        a.show();
        b.show();
        a.ResetScope();
        b.ResetScope();
        // A few seconds of a blip of the throttle from idle, at 100 frames a second.
        EngData eng{};
        for (int i = 0; i < 2200; ++i) {
            const double t = i * 0.01;
            const double blip = std::exp(-std::pow((t - 11.0) / 2.5, 2.0));
            eng.RPM = static_cast<float>(800 + 4200 * blip + 30 * std::sin(t * 7));
            eng.ADVANCE = static_cast<float>(14 + 18 * blip);
            eng.TPS = static_cast<float>(0.98 + 3.2 * blip);
            eng.HEGOL = static_cast<float>(0.45 + 0.4 * std::sin(t * 3.1));
            eng.MPH = static_cast<float>(30 + 25 * blip + t);
            eng.LOAD = static_cast<float>(0.3 + 0.9 * blip);
            eng.BOOST = static_cast<float>(9 * blip);
            a.UpdateScope(eng, t);
            b.UpdateScope(eng, t);
        }
        a.chart()->SetReadOutPosition(12.0);
        QTest::qWait(seconds * 1000);
    }

  private:
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<SettingsFile> settings_;
};

QTEST_MAIN(ScopeWindowTest)
#include "scope_window_test.moc"
