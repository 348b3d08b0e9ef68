#include "link/gui/comstat_display.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace quelm {

namespace {

QLabel* AddRow(QFormLayout* form, QWidget* owner, const char* name, const char* caption) {
    auto* value = new QLabel(QStringLiteral("0"), owner);
    value->setObjectName(QLatin1String(name));
    value->setMinimumWidth(90);
    value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    form->addRow(QLatin1String(caption), value);
    return value;
}

}  // namespace

comstatdisplay::comstatdisplay(LinkStats& stats, QWidget* parent)
    : QWidget(parent, Qt::Window), stats_(stats) {
    setObjectName(QStringLiteral("comstatdisplay"));
    setWindowTitle(QStringLiteral("Communications Statistics"));
    auto* form = new QFormLayout;
    tfc_ = AddRow(form, this, "tfc", "Total Frames Recieved");
    fps_ = AddRow(form, this, "fps", "Frame Rate Per Sec.");
    cke_ = AddRow(form, this, "cke", "Checksum Errors");
    toe_ = AddRow(form, this, "toe", "Timeout Errors");
    flp_ = AddRow(form, this, "flp", "Frame Loss %");
    auto* reset = new QPushButton(QStringLiteral("Reset"), this);
    reset->setObjectName(QStringLiteral("reset"));
    connect(reset, &QPushButton::clicked, this, &comstatdisplay::reset_Click);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(reset);
    auto* column = new QVBoxLayout(this);
    column->addLayout(form);
    column->addLayout(buttons);
}

void comstatdisplay::ShowTexts(const StatisticsTexts& t) {
    tfc_->setText(QString::fromStdString(t.tfc));
    fps_->setText(QString::fromStdString(t.fps));
    cke_->setText(QString::fromStdString(t.cke));
    toe_->setText(QString::fromStdString(t.toe));
    flp_->setText(QString::fromStdString(t.flp));
}

void comstatdisplay::reset_Click() {
    ResetStatistics(stats_);
}

}  // namespace quelm
