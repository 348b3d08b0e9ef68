// The export window ("Export Log to CSV Format"): picks a log and writes its CSV text beside it,
// with the same conversion as `quelm export`.
#pragma once

#include <QWidget>

#include "widgets/user_prompts.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace quelm {

class AppHub;

inline constexpr const char* kExportExplanation =
    "This utility converts a Quelm 1.1x (or newer) log file to CSV (comma seperated value) "
    "format for use with spreadsheets, databases, and any other data collection platform "
    "compatible with data in CSV format. Locate the file to convert by clicking the button "
    "below. The corresponding .CSV file will be generated in the same directory as the source.";
inline constexpr const char* kExportCsvSourceMessage =
    "The chosen file is already a CSV file.  Choose the log file (.qm1) to export.";
// The status text is rewritten at most this often: per record it would cost more than the
// export itself.
inline constexpr double kStatusInterval = 0.05;

class Export : public QWidget {
    Q_OBJECT
  public:
    explicit Export(AppHub& hub, QWidget* parent = nullptr);

    void SetMessageSink(MessageSink sink) { message_ = std::move(sink); }
    void SetFileChooser(FileChooser chooser) { chooser_ = std::move(chooser); }

    // Chooses a log, then runs the whole export, yielding to the window system as it goes.
    void BrowseSRC_Click();

  protected:
    // Closing the window cancels an export in progress (no partial CSV is left).
    void closeEvent(QCloseEvent* event) override;

  private:
    // Tells the user why no export may start now; false when one may.
    bool Refused();
    void ExportLog(const QString& chosen);

    AppHub& hub_;
    MessageSink message_;
    FileChooser chooser_;
    bool cancel_ = false;

    QLabel* status_;
    QProgressBar* progress_;
    QPushButton* browse_;
};

}  // namespace quelm
