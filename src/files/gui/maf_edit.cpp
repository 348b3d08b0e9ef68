#include "files/gui/maf_edit.h"

#include <qcustomplot.h>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>

#include "common/app_paths.h"
#include "common/number_text.h"

namespace quelm {

namespace {

const QString kDialogTitle = QStringLiteral("Browse");
const QString kMafFilter = QStringLiteral("MAF Files (*.maf)");
constexpr int kRowsPerColumn = 16;

std::filesystem::path ToPath(const QString& text) {
    return std::filesystem::path(text.toStdString());
}

QString MafLibFolder() {
    return QString::fromStdString(MafLibDir().string() + "/");
}

QString WithExtension(const QString& chosen) {
    return QString::fromStdString(WithMafExtension(chosen.toStdString()));
}

}  // namespace

MAFEdit::MAFEdit(CalibrationTables& tables, QWidget* parent)
    : QWidget(parent, Qt::Window), tables_(tables) {
    setObjectName("MAFEdit");
    setWindowTitle("MAF Editor");
    message_ = MessageBoxSink(this);
    openChooser_ = OpenFileDialog(this);
    saveChooser_ = SaveFileDialog(this);
    ask_ = CriticalQuestion(this);

    QHBoxLayout* fileRow = BuildFileRow();
    QGridLayout* table = BuildPointTable();
    BuildChart();
    auto* body = new QHBoxLayout;
    body->addLayout(table);
    body->addWidget(chart_, 1);
    QHBoxLayout* bottom = BuildBottomRow();

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fileRow);
    layout->addLayout(body, 1);
    layout->addLayout(bottom);

    timer_ = new QTimer(this);
    timer_->setObjectName("Timer1");
    timer_->setInterval(kRedrawMs);
    connect(timer_, &QTimer::timeout, this, &MAFEdit::redrawChart);
    timer_->start();
}

QHBoxLayout* MAFEdit::BuildFileRow() {
    auto* fileRow = new QHBoxLayout;
    auto* fileLabel = new QLabel("MAF Curve File Name");
    file_ = new QLineEdit(kNoFileText);
    file_->setObjectName("MAFfile");
    file_->setMinimumWidth(360);
    fileLabel->setBuddy(file_);
    auto* browseButton = new QPushButton("Browse/Load");
    browseButton->setObjectName("browse");
    fileRow->addWidget(fileLabel);
    fileRow->addWidget(file_, 1);
    fileRow->addWidget(browseButton);
    connect(browseButton, &QPushButton::clicked, this, &MAFEdit::browse);
    return fileRow;
}

// The 31 points in two blocks of columns, so that the table fits beside the chart.
QGridLayout* MAFEdit::BuildPointTable() {
    auto* table = new QGridLayout;
    table->setHorizontalSpacing(6);
    table->setVerticalSpacing(2);
    for (int block = 0; block < 2; ++block) {
        table->addWidget(new QLabel("Volts"), 0, block * 3 + 1);
        table->addWidget(new QLabel("Kg/Hr"), 0, block * 3 + 2);
    }
    for (int i = 0; i < static_cast<int>(kMafPoints); ++i) {
        const auto at = static_cast<std::size_t>(i);
        const int block = i / kRowsPerColumn;
        const int row = i % kRowsPerColumn + 1;
        auto* index = new QLabel(QString::number(i));
        index->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        volts_[at] = new QLineEdit;
        volts_[at]->setObjectName(QString("volts%1").arg(i));
        kghr_[at] = new QLineEdit;
        kghr_[at]->setObjectName(QString("kghr%1").arg(i));
        for (auto* box : {volts_[at], kghr_[at]}) {
            box->setFixedWidth(72);
        }
        table->addWidget(index, row, block * 3);
        table->addWidget(volts_[at], row, block * 3 + 1);
        table->addWidget(kghr_[at], row, block * 3 + 2);
    }
    // The curve always starts at the first box and ends at 5 V.
    volts_[0]->setReadOnly(true);
    volts_[30]->setText("5");
    volts_[30]->setReadOnly(true);
    return table;
}

void MAFEdit::BuildChart() {
    chart_ = new QCustomPlot;
    chart_->setObjectName("MAFCURVE");
    chart_->setMinimumSize(420, 360);
    chart_->addGraph();
    chart_->graph(0)->setPen(QPen(QColor(0, 90, 200), 2));
    chart_->xAxis->setLabel("Volts");
    chart_->yAxis->setLabel("Kg/Hr");
}

// How to use the editor, then Save and Apply.
QHBoxLayout* MAFEdit::BuildBottomRow() {
    auto* help = new QVBoxLayout;
    for (const char* text :
         {"To enter a new maf curve, enter the data points in the provided table and save the "
          "maf curve with a .maf extension.",
          "Choose browse to locate an existing .maf file on disk.", "Click Apply when done."}) {
        auto* label = new QLabel(text);
        label->setWordWrap(true);
        help->addWidget(label);
    }
    auto* saveButton = new QPushButton("Save");
    saveButton->setObjectName("Save");
    auto* applyButton = new QPushButton("Apply");
    applyButton->setObjectName("Command1");
    auto* bottom = new QHBoxLayout;
    bottom->addLayout(help, 1);
    bottom->addWidget(saveButton);
    bottom->addWidget(applyButton);
    connect(saveButton, &QPushButton::clicked, this, &MAFEdit::save);
    connect(applyButton, &QPushButton::clicked, this, &MAFEdit::apply);
    return bottom;
}

void MAFEdit::SetFileName(const QString& path) {
    file_->setText(path);
}

MafCurve MAFEdit::curveFromBoxes() const {
    MafCurve curve;
    for (std::size_t i = 0; i < kMafPoints; ++i) {
        curve.volts[i] = volts_[i]->text().toStdString();
        curve.kghr[i] = kghr_[i]->text().toStdString();
    }
    std::copy_n(tables_.maf.begin(), kMafPoints, curve.points.begin());
    curve.largestFlow = chart_->yAxis->range().upper;
    return curve;
}

void MAFEdit::LoadMafTable() {
    const MafLoadResult result = quelm::LoadMafTable(ToPath(file_->text()), curveFromBoxes());
    if (result.usedFallback) {
        // The file box follows the curve actually in use; the saved setting does not change.
        const QString fallback = QString::fromStdString(result.path.string());
        file_->setText(fallback);
        if (onFallback_) {
            onFallback_(fallback);
        }
    }
    for (const auto& text : result.messages) {
        message_(QString::fromStdString(text), {});
    }
    for (std::size_t i = 0; i < kMafPoints; ++i) {
        volts_[i]->setText(QString::fromStdString(result.curve.volts[i]));
        kghr_[i]->setText(QString::fromStdString(result.curve.kghr[i]));
    }
    CopyMafCurve(result.curve, tables_.maf);
    if (result.complete) {
        chart_->yAxis->setRange(0, result.curve.largestFlow);
    }
    // At once, not at the next tick: after Apply the timer waits until the window is shown.
    redrawChart();
}

void MAFEdit::redrawChart() {
    QVector<double> keys;
    QVector<double> values;
    double largestVolts = 0;
    double largestFlow = 0;
    for (std::size_t i = 0; i < kMafPoints; ++i) {
        const double v = LenientNumber(volts_[i]->text().toStdString());
        const double f = LenientNumber(kghr_[i]->text().toStdString());
        keys.push_back(v);
        values.push_back(f);
        largestVolts = std::max(largestVolts, v);
        largestFlow = std::max(largestFlow, f);
    }
    chart_->graph(0)->setData(keys, values);
    // A curve of zeros gives an empty range, which the chart ignores: it keeps the last one.
    chart_->yAxis->setRange(0, largestFlow);
    chart_->xAxis->setRange(0, largestVolts);
    chart_->replot(QCustomPlot::rpQueuedReplot);
}

void MAFEdit::showEvent(QShowEvent* event) {
    // Apply stops the redraw along with hiding the window; showing it again restarts it.
    if (!timer_->isActive()) {
        redrawChart();
        timer_->start();
    }
    QWidget::showEvent(event);
}

void MAFEdit::browse() {
    openChooser_(kDialogTitle, MafLibFolder(), kMafFilter, [this](const QString& chosen) {
        if (!chosen.isEmpty()) {
            file_->setText(WithExtension(chosen));
        }
        // Confirmed or cancelled, the file named in the box is loaded.
        LoadMafTable();
    });
}

void MAFEdit::save() {
    // The curve library may be read-only (an installed tree): new curves go to the user's folder.
    const QString folder = QString::fromStdString(UserMafDir().string() + "/");
    saveChooser_(kDialogTitle, folder, kMafFilter, [this](const QString& chosen) {
        if (chosen.trimmed().isEmpty()) {
            return;
        }
        const QString path = WithExtension(chosen);
        std::error_code ec;
        if (!std::filesystem::exists(ToPath(path), ec)) {
            writeCurve(path);
            return;
        }
        ask_(kOverwriteQuestion, QStringLiteral("Warning"), [this, path](bool yes) {
            if (yes) {
                writeCurve(path);
            }
        });
    });
}

void MAFEdit::writeCurve(const QString& path) {
    file_->setText(path);
    std::array<std::string, kMafPoints> volts;
    std::array<std::string, kMafPoints> kghr;
    for (std::size_t i = 0; i < kMafPoints; ++i) {
        volts[i] = volts_[i]->text().toStdString();
        kghr[i] = kghr_[i]->text().toStdString();
    }
    if (auto error = SaveMafFile(ToPath(path), volts, kghr)) {
        message_("Error during save.  Check path and file name.\n" + QString::fromStdString(*error),
                 {});
    }
}

void MAFEdit::apply() {
    const QString path = file_->text();
    hide();
    timer_->stop();
    if (onApply_) {
        onApply_(path);
    }
}

}  // namespace quelm
