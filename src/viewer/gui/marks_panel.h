// The viewer's list of markers: time and label of each, in time order. Markers can be added at
// the cursor, renamed in place and deleted; every change saves the log's marks file at once
// (atomically). Markers outside the log's time range are listed, greyed, but not drawn.
#pragma once

#include <QString>
#include <QWidget>
#include <filesystem>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "files/log_marks.h"
#include "widgets/user_prompts.h"

class QLabel;
class QPushButton;
class QTableWidget;

namespace quelm {

class MarksPanel : public QWidget {
    Q_OBJECT
  public:
    explicit MarksPanel(QWidget* parent = nullptr);

    void SetMessageSink(MessageSink sink) { message_ = std::move(sink); }

    // The markers of `log`, which spans the times first..last. Bad lines of its marks file are
    // reported with their line numbers; the good ones are listed.
    void Load(const std::filesystem::path& log, double first, double last);
    // No log: nothing listed, nothing to save to.
    void Clear();

    // A marker "Mark N" at `seconds` (to the hundredth); returns its row.
    int Add(double seconds);
    void Rename(int row, const QString& label);
    void Remove(int row);

    const std::vector<LogMark>& marks() const { return marks_; }
    // The markers inside the log's time range, with their labels: what the charts draw.
    std::vector<std::pair<double, QString>> Drawn() const;
    // The last save failed; the markers are still here.
    bool Unsaved() const { return unsaved_; }
    QTableWidget* table() const { return table_; }

    // Where "Add Mark" puts a marker: the cursor, else nothing to add at.
    std::function<std::optional<double>()> addAt;

  signals:
    // The list changed: the charts redraw their marker lines.
    void changed();
    // A marker inside the log was chosen in the list.
    void picked(double seconds);

  private:
    bool Inside(double seconds) const { return seconds >= first_ && seconds <= last_; }
    void Fill();
    void Save();

    std::filesystem::path file_;
    double first_ = 0;
    double last_ = -1;
    std::vector<LogMark> marks_;
    bool unsaved_ = false;
    MessageSink message_;
    QTableWidget* table_;
    QPushButton* add_;
    QPushButton* delete_;
    QLabel* state_;
};

}  // namespace quelm
