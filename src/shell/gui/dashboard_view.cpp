#include "shell/gui/dashboard_view.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/status_texts.h"
#include "shell/gui/link_indicator.h"
#include "widgets/gauge_widget.h"
#include "widgets/refresh_queue.h"

namespace quelm {
namespace {

const QString kInchesHg = QStringLiteral("\"Hg");
const QColor kWarnAmber(240, 160, 0);
const QColor kWarnRed(220, 40, 40);

}  // namespace

DashboardView::DashboardView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("DashboardView"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(22, 24, 28));
    pal.setColor(QPalette::WindowText, QColor(200, 206, 214));
    setPalette(pal);
    repaints_ = new RefreshQueue(kGaugeRefreshMs, this);

    AddGauges();
    QHBoxLayout* header = BuildHeader();
    QGridLayout* grid = BuildMainGrid();
    QWidget* featureRow = BuildFeatureRow();
    RememberUsFaces();

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);
    column->addLayout(header, 0);
    column->addLayout(grid, 3);
    column->addWidget(featureRow, 1);
}

void DashboardView::AddGauges() {
    // Creation order is the order of the fixed gauge table.
    AddGauge("Speedo", "MPH", "", 0, 220)->SetMajorStep(20);
    GaugeWidget* tach = AddGauge("Tach", "RPM", "", 0, 8000);
    tach->AddZone(6000, 6500, kWarnAmber);
    tach->AddZone(6500, 8000, kWarnRed);
    AddGauge("ACT", "ACT", "'F", -30, 300);
    AddGauge("ECT", "ECT", "'F", -30, 300)->AddZone(240, 300, kWarnRed);
    AddGauge("MAFS", "MAF", "Volts", 0, 5);
    AddGauge("tps", "TPS", "", 0, 5);
    AddGauge("AUX1", "AUX1", "Volts", 0, 5);
    AddGauge("AUX2", "AUX2", "Volts", 0, 5);
    AddGauge("WideBand", "Wide02", "AFR", 9, 20);
    GaugeWidget* hego = AddGauge("HEGOS", "HEGO", "", 0, 1);
    hego->SetNeedleCount(2);
    hego->SetNeedleLabels("L", "R");
    GaugeWidget* advance = AddGauge("Advance", "Advance", "", -20, 50);
    // Spark before top dead centre reads positive, after it negative.
    advance->AddMark(-10, "ATC");
    advance->AddMark(0, "TDC");
    advance->AddMark(35, "BTC");
    AddGauge("Boost", "Boost", "PSI", 0, 30);
    AddGauge("Vac", "Vacuum", kInchesHg, 0, 30);
    AddGauge("bap", "BAP", kInchesHg, 15, 32);
    AddGauge("DutyCycle", "Inj. Duty", "%", 0, 100)->AddZone(85, 100, kWarnRed);
    // Pulse widths of a few milliseconds: a tuner needs the tenths.
    AddGauge("INJPW", "Inj. PW", "ms", 0, 160)->SetMinimumReadoutDecimals(1);
    AddGauge("EECLOAD", "LOAD", "", 0, 2);
    AddGauge("mpg", "MPG", "", 0, 50);
    AddGauge("hp", "RWHP", "", 0, 1000);
    AddGauge("TQ", "RWTQ", "", 0, 1000);
}

// Link lamp and Connect on the right.
QHBoxLayout* DashboardView::BuildHeader() {
    auto* header = new QHBoxLayout;
    header->setContentsMargins(8, 4, 8, 0);
    auto* brand = new QLabel(QStringLiteral("QUELM"), this);
    QFont brandFont = brand->font();
    brandFont.setBold(true);
    brandFont.setLetterSpacing(QFont::PercentageSpacing, 130);
    brand->setFont(brandFont);
    header->addWidget(brand);
    header->addStretch(1);
    indicator_ = new LinkIndicator(this);
    indicator_->setObjectName(QStringLiteral("comstat"));
    indicator_->setFixedSize(20, 20);
    header->addWidget(indicator_);
    header->addSpacing(8);
    connect_ = new QPushButton(QString::fromUtf8(status_text::kConnectCaption), this);
    connect_->setObjectName(QStringLiteral("Connect"));
    connect_->setMinimumWidth(110);
    connect_->setStyleSheet(QStringLiteral(
        "QPushButton { color: #e6eaf0; background: #2b3038; border: 1px solid #59616e;"
        " border-radius: 4px; padding: 4px 14px; font-weight: bold; }"
        "QPushButton:hover { background: #363c46; }"
        "QPushButton:pressed { background: #1e2228; }"));
    header->addWidget(connect_);
    return header;
}

// The two big dials at the sides, the engine dials between and below.
QGridLayout* DashboardView::BuildMainGrid() {
    auto* grid = new QGridLayout;
    grid->setSpacing(2);
    grid->setContentsMargins(4, 4, 4, 0);
    grid->addWidget(gauge("Speedo"), 0, 0, 2, 2);
    grid->addWidget(gauge("Tach"), 0, 5, 2, 2);
    grid->addWidget(gauge("ECT"), 0, 2);
    grid->addWidget(gauge("HEGOS"), 0, 3);
    grid->addWidget(gauge("ACT"), 0, 4);
    grid->addWidget(gauge("MAFS"), 1, 2);
    grid->addWidget(gauge("EECLOAD"), 1, 3);
    grid->addWidget(gauge("tps"), 1, 4);
    const std::array<const char*, 7> bottom{"Advance", "DutyCycle", "INJPW", "bap",
                                            "mpg",     "hp",        "TQ"};
    for (int col = 0; col < static_cast<int>(bottom.size()); ++col) {
        grid->addWidget(gauge(bottom[static_cast<std::size_t>(col)]), 2, col);
    }
    for (int i = 0; i < 7; ++i) {
        grid->setColumnStretch(i, 1);
    }
    for (int i = 0; i < 3; ++i) {
        grid->setRowStretch(i, 1);
    }
    return grid;
}

// Optional sensors get a row of their own, so hiding some of them reflows the row and hiding
// all of them removes it.
QWidget* DashboardView::BuildFeatureRow() {
    featureRow_ = new QWidget(this);
    auto* featureLayout = new QHBoxLayout(featureRow_);
    featureLayout->setSpacing(2);
    featureLayout->setContentsMargins(4, 0, 4, 4);
    for (const char* name : {"Boost", "Vac", "WideBand", "AUX1", "AUX2"}) {
        featureGauges_.push_back(gauge(name));
    }
    for (GaugeWidget* g : featureGauges_) {
        featureLayout->addWidget(g);
        g->installEventFilter(this);
    }
    return featureRow_;
}

void DashboardView::RememberUsFaces() {
    for (const GaugeFace& face : kMetricFaces) {
        GaugeWidget* g =
            gauge(QLatin1String(face.gauge.data(), static_cast<qsizetype>(face.gauge.size())));
        usFaces_.push_back({g, Face{g->Title(), g->Unit(), g->ScaleMinimum(), g->ScaleMaximum(),
                                    g->MajorStep(), g->Zones()}});
    }
}

GaugeWidget* DashboardView::AddGauge(const QString& name, const QString& title, const QString& unit,
                                     double minimum, double maximum) {
    auto* g = new GaugeWidget(this);
    g->setObjectName(name);
    g->SetRefreshQueue(repaints_);
    g->SetTitle(title);
    g->SetUnit(unit);
    g->SetScale(minimum, maximum);
    gauges_.push_back(g);
    return g;
}

GaugeWidget* DashboardView::gauge(const QString& name) const {
    for (GaugeWidget* g : gauges_) {
        if (g->objectName() == name) {
            return g;
        }
    }
    return nullptr;
}

void DashboardView::SetComStat(int stat) {
    indicator_->SetComStat(stat);
}

void DashboardView::ApplyGaugeValues(const GaugeValues& v) {
    auto set = [this](const char* name, double value) {
        gauge(QLatin1String(name))->SetValue(value);
    };
    set("MAFS", v.MAFS);
    set("tps", v.tps);
    set("ECT", v.ECT);
    set("ACT", v.ACT);
    set("bap", v.bap);
    set("Advance", v.Advance);
    set("Boost", v.Boost);
    set("Vac", v.Vac);
    set("Tach", v.Tach);
    set("Speedo", v.Speedo);
    set("AUX1", v.AUX1);
    set("AUX2", v.AUX2);
    GaugeWidget* hego = gauge(QStringLiteral("HEGOS"));
    hego->SelectNeedle(0);
    hego->SetValue(v.HEGOL);
    hego->SelectNeedle(1);
    hego->SetValue(v.HEGOR);
    set("DutyCycle", v.DutyCycle);
    set("INJPW", v.INJPW);
    set("WideBand", v.WideBand);
    set("mpg", v.mpg);
    set("EECLOAD", v.EECLOAD);
    set("hp", v.hp);
    set("TQ", v.TQ);
}

void DashboardView::SetUnits(DisplayUnits units) {
    units_ = units;
    for (auto& [g, us] : usFaces_) {
        const GaugeFace* metric =
            units == DisplayUnits::Metric ? MetricFace(g->objectName().toStdString()) : nullptr;
        g->ClearZones();
        if (metric) {
            g->SetTitle(QString::fromUtf8(metric->title.data(),
                                          static_cast<qsizetype>(metric->title.size())));
            g->SetUnit(QString::fromUtf8(metric->unit.data(),
                                         static_cast<qsizetype>(metric->unit.size())));
            g->SetScale(metric->minimum, metric->maximum);
            g->SetMajorStep(metric->majorStep);
            if (metric->zoneTo > metric->zoneFrom) {
                g->AddZone(metric->zoneFrom, metric->zoneTo, kWarnRed);
            }
        } else {
            g->SetTitle(us.title);
            g->SetUnit(us.unit);
            g->SetScale(us.minimum, us.maximum);
            g->SetMajorStep(us.majorStep);
            for (const GaugeWidget::Zone& zone : us.zones) {
                g->AddZone(zone.from, zone.to, zone.colour);
            }
        }
    }
    SetBoostFullScale(boostPsi_);
}

void DashboardView::SetBoostFullScale(double psi) {
    boostPsi_ = psi;
    gauge(QStringLiteral("Boost"))->SetFullScale(BoostFullScale(psi, units_));
}

void DashboardView::ApplyPeaks(const GaugeValues& peaks) {
    static constexpr std::pair<const char*, float GaugeValues::*> kDials[] = {
        {"MAFS", &GaugeValues::MAFS},
        {"tps", &GaugeValues::tps},
        {"ECT", &GaugeValues::ECT},
        {"ACT", &GaugeValues::ACT},
        {"bap", &GaugeValues::bap},
        {"Advance", &GaugeValues::Advance},
        {"Boost", &GaugeValues::Boost},
        {"Vac", &GaugeValues::Vac},
        {"Tach", &GaugeValues::Tach},
        {"Speedo", &GaugeValues::Speedo},
        {"AUX1", &GaugeValues::AUX1},
        {"AUX2", &GaugeValues::AUX2},
        {"DutyCycle", &GaugeValues::DutyCycle},
        {"INJPW", &GaugeValues::INJPW},
        {"WideBand", &GaugeValues::WideBand},
        {"mpg", &GaugeValues::mpg},
        {"EECLOAD", &GaugeValues::EECLOAD},
        {"hp", &GaugeValues::hp},
        {"TQ", &GaugeValues::TQ},
    };
    for (const auto& [name, field] : kDials) {
        gauge(QLatin1String(name))->SetPeak(0, peaks.*field);
    }
    GaugeWidget* hego = gauge(QStringLiteral("HEGOS"));
    hego->SetPeak(0, peaks.HEGOL);
    hego->SetPeak(1, peaks.HEGOR);
}

void DashboardView::SetPeaksShown(bool shown) {
    for (GaugeWidget* g : gauges_) {
        g->SetPeakShown(shown);
    }
}

bool DashboardView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent) {
        UpdateFeatureRow();
    }
    return QWidget::eventFilter(watched, event);
}

void DashboardView::UpdateFeatureRow() {
    bool any = false;
    for (const GaugeWidget* g : featureGauges_) {
        any = any || !g->isHidden();
    }
    featureRow_->setVisible(any);
}

}  // namespace quelm
