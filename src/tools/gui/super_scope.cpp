#include "tools/gui/super_scope.h"

#include <qcustomplot.h>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QResizeEvent>
#include <QtGlobal>
#include <cmath>

#include "decode/scope_channels.h"
#include "files/settings_file.h"
#include "tools/scope_rules.h"
#include "widgets/strip_chart.h"

namespace quelm {
namespace {

constexpr int kMarginPx = 6;
constexpr int kSpacingPx = 6;
constexpr int kClearWidthPx = 64;
constexpr double kScopeSpan = 15.0;
// Two minutes behind the newest point: the window shows 15 s, and ten windows of four pens at
// 300 frames/s stay within a few tens of megabytes that are all taken in the first minutes.
constexpr double kScopeHistorySeconds = 120.0;

}  // namespace

SuperScope::SuperScope(SettingsFile& settings, QWidget* parent)
    : QWidget(parent, Qt::Window), settings_(settings) {
    setObjectName("SuperScope");

    QFont labelFont("Verdana", 10);
    labelFont.setBold(true);
    for (int i = 0; i < kSelectors; ++i) {
        auto* box = new QComboBox(this);
        box->setObjectName(QString("Var%1").arg(i + 1));
        box->setEditable(false);  // choose from the list only
        box->setToolTip("Choose an item to view.");
        box->setMaxVisibleItems(static_cast<int>(kScopeChannels.size()));
        // The list holds the channel table in order, so the position names the channel.
        connect(box, &QComboBox::currentIndexChanged, this, [this, i](int index) {
            channels_[static_cast<std::size_t>(i)] =
                (index >= 0 && index < static_cast<int>(kScopeChannels.size()))
                    ? &kScopeChannels[static_cast<std::size_t>(index)]
                    : nullptr;
        });
        selectors_[static_cast<std::size_t>(i)] = box;

        auto* label = new QLabel("0", this);
        label->setObjectName(QString("val%1").arg(i + 1));
        label->setFont(labelFont);
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, StripChart::PenColour(i));
        label->setPalette(palette);
        labels_[static_cast<std::size_t>(i)] = label;
    }

    clear_ = new QPushButton("Clear", this);
    clear_->setObjectName("Clear");
    connect(clear_, &QPushButton::clicked, this, [this] { Clear_Click(); });

    chart_ = new StripChart(this);
    chart_->setObjectName("Scope");
    connect(chart_, &StripChart::readOut, this, [this] { Scope_ReadOut(); });
    connect(chart_, &StripChart::flushed, this, &SuperScope::ShowPendingLabels);
    chart_->SetHistorySpan(kScopeHistorySeconds);
    // Hairline pens: a wider antialiased pen costs about twenty times as much per replot, and
    // ten scopes replot up to sixty times a second each.
    for (int pen = 0; pen < kSelectors; ++pen) {
        chart_->plot()->graph(pen)->setPen(QPen(StripChart::PenColour(pen), 1.0));
    }

    const double twips = TwipsPerPixel(logicalDpiX());
    resize(static_cast<int>(std::ceil(7200 / twips)), static_cast<int>(std::ceil(5000 / twips)));
    Load();
}

void SuperScope::Load() {
    setWindowTitle("Quelm_Scope");
    for (int i = 0; i < kSelectors; ++i) {
        QComboBox* box = selectors_[static_cast<std::size_t>(i)];
        box->clear();
        for (const ScopeChannel& channel : kScopeChannels) {
            box->addItem(QString::fromLatin1(channel.name.data(),
                                             static_cast<qsizetype>(channel.name.size())));
        }
        const std::string saved =
            ReadIniValue(settings_, kScopeSettingsSection, ScopeSettingsKey(i + 1));
        box->setCurrentIndex(RestoredChannelIndex(saved));
        SetLabel(i, "0");
    }
    chart_->Clear();
    loaded_ = true;
}

void SuperScope::Unload() {
    for (int i = 0; i < kSelectors; ++i) {
        const std::string text =
            selectors_[static_cast<std::size_t>(i)]->currentText().toStdString();
        if (!WriteIniValue(settings_, kScopeSettingsSection, ScopeSettingsKey(i + 1), text)) {
            // Closing goes on; the selection is simply not remembered.
            qWarning("Scope selection not saved: %s", settings_.LastError().c_str());
        }
    }
    loaded_ = false;
}

void SuperScope::UpdateScope(const EngData& eng, double time) {
    bool plotted = false;
    for (int i = 0; i < kSelectors; ++i) {
        const ScopeChannel* channel = channels_[static_cast<std::size_t>(i)];
        if (channel == nullptr || !ScopePlots(*channel)) {
            continue;
        }
        chart_->AddPoint(i, time, ScopeScaled(*channel, eng));
        SetLabelLater(i, ScopeValue(*channel, eng));
        plotted = true;
    }
    if (plotted) {
        chart_->SetCurrentTime(time);
    }
}

void SuperScope::ResetScope() {
    chart_->ResetTimeAxis(kScopeSpan, 0.0);
}

void SuperScope::Clear_Click() {
    chart_->Clear();
}

void SuperScope::Scope_ReadOut() {
    for (int i = 0; i < kSelectors; ++i) {
        const ScopeChannel* channel = channels_[static_cast<std::size_t>(i)];
        const double value =
            channel == nullptr ? 0.0 : ScopeReadout(channel->name, chart_->ValueAt(i));
        SetLabel(i, TwoDecimalText(value));
    }
}

void SuperScope::SetLabelLater(int index, float value) {
    const auto i = static_cast<std::size_t>(index);
    pendingValues_[i] = value;
    pending_[i] = true;
}

void SuperScope::ShowPendingLabels() {
    for (int i = 0; i < kSelectors; ++i) {
        const auto at = static_cast<std::size_t>(i);
        if (pending_[at]) {
            pending_[at] = false;
            SetLabel(i, TwoDecimalText(pendingValues_[at]));
        }
    }
}

void SuperScope::SetLabel(int index, std::string text) {
    // Whatever wrote last is shown: a read-out overrides a feed text still waiting.
    pending_[static_cast<std::size_t>(index)] = false;
    std::string& shown = labelTexts_[static_cast<std::size_t>(index)];
    if (shown == text) {
        return;
    }
    shown = std::move(text);
    labels_[static_cast<std::size_t>(index)]->setText(QString::fromStdString(shown));
}

void SuperScope::closeEvent(QCloseEvent* event) {
    Unload();
    event->accept();  // hides; the scope table keeps the window
}

void SuperScope::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    FitToSize();
}

void SuperScope::FitToSize() {
    if (isMinimized()) {
        return;
    }
    const double twips = TwipsPerPixel(logicalDpiX());
    const TwipSize now{static_cast<int>(std::lround(width() * twips)),
                       static_cast<int>(std::lround(height() * twips))};
    const ScopeSizing fit = FitScopeWindow(now);
    if (fit.window != now) {
        // Round up so the window really reaches the minimum; the resize comes back here.
        const QSize enlarged(
            std::max(width(), static_cast<int>(std::ceil(fit.window.width / twips))),
            std::max(height(), static_cast<int>(std::ceil(fit.window.height / twips))));
        if (enlarged != size()) {
            resize(enlarged);
            return;
        }
    }

    // The chart sits centred at the bottom with equal side and bottom margins; the selector row
    // and labels use the band above it.
    const int chartWidth = static_cast<int>(std::lround(fit.chart.width / twips));
    const int chartHeight = static_cast<int>(std::lround(fit.chart.height / twips));
    const int side = std::max(0, (width() - chartWidth) / 2);
    chart_->setGeometry(side, height() - chartHeight - side, chartWidth, chartHeight);

    const int rowHeight = selectors_[0]->sizeHint().height();
    const int clearX = width() - kMarginPx - kClearWidthPx;
    clear_->setGeometry(clearX, kMarginPx, kClearWidthPx, rowHeight);
    const int selectorWidth = std::max(
        40, (clearX - kSpacingPx - kMarginPx - (kSelectors - 1) * kSpacingPx) / kSelectors);
    const int labelY = kMarginPx + rowHeight + 2;
    const int labelHeight = labels_[0]->sizeHint().height();
    for (int i = 0; i < kSelectors; ++i) {
        const int x = kMarginPx + i * (selectorWidth + kSpacingPx);
        selectors_[static_cast<std::size_t>(i)]->setGeometry(x, kMarginPx, selectorWidth,
                                                             rowHeight);
        labels_[static_cast<std::size_t>(i)]->setGeometry(x + 2, labelY, selectorWidth - 2,
                                                          labelHeight);
    }
}

}  // namespace quelm
