// The scope windows: one on its own (selectors, labels, plotting, read-out, size rule), then the
// table of them (numbering, the limit of ten, reuse of closed slots, the shared saved selection,
// a fresh start on reopening, reset and which windows the live and playback feeds reach).
#include <qcustomplot.h>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>  // modal_catcher.h needs the complete button type
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>

#include "../unit/fake_dashboard.h"
#include "common/records.h"
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

    void freshWindowHasItsControlsAndSelectsAdvanceEverywhere() {
        SuperScope scope(*settings_);
        for (int n = 1; n <= 4; ++n) {
            QComboBox* box = scope.findChild<QComboBox*>(QString("Var%1").arg(n));
            QVERIFY(box);
            QCOMPARE(box, scope.selector(n));
            QVERIFY(!box->isEditable());
            QCOMPARE(box->count(), 21);
            QCOMPARE(box->itemText(0), QString("*OFF*"));
            QCOMPARE(box->currentText(), QString("ADVANCE"));
            QLabel* label = scope.findChild<QLabel*>(QString("val%1").arg(n));
            QVERIFY(label);
            QCOMPARE(label->text(), QString("0"));
            // Each read-out in the colour of its pen.
            QCOMPARE(label->palette().color(QPalette::WindowText), StripChart::PenColour(n - 1));
        }
    }

    void savedNamesRestoredExactlyUnknownEndsOnAdvance() {
        SaveSelection(*settings_, {"RPM", "*OFF*", "TPS", "rpm"});
        SuperScope scope(*settings_);
        const QStringList selected{"RPM", "*OFF*", "TPS", "ADVANCE"};
        for (int n = 1; n <= 4; ++n) {
            QCOMPARE(scope.selector(n)->currentText(), selected[n - 1]);
        }
    }

    void allSelectorsOffGetNoPointsAndNoLabelChanges() {
        SaveSelection(*settings_, {"*OFF*", "*OFF*", "*OFF*", "*OFF*"});
        SuperScope scope(*settings_);
        scope.chart()->SetCurrentTime(2.0);
        const EngData eng = CruisingEngine();
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

    // Each pen plots its selector's channel as a fraction of full scale and its label shows the
    // value. (The scaling itself is the scope channels' unit test.)
    void eachPenPlotsItsChannel() {
        SaveSelection(*settings_, {"ADVANCE", "*OFF*", "MPG", "RPM"});
        SuperScope scope(*settings_);
        EngData eng = CruisingEngine();
        eng.ADVANCE = 85;  // beyond full scale: not clamped
        eng.MPG = 30;
        scope.UpdateScope(eng, 0.3);
        QCOMPARE(PlottedAt(*scope.chart(), 0, 0), 1.5);
        QVERIFY(std::abs(PlottedAt(*scope.chart(), 2, 0) - 0.6) < 1e-6);
        QCOMPARE(PlottedAt(*scope.chart(), 3, 0), 0.25);
        QCOMPARE(scope.chart()->PointCount(1), 0);
        QTRY_COMPARE(scope.valueLabel(1)->text(), QString("85"));
        QCOMPARE(scope.valueLabel(2)->text(), QString("0"));
        QCOMPARE(scope.valueLabel(3)->text(), QString("30"));
        QCOMPARE(scope.valueLabel(4)->text(), QString("2000"));
        QCOMPARE(scope.chart()->CurrentTime(), 0.3);
    }

    void metricLabelsAndReadOut() {
        SaveSelection(*settings_, {"MPH", "ECT", "BOOST", "VACUUM"});
        SuperScope scope(*settings_);
        scope.SetUnits(quelm::DisplayUnits::Metric);
        EngData eng = CruisingEngine();
        eng.MPH = 62;
        eng.BOOST = 4.2f;
        eng.ECT = 212;
        eng.VACUUM = 12.5f;
        scope.UpdateScope(eng, 0.5);
        QTRY_COMPARE(scope.valueLabel(1)->text(), QString("99.77"));  // 62 mph
        QCOMPARE(scope.valueLabel(2)->text(), QString("100"));        // 212 'F
        QCOMPARE(scope.valueLabel(3)->text(), QString("28.95"));      // 4.2 psi
        QCOMPARE(scope.valueLabel(4)->text(), QString("12.5"));       // vacuum stays in "Hg
        scope.chart()->SetReadOutPosition(0.5);
        QTRY_COMPARE(scope.valueLabel(1)->text(), QString("99.77"));  // the plot is the same
    }

    void pausedScopeFreezesScrollsBackAndGoesLive() {
        SaveSelection(*settings_, {"RPM", "*OFF*", "*OFF*", "*OFF*"});
        SuperScope scope(*settings_);
        scope.show();
        QVERIFY(QTest::qWaitForWindowExposed(&scope));
        StripChart* chart = scope.chart();
        QCOMPARE(chart->plot()->xAxis->label(), QString("Time (s)"));
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
        scope.AddMarker(65.0);
        QCOMPARE(chart->MarkerTickCount(), 1);
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

    void smallWindowGrowsTo5000TwipsAndChartFollows() {
        SuperScope scope(*settings_);
        scope.show();
        QVERIFY(QTest::qWaitForWindowExposed(&scope));
        const double twips = quelm::TwipsPerPixel(scope.logicalDpiX());
        const auto px = [twips](int tw) { return static_cast<int>(std::lround(tw / twips)); };
        // Sizes are outer sizes, frame included (the offscreen platform draws one too).
        const QSize frame = scope.frameGeometry().size() - scope.size();
        // Nothing overlaps or is cut: labels under their selectors, Clear apart from them, the
        // chart below, and every selector wide enough for its longest name.
        const auto checkLayout = [&scope] {
            const QRect clear = scope.findChild<QPushButton*>("Clear")->geometry();
            for (int n = 1; n <= 4; ++n) {
                const QRect sel = scope.selector(n)->geometry();
                const QRect lab = scope.valueLabel(n)->geometry();
                QVERIFY(lab.top() >= sel.bottom());
                QVERIFY(lab.left() >= sel.left() && lab.left() < sel.left() + 8);
                QVERIFY(lab.bottom() < scope.chart()->geometry().top());
                QVERIFY(!sel.intersects(clear) && !lab.intersects(clear));
                QVERIFY2(sel.width() >= scope.selector(n)->sizeHint().width(),
                         qPrintable(QString::number(sel.width())));
            }
            QVERIFY(clear.bottom() < scope.chart()->geometry().top());
        };

        scope.resize(QSize(px(3000), px(3000)) - frame);
        QApplication::processEvents();
        const double w = scope.frameGeometry().width() * twips;
        const double h = scope.frameGeometry().height() * twips;
        QVERIFY2(w >= 5000 && w < 5000 + twips, qPrintable(QString::number(w)));
        QVERIFY2(h >= 5000 && h < 5000 + twips, qPrintable(QString::number(h)));
        // The chart is the window less 120 by 1250 twips, to the pixel.
        QVERIFY(std::abs(scope.chart()->width() * twips - (w - 120)) <= twips);
        QVERIFY(std::abs(scope.chart()->height() * twips - (h - 1250)) <= twips);
        checkLayout();

        scope.resize(QSize(px(9000), px(7200)) - frame);
        QApplication::processEvents();
        QCOMPARE(scope.frameGeometry().size(), QSize(px(9000), px(7200)));
        QCOMPARE(scope.chart()->size(), QSize(px(9000 - 120), px(7200 - 1250)));
        checkLayout();
    }

    void tenWindowsThenTheMessageAndAClosedSlotIsReused() {
        ScopeTable scopes(*settings_, nullptr);
        for (int slot = 1; slot <= 10; ++slot) {
            SuperScope* window = scopes.OpenNextScope();
            QVERIFY(window);
            QCOMPARE(window, scopes.Existing(slot));
            QVERIFY(window->isVisible());
            QCOMPARE(window->windowTitle(), QString("Scope%1").arg(slot));
        }
        ModalCatcher catcher;
        QCOMPARE(scopes.OpenNextScope(), nullptr);
        QTRY_COMPARE(catcher.texts, QStringList{"A maximum of 10 Quelm Scopes can be displayed."});

        SuperScope* third = scopes.Existing(3);
        QVERIFY(third->close());
        QVERIFY(!third->isVisible());
        QCOMPARE(scopes.Existing(3), third);  // the slot keeps its window
        QCOMPARE(scopes.OpenNextScope(), third);
        QCOMPARE(third->windowTitle(), QString("Scope3"));
        QCOMPARE(catcher.texts.size(), 1);
        for (int slot = 1; slot <= 10; ++slot) {
            scopes.Existing(slot)->hide();
        }
    }

    void keysHoldTheWindowClosedLastAndReopeningLoadsThem() {
        ScopeTable scopes(*settings_, nullptr);
        SuperScope* first = scopes.OpenNextScope();
        SuperScope* second = scopes.OpenNextScope();
        first->selector(1)->setCurrentText("RPM");
        first->selector(4)->setCurrentText("TPS");
        second->selector(1)->setCurrentText("MAF");
        second->selector(2)->setCurrentText("*OFF*");
        QVERIFY(first->close());
        QVERIFY(second->close());
        const QStringList expected{"MAF", "*OFF*", "ADVANCE", "ADVANCE"};
        for (int n = 1; n <= 4; ++n) {
            QCOMPARE(Saved(*settings_, n), expected[n - 1]);
        }
        // Slot 1 comes back with the selection saved when slot 2 closed, and its own caption
        // only once the menu names it.
        QCOMPARE(scopes.OpenNextScope(), first);
        QCOMPARE(first->windowTitle(), QString("Scope1"));
        for (int n = 1; n <= 4; ++n) {
            QCOMPARE(first->selector(n)->currentText(), expected[n - 1]);
        }
        first->hide();
    }

    void aWindowShownAgainStartsFreshWithTheChoicesSavedSince() {
        ScopeTable scopes(*settings_, nullptr);
        SuperScope* first = scopes.OpenNextScope();
        scopes.ResetScopes();  // as a connection does: slots 2..10 are loaded, hidden
        for (int i = 0; i < 40; ++i) {
            scopes.UpdateScopes(CruisingEngine(), i * 1.0, true);
        }
        first->chart()->SetReadOutPosition(30.0);
        first->selector(1)->setCurrentText("RPM");
        QVERIFY(first->close());
        QCOMPARE(scopes.OpenNextScope(), first);
        QVERIFY(!first->chart()->HasReadOut());
        QCOMPARE(first->chart()->PointCount(0), 0);
        QCOMPARE(first->chart()->RangeLower(), 0.0);
        QCOMPARE(first->chart()->RangeUpper(), 15.0);
        // Slot 2 was loaded before RPM was saved; shown now, it takes the saved choice.
        SuperScope* second = scopes.OpenNextScope();
        QCOMPARE(second, scopes.Existing(2));
        QCOMPARE(second->selector(1)->currentText(), QString("RPM"));
        first->hide();
        second->hide();
    }

    void resetCreatesHiddenWindowsAndClearsEveryChart() {
        ScopeTable scopes(*settings_, nullptr);
        SuperScope* open = scopes.OpenNextScope();
        EngData eng{};
        eng.ADVANCE = 10;
        for (int i = 0; i < 40; ++i) {
            scopes.UpdateScopes(eng, i * 1.0, true);
        }
        QCOMPARE(open->chart()->PointCount(0), 40);
        QVERIFY(open->chart()->RangeLower() > 0);
        scopes.ResetScopes();
        for (int slot = 1; slot <= 10; ++slot) {
            SuperScope* window = scopes.Existing(slot);
            QVERIFY(window);
            QCOMPARE(window->isVisible(), slot == 1);
            QCOMPARE(window->windowTitle(), QString(slot == 1 ? "Scope1" : "Quelm_Scope"));
            QCOMPARE(window->chart()->PointCount(0), 0);
            QCOMPARE(window->chart()->RangeLower(), 0.0);
            QCOMPARE(window->chart()->RangeUpper(), 15.0);
        }
        open->hide();
    }

    void liveFeedSkipsMinimisedWindowsPlaybackDoesNot() {
        ScopeTable scopes(*settings_, nullptr);
        SuperScope* normal = scopes.OpenNextScope();
        SuperScope* minimised = scopes.OpenNextScope();
        SuperScope* closed = scopes.OpenNextScope();
        QVERIFY(closed->close());
        minimised->showMinimized();
        QVERIFY(minimised->isMinimized());
        EngData eng{};
        eng.RPM = 4000;

        scopes.UpdateScopes(eng, 1.0, true);
        QCOMPARE(normal->chart()->PointCount(0), 1);
        QCOMPARE(minimised->chart()->PointCount(0), 0);
        QCOMPARE(closed->chart()->PointCount(0), 0);

        scopes.UpdateScopes(eng, 2.0, false);
        QCOMPARE(normal->chart()->PointCount(0), 2);
        QCOMPARE(minimised->chart()->PointCount(0), 1);
        QCOMPARE(closed->chart()->PointCount(0), 0);
        QCOMPARE(minimised->chart()->CurrentTime(), 2.0);
        normal->hide();
        minimised->hide();
    }

  private:
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<SettingsFile> settings_;
};

QTEST_MAIN(ScopeWindowsTest)
#include "scope_windows_test.moc"
