// The scope table: numbering of the windows, the limit of ten, reuse of closed slots, the
// shared saved selection, reset and which windows the live and playback feeds reach.
#include <QComboBox>
#include <QPushButton>  // modal_catcher.h needs the complete button type
#include <QTemporaryDir>
#include <QtTest>

#include "common/records.h"
#include "files/settings_file.h"
#include "modal_catcher.h"
#include "shell/gui/strip_chart.h"
#include "tools/gui/scope_table.h"
#include "tools/gui/super_scope.h"

using quelm::EngData;
using quelm::ScopeTable;
using quelm::SettingsFile;
using quelm::SuperScope;

class ScopeTableTest : public QObject {
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
        QCOMPARE(catcher.texts, QStringList{"A maximum of 10 Quelm Scopes can be displayed."});
        QCOMPARE(catcher.defaults.size(), 1);

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
            QCOMPARE(
                QString::fromStdString(settings_->Read("SCOPESETTINGS", "VAR" + std::to_string(n))),
                expected[n - 1]);
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

QTEST_MAIN(ScopeTableTest)
#include "scope_table_test.moc"
