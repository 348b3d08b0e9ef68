#include "shell/gui/super_dash.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <QTimer>
#include <tuple>

#include "common/status_model.h"
#include "common/twips.h"
#include "files/playback_keys.h"
#include "shell/gui/dashboard_view.h"
#include "widgets/gauge_widget.h"

namespace quelm {

SuperDash::SuperDash(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("SuperDash"));
    setWindowTitle(QStringLiteral("Quelm_Dash"));
    dashboard_ = new DashboardView(this);
    setCentralWidget(dashboard_);

    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setSizeGripEnabled(false);
    for (std::size_t i = 0; i < panels_.size(); ++i) {
        panels_[i] = new QLabel(bar);
        panels_[i]->setObjectName(QStringLiteral("panel%1").arg(i + 1));
        panels_[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panels_[i]->setMinimumWidth(40);
        // Equal stretch and an ignored size hint keep the five panels the same width.
        panels_[i]->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        bar->addPermanentWidget(panels_[i], 1);
    }

    timer1_ = new QTimer(this);
    timer1_->setObjectName(QStringLiteral("Timer1"));
    timer1_->setInterval(1000);
    connect(timer1_, &QTimer::timeout, this, [this] {
        if (onTimer1) {
            onTimer1();
        }
    });
    timer1_->start();

    connect(connectButton(), &QPushButton::clicked, this, [this] {
        if (onConnectClicked) {
            onConnectClicked();
        }
    });
    connectButton()->setShortcut(QKeySequence(Qt::Key_F5));
    connectButton()->setToolTip(QStringLiteral("Connect or disconnect (F5)"));
    for (const PlaybackKeyBinding& binding : kPlaybackKeys) {
        const QString name =
            QString::fromLatin1(binding.name.data(), static_cast<qsizetype>(binding.name.size()));
        auto* key = new QShortcut(QKeySequence(name), this);
        connect(key, &QShortcut::activated, this, [this, name] {
            if (onPlaybackKey) {
                onPlaybackKey(name);
            }
        });
        // A marker can be dropped whether or not the logging window shows.
        if (binding.key != PlaybackKey::Mark) {
            key->setEnabled(false);
            playbackKeys_.push_back(key);
        }
    }
    connect(gauge(QStringLiteral("tps")), &GaugeWidget::clicked, this,
            [this] { Open(QLatin1String(kTpsToolItem)); });
    gauge(QStringLiteral("tps"))->setToolTip(QStringLiteral("Click for the TPS Idle Setting Tool"));

    BuildMenus();
    resize(1120, TwipsToPixels(kDashHeightFullTwips, logicalDpiY()));
}

void SuperDash::BuildMenus() {
    QMenuBar* bar = menuBar();
    QMenu* view = bar->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("mnuView"));
    AddItem(view, kScopeItem, QStringLiteral("Quelm Scope"))
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_1));
    AddItem(view, kLoggingItem, QStringLiteral("&Logging Control"))
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    AddItem(view, kExportItem, QStringLiteral("&Export Utility"))
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    AddItem(view, kViewerItem, QStringLiteral("Log Viewer"));
    view->addSeparator();
    auto* units = new QActionGroup(view);
    for (const auto& [name, caption, metric] : {std::tuple{kUnitsUsItem, "&US Units", false},
                                                {kUnitsMetricItem, "&Metric Units", true}}) {
        QAction* item = units->addAction(QString::fromUtf8(caption));
        item->setObjectName(QLatin1String(name));
        item->setCheckable(true);
        item->setChecked(!metric);
        view->addAction(item);
        connect(item, &QAction::triggered, this, [this, metric = metric] {
            if (onUnitsChosen) {
                onUnitsChosen(metric);
            }
        });
    }
    QAction* peakHold = view->addAction(QStringLiteral("&Peak Hold"));
    peakHold->setObjectName(QLatin1String(kPeakHoldItem));
    peakHold->setCheckable(true);
    connect(peakHold, &QAction::triggered, this, [this](bool on) {
        if (onPeakHoldChosen) {
            onPeakHoldChosen(on);
        }
    });
    QAction* resetPeaks = view->addAction(QStringLiteral("&Reset Peaks"));
    resetPeaks->setObjectName(QLatin1String(kResetPeaksItem));
    connect(resetPeaks, &QAction::triggered, this, [this] {
        if (onResetPeaks) {
            onResetPeaks();
        }
    });
    QMenu* diag = bar->addMenu(QStringLiteral("&Diagnostic Tools"));
    diag->setObjectName(QStringLiteral("mnuDiagnostic"));
    AddItem(diag, kSelfTestItem, QStringLiteral("&KOEO Self Test"));
    AddItem(diag, kTpsToolItem, QStringLiteral("&TPS Setting Tool"));
    QMenu* setup = bar->addMenu(QStringLiteral("&Quelm Setup"));
    setup->setObjectName(QStringLiteral("mnuSetup"));
    AddItem(setup, kComSetupItem, QStringLiteral("&Communications Setup"));
    AddItem(setup, kComStatsItem, QStringLiteral("Communications &Statistics"));
    AddItem(setup, kFeaturesItem, QStringLiteral("Quelm &Feature Setup"));
    AddItem(setup, kVehicleItem, QStringLiteral("&Vehicle Settings"));
    QMenu* help = bar->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    AddItem(help, kUserGuideItem, QStringLiteral("&User Guide"));
    AddItem(help, kAboutItem, QStringLiteral("&About QUELM..."));
}

QAction* SuperDash::AddItem(QMenu* menu, const char* name, const QString& caption) {
    QAction* item = menu->addAction(caption);
    item->setObjectName(QLatin1String(name));
    item->setEnabled(false);
    const QString key = QLatin1String(name);
    connect(item, &QAction::triggered, this, [this, key] { Open(key); });
    return item;
}

GaugeWidget* SuperDash::gauge(const QString& name) const {
    return dashboard_->gauge(name);
}

QPushButton* SuperDash::connectButton() const {
    return dashboard_->connectButton();
}

QAction* SuperDash::menuItem(const QString& objectName) const {
    return menuBar()->findChild<QAction*>(objectName);
}

void SuperDash::ShowStatus(const StatusModel& status) {
    for (int i = 1; i <= StatusModel::kPanels; ++i) {
        const QString text = QString::fromStdString(status.Panel(i));
        if (QLabel* label = panels_[static_cast<std::size_t>(i - 1)]; label->text() != text) {
            label->setText(text);
        }
    }
    dashboard_->SetComStat(static_cast<int>(status.Indicator()));
    const QString caption = QString::fromStdString(status.ConnectCaption());
    if (connectButton()->text() != caption) {
        connectButton()->setText(caption);
    }
}

void SuperDash::SetWindowOpener(const QString& itemName, std::function<void()> open) {
    if (QAction* item = menuItem(itemName)) {
        item->setEnabled(static_cast<bool>(open));
    }
    openers_[itemName] = std::move(open);
}

void SuperDash::Open(const QString& itemName) {
    const auto it = openers_.find(itemName);
    if (it != openers_.end() && it->second) {
        it->second();
    }
}

void SuperDash::ShowDisplayChoices(bool metric, bool peakHold) {
    menuItem(QLatin1String(metric ? kUnitsMetricItem : kUnitsUsItem))->setChecked(true);
    menuItem(QLatin1String(kPeakHoldItem))->setChecked(peakHold);
}

void SuperDash::SetPlaybackKeysEnabled(bool enabled) {
    for (QShortcut* key : playbackKeys_) {
        key->setEnabled(enabled);
    }
}

void SuperDash::SetGaugeVisible(const QString& name, bool visible) {
    if (GaugeWidget* g = gauge(name)) {
        g->setVisible(visible);
    }
}

void SuperDash::SetBoostFullScale(double fullScale) {
    dashboard_->SetBoostFullScale(fullScale);
}

void SuperDash::SetHeightTwips(int twips) {
    // The height in twips is the outer height, caption and borders included.
    const int frame = frameGeometry().height() - height();
    resize(width(), TwipsToPixels(twips, logicalDpiY()) - frame);
}

bool SuperDash::DashboardShown(bool live) const {
    return isVisible() && (!live || !isMinimized());
}

void SuperDash::closeEvent(QCloseEvent* event) {
    event->accept();
    if (onClosed) {
        onClosed();
    }
}

}  // namespace quelm
