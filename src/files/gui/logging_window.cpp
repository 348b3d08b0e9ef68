#include "files/gui/logging_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <cmath>
#include <ctime>
#include <utility>

#include "common/app_paths.h"
#include "common/long_operation.h"
#include "common/number_text.h"
#include "common/runtime.h"
#include "common/status_model.h"
#include "common/status_texts.h"
#include "files/log_file_name.h"
#include "files/log_marks.h"
#include "files/log_name.h"
#include "files/playback_keys.h"
#include "files/settings_file.h"
#include "widgets/app_hub.h"
#include "widgets/marked_slider.h"

namespace quelm {
namespace {

QString Text(const std::string& s) {
    return QString::fromStdString(s);
}
QString Number(double value) {
    return Text(PlainNumber(value));
}

std::filesystem::path ToPath(const QString& text) {
    return std::filesystem::path(QFile::encodeName(text).toStdString());
}

QPushButton* Button(const char* name, const char* caption, QWidget* parent) {
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setObjectName(name);
    return button;
}

QLabel* Value(const char* name, QWidget* parent) {
    auto* label = new QLabel(QStringLiteral("0"), parent);
    label->setObjectName(name);
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QStringLiteral("0000000.00")));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

}  // namespace

Logging::Logging(AppHub& hub, QWidget* parent)
    : QWidget(parent, Qt::Window),
      hub_(hub),
      player_(hub.runtime()),
      message_(MessageBoxSink(this)),
      chooser_(OpenOrNewFileDialog(this)),
      ask_(CriticalQuestion(this)) {
    setObjectName(QStringLiteral("Logging"));
    setWindowTitle(QStringLiteral("Logging Control"));

    MakeControls();
    LayOutControls();
    ConnectControls();
    logFile_->setText(Text(ReadIniValue(hub_.settings(), "LOGGING", "FILE")));
    SetState(LoggingState::Idle);
    // The window opens with the keys on the buttons, not in the file box, where M and Space
    // would be typed into the name.
    record_->setFocus();
}

void Logging::MakeControls() {
    logFile_ = new QLineEdit(this);
    logFile_->setObjectName(QStringLiteral("LogFile"));
    logFile_->setMinimumWidth(320);
    new_ = Button("New", "New", this);
    new_->setToolTip(QStringLiteral("A new dated log name in the logs folder"));
    browse_ = Button("browse", "Browse", this);
    record_ = Button("Record", "Record", this);
    play_ = Button("Play", "Play", this);
    pause_ = Button("Pause", "Pause", this);
    halt_ = Button("Halt", "Stop", this);
    mark_ = Button("Mark", "Mark", this);
    mark_->setToolTip(QStringLiteral("Drops a numbered marker while the link runs (M)"));
    lastMark_ = new QLabel(this);
    lastMark_->setObjectName(QStringLiteral("lastMark"));
    // The text takes the room there is: a long one must not widen the window.
    lastMark_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    // Room for the recording cue without the row changing width.
    record_->setMinimumWidth(
        record_->fontMetrics().horizontalAdvance(QString::fromUtf8(kRecordingCaption)) + 24);
    realtime_ = new QCheckBox(QStringLiteral("Real-Time"), this);
    realtime_->setObjectName(QStringLiteral("realtime"));
    speed_ = new QComboBox(this);
    speed_->setObjectName(QStringLiteral("speed"));
    speed_->setToolTip(QStringLiteral("Playback speed"));
    for (const PlaybackSpeed speed : kPlaybackSpeeds) {
        const std::string_view caption = SpeedCaption(speed);
        speed_->addItem(QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())));
    }
    speed_->setCurrentIndex(static_cast<int>(PlaybackSpeed::Fastest));
    slider_ = new MarkedSlider(Qt::Horizontal, this);
    slider_->setObjectName(QStringLiteral("Slider"));
    slider_->setTickPosition(QSlider::TicksBelow);
    pbcounter_ = Value("pbcounter", this);
    logTime_ = Value("LogTime", this);
    fs_ = Value("fs", this);
    clock_ = Value("clock", this);
    records_ = Value("records", this);
    duration_ = Value("duration", this);
    clock_->setText(Text(ClockText(0)));
    duration_->setText(Text(ClockText(0)));
}

void Logging::LayOutControls() {
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(new QLabel(QStringLiteral("Log File Name:"), this));
    fileRow->addWidget(logFile_, 1);
    fileRow->addWidget(new_);
    fileRow->addWidget(browse_);

    auto* buttonRow = new QHBoxLayout;
    for (QPushButton* b : {record_, play_, pause_, halt_}) {
        buttonRow->addWidget(b);
    }
    buttonRow->addSpacing(12);
    buttonRow->addWidget(realtime_);
    buttonRow->addWidget(speed_);
    buttonRow->addSpacing(12);
    buttonRow->addWidget(mark_);
    buttonRow->addStretch(1);

    auto* counters = new QGridLayout;
    counters->addWidget(new QLabel(QStringLiteral("Frame Number:"), this), 0, 0);
    counters->addWidget(pbcounter_, 0, 1);
    counters->addWidget(new QLabel(QStringLiteral("Time Stamp:"), this), 1, 0);
    counters->addWidget(logTime_, 1, 1);
    counters->addWidget(new QLabel(QStringLiteral("Sec"), this), 1, 2);
    counters->addWidget(new QLabel(QStringLiteral("File Size:"), this), 2, 0);
    counters->addWidget(fs_, 2, 1);
    counters->addWidget(new QLabel(QStringLiteral("Kb"), this), 2, 2);
    counters->addWidget(clock_, 1, 3);
    counters->addWidget(new QLabel(QStringLiteral("Records:"), this), 0, 4);
    counters->addWidget(records_, 0, 5);
    counters->addWidget(new QLabel(QStringLiteral("Duration:"), this), 1, 4);
    counters->addWidget(duration_, 1, 5);
    counters->addWidget(lastMark_, 2, 4, 1, 3);
    counters->setColumnMinimumWidth(4, 12);
    counters->setColumnStretch(6, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fileRow);
    layout->addLayout(buttonRow);
    layout->addWidget(slider_);
    layout->addLayout(counters);
    layout->addStretch(1);
    // Keep the window's height when the slider appears and disappears.
    layout->setSizeConstraint(QLayout::SetMinimumSize);
    slider_->setMinimumHeight(slider_->sizeHint().height());
}

void Logging::ConnectControls() {
    connect(new_, &QPushButton::clicked, this, [this] { New_Click(); });
    connect(browse_, &QPushButton::clicked, this, [this] { browse_Click(); });
    connect(record_, &QPushButton::clicked, this, [this] { Record_Click(); });
    connect(play_, &QPushButton::clicked, this, [this] { Play_Click(); });
    connect(pause_, &QPushButton::clicked, this, [this] { Pause_Click(); });
    connect(halt_, &QPushButton::clicked, this, [this] { Halt_Click(); });
    connect(slider_, &QSlider::valueChanged, this, [this] { Slider_Scroll(); });
    connect(mark_, &QPushButton::clicked, this, [this] {
        if (onMark) {
            onMark();
        }
    });
    // The Real-Time box and the speed choice move together.
    connect(realtime_, &QCheckBox::toggled, this, [this](bool on) {
        const auto current = static_cast<PlaybackSpeed>(speed_->currentIndex());
        speed_->setCurrentIndex(static_cast<int>(SpeedForRealTime(on, current)));
    });
    connect(speed_, &QComboBox::currentIndexChanged, this, [this](int index) {
        realtime_->setChecked(RealTimeForSpeed(static_cast<PlaybackSpeed>(index)));
    });
    // Shortcuts rather than key handlers: a focused button or slider would take the key first,
    // while the file box still gets its editing keys.
    for (const PlaybackKeyBinding& binding : kPlaybackKeys) {
        const QString name =
            QString::fromLatin1(binding.name.data(), static_cast<qsizetype>(binding.name.size()));
        auto* shortcut = new QShortcut(QKeySequence(name), this);
        connect(shortcut, &QShortcut::activated, this, [this, name] { PlaybackKeyPressed(name); });
    }
}

void Logging::SetState(LoggingState state) {
    state_ = state;
    const LoggingControls c = ControlsFor(state);
    record_->setEnabled(c.record);
    play_->setEnabled(c.play);
    pause_->setEnabled(c.pause);
    halt_->setEnabled(c.stop);
    slider_->setVisible(c.sliderVisible);
    slider_->setEnabled(c.sliderEnabled);
    // A new name only while a recording could start: the recorder keeps the file it opened.
    new_->setEnabled(c.record);
}

void Logging::SetRecordingCue(bool on) {
    record_->setText(on ? QString::fromUtf8(kRecordingCaption) : QStringLiteral("Record"));
    record_->setStyleSheet(on ? QStringLiteral("QPushButton, QPushButton:disabled { color: "
                                               "#c00000; font-weight: bold; }")
                              : QString());
}

void Logging::RestorePanel1() {
    // Only while the panel still says so: a reconnection or a playback writes its own text.
    if (hub_.status().Panel(1) == status_text::kRecording) {
        hub_.status().SetPanel(1, panel1BeforeRecording_);
    }
}

void Logging::New_Click() {
    logFile_->setText(Text(NewLogPath(LogsDir(), std::time(nullptr)).string()));
}

void Logging::browse_Click() {
    chooser_(QStringLiteral("Browse"), Text(LogsDir().string()),
             QStringLiteral("Quelm Files (*.qm1)"), [this](const QString& answer) {
                 const QString chosen = answer.trimmed();
                 if (chosen.isEmpty()) {
                     return;
                 }
                 logFile_->setText(QString::fromStdString(WithLogExtension(chosen.toStdString())));
             });
}

void Logging::Record_Click() {
    if (!hub_.Connected()) {
        message_(QString::fromUtf8(kRecordNeedsLinkMessage), [this] { hub_.Connect_Click(); });
        return;
    }
    panel1BeforeRecording_ = hub_.status().Panel(1);
    hub_.status().SetPanel(1, status_text::kRecording);
    SetState(LoggingState::Recording);
    pbcounter_->show();
    pbcounter_->setText(QStringLiteral("0"));
    StartRecording();
}

void Logging::StartRecording() {
    // A typed name follows the Browse rule; the box shows where the log really goes.
    const std::filesystem::path path = TypedLogPath(ToPath(logFile_->text()).string(), LogsDir());
    logFile_->setText(QFile::decodeName(QByteArray::fromStdString(path.string())));
    const auto start = [this, path] {
        // Replaces the file (the question was answered Yes) and reports a name that cannot be
        // written at once rather than at the first frame.
        if (auto error = hub_.recorder().StartRecording(path, hub_.runtime().Now())) {
            hub_.recorder().StopRecording();
            SetState(LoggingState::Idle);
            RestorePanel1();
            message_(Text(*error), {});
            return;
        }
        SetRecordingCue(true);
        if (recordingStarted) {
            recordingStarted();
        }
    };
    if (path.empty() || !LogFileExists(path)) {
        start();
        return;
    }
    // The link polls on while the question is open; recording starts with the answer.
    ask_(QString::fromUtf8(kOverwriteQuestion), QStringLiteral("Warning"), [this, start](bool yes) {
        if (yes) {
            start();
            return;
        }
        SetState(LoggingState::Declined);
        hub_.recorder().StopRecording();
        RestorePanel1();
    });
}

void Logging::OnRecordResult(const LogWriteResult& result) {
    if (state_ != LoggingState::Recording) {
        return;
    }
    // The stamp written: hundredths, truncated.
    logTime_->setText(Number(std::floor(result.elapsed * 100) / 100));
    clock_->setText(Text(ClockText(result.elapsed)));
    if (result.kind == LogWriteResult::Kind::Written) {
        pbcounter_->setText(Number(static_cast<double>(result.recordNumber)));
        fs_->setText(Number(static_cast<double>(result.fileSizeKb)));
        return;
    }
    // The time limit or a write failure: the recorder has stopped; every record written stays.
    SetRecordingCue(false);
    SetState(LoggingState::LimitReached);
    RestorePanel1();
    message_(Text(result.message), {});
}

void Logging::Halt_Click() {
    SetState(LoggingState::Idle);
    hub_.recorder().StopRecording();
    RestorePanel1();
    SetRecordingCue(false);
    pbcounter_->hide();
    player_.RequestHalt();
}

void Logging::Play_Click() {
    if (player_.Paused()) {
        // Only clears the pause: the playback waiting in its loop goes on.
        ShowPlaying();
        player_.PlayLog(ToPath(logFile_->text()), Hooks());
        slider_->setEnabled(false);
        return;
    }
    if (auto refusal = hub_.operations().Refusal(LongOperation::Playback)) {
        startAt_ = 1;
        message_(Text(*refusal), {});
        return;
    }
    if (hub_.Connected()) {
        message_(QString::fromUtf8(kPlayNeedsNoLinkMessage), [this] {
            hub_.Disconnect();
            PlayLog();
        });
        return;
    }
    PlayLog();
}

void Logging::ShowPlaying() {
    StatusModel& status = hub_.status();
    status.SetPanel(1, status_text::kLogPlayback);
    status.SetPanel(2, status_text::kComStopped);
    status.SetPanel(3, "");
    SetState(LoggingState::Playing);
    pbcounter_->show();
}

void Logging::Pause_Click() {
    player_.Pause();
    RefreshCounters(true);
    SetState(LoggingState::Paused);
    pbcounter_->show();
}

PlaybackHooks Logging::Hooks() {
    PlaybackHooks hooks;
    hooks.opened = [this](std::uint64_t bytes, const SliderRange& range) {
        fs_->setText(Number(static_cast<double>(bytes) / 1000));
        records_->setText(Number(static_cast<double>(range.maximum)));
        duration_->setText(Text(ClockText(
            range.maximum > 0 ? player_.StampOf(static_cast<std::uint64_t>(range.maximum)) : 0)));
        sliderRange_ = range;
        if (range.maximum > 0) {
            const QSignalBlocker quiet(slider_);
            const auto ticks = static_cast<int>(range.tickSpacing / range.recordsPerStep);
            slider_->setRange(1, SliderPosition(range, range.maximum));
            slider_->setTickInterval(ticks);
            slider_->setPageStep(std::max(1, ticks));
        }
        std::vector<int> marked;
        const std::filesystem::path log = ToPath(logFile_->text());
        const MarksReadResult marks = ReadLogMarks(MarksPath(log));
        for (const auto& record : MarkRecords(log, marks.marks)) {
            if (record) {
                marked.push_back(SliderPosition(range, static_cast<std::int64_t>(*record)));
            }
        }
        slider_->SetMarks(std::move(marked));
    };
    hooks.showPosition = [this](std::uint64_t n) {
        shownRecord_ = n;
        // Paused, the slider must stand on the record the loop waits to show.
        RefreshCounters(player_.Paused());
    };
    hooks.position = [this] { return shownRecord_; };
    hooks.showTime = [this](double t) {
        stampedRecord_ = shownRecord_;
        shownTime_ = t;
        RefreshCounters(false);
    };
    hooks.showFrame = [this](const FrameBuffer& frame, double t) {
        hub_.ShowLoggedFrame(frame, t);
    };
    hooks.speed = [this] {
        return realtime_->isChecked()
                   ? SpeedFactor(static_cast<PlaybackSpeed>(speed_->currentIndex()))
                   : 0.0;
    };
    return hooks;
}

void Logging::RefreshCounters(bool force) {
    const double now = hub_.runtime().Now();
    if (!force && now - lastRefresh_ < kCounterInterval) {
        return;
    }
    lastRefresh_ = now;
    pbcounter_->setText(Number(static_cast<double>(stampedRecord_)));
    logTime_->setText(Number(shownTime_));
    clock_->setText(Text(ClockText(shownTime_)));
    const QSignalBlocker quiet(slider_);
    slider_->setValue(SliderPosition(sliderRange_, static_cast<std::int64_t>(shownRecord_)));
}

void Logging::PlayLog() {
    // A link that was just told to stop unwinds first; the playback starts after it.
    if (auto refusal =
            hub_.operations().Request(LongOperation::Playback, [this] { RunPlayback(); })) {
        startAt_ = 1;
        message_(Text(*refusal), {});
    }
}

void Logging::RunPlayback() {
    ShowPlaying();
    const auto running = hub_.operations().Begin(LongOperation::Playback, [this] { Halt_Click(); });
    hub_.ResetScopes();
    const PlaybackResult result =
        player_.PlayLog(ToPath(logFile_->text()), Hooks(), std::exchange(startAt_, 1));
    if (result.kind == PlaybackResult::Kind::Error) {
        message_(Text(result.error), {});
    }
    if (result.shown > 0) {
        RefreshCounters(true);
    }
    {
        const QSignalBlocker quiet(slider_);
        slider_->setValue(1);
    }
    slider_->hide();
    Halt_Click();
}

void Logging::Slider_Scroll() {
    ShowPausedRecord(static_cast<std::uint64_t>(SliderRecord(sliderRange_, slider_->value())));
}

void Logging::ShowPausedRecord(std::uint64_t record) {
    if (sliderBusy_) {
        return;
    }
    sliderBusy_ = true;
    shownRecord_ = record;
    pbcounter_->setText(Number(static_cast<double>(shownRecord_)));
    ShowSliderRecord();
    RefreshCounters(true);
    sliderBusy_ = false;
}

void Logging::PlaybackKeyPressed(const QString& keyName) {
    const PlaybackKeyAction action =
        ActionForKey(keyName.toStdString(), state_, shownRecord_, player_.RecordCount(),
                     [this](std::uint64_t n) { return player_.StampOf(n); });
    switch (action.kind) {
        case PlaybackKeyAction::Kind::None:
            break;
        case PlaybackKeyAction::Kind::Play:
            Play_Click();
            break;
        case PlaybackKeyAction::Kind::Pause:
            Pause_Click();
            break;
        case PlaybackKeyAction::Kind::Move:
            GoToRecord(action.record);
            break;
        case PlaybackKeyAction::Kind::Mark:
            if (onMark) {
                onMark();
            }
            break;
    }
}

void Logging::GoToRecord(std::uint64_t record) {
    if (player_.Paused()) {
        // As a move of the slider: the record shows at once and playback goes on there. Not
        // through the slider's value, which counts in steps of many records in a huge log: an
        // arrow must still move exactly one.
        ShowPausedRecord(record);
    } else {
        player_.Seek(record);
    }
}

void Logging::ShowMark(const QString& text) {
    lastMark_->setText(text);
}

void Logging::PlayFrom(const QString& log, std::uint64_t record) {
    if (player_.Running() && log == logFile_->text()) {
        GoToRecord(record);
        return;
    }
    if (player_.Running() || !play_->isEnabled()) {
        message_(QStringLiteral("Stop the recording or the playback in Logging Control first."),
                 {});
        return;
    }
    logFile_->setText(log);
    // The playback that Play starts (perhaps once the link has unwound) begins there.
    startAt_ = record;
    Play_Click();
}

void Logging::ShowSliderRecord() {
    player_.ShowRecord(shownRecord_, Hooks());
}

void Logging::closeEvent(QCloseEvent* event) {
    if (player_.Running()) {
        player_.RequestHalt();
    }
    if (std::string error; !SaveLogName(error)) {
        message_(Text(error), {});
    }
    event->accept();
}

bool Logging::SaveLogName(std::string& error) {
    SettingsFile& settings = hub_.settings();
    if (!WriteIniValue(settings, "LOGGING", "FILE", logFile_->text().toStdString())) {
        error = settings.LastError();
        return false;
    }
    return true;
}

void Logging::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    emit shownChanged(true);
}

void Logging::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    emit shownChanged(false);
}

}  // namespace quelm
