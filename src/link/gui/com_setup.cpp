#include "link/gui/com_setup.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

#include "common/com_port_map.h"
#include "common/number_text.h"
#include "common/status_texts.h"
#include "files/com_port_map_file.h"
#include "files/settings_file.h"
#include "link/link_context.h"
#include "widgets/dialogs.h"

namespace quelm {

namespace {

// Unchecks every option of an exclusive group (an exclusive group refuses to do it itself).
template <std::size_t N>
void ClearOptions(const std::array<QRadioButton*, N>& options) {
    QButtonGroup* group = options.front()->group();
    group->setExclusive(false);
    for (QRadioButton* b : options) {
        b->setChecked(false);
    }
    group->setExclusive(true);
}

}  // namespace

ComSetup::ComSetup(LinkContext& link, ComPortMap& portMap, SettingsFile& settings, QWidget* parent)
    : QWidget(parent, Qt::Window), link_(link), portMap_(portMap), settings_(settings) {
    setObjectName(QStringLiteral("ComSetup"));
    setWindowTitle(QStringLiteral("Communications Setup"));

    auto* frame1 = new QGroupBox(QStringLiteral("Com Port"), this);
    frame1->setObjectName(QStringLiteral("Frame1"));
    auto* portGrid = new QGridLayout(frame1);
    auto* portGroup = new QButtonGroup(this);
    portGrid->addWidget(new QLabel(QStringLiteral("Opens device"), frame1), 0, 1);
    for (std::size_t i = 0; i < ports_.size(); ++i) {
        const int port = static_cast<int>(i) + 1;
        const QString n = QString::number(port);
        ports_[i] = new QRadioButton(QStringLiteral("Com") + n, frame1);
        ports_[i]->setObjectName(QStringLiteral("com") + n);
        portGroup->addButton(ports_[i]);
        devices_[i] = new QLineEdit(frame1);
        devices_[i]->setObjectName(QStringLiteral("device") + n);
        devices_[i]->setMinimumWidth(180);
        devices_[i]->setToolTip(QStringLiteral("Serial device COM%1 opens; empty for %2")
                                    .arg(n, QString::fromStdString(ComPortMap::DefaultPath(port))));
        portGrid->addWidget(ports_[i], port, 0);
        portGrid->addWidget(devices_[i], port, 1);
    }

    auto* frame2 = new QGroupBox(QStringLiteral("Max Rate"), this);
    frame2->setObjectName(QStringLiteral("Frame2"));
    auto* rateColumn = new QVBoxLayout(frame2);
    auto* rateGroup = new QButtonGroup(this);
    for (std::size_t i = 0; i < rates_.size(); ++i) {
        rates_[i] = new QRadioButton(QLatin1String(kRates[i]), frame2);
        rates_[i]->setObjectName(QLatin1String(kRateNames[i]));
        rateGroup->addButton(rates_[i]);
        rateColumn->addWidget(rates_[i]);
    }
    rateColumn->addStretch(1);

    hint_ = new QLabel(QString::fromUtf8(kChoosePortHint), this);
    hint_->setObjectName(QStringLiteral("hint"));
    QFont hintFont = hint_->font();
    hintFont.setBold(true);
    hint_->setFont(hintFont);
    hint_->hide();
    // The hint goes as soon as there is a port to apply.
    for (QRadioButton* port : ports_) {
        connect(port, &QRadioButton::toggled, hint_, [this](bool on) {
            if (on) {
                hint_->hide();
            }
        });
    }

    auto* apply = new QPushButton(QStringLiteral("Apply"), this);
    apply->setObjectName(QStringLiteral("ApplyCom"));
    apply->setDefault(true);
    connect(apply, &QPushButton::clicked, this, &ComSetup::ApplyCom_Click);

    auto* groups = new QHBoxLayout;
    groups->addWidget(frame1, 1);
    groups->addWidget(frame2);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(hint_, 1);
    buttons->addStretch(1);
    buttons->addWidget(apply);
    auto* column = new QVBoxLayout(this);
    column->addLayout(groups);
    column->addLayout(buttons);
}

void ComSetup::LoadFromSettings() {
    link_.ComPort = ComPortNumber(ReadIniValue(settings_, "SERIAL", "COMPORT"));
    const std::string rate = ReadIniValue(settings_, "SERIAL", "MAXBAUDRATE");
    ClearOptions(ports_);
    if (link_.ComPort >= 1 && link_.ComPort <= 4) {
        ports_[static_cast<std::size_t>(link_.ComPort - 1)]->setChecked(true);
    }
    ClearOptions(rates_);
    for (std::size_t i = 0; i < rates_.size(); ++i) {
        if (rate == kRates[i]) {
            rates_[i]->setChecked(true);
        }
    }
    // Nothing configured yet: offer the fastest rate, which the negotiation lowers as needed.
    if (rate.empty()) {
        rates_.back()->setChecked(true);
    }
    for (std::size_t i = 0; i < devices_.size(); ++i) {
        devices_[i]->setText(QString::fromStdString(portMap_.DevicePath(static_cast<int>(i) + 1)));
    }
    loaded_ = true;
}

void ComSetup::ApplyCom_Click() {
    // Without any port the program could only wait with no window to choose one in.
    const bool portChosen = std::any_of(ports_.begin(), ports_.end(),
                                        [](const QRadioButton* b) { return b->isChecked(); });
    if (!portChosen && link_.ComPort == 0) {
        hint_->show();
        return;
    }
    for (std::size_t i = 0; i < ports_.size(); ++i) {
        const int port = static_cast<int>(i) + 1;
        if (ports_[i]->isChecked()) {
            link_.ComPort = port;
        }
        // Only a device the user changed is kept for later sessions: one given for this run
        // (--port, the simulator) stays out of the kept map. The default device needs no entry
        // of its own; an empty field restores it.
        const std::string device = devices_[i]->text().trimmed().toStdString();
        if (device != portMap_.DevicePath(port)) {
            portMap_.SetOverride(port, device == ComPortMap::DefaultPath(port) ? "" : device);
        }
    }
    for (std::size_t i = 0; i < rates_.size(); ++i) {
        if (rates_[i]->isChecked()) {
            link_.MaxBaudRate = kRates[i];
        }
    }
    hide();
    link_.status.SetPanel(1, status_text::kComReset);
    std::string error;
    if (!(WriteIniValue(settings_, "SERIAL", "COMPORT", PrintNumber(link_.ComPort)) &&
          WriteIniValue(settings_, "SERIAL", "MAXBAUDRATE", link_.MaxBaudRate))) {
        error = settings_.LastError();
    } else if (!SaveComPortMap(ComPortMapPath(settings_.path()), portMap_, error)) {
        error = "the port devices: " + error;
    }
    if (!error.empty()) {
        // The choice holds for this session; say why it will not be there next time.
        ShowNotice(parentWidget(), {QMessageBox::Warning, windowTitle(),
                                    QStringLiteral("The settings could not be saved: %1")
                                        .arg(QString::fromStdString(error))});
    }
}

void ComSetup::showEvent(QShowEvent* event) {
    if (!loaded_) {
        LoadFromSettings();
    }
    QWidget::showEvent(event);
}

void ComSetup::closeEvent(QCloseEvent* event) {
    loaded_ = false;
    QWidget::closeEvent(event);
}

}  // namespace quelm
