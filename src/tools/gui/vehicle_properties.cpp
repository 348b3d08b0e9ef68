#include "tools/gui/vehicle_properties.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>
#include <array>
#include <string>

#include "common/number_text.h"

namespace quelm {

namespace {

QLabel* Note(const QString& text) {
    auto* label = new QLabel(text);
    label->setWordWrap(true);
    label->setMinimumWidth(300);
    return label;
}

QString Plain(double value) {
    return QString::fromStdString(PlainNumber(value));
}

std::string Text(const QLineEdit* box) {
    return box->text().toStdString();
}

// A pasted number often brings a line break along; blanks and line breaks around it are not
// part of it.
QString NumberText(const QString& text) {
    return text.trimmed();
}
std::string NumberText(const QLineEdit* box) {
    return NumberText(box->text()).toStdString();
}

// Limits what can be typed; unlike a maximum length it does not cut a loaded value, which is
// shown whole because the conversions use it.
void LimitTyping(QLineEdit* box, int characters) {
    box->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QString(".{0,%1}").arg(characters)), box));
}

}  // namespace

VP::VP(LiveConfig& live, SettingsFile& settings, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      live_(live),
      settings_(settings) {
    setObjectName("VP");
    setWindowTitle("Vehicle Properties");
    message_ = MessageBoxSink(this);

    auto* notice = new QLabel(
        "These properties are critical to proper calculation of parameters.   Real-Time "
        "display and playback from logs will be erroneous unless the properties match the "
        "vehicle the data is/was collected from. ");
    notice->setWordWrap(true);

    CreateFields();
    auto* edit = new QPushButton("Edit/Browse");
    edit->setObjectName("Edit");
    auto* saveButton = new QPushButton("Save Settings");
    saveButton->setObjectName("Save");
    QGridLayout* grid = FieldGrid(edit);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(saveButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(notice);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(edit, &QPushButton::clicked, this, [this] {
        if (onEdit_) {
            onEdit_();
        }
    });
    connect(saveButton, &QPushButton::clicked, this, &VP::save);
    FeedLiveConfig();
}

void VP::CreateFields() {
    ci_ = new QLineEdit("302");
    ci_->setObjectName("CI");
    LimitTyping(ci_, 3);
    numcyl_ = new QLineEdit("8");
    numcyl_->setObjectName("numcyl");
    LimitTyping(numcyl_, 1);
    hasdis_ = new QCheckBox("DIS");
    hasdis_->setObjectName("hasdis");
    injsize_ = new QLineEdit("19");
    injsize_->setObjectName("injsize");
    hasbatchfire_ = new QCheckBox(
        " Vehicle uses Batch Fire (necessary to determine proper injector pulsewidth).  Check "
        "this box for any vehicle that is not SEFI.");
    hasbatchfire_->setObjectName("hasbatchfire");
    vsscorrection_ = new QLineEdit("1");
    vsscorrection_->setObjectName("vsscorrection");
    hasbap_ = new QCheckBox("Vehicles uses factory BAP/MAP sensor");
    hasbap_->setObjectName("hasbap");
    maffile_ = new QLineEdit("none specified");
    maffile_->setObjectName("MAFfile");
    maffile_->setReadOnly(true);
    maffile_->setMinimumWidth(260);
    for (auto* box : {ci_, numcyl_, injsize_, vsscorrection_}) {
        box->setFixedWidth(70);
    }
}

// Caption, field and note of each setting, one row each.
QGridLayout* VP::FieldGrid(QPushButton* edit) {
    auto* injRow = new QHBoxLayout;
    injRow->addWidget(injsize_);
    injRow->addWidget(new QLabel("lb/hr"));
    injRow->addStretch();
    auto* mafRow = new QHBoxLayout;
    mafRow->addWidget(maffile_, 1);
    mafRow->addWidget(edit);

    auto* grid = new QGridLayout;
    grid->setColumnStretch(2, 1);
    int row = 0;
    const auto addRow = [&](const QString& caption, QWidget* field, QLayout* fieldLayout,
                            const QString& note) {
        if (!caption.isEmpty()) {
            grid->addWidget(new QLabel(caption), row, 0);
        }
        if (field != nullptr) {
            grid->addWidget(field, row, 1);
        } else {
            grid->addLayout(fieldLayout, row, 1);
        }
        if (!note.isEmpty()) {
            grid->addWidget(Note(note), row, 2);
        }
        ++row;
    };
    addRow("Engine Displacement (CI)", ci_, nullptr, "Used for Load calculations.");
    addRow("Number of Cylinders ", numcyl_, nullptr,
           "Used for Load, Timing Advance and MPG calculations.");
    addRow("Check if DIS Present", hasdis_, nullptr,
           "Check this box on vehicles equipped with DIS Ignition.");
    addRow("Injector Size", nullptr, injRow, "Used for MPG calculations.");
    grid->addWidget(hasbatchfire_, row++, 0, 1, 3);
    addRow("VSS Correction Multiplier", vsscorrection_, nullptr,
           "Value skews MPH readings to compensate for improper speedometer gears.  Values "
           "greater than 1 increase MPH reading.  Values less than one decrease MPH reading.");
    grid->addWidget(hasbap_, row, 0, 1, 2);
    grid->addWidget(Note("Turns off display of factory MAP/BAP"), row++, 2);
    grid->addWidget(new QLabel("MAF Curve File Name"), row, 0);
    grid->addLayout(mafRow, row, 1, 1, 2);
    ++row;
    grid->addWidget(Note("Used for Load, Horsepower, and Torque Calculations"), row++, 1, 1, 2);
    return grid;
}

// The fields are the live configuration from the start, and every edit reaches it at once.
void VP::FeedLiveConfig() {
    connect(numcyl_, &QLineEdit::textChanged, this,
            [this](const QString& t) { live_.numcyl = t.toStdString(); });
    connect(vsscorrection_, &QLineEdit::textChanged, this,
            [this](const QString& t) { live_.vsscorrection = NumberText(t).toStdString(); });
    connect(injsize_, &QLineEdit::textChanged, this,
            [this](const QString& t) { live_.injsize = NumberText(t).toStdString(); });
    connect(hasdis_, &QCheckBox::toggled, this, [this](bool on) { live_.hasdis = on; });
    connect(hasbatchfire_, &QCheckBox::toggled, this, [this](bool on) { live_.hasbatchfire = on; });
    live_.numcyl = Text(numcyl_);
    live_.vsscorrection = NumberText(vsscorrection_);
    live_.injsize = NumberText(injsize_);
    live_.hasdis = hasdis_->isChecked();
    live_.hasbatchfire = hasbatchfire_->isChecked();
}

void VP::ConfigureFeaturesFromVars(const VehicleConfig& config) {
    numcyl_->setText(QString::number(config.NumCylinders));
    injsize_->setText(Plain(config.InjectorSize));
    ci_->setText(Plain(config.Displacement));
    vsscorrection_->setText(Plain(config.VssCorrection));
    maffile_->setText(QString::fromStdString(config.MafFile));
    hasbatchfire_->setChecked(config.BatchFire);
    hasbap_->setChecked(config.BapPresent);
    hasdis_->setChecked(config.DisIgnition);
}

void VP::SetMafFile(const QString& path) {
    maffile_->setText(path);
}

bool VP::save() {
    const QString cylinders = numcyl_->text();
    if (cylinders != "4" && cylinders != "6" && cylinders != "8") {
        message_("Quelm does not support " + cylinders + " cylinder engines.", {});
        numcyl_->setText("8");
        return false;
    }
    // A displacement that is not a number at all is refused like one out of range.
    const QString displacement = ci_->text();
    const double ci = LenientNumber(displacement.toStdString());
    if (!IsNumberText(displacement.toStdString()) || ci < 100 || ci > 700) {
        message_("Quelm does not support " + displacement + " cubic inch engines.", {});
        ci_->setText("302");
        return false;
    }
    const std::string vss = NumberText(vsscorrection_);
    if (!IsNumberText(vss)) {
        message_("Quelm does not support a VSS correction multiplier of " +
                     QString::fromStdString(vss) + ".",
                 {});
        vsscorrection_->setText("1");
        return false;
    }
    const double injectorSize = LenientNumber(NumberText(injsize_));
    injsize_->setText(Plain(injectorSize));

    const auto yesNo = [](const QCheckBox* box) { return box->isChecked() ? "YES" : "NO"; };
    const std::array<std::array<std::string, 3>, 8> writes{{
        {"INJECTION", "NUMCYL", PrintNumber(LenientNumber(cylinders.toStdString()))},
        {"INJECTION", "INJSIZE", PrintNumber(injectorSize)},
        {"INJECTION", "MAFFILE", Text(maffile_)},
        {"INJECTION", "CI", displacement.toStdString()},
        {"INJECTION", "BATCH", yesNo(hasbatchfire_)},
        {"VSSCORRECTION", "VALUE", PrintNumber(LenientNumber(vss))},
        {"SENSORS", "BAPPRESENT", yesNo(hasbap_)},
        {"IGNITION", "DIS", yesNo(hasdis_)},
    }};
    for (const auto& [section, key, value] : writes) {
        if (!WriteIniValue(settings_, section, key, value)) {
            message_("The vehicle settings could not be saved: " +
                         QString::fromStdString(settings_.LastError()),
                     {});
            return false;
        }
    }
    hide();
    return true;
}

}  // namespace quelm
