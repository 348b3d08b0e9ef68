#include "files/gui/export_window.h"

#include <QCloseEvent>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>

#include "common/app_paths.h"
#include "common/long_operation.h"
#include "common/number_text.h"
#include "common/runtime.h"
#include "files/csv_export.h"
#include "widgets/app_hub.h"

namespace quelm {
namespace {

QString Text(const std::string& s) {
    return QString::fromStdString(s);
}

}  // namespace

Export::Export(AppHub& hub, QWidget* parent)
    : QWidget(parent, Qt::Window),
      hub_(hub),
      message_(MessageBoxSink(this)),
      chooser_(OpenFileDialog(this)) {
    setObjectName(QStringLiteral("Export"));
    setWindowTitle(QStringLiteral("Export Log to CSV Format"));

    auto* label = new QLabel(QString::fromUtf8(kExportExplanation), this);
    label->setObjectName(QStringLiteral("Label1"));
    label->setWordWrap(true);
    browse_ = new QPushButton(QStringLiteral("Select Log To Export"), this);
    browse_->setObjectName(QStringLiteral("BrowseSRC"));
    status_ = new QLabel(QStringLiteral("Ready."), this);
    status_->setObjectName(QStringLiteral("Status"));
    status_->setMinimumWidth(
        status_->fontMetrics().horizontalAdvance(QStringLiteral("Processing Frame 00000000")));
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("Progress"));
    progress_->setRange(0, 100);
    progress_->setValue(0);

    auto* statusRow = new QHBoxLayout;
    statusRow->addWidget(status_);
    statusRow->addWidget(progress_, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(browse_, 0, Qt::AlignHCenter);
    layout->addLayout(statusRow);
    setMinimumWidth(480);

    connect(browse_, &QPushButton::clicked, this, [this] { BrowseSRC_Click(); });
}

bool Export::Refused() {
    std::optional<std::string> refusal = hub_.operations().Refusal(LongOperation::Export);
    if (!refusal && hub_.Connected()) {
        refusal = kExportNeedsNoLinkMessage;
    }
    if (refusal) {
        message_(Text(*refusal), {});
    }
    return refusal.has_value();
}

void Export::BrowseSRC_Click() {
    if (Refused()) {
        return;
    }
    chooser_(QStringLiteral("Browse"), Text(LogsDir().string()),
             QStringLiteral("Quelm Files (*.qm*)"),
             [this](const QString& chosen) { ExportLog(chosen.trimmed()); });
}

void Export::ExportLog(const QString& chosen) {
    if (chosen.isEmpty()) {
        return;
    }
    const std::filesystem::path source(QFile::encodeName(chosen).toStdString());
    if (IsCsvPath(source)) {
        message_(QString::fromUtf8(kExportCsvSourceMessage), {});
        return;
    }
    // The link or a playback may have started while the dialog was open.
    if (Refused()) {
        return;
    }
    const auto running = hub_.operations().Begin(LongOperation::Export, [this] { cancel_ = true; });
    cancel_ = false;
    browse_->setEnabled(false);
    progress_->setValue(0);

    Runtime& rt = hub_.runtime();
    double lastShown = -1e9;
    const CsvExportResult result = ExportLogToCsv(
        source, hub_.liveConfig(), hub_.tables(), [&](std::uint64_t done, std::uint64_t total) {
            const double now = rt.Now();
            if (now - lastShown >= kStatusInterval) {
                lastShown = now;
                // The record in hand: one past those done.
                const std::uint64_t n = std::min(done + 1, total);
                status_->setText(QStringLiteral("Processing Frame") +
                                 Text(PrintNumber(static_cast<double>(n))));
                progress_->setValue(total == 0 ? 100 : static_cast<int>(done * 100 / total));
            }
            rt.Yield();
            return !cancel_ && !rt.Aborting();
        });

    browse_->setEnabled(true);
    switch (result.kind) {
        case CsvExportResult::Kind::Done:
            progress_->setValue(100);
            status_->setText(QStringLiteral("Done."));
            break;
        case CsvExportResult::Kind::Cancelled:
            progress_->setValue(0);
            status_->setText(QStringLiteral("Cancelled."));
            break;
        case CsvExportResult::Kind::Error:
            progress_->setValue(0);
            status_->setText(QStringLiteral("Export failed."));
            message_(Text(result.error), {});
            break;
    }
}

void Export::closeEvent(QCloseEvent* event) {
    cancel_ = true;
    event->accept();
}

}  // namespace quelm
