// The scope windows: one on its own (plotting, read-outs, pause, size rule), then the table of
// them (the limit of ten, reuse of closed slots, the shared saved selection, a fresh start on
// reopening, reset and which windows the live and playback feeds reach).
#include <qcustomplot.h>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>  // modal_catcher.h needs the complete button type
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>

#include "../unit/fake_dashboard.h"
#include "files/settings_file.h"
#include "modal_catcher.h"
#include "tools/gui/scope_table.h"
#include "tools/gui/super_scope.h"
#include "tools/scope_rules.h"
#include "widgets/strip_chart.h"

using quelm::EngData;
using quelm::ScopeTable;
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

using quelm::testing::CruisingEngine;

}  // namespace

class ScopeWindowsTest : public QObject {
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

    // Each pen plots its selector's channel as a fraction of full scale; its read-out, in the
    // pen's colour, shows the value in the units chosen, live and at the read-out position. An
    // all-off scope does not move. (Scaling and conversion are the unit tests'.)
    void eachPenPlotsItsChannel() {
        SaveSelection(*settings_, {"ADVANCE", "*OFF*", "MPG", "MPH"});
        SuperScope scope(*settings_);
        EngData eng = CruisingEngine();
        eng.ADVANCE = 85;  // beyond full scale: not clamped
        eng.MPG = 30;
        eng.MPH = 62;
        scope.UpdateScope(eng, 0.3);
        QCOMPARE(PlottedAt(*scope.chart(), 0, 0), 1.5);
        QVERIFY(std::abs(PlottedAt(*scope.chart(), 2, 0) - 0.6) < 1e-6);
        QCOMPARE(scope.chart()->PointCount(1), 0);
        QTRY_COMPARE(scope.valueLabel(1)->text(), QString("85"));
        QCOMPARE(scope.valueLabel(2)->text(), QString("0"));
        QCOMPARE(scope.valueLabel(3)->text(), QString("30"));
        QCOMPARE(scope.chart()->CurrentTime(), 0.3);
        for (int n = 1; n <= 4; ++n) {
            QCOMPARE(scope.valueLabel(n)->palette().color(QPalette::WindowText),
                     StripChart::PenColour(n - 1));
        }
        scope.SetUnits(quelm::DisplayUnits::Metric);
        eng.MPH = 31;
        scope.UpdateScope(eng, 0.5);
        QTRY_COMPARE(scope.valueLabel(4)->text(), QString("49.88"));  // 31 mph
        scope.chart()->SetReadOutPosition(0.3);
        QTRY_COMPARE(scope.valueLabel(4)->text(), QString("99.77"));  // 62 mph

        for (int n = 1; n <= 4; ++n) {
            scope.selector(n)->setCurrentText("*OFF*");
        }
        scope.UpdateScope(eng, 20.0);
        QCOMPARE(scope.chart()->CurrentTime(), 0.5);
    }

    void pausedScopeFreezesScrollsBackAndGoesLive() {
        SaveSelection(*settings_, {"RPM", "*OFF*", "*OFF*", "*OFF*"});
        SuperScope scope(*settings_);
        scope.show();
        QVERIFY(QTest::qWaitForWindowExposed(&scope));
        StripChart* chart = scope.chart();
        EngData eng = CruisingEngine();
        auto feed = [&](int from, int to) {
            for (int i = from; i <= to; ++i) {
                eng.RPM = static_cast<float>(i);
                scope.UpdateScope(eng, 0.125 * i);
            }
        };
        feed(0, 480);
        auto* pause = scope.findChild<QPushButton*>("PauseScope");
        pause->click();
        QCOMPARE(pause->text(), QString("Live"));
        feed(481, 560);  // still recorded, not shown
        QCOMPARE(chart->RangeUpper(), 60.0);
        QWheelEvent away(QPointF(50, 50), chart->plot()->mapToGlobal(QPointF(50, 50)), QPoint(),
                         QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(chart->plot(), &away);
        QCOMPARE(chart->RangeLower(), 42.0);  // one notch: a fifth of 15 s back
        chart->SetReadOutPosition(50.0);
        QTRY_COMPARE(scope.valueLabel(1)->text(), QString("400"));
        pause->click();
        QCOMPARE(pause->text(), QString("Pause"));
        QCOMPARE(chart->RangeUpper(), 70.0);
        feed(561, 568);
        QCOMPARE(chart->RangeUpper(), 71.0);  // follows again
    }

    void clearEmptiesEveryPen() {
        SuperScope scope(*settings_);
        scope.UpdateScope(CruisingEngine(), 1.0);
        QCOMPARE(scope.chart()->PointCount(3), 1);
        QTest::mouseClick(scope.findChild<QPushButton*>("Clear"), Qt::LeftButton);
        for (int pen = 0; pen < 4; ++pen) {
            QCOMPARE(scope.chart()->PointCount(pen), 0);
        }
    }

    void keepsTwoMinutesOfPointsSoLongRunsStayFlat() {
        SuperScope scope(*settings_);
        for (int i = 0; i <= 2000; ++i) {
            scope.UpdateScope(CruisingEngine(), 0.1 * i);
        }
        QTest::qWait(StripChart::kReplotIntervalMs * 4);
        const auto data = scope.chart()->plot()->graph(0)->data();
        QVERIFY(data->constBegin()->key >= 200.0 - 120.0 - 1e-9);
        QVERIFY(data->constBegin()->key < 200.0 - 119.0);
        QCOMPARE((data->constEnd() - 1)->key, 200.0);
    }

    // The size rule reaches the window and its chart (the rule itself is the unit test's).
    void smallWindowGrowsTo5000TwipsAndChartFollows() {
        SuperScope scope(*settings_);
        scope.show();
        QVERIFY(QTest::qWaitForWindowExposed(&scope));
        const double twips = quelm::TwipsPerPixel(scope.logicalDpiX());
        const auto px = [twips](int tw) { return static_cast<int>(std::lround(tw / twips)); };
        // Sizes are outer sizes, frame included (the offscreen platform draws one too).
        const QSize frame = scope.frameGeometry().size() - scope.size();
        scope.resize(QSize(px(3000), px(7200)) - frame);
        QApplication::processEvents();
        const int width = scope.frameGeometry().width();
        QVERIFY2(width * twips >= 5000 && width * twips < 5000 + twips,
                 qPrintable(QString::number(width)));
        QCOMPARE(scope.frameGeometry().height(), px(7200));
        QVERIFY(std::abs((scope.chart()->width() - width) * twips + 120) <= twips);
        QCOMPARE(scope.chart()->height(), px(7200 - 1250));
    }

    void tenWindowsThenTheMessageAndAClosedSlotIsReused() {
        ScopeTable scopes(*settings_, nullptr);
        for (int slot = 1; slot <= 10; ++slot) {
            SuperScope* opened = scopes.OpenNextScope();
            QCOMPARE(opened, scopes.Existing(slot));
        }
        QCOMPARE(scopes.Existing(10)->windowTitle(), QString("Scope10"));
        ModalCatcher catcher;
        QCOMPARE(scopes.OpenNextScope(), nullptr);
        QTRY_COMPARE(catcher.texts, QStringList{"A maximum of 10 Quelm Scopes can be displayed."});
        SuperScope* third = scopes.Existing(3);
        QVERIFY(third->close());
        QCOMPARE(scopes.OpenNextScope(), third);
        QVERIFY(third->isVisible());
        for (int slot = 1; slot <= 10; ++slot) {
            scopes.Existing(slot)->hide();
        }
    }

    // Closing saves the selection, the window closed last winning. A window shown again starts
    // fresh with it, and one loaded hidden before it was saved takes it when shown.
    void reopenedWindowsStartFreshWithTheSelectionSavedLast() {
        ScopeTable scopes(*settings_, nullptr);
        SuperScope* first = scopes.OpenNextScope();
        SuperScope* second = scopes.OpenNextScope();
        scopes.ResetScopes();  // as a connection does: slots 3..10 are loaded, hidden
        for (int i = 0; i < 40; ++i) {
            scopes.UpdateScopes(CruisingEngine(), i * 1.0, true);
        }
        first->chart()->SetReadOutPosition(30.0);
        first->selector(1)->setCurrentText("RPM");
        first->selector(4)->setCurrentText("TPS");
        second->selector(1)->setCurrentText("MAF");
        second->selector(2)->setCurrentText("*OFF*");
        QVERIFY(first->close());
        QVERIFY(second->close());
        const QStringList expected{"MAF", "*OFF*", "ADVANCE", "ADVANCE"};
        QCOMPARE(scopes.OpenNextScope(), first);
        QCOMPARE(first->windowTitle(), QString("Scope1"));
        for (int n = 1; n <= 4; ++n) {
            QCOMPARE(Saved(*settings_, n), expected[n - 1]);
            QCOMPARE(first->selector(n)->currentText(), expected[n - 1]);
        }
        QVERIFY(!first->chart()->HasReadOut());
        QCOMPARE(first->chart()->PointCount(0), 0);
        QCOMPARE(first->chart()->RangeUpper(), 15.0);
        QCOMPARE(scopes.OpenNextScope(), second);
        SuperScope* third = scopes.OpenNextScope();
        QCOMPARE(third, scopes.Existing(3));
        QCOMPARE(third->selector(1)->currentText(), QString("MAF"));
        for (SuperScope* window : {first, second, third}) {
            window->hide();
        }
    }

    // A reset loads the hidden slots and clears every chart; live frames skip a minimised window,
    // playback does not, and a closed one gets neither.
    void resetClearsEveryChartAndWhichWindowsTheFeedsReach() {
        ScopeTable scopes(*settings_, nullptr);
        SuperScope* normal = scopes.OpenNextScope();
        SuperScope* minimised = scopes.OpenNextScope();
        SuperScope* closed = scopes.OpenNextScope();
        EngData eng{};
        for (int i = 0; i < 40; ++i) {
            scopes.UpdateScopes(eng, i * 1.0, true);
        }
        QVERIFY(normal->chart()->RangeLower() > 0);
        scopes.ResetScopes();
        for (int slot = 1; slot <= 10; ++slot) {
            SuperScope* window = scopes.Existing(slot);
            QCOMPARE(window->isVisible(), slot <= 3);
            QCOMPARE(window->chart()->PointCount(0), 0);
            QCOMPARE(window->chart()->RangeLower(), 0.0);
        }
        QVERIFY(closed->close());
        minimised->showMinimized();
        QVERIFY(minimised->isMinimized());
        scopes.UpdateScopes(eng, 1.0, true);
        scopes.UpdateScopes(eng, 2.0, false);
        QCOMPARE(normal->chart()->PointCount(0), 2);
        QCOMPARE(minimised->chart()->PointCount(0), 1);
        QCOMPARE(closed->chart()->PointCount(0), 0);
        normal->hide();
        minimised->hide();
    }

  private:
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<SettingsFile> settings_;
};

QTEST_MAIN(ScopeWindowsTest)
#include "scope_windows_test.moc"
