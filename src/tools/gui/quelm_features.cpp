#include "tools/gui/quelm_features.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <string>
#include <vector>

#include "widgets/dialogs.h"

namespace quelm {

namespace {

QRadioButton* Option(const char* name, const char* caption) {
    auto* button = new QRadioButton(caption);
    button->setObjectName(name);
    return button;
}

QGroupBox* Frame(const char* name, const char* caption, const char* heading,
                 const std::vector<QWidget*>& widgets) {
    auto* frame = new QGroupBox(caption);
    frame->setObjectName(name);
    auto* layout = new QVBoxLayout(frame);
    layout->addWidget(new QLabel(heading));
    auto* group = new QButtonGroup(frame);
    for (QWidget* widget : widgets) {
        layout->addWidget(widget);
        if (auto* button = qobject_cast<QRadioButton*>(widget)) {
            group->addButton(button);
        }
    }
    layout->addStretch();
    return frame;
}

}  // namespace

QuelmFeatures::QuelmFeatures(LiveConfig& live, SettingsFile& settings, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      live_(live),
      settings_(settings) {
    setObjectName("QuelmFeatures");
    setWindowTitle("Quelm Feature Connector Options");
    error_ = [this](const QString& text, Then then) {
        ShowNotice(this, {QMessageBox::Warning, QStringLiteral("Quelm"), text}, std::move(then));
    };

    nomap_ = Option("nomap", "Disabled");
    onebar_ = Option("onebar", "1 Bar");
    twobar_ = Option("twobar", "2 Bar");
    threebar_ = Option("threebar", "3 Bar");
    auto* zero = new QPushButton("Zero It!");
    zero->setObjectName("ZeroMap");
    nowideband_ = Option("nowideband", "Disabled");
    bailey_ = Option("bailey", "Bailey ");
    diy_ = Option("DIY", "DIY-EFI (Or Austrailian) Kit");
    innovate_ = Option("Innovate", "Innovate / PLX");
    noaux_ = Option("noAUX", "Disabled");
    volts_ = Option("volts", "Enable Voltage Display");

    auto* frames = new QHBoxLayout;
    frames->addWidget(Frame("MapFrame", "MAP", "GM MAP Configuration",
                            {nomap_, onebar_, twobar_, threebar_, zero}));
    frames->addWidget(Frame("WideBandFrame", "Wide Band O2 Interface", "Wideband Configuration",
                            {nowideband_, bailey_, diy_, innovate_}));
    frames->addWidget(Frame("AUXSensors", "AUX Sensors", "AUX Configuration", {noaux_, volts_}));

    auto* saveButton = new QPushButton("Save Settings");
    saveButton->setObjectName("Save");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(saveButton);
    buttons->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(frames);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    nomap_->setChecked(true);
    nowideband_->setChecked(true);
    noaux_->setChecked(true);
    live_.map = MapOption::NoMap;
    live_.wideBand = WideBandOption::NoWideBand;

    const auto follow = [this](QRadioButton* button, auto apply) {
        connect(button, &QRadioButton::toggled, this, [apply](bool on) {
            if (on) {
                apply();
            }
        });
    };
    follow(nomap_, [this] { live_.map = MapOption::NoMap; });
    follow(onebar_, [this] { live_.map = MapOption::OneBar; });
    follow(twobar_, [this] { live_.map = MapOption::TwoBar; });
    follow(threebar_, [this] { live_.map = MapOption::ThreeBar; });
    follow(nowideband_, [this] { live_.wideBand = WideBandOption::NoWideBand; });
    follow(bailey_, [this] { live_.wideBand = WideBandOption::Bailey; });
    follow(diy_, [this] { live_.wideBand = WideBandOption::Diy; });
    follow(innovate_, [this] { live_.wideBand = WideBandOption::Innovate; });

    connect(zero, &QPushButton::clicked, this, &QuelmFeatures::zeroMap);
    connect(saveButton, &QPushButton::clicked, this, &QuelmFeatures::save);
}

void QuelmFeatures::ConfigureFeaturesFromVars(const VehicleConfig& config) {
    QRadioButton* const mapButtons[] = {nomap_, onebar_, twobar_, threebar_};
    if (config.MapType >= 0 && config.MapType <= 3) {
        mapButtons[config.MapType]->setChecked(true);
    }
    QRadioButton* const wideBandButtons[] = {nowideband_, bailey_, diy_, innovate_};
    if (config.WideBandType >= 0 && config.WideBandType <= 3) {
        wideBandButtons[config.WideBandType]->setChecked(true);
    }
    (config.AuxType == 0 ? noaux_ : volts_)->setChecked(true);
    if (dashboard_ != nullptr) {
        ConfigureDashboardFeatures(config.MapType, config.WideBandType, config.AuxType,
                                   *dashboard_);
    }
}

bool QuelmFeatures::save() {
    const auto map = nomap_->isChecked()    ? MapOption::NoMap
                     : onebar_->isChecked() ? MapOption::OneBar
                     : twobar_->isChecked() ? MapOption::TwoBar
                                            : MapOption::ThreeBar;
    const auto wideBand = nowideband_->isChecked() ? WideBandOption::NoWideBand
                          : bailey_->isChecked()   ? WideBandOption::Bailey
                          : diy_->isChecked()      ? WideBandOption::Diy
                                                   : WideBandOption::Innovate;
    const std::pair<const char*, std::string_view> writes[] = {
        {"MAP", MapTypeText(map)},
        {"WIDEBAND", WideBandTypeText(wideBand)},
        {"AUX", AuxTypeText(volts_->isChecked())},
    };
    for (const auto& [section, value] : writes) {
        if (!WriteIniValue(settings_, section, "TYPE", value)) {
            error_("The feature options could not be saved: " +
                       QString::fromStdString(settings_.LastError()),
                   {});
            return false;
        }
    }
    if (reload_) {
        reload_();
    }
    hide();
    return true;
}

void QuelmFeatures::zeroMap() {
    if (currentBoost_) {
        live_.mapZeroOffset = -currentBoost_();
    }
}

}  // namespace quelm
