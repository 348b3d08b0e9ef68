#include "viewer/gui/log_viewer.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QSpinBox>
#include <QSplitter>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "common/app_paths.h"
#include "decode/scope_channels.h"
#include "viewer/gui/log_chart.h"
#include "viewer/gui/marks_panel.h"
#include "viewer/gui/xy_view.h"
#include "widgets/dialogs.h"

namespace quelm {
namespace {

// Records converted per step of a load slice, and how long a slice may take: short enough
// that a receive loop sharing the thread hardly notices.
constexpr std::size_t kLoadStep = 2048;
constexpr qint64 kLoadSliceNs = 3'000'000;
// Rows of the value table before the channels.
constexpr int kTimeRow = 0;
constexpr int kRecordRow = 1;
constexpr int kFirstChannelRow = 2;

QString Text(const std::string& s) {
    return QString::fromStdString(s);
}

using Channels = std::array<std::optional<std::size_t>, LogChart::kPens>;

Channels Named(std::initializer_list<const char*> names) {
    Channels channels;
    std::size_t pen = 0;
    for (const char* name : names) {
        channels[pen++] = FindLogChannel(name);
    }
    return channels;
}

}  // namespace

LogViewer::LogViewer(const LiveConfig& config, const CalibrationTables& tables, QWidget* parent)
    : QWidget(parent, Qt::Window),
      config_(config),
      tables_(tables),
      message_(MessageBoxSink(this)) {
    setObjectName(QStringLiteral("LogViewer"));
    setWindowTitle(QStringLiteral("Log Viewer"));

    QLayout* toolbar = BuildToolbar();
    QWidget* chartArea = BuildCharts();
    QWidget* side = BuildSidePanel();
    auto* split = new QSplitter(Qt::Horizontal, this);
    split->addWidget(chartArea);
    split->addWidget(side);
    split->setStretchFactor(0, 1);
    split->setSizes({900, 280});
    QLayout* statusRow = BuildStatusRow();

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(toolbar);
    layout->addWidget(split, 1);
    layout->addLayout(statusRow);
    ConnectControls();

    chartCountBox_->setValue(2);  // through valueChanged: SetChartCount(2)
    progress_->hide();
    cancel_->hide();
    UpdateButtons();
    resize(1240, 860);
}

LogViewer::~LogViewer() = default;

QLayout* LogViewer::BuildToolbar() {
    open_ = new QPushButton(QStringLiteral("Open Log..."), this);
    open_->setObjectName(QStringLiteral("open"));
    file_ = new QLabel(this);
    file_->setObjectName(QStringLiteral("file"));
    chartCountBox_ = new QSpinBox(this);
    chartCountBox_->setObjectName(QStringLiteral("chartCount"));
    chartCountBox_->setRange(1, kMaxCharts);
    xyButton_ = new QPushButton(QStringLiteral("X-Y View"), this);
    xyButton_->setObjectName(QStringLiteral("xyButton"));
    playFromHere_ = new QPushButton(QStringLiteral("Play from here"), this);
    playFromHere_->setObjectName(QStringLiteral("playFromHere"));
    playFromHere_->setToolTip(QStringLiteral("Plays the log in Logging Control from the cursor"));
    followGauges_ = new QCheckBox(QStringLiteral("Gauges follow the cursor"), this);
    followGauges_->setObjectName(QStringLiteral("followGauges"));
    followGauges_->setToolTip(
        QStringLiteral("While the link is stopped and no log plays, the dashboard shows the "
                       "record at the cursor"));

    auto* toolbar = new QHBoxLayout;
    toolbar->addWidget(open_);
    toolbar->addWidget(file_, 1);
    toolbar->addWidget(new QLabel(QStringLiteral("Charts:"), this));
    toolbar->addWidget(chartCountBox_);
    toolbar->addWidget(xyButton_);
    toolbar->addWidget(playFromHere_);
    toolbar->addWidget(followGauges_);
    return toolbar;
}

// The four charts, each with its own channels, sharing the time axis and the cursor.
QWidget* LogViewer::BuildCharts() {
    auto* chartArea = new QWidget(this);
    auto* chartLayout = new QVBoxLayout(chartArea);
    chartLayout->setContentsMargins(0, 0, 0, 0);
    const std::array<Channels, kMaxCharts> defaults{
        Named({"RPM", "LOAD", "TPS"}), Named({"MPH", "MAF", "WIDEO2"}),
        Named({"ECT", "ACT", "ADVANCE"}), Named({"INJDUTY", "INJPW", "HEGOL", "HEGOR"})};
    for (int i = 0; i < kMaxCharts; ++i) {
        auto* chart = new LogChart(chartArea);
        chart->setObjectName(QStringLiteral("chart%1").arg(i + 1));
        chart->SetChannels(defaults[static_cast<std::size_t>(i)]);
        chartLayout->addWidget(chart, 1);
        charts_[static_cast<std::size_t>(i)] = chart;
        connect(chart, &LogChart::channelsChanged, this, [this] { ScheduleRedraw(); });
        connect(chart, &LogChart::cursorPicked, this, [this](double t) { SetCursor(t); });
        connect(chart, &LogChart::zoomTo, this, [this](double a, double b) { SetRange(a, b); });
        connect(chart, &LogChart::zoomAt, this, [this](double t, double f) { ZoomAt(t, f); });
        connect(chart, &LogChart::panBy, this, [this](double dt) { PanBy(dt); });
        connect(chart, &LogChart::showAll, this, [this] { ShowAll(); });
    }
    return chartArea;
}

// The value of every channel at the cursor above the list of markers.
QWidget* LogViewer::BuildSidePanel() {
    values_ = new QTableWidget(kFirstChannelRow + static_cast<int>(kLogChannelCount), 2, this);
    values_->setObjectName(QStringLiteral("values"));
    values_->setHorizontalHeaderLabels({QStringLiteral("Channel"), QStringLiteral("Value")});
    values_->verticalHeader()->hide();
    values_->horizontalHeader()->setStretchLastSection(true);
    values_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    values_->setItem(kTimeRow, 0, new QTableWidgetItem(QStringLiteral("Time (s)")));
    values_->setItem(kRecordRow, 0, new QTableWidgetItem(QStringLiteral("Record")));
    for (int row = kFirstChannelRow; row < values_->rowCount(); ++row) {
        values_->setItem(row, 0, new QTableWidgetItem);
    }
    for (int row = 0; row < values_->rowCount(); ++row) {
        values_->setItem(row, 1, new QTableWidgetItem);
    }
    ShowChannelCaptions();
    values_->resizeRowsToContents();
    marks_ = new MarksPanel(this);
    marks_->SetMessageSink(
        [this](const QString& text, Then then) { message_(text, std::move(then)); });
    marks_->addAt = [this] { return cursor_; };
    connect(marks_, &MarksPanel::changed, this, [this] { ShowMarks(); });
    connect(marks_, &MarksPanel::picked, this, [this](double t) {
        if (t < t0_ || t > t1_) {
            const double half = (t1_ - t0_) / 2;
            SetRange(t - half, t + half);
        }
        SetCursor(t);
    });

    auto* side = new QSplitter(Qt::Vertical, this);
    side->addWidget(values_);
    side->addWidget(marks_);
    return side;
}

// The load's progress and its Cancel button.
QLayout* LogViewer::BuildStatusRow() {
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("status"));
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("progress"));
    progress_->setRange(0, 1000);
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancel_->setObjectName(QStringLiteral("cancel"));
    auto* statusRow = new QHBoxLayout;
    statusRow->addWidget(status_, 1);
    statusRow->addWidget(progress_);
    statusRow->addWidget(cancel_);
    return statusRow;
}

void LogViewer::ConnectControls() {
    loadTimer_ = new QTimer(this);
    loadTimer_->setInterval(0);
    connect(loadTimer_, &QTimer::timeout, this, [this] { LoadSlice(); });
    redrawTimer_ = new QTimer(this);
    redrawTimer_->setSingleShot(true);
    redrawTimer_->setInterval(0);
    connect(redrawTimer_, &QTimer::timeout, this, [this] { Redraw(); });

    connect(open_, &QPushButton::clicked, this, [this] { Browse(); });
    connect(cancel_, &QPushButton::clicked, this, [this] { CancelLoad(); });
    connect(chartCountBox_, &QSpinBox::valueChanged, this, [this](int n) { SetChartCount(n); });
    connect(xyButton_, &QPushButton::clicked, this, [this] {
        UpdateXYSource();  // while hidden: it draws once, as it is shown
        xyView().show();
        xyView().raise();
    });
    connect(playFromHere_, &QPushButton::clicked, this, [this] {
        if (const auto record = CursorRecord(); record && onPlayFrom) {
            onPlayFrom(path_, *record + 1);
        }
    });
    connect(followGauges_, &QCheckBox::toggled, this, [this] { ShowCursorValues(); });

    // The keyboard: +/- zoom about the cursor (or the middle), the arrows pan by a tenth,
    // Home and End go to either end of the log.
    const auto key = [this](QKeySequence sequence, std::function<void()> act) {
        connect(new QShortcut(sequence, this), &QShortcut::activated, this, std::move(act));
    };
    const auto zoomCentre = [this] {
        return cursor_ && *cursor_ >= t0_ && *cursor_ <= t1_ ? *cursor_ : (t0_ + t1_) / 2;
    };
    key(QKeySequence(Qt::Key_Plus), [=, this] { ZoomAt(zoomCentre(), 0.5); });
    key(QKeySequence(Qt::Key_Equal), [=, this] { ZoomAt(zoomCentre(), 0.5); });
    key(QKeySequence(Qt::Key_Minus), [=, this] { ZoomAt(zoomCentre(), 2.0); });
    key(QKeySequence(Qt::Key_Left), [this] { PanBy(-(t1_ - t0_) / 10); });
    key(QKeySequence(Qt::Key_Right), [this] { PanBy((t1_ - t0_) / 10); });
    key(QKeySequence(Qt::Key_Home),
        [this] { SetRange(Extent().first, Extent().first + t1_ - t0_); });
    key(QKeySequence(Qt::Key_End),
        [this] { SetRange(Extent().second - (t1_ - t0_), Extent().second); });
}

void LogViewer::SetMessageSink(MessageSink sink) {
    message_ = std::move(sink);
}

void LogViewer::SetUnits(DisplayUnits units) {
    units_ = units;
    for (LogChart* chart : charts_) {
        chart->SetUnits(units);
    }
    if (xy_ != nullptr) {
        xy_->SetUnits(units);
    }
    ShowChannelCaptions();
    ShowCursorValues();
    ScheduleRedraw();
}

void LogViewer::ShowChannelCaptions() {
    for (std::size_t c = 0; c < kLogChannelCount; ++c) {
        values_->item(kFirstChannelRow + static_cast<int>(c), 0)
            ->setText(QString::fromStdString(ChannelCaption(c, units_)));
    }
}

void LogViewer::Browse() {
    AskForFile(this, FileDialogMode::Existing, QStringLiteral("Browse"), Text(LogsDir().string()),
               QStringLiteral("Quelm Files (*.qm1)"), [this](const QString& file) {
                   if (!file.isEmpty()) {
                       Open(std::filesystem::path(QFile::encodeName(file).toStdString()));
                   }
               });
}

void LogViewer::Open(const std::filesystem::path& log) {
    auto loader = std::make_unique<LogColumnsLoader>(log, config_, tables_);
    if (!loader->Error().empty()) {
        message_(Text(loader->Error()), {});
        return;
    }
    CancelLoad();
    loader_ = std::move(loader);
    loadingPath_ = log;
    loadClock_.start();
    status_->setText(QStringLiteral("Loading %1 ...").arg(Text(log.filename().string())));
    progress_->setValue(0);
    progress_->show();
    cancel_->show();
    UpdateButtons();
    loadTimer_->start();
}

void LogViewer::CancelLoad() {
    if (!loader_) {
        return;
    }
    loadTimer_->stop();
    loader_.reset();
    progress_->hide();
    cancel_->hide();
    status_->setText(QStringLiteral("Loading cancelled."));
    UpdateButtons();
}

void LogViewer::LoadSlice() {
    QElapsedTimer slice;
    slice.start();
    bool more = true;
    while (more && slice.nsecsElapsed() < kLoadSliceNs) {
        more = loader_->Step(kLoadStep);
    }
    if (loader_->Total() > 0) {
        progress_->setValue(static_cast<int>(loader_->Done() * 1000 / loader_->Total()));
    }
    if (more) {
        return;
    }
    loadTimer_->stop();
    const std::unique_ptr<LogColumnsLoader> loader = std::move(loader_);
    progress_->hide();
    cancel_->hide();
    if (!loader->Finished()) {
        status_->clear();
        UpdateButtons();
        message_(Text(loader->Error()), {});
        return;
    }
    log_ = std::make_unique<LogColumns>(loader->Take());
    path_ = loadingPath_;
    cursor_.reset();
    setWindowTitle(QStringLiteral("Log Viewer - %1").arg(Text(path_.filename().string())));
    file_->setText(Text(path_.string()));
    const auto [first, last] = Extent();
    QString summary = QStringLiteral("%1 records, %2 s")
                          .arg(log_->size())
                          .arg(QString::number(last - first, 'f', 2));
    if (log_->badRecords > 0) {
        summary += QStringLiteral(", %1 with a bad checksum (shown as gaps)").arg(log_->badRecords);
    }
    status_->setText(
        summary +
        QStringLiteral("; loaded in %1 s")
            .arg(QString::number(static_cast<double>(loadClock_.elapsed()) / 1000.0, 'f', 2)));
    marks_->Load(path_, first, last);
    ShowAll();
    Redraw();
    ShowCursorValues();
    UpdateButtons();
    emit loaded();
}

std::pair<double, double> LogViewer::Extent() const {
    if (!log_ || log_->size() == 0) {
        return {0.0, 1.0};
    }
    return {log_->times.front(), log_->times.back()};
}

void LogViewer::SetChartCount(int count) {
    chartCount_ = std::clamp(count, 1, kMaxCharts);
    if (chartCountBox_->value() != chartCount_) {
        chartCountBox_->setValue(chartCount_);
    }
    for (int i = 0; i < kMaxCharts; ++i) {
        charts_[static_cast<std::size_t>(i)]->setVisible(i < chartCount_);
    }
    ScheduleRedraw();
}

void LogViewer::SetRange(double t0, double t1) {
    const auto [first, last] = Extent();
    // A log of one moment still gets a range to draw in.
    const double full = std::max(last - first, kMinSpan);
    const double width = std::clamp(t1 - t0, std::min(kMinSpan, full), full);
    double lower = t0 + (t1 - t0 - width) / 2;
    lower = std::clamp(lower, std::min(first, last - width), std::max(first, last - width));
    if (lower == t0_ && lower + width == t1_) {
        return;
    }
    t0_ = lower;
    t1_ = lower + width;
    ScheduleRedraw();
}

void LogViewer::ShowAll() {
    const auto [first, last] = Extent();
    const double middle = (first + last) / 2;
    const double half = std::max(last - first, kMinSpan) / 2;
    SetRange(middle - half, middle + half);
}

void LogViewer::ZoomAt(double t, double factor) {
    SetRange(t - (t - t0_) * factor, t + (t1_ - t) * factor);
}

void LogViewer::PanBy(double dt) {
    SetRange(t0_ + dt, t1_ + dt);
}

void LogViewer::SetCursor(double t) {
    if (!log_ || log_->size() == 0) {
        return;
    }
    const auto [first, last] = Extent();
    cursor_ = std::clamp(t, first, last);
    for (LogChart* chart : charts_) {
        chart->SetCursor(cursor_);
    }
    ShowCursorValues();
    UpdateButtons();
}

std::optional<std::size_t> LogViewer::CursorRecord() const {
    if (!log_ || !cursor_) {
        return std::nullopt;
    }
    return RecordAtOrBefore(log_->times, *cursor_);
}

void LogViewer::ShowCursorValues() {
    const auto record = CursorRecord();
    const bool good = record && log_->Good(*record);
    values_->item(kTimeRow, 1)
        ->setText(record ? QString::number(log_->times[*record], 'f', 2) : QString());
    values_->item(kRecordRow, 1)
        ->setText(!record ? QString()
                          : QString::number(*record + 1) +
                                (good ? QString() : QStringLiteral(" (bad checksum)")));
    for (std::size_t c = 0; c < kLogChannelCount; ++c) {
        values_->item(kFirstChannelRow + static_cast<int>(c), 1)
            ->setText(good ? Text(TwoDecimalText(
                                 InUnits(LogChannels()[c].name, log_->values[c][*record], units_)))
                           : QString());
    }
    if (good && followGauges_->isChecked() && showOnGauges && (!gaugesFree || gaugesFree())) {
        showOnGauges(log_->Values(*record));
    }
}

void LogViewer::ShowMarks() {
    const auto drawn = marks_->Drawn();
    for (int i = 0; i < kMaxCharts; ++i) {
        // Labels on the top chart only; the lines run through them all.
        charts_[static_cast<std::size_t>(i)]->SetMarks(drawn, i == 0);
    }
}

void LogViewer::UpdateButtons() {
    const bool loaded = log_ != nullptr;
    xyButton_->setEnabled(loaded);
    playFromHere_->setEnabled(loaded && cursor_.has_value() && static_cast<bool>(onPlayFrom));
}

void LogViewer::ScheduleRedraw() {
    if (!redrawTimer_->isActive()) {
        redrawTimer_->start();
    }
}

void LogViewer::Redraw() {
    redrawTimer_->stop();
    for (int i = 0; i < chartCount_; ++i) {
        charts_[static_cast<std::size_t>(i)]->Draw(log_.get(), t0_, t1_);
    }
    if (xy_ != nullptr && xy_->isVisible()) {
        UpdateXYSource();
    }
}

// The X-Y view plots the records the charts show.
void LogViewer::UpdateXYSource() {
    const auto [first, last] =
        log_ ? RecordsIn(log_->times, t0_, t1_) : std::pair<std::size_t, std::size_t>{0, 0};
    xyView().SetSource(log_.get(), first, last);
}

XYView& LogViewer::xyView() {
    if (xy_ == nullptr) {
        xy_ = new XYView(this);
        xy_->SetUnits(units_);
    }
    return *xy_;
}

void LogViewer::closeEvent(QCloseEvent* event) {
    CancelLoad();
    if (xy_ != nullptr) {
        xy_->SetSource(nullptr, 0, 0);
        xy_->close();
    }
    log_.reset();
    path_.clear();
    cursor_.reset();
    marks_->Clear();
    file_->clear();
    status_->clear();
    setWindowTitle(QStringLiteral("Log Viewer"));
    Redraw();
    UpdateButtons();
    event->accept();
}

}  // namespace quelm
