#include "viewer/gui/marks_panel.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace quelm {
namespace {

// Bad lines listed one by one in the report; the rest are counted.
constexpr std::size_t kListedBadLines = 12;

QString Text(const std::string& s) {
    return QString::fromStdString(s);
}

}  // namespace

MarksPanel::MarksPanel(QWidget* parent) : QWidget(parent) {
    table_ = new QTableWidget(0, 2, this);
    table_->setObjectName(QStringLiteral("marks"));
    table_->setHorizontalHeaderLabels({QStringLiteral("Time (s)"), QStringLiteral("Marker")});
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->verticalHeader()->hide();
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    add_ = new QPushButton(QStringLiteral("Add Mark"), this);
    add_->setObjectName(QStringLiteral("addMark"));
    add_->setToolTip(QStringLiteral("A marker at the cursor; double-click its label to rename it"));
    delete_ = new QPushButton(QStringLiteral("Delete Mark"), this);
    delete_->setObjectName(QStringLiteral("deleteMark"));
    state_ = new QLabel(this);
    state_->setObjectName(QStringLiteral("marksState"));
    state_->setWordWrap(true);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(add_);
    buttons->addWidget(delete_);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(QStringLiteral("Markers"), this));
    layout->addWidget(table_, 1);
    layout->addLayout(buttons);
    layout->addWidget(state_);

    connect(add_, &QPushButton::clicked, this, [this] {
        const auto at = addAt ? addAt() : std::nullopt;
        if (at) {
            table_->editItem(table_->item(Add(*at), 1));
        }
    });
    connect(delete_, &QPushButton::clicked, this, [this] {
        if (table_->currentRow() >= 0) {
            Remove(table_->currentRow());
        }
    });
    connect(table_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (item->column() == 1) {
            Rename(item->row(), item->text());
        }
    });
    connect(table_, &QTableWidget::cellClicked, this, [this](int row, int) {
        const double seconds = marks_[static_cast<std::size_t>(row)].seconds;
        if (Inside(seconds)) {
            emit picked(seconds);
        }
    });
    Clear();
}

void MarksPanel::Load(const std::filesystem::path& log, double first, double last) {
    file_ = MarksPath(log);
    first_ = first;
    last_ = last;
    unsaved_ = false;
    MarksReadResult read = ReadLogMarks(file_);
    marks_ = std::move(read.marks);
    std::stable_sort(marks_.begin(), marks_.end(),
                     [](const LogMark& a, const LogMark& b) { return a.seconds < b.seconds; });
    Fill();
    if (!read.error.empty() && message_) {
        message_(Text(read.error), {});
    }
    if (!read.badLines.empty() && message_) {
        QString text = QStringLiteral("Some lines of %1 were not read:").arg(Text(file_.string()));
        for (std::size_t i = 0; i < read.badLines.size() && i < kListedBadLines; ++i) {
            text += QLatin1Char('\n') + Text(read.badLines[i]);
        }
        if (read.badLines.size() > kListedBadLines) {
            text +=
                QStringLiteral("\n... and %1 more.").arg(read.badLines.size() - kListedBadLines);
        }
        message_(text, {});
    }
}

void MarksPanel::Clear() {
    file_.clear();
    marks_.clear();
    unsaved_ = false;
    Fill();
}

int MarksPanel::Add(double seconds) {
    LogMark mark{std::round(seconds * 100) / 100, DefaultMarkLabel(NextMarkNumber(marks_))};
    const auto at = std::upper_bound(marks_.begin(), marks_.end(), mark.seconds,
                                     [](double s, const LogMark& m) { return s < m.seconds; });
    const int row = static_cast<int>(at - marks_.begin());
    marks_.insert(at, std::move(mark));
    Save();
    return row;
}

void MarksPanel::Rename(int row, const QString& label) {
    if (row < 0 || row >= static_cast<int>(marks_.size())) {
        return;
    }
    std::string clean = CleanMarkLabel(label.toStdString());
    if (marks_[static_cast<std::size_t>(row)].label == clean) {
        return;
    }
    marks_[static_cast<std::size_t>(row)].label = std::move(clean);
    Save();
}

void MarksPanel::Remove(int row) {
    if (row < 0 || row >= static_cast<int>(marks_.size())) {
        return;
    }
    marks_.erase(marks_.begin() + row);
    Save();
}

std::vector<std::pair<double, QString>> MarksPanel::Drawn() const {
    std::vector<std::pair<double, QString>> drawn;
    for (const LogMark& mark : marks_) {
        if (Inside(mark.seconds)) {
            drawn.emplace_back(mark.seconds, Text(mark.label));
        }
    }
    return drawn;
}

void MarksPanel::Save() {
    if (auto error = SaveLogMarks(file_, marks_)) {
        unsaved_ = true;
        if (message_) {
            message_(Text(*error) + QStringLiteral("  The markers stay in the viewer."), {});
        }
    } else {
        unsaved_ = false;
    }
    Fill();
}

void MarksPanel::Fill() {
    const QSignalBlocker quiet(table_);
    table_->setRowCount(static_cast<int>(marks_.size()));
    for (std::size_t i = 0; i < marks_.size(); ++i) {
        const LogMark& mark = marks_[i];
        auto* time = new QTableWidgetItem(QString::number(mark.seconds, 'f', 2));
        time->setFlags(time->flags() & ~Qt::ItemIsEditable);
        auto* label = new QTableWidgetItem(Text(mark.label));
        if (!Inside(mark.seconds)) {
            for (QTableWidgetItem* item : {time, label}) {
                item->setForeground(Qt::gray);
                item->setToolTip(QStringLiteral("Outside the log's time range: not drawn"));
            }
        }
        table_->setItem(static_cast<int>(i), 0, time);
        table_->setItem(static_cast<int>(i), 1, label);
    }
    table_->resizeColumnToContents(0);
    const bool haveLog = !file_.empty();
    add_->setEnabled(haveLog);
    delete_->setEnabled(haveLog && !marks_.empty());
    state_->setText(unsaved_ ? QStringLiteral("Markers not saved.") : QString());
    emit changed();
}

}  // namespace quelm
