// The logging window ("Logging Control"): records the live frames to a log file and plays a log
// back through the dashboard and the scopes, with pause, seek and Real-Time pacing.
#pragma once

#include <QString>
#include <QWidget>
#include <functional>

#include "files/log_player.h"
#include "files/log_writer.h"
#include "files/playback.h"
#include "widgets/user_prompts.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace quelm {

class AppHub;
class MarkedSlider;

inline constexpr const char* kRecordNeedsLinkMessage =
    "In order to record data to a log, Quelm must be connected.  Quelm will now connect.  Press "
    "Record again after Quelm has connected.";
inline constexpr const char* kPlayNeedsNoLinkMessage =
    "In order to display log file contents, Quelm must be disconnected.  Disconnecting now.";
inline constexpr const char* kRecordingCaption = "\u25CF Recording";
// The playback counters and slider are redrawn at most this often (a screen refresh).
inline constexpr double kCounterInterval = 1.0 / 60;

class Logging : public QWidget {
    Q_OBJECT
  public:
    explicit Logging(AppHub& hub, QWidget* parent = nullptr);

    void SetMessageSink(MessageSink sink) { message_ = std::move(sink); }
    void SetFileChooser(FileChooser chooser) { chooser_ = std::move(chooser); }
    void SetOverwriteQuestion(YesNoQuestion ask) { ask_ = std::move(ask); }

    // The receive loop's recorder reports every result here (the main window calls it after
    // hub.recorder().WriteLogRecord(...)): the counters for a written record, the message and
    // the end of the recording cue for the time limit or a write failure.
    void OnRecordResult(const LogWriteResult& result);

    // Fills the file box with a fresh dated name in the logs folder.
    void New_Click();
    void browse_Click();
    void Record_Click();
    void Play_Click();
    void Pause_Click();
    // The Stop button; playback also calls it when it ends.
    void Halt_Click();
    // Shows the record at the slider's position (the slider moved while paused).
    void Slider_Scroll();
    // A playback key ("Space", "Left", "PgUp", "M", ... as key sequences spell them), from
    // this window or the dashboard.
    void PlaybackKeyPressed(const QString& keyName);
    // Recording has started (the dashboard resets its peaks).
    std::function<void()> recordingStarted;
    // "Play from here" of the log viewer: plays `log` from record `record`; while that log
    // plays already, goes on from there instead.
    void PlayFrom(const QString& log, std::uint64_t record);

    // The Mark button and the M key: drop a marker (the main window decides what that means).
    std::function<void()> onMark;
    // The marker just dropped, shown beside the Mark button.
    void ShowMark(const QString& text);

    // Writes the file box to LOGGING/FILE (on closing, and when the program ends with the
    // window open); false with the reason when it could not be written.
    bool SaveLogName(std::string& error);

    LoggingState state() const { return state_; }
    bool SliderBusy() const { return sliderBusy_; }
    bool Playing() const { return player_.Running(); }

  signals:
    // The window was shown or hidden: the dashboard passes playback keys on while it shows.
    void shownChanged(bool shown);

  protected:
    // Saves the file box to LOGGING/FILE and stops a playback in progress.
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    // The constructor's steps: the widgets, their rows, their signals and keys.
    void MakeControls();
    void LayOutControls();
    void ConnectControls();
    // Moves a running playback to `record`, shown at once when paused.
    void GoToRecord(std::uint64_t record);
    void StartRecording();
    // The status panels and the controls of a playback.
    void ShowPlaying();
    // Starts the playback once no other long operation runs (a link told to stop unwinds first).
    void PlayLog();
    void RunPlayback();
    void ShowSliderRecord();
    // Shows `record` while paused, as a move of the slider does, and sets the slider on it.
    void ShowPausedRecord(std::uint64_t record);
    void SetState(LoggingState state);
    void SetRecordingCue(bool on);
    // Once no frame is being written, panel 1 shows again what it showed before Record.
    void RestorePanel1();
    PlaybackHooks Hooks();
    // Shows the number and time stamp of the record last read, and moves the slider to the
    // record in hand; unless forced, at most at the display rate, so that unpaced playback never
    // waits for painting.
    void RefreshCounters(bool force);

    AppHub& hub_;
    LogPlayer player_;
    LoggingState state_ = LoggingState::Idle;
    bool sliderBusy_ = false;
    std::string panel1BeforeRecording_;
    SliderRange sliderRange_;
    std::uint64_t shownRecord_ = 0;  // the record in hand: where the slider stands
    // The record whose time stamp was read last, and that stamp: the counters always show a
    // pair from one record, even when a throttled refresh fell between two records.
    std::uint64_t stampedRecord_ = 0;
    // "Play from here": the record the next playback starts at.
    std::uint64_t startAt_ = 1;
    double shownTime_ = 0;
    double lastRefresh_ = -1e9;
    MessageSink message_;
    FileChooser chooser_;
    YesNoQuestion ask_;

    QLineEdit* logFile_;
    QPushButton* new_;
    QPushButton* browse_;
    QPushButton* record_;
    QPushButton* play_;
    QPushButton* pause_;
    QPushButton* halt_;
    QPushButton* mark_;
    QCheckBox* realtime_;
    QComboBox* speed_;
    MarkedSlider* slider_;
    QLabel* lastMark_;
    QLabel* pbcounter_;
    QLabel* logTime_;
    QLabel* fs_;
    QLabel* clock_;
    QLabel* records_;
    QLabel* duration_;
};

}  // namespace quelm
