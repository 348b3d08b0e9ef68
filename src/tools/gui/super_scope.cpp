#include "tools/gui/super_scope.h"

#include <qcustomplot.h>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QResizeEvent>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QtGlobal>
#include <algorithm>
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
constexpr int kGapPx = 2;
// Below this a channel name would be hard to read; the 5000-twip window never needs it.
constexpr double kSmallestSelectorPoints = 6.0;
constexpr double kScopeSpan = kScopeSpanSeconds;
// Two minutes behind the newest point (kScopeHistorySeconds): the window shows 15 s, and ten
// windows of four pens at 300 frames/s stay within a few tens of megabytes that are all taken
// in the first minutes.

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
    pause_ = new QPushButton("Pause", this);
    pause_->setObjectName("PauseScope");
    pause_->setToolTip(
        "Freeze the chart; the wheel and dragging then move through the last "
        "two minutes");
    connect(pause_, &QPushButton::clicked, this, [this] { Pause_Click(); });

    chart_ = new StripChart(this);
    chart_->setObjectName("Scope");
    connect(chart_, &StripChart::readOut, this, [this] { Scope_ReadOut(); });
    connect(chart_, &StripChart::flushed, this, &SuperScope::ShowPendingLabels);
    connect(chart_, &StripChart::panRequested, this, &SuperScope::Scroll);
    // Trimming goes on while paused: keep the frozen range on what is left.
    connect(chart_, &StripChart::flushed, this, [this] {
        if (paused_) {
            Scroll(0);
        }
    });
    chart_->SetHistorySpan(kScopeHistorySeconds);
    chart_->plot()->xAxis->setLabel("Time (s)");
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
    // Nothing of an earlier use of the window: no points, no read-out line, the time axis from 0.
    ResetScope();
    chart_->ClearReadOut();
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
    if (paused_) {
        Pause_Click();
    }
    chart_->ResetTimeAxis(kScopeSpan, 0.0);
}

void SuperScope::Clear_Click() {
    chart_->Clear();
}

void SuperScope::Pause_Click() {
    paused_ = !paused_;
    pause_->setText(paused_ ? "Live" : "Pause");
    chart_->SetFollowing(!paused_);
    chart_->SetDragPans(paused_);
    if (!paused_) {
        // Back to the newest points, as if the chart had followed them all along.
        const double now = chart_->CurrentTime();
        const double width = chart_->RangeUpper() - chart_->RangeLower();
        if (now > chart_->RangeUpper() || now < chart_->RangeLower()) {
            chart_->SetRange(now - width, now);
        }
    }
}

void SuperScope::Scroll(double seconds) {
    const double oldest = chart_->OldestX();
    const double newest = chart_->NewestX();
    if (!paused_ || std::isnan(oldest)) {
        return;
    }
    const TimeRange range =
        ScrollScope({chart_->RangeLower(), chart_->RangeUpper()}, seconds, oldest, newest);
    if (range.lower != chart_->RangeLower()) {
        chart_->SetRange(range.lower, range.upper);
    }
}

void SuperScope::SetUnits(DisplayUnits units) {
    units_ = units;
    for (int i = 0; i < kSelectors; ++i) {
        // Shown again in the new units with the next frame or read-out.
        labelTexts_[static_cast<std::size_t>(i)].clear();
    }
    if (chart_->HasReadOut()) {
        Scope_ReadOut();
    }
}

void SuperScope::AddMarker(double time) {
    chart_->AddMarkerTick(time);
}

std::array<std::string, 4> SuperScope::Channels() const {
    std::array<std::string, 4> names;
    for (int i = 0; i < kSelectors; ++i) {
        names[static_cast<std::size_t>(i)] =
            selectors_[static_cast<std::size_t>(i)]->currentText().toStdString();
    }
    return names;
}

void SuperScope::SetChannels(const std::array<std::string, 4>& names) {
    for (int i = 0; i < kSelectors; ++i) {
        selectors_[static_cast<std::size_t>(i)]->setCurrentIndex(
            RestoredChannelIndex(names[static_cast<std::size_t>(i)]));
    }
}

std::string SuperScope::ValueText(int index, float value) const {
    const ScopeChannel* channel = channels_[static_cast<std::size_t>(index)];
    if (units_ == DisplayUnits::US || channel == nullptr) {
        return TwoDecimalText(value);
    }
    return TwoDecimalText(InUnits(channel->name, value, units_));
}

void SuperScope::Scope_ReadOut() {
    for (int i = 0; i < kSelectors; ++i) {
        const ScopeChannel* channel = channels_[static_cast<std::size_t>(i)];
        const double value =
            channel == nullptr ? 0.0 : ScopeReadout(channel->name, chart_->ValueAt(i));
        SetLabel(
            i, TwoDecimalText(channel == nullptr ? value : InUnits(channel->name, value, units_)));
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
            SetLabel(i, ValueText(i, pendingValues_[at]));
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
    // The rule measures the outer size, caption and borders included.
    const double twips = TwipsPerPixel(logicalDpiX());
    const QSize outer = frameGeometry().size().expandedTo(size());
    const QSize frame = outer - size();
    const TwipSize now{static_cast<int>(std::lround(outer.width() * twips)),
                       static_cast<int>(std::lround(outer.height() * twips))};
    const ScopeSizing fit = FitScopeWindow(now);
    if (fit.window != now) {
        // Round up so the window really reaches the minimum; the resize comes back here.
        const QSize enlarged(
            std::max(width(),
                     static_cast<int>(std::ceil(fit.window.width / twips)) - frame.width()),
            std::max(height(),
                     static_cast<int>(std::ceil(fit.window.height / twips)) - frame.height()));
        if (enlarged != size()) {
            resize(enlarged);
            return;
        }
    }

    const int controlsBottom = LayOutControls();
    // The chart sits centred at the bottom with equal side and bottom margins, below the
    // controls even where a tall caption leaves less room than the rule expects.
    const int chartWidth =
        std::min(width(), static_cast<int>(std::lround(fit.chart.width / twips)));
    const int side = std::max(0, (width() - chartWidth) / 2);
    const int chartHeight = std::clamp(static_cast<int>(std::lround(fit.chart.height / twips)), 0,
                                       std::max(0, height() - controlsBottom - kGapPx - side));
    chart_->setGeometry(side, height() - chartHeight - side, chartWidth, chartHeight);
}

int SuperScope::LayOutControls() {
    // Four selectors in a row with Pause and Clear to their right, each read-out under its
    // selector. A channel name must never be cut: where the row is too narrow, the buttons move
    // down to the right under the read-outs, and if that is not enough the selectors' font
    // shrinks.
    const int row = width() - 2 * kMarginPx;
    const auto share = [](int room) { return (room - (kSelectors - 1) * kSpacingPx) / kSelectors; };
    int selectorWidth = share(row - 2 * (kSpacingPx + kClearWidthPx));
    const bool clearBelow = selectorWidth < SelectorWidthNeeded(font());
    QFont selectorFont = font();
    if (clearBelow) {
        selectorWidth = share(row);
        while (SelectorWidthNeeded(selectorFont) > selectorWidth &&
               selectorFont.pointSizeF() > kSmallestSelectorPoints) {
            selectorFont.setPointSizeF(selectorFont.pointSizeF() - 0.5);
        }
    }
    const auto useFont = [&selectorFont](QWidget* w) {
        if (w->font() != selectorFont) {
            w->setFont(selectorFont);
        }
    };
    for (QComboBox* box : selectors_) {
        useFont(box);
    }
    useFont(clear_);
    useFont(pause_);

    const int rowHeight = selectors_[0]->sizeHint().height();
    const int labelY = kMarginPx + rowHeight + kGapPx;
    const int labelHeight = labels_[0]->sizeHint().height();
    for (int i = 0; i < kSelectors; ++i) {
        const int x = kMarginPx + i * (selectorWidth + kSpacingPx);
        selectors_[static_cast<std::size_t>(i)]->setGeometry(x, kMarginPx, selectorWidth,
                                                             rowHeight);
        labels_[static_cast<std::size_t>(i)]->setGeometry(x + 2, labelY, selectorWidth - 2,
                                                          labelHeight);
    }
    const int clearX = width() - kMarginPx - kClearWidthPx;
    const int pauseX = clearX - kSpacingPx - kClearWidthPx;
    if (clearBelow) {
        const int buttonY = labelY + labelHeight + kGapPx;
        clear_->setGeometry(clearX, buttonY, kClearWidthPx, rowHeight);
        pause_->setGeometry(pauseX, buttonY, kClearWidthPx, rowHeight);
        return buttonY + rowHeight;
    }
    clear_->setGeometry(clearX, kMarginPx, kClearWidthPx, rowHeight);
    pause_->setGeometry(pauseX, kMarginPx, kClearWidthPx, rowHeight);
    return labelY + labelHeight;
}

int SuperScope::SelectorWidthNeeded(const QFont& font) const {
    // What the combo box asks for its longest entry, as its own size hint works it out.
    const QFontMetrics metrics(font);
    int text = 0;
    for (const ScopeChannel& channel : kScopeChannels) {
        text =
            std::max(text, metrics.horizontalAdvance(QString::fromLatin1(
                               channel.name.data(), static_cast<qsizetype>(channel.name.size()))));
    }
    QStyleOptionComboBox option;
    option.initFrom(selectors_[0]);
    option.editable = false;
    const QComboBox* box = selectors_[0];
    return box->style()
        ->sizeFromContents(QStyle::CT_ComboBox, &option, QSize(text, metrics.height()), box)
        .width();
}

}  // namespace quelm
