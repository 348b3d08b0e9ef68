#include "shell/gui/about_box.h"

#include <QDesktopServices>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>

#include "common/product_info.h"
#include "shell/gui/svg_picture.h"
#include "widgets/dialogs.h"

namespace quelm {

UrlOpener UrlOpener::Desktop() {
    return UrlOpener{
        [] { return !QStandardPaths::findExecutable("xdg-open").isEmpty(); },
        [](const QUrl& url) { return QDesktopServices::openUrl(url); },
    };
}

namespace {
QLabel* WrappedLabel(const QString& name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setWordWrap(true);
    return label;
}
}  // namespace

frmAbout::frmAbout(QWidget* parent, UrlOpener opener)
    : QDialog(parent), opener_(std::move(opener)) {
    setObjectName("frmAbout");
    setWindowTitle("About QUELM");
    const QString maker = kMakerName;
    const QString product = kProductName;

    auto* picIcon = new SvgPicture(":/quelm/icon.svg", this);
    picIcon->setObjectName("picIcon");
    picIcon->setFixedSize(72, 72);

    auto* title = WrappedLabel(
        "S", maker + " " + product + "(tm) Real-Time Data-Logger Application Software", this);
    QFont titleFont = title->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.2);
    title->setFont(titleFont);
    auto* lblVersion = WrappedLabel("lblVersion", QString::fromStdString(VersionLabel()), this);
    auto* lblDescription = WrappedLabel(
        "lblDescription",
        "Please see " + QString(kWebAddress) +
            " for software updates, product upgrades, a support forum, and information.",
        this);
    auto* lblDisclaimer = WrappedLabel(
        "lblDisclaimer",
        "This program is designed to communicate with the " + maker + " " + product +
            " Real-Time Data-Logger for the collection and analysis of Ford EEC-IV factory fuel "
            "injection signals present on EEC-IV equipped vehicles.",
        this);
    lblDisclaimer->setStyleSheet("color: palette(mid);");
    auto* line = new QFrame(this);
    line->setObjectName("Line1");
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    auto* visitweb = new QPushButton("Visit the " + maker + " web page", this);
    visitweb->setObjectName("visitweb");
    auto* cmdOK = new QPushButton("OK", this);
    cmdOK->setObjectName("cmdOK");
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(visitweb, &QPushButton::clicked, this, &frmAbout::visitweb_Click);

    auto* text = new QVBoxLayout;
    text->addWidget(title);
    text->addWidget(lblVersion);
    text->addSpacing(6);
    text->addWidget(lblDescription);
    auto* top = new QHBoxLayout;
    top->addWidget(picIcon, 0, Qt::AlignTop);
    top->addSpacing(12);
    top->addLayout(text, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(visitweb);
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 18, 18, 14);
    layout->addLayout(top);
    layout->addSpacing(8);
    layout->addWidget(line);
    layout->addWidget(lblDisclaimer);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    setFixedWidth(520);
}

void frmAbout::visitweb_Click() {
    if (!opener_.browserAvailable || !opener_.browserAvailable()) {
        ShowNotice(
            this, {QMessageBox::Warning, "Browser Not Found", "Could not find associated Browser"});
        return;
    }
    if (!opener_.open || !opener_.open(QUrl(kWebAddress))) {
        ShowNotice(this, {QMessageBox::Warning, "URL Failed", "Web Page not Opened"});
    }
}

}  // namespace quelm
