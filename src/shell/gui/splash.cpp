#include "shell/gui/splash.h"

#include <QLabel>
#include <QVBoxLayout>

#include "common/product_info.h"
#include "shell/gui/svg_picture.h"

namespace quelm {

namespace {
QLabel* VerdanaLabel(const QString& name, const QString& text, int points, bool bold,
                     QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    QFont font("Verdana", points);
    font.setBold(bold);
    label->setFont(font);
    label->setAlignment(Qt::AlignCenter);
    return label;
}
}  // namespace

Splash::Splash(QWidget* parent)
    : QFrame(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName("Splash");
    setStyleSheet(
        "QFrame#fraMainFrame { background: qlineargradient(x1:0, y1:0, x2:0, y2:1,"
        " stop:0 #1f2937, stop:1 #0b0f14); border: 2px solid #374151; border-radius: 10px; }"
        "QLabel { color: #e5e7eb; background: transparent; }"
        "QLabel#lblCompany { color: #9ca3af; }");
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* frame = new QFrame(this);
    frame->setObjectName("fraMainFrame");
    outer->addWidget(frame);

    auto* layout = new QVBoxLayout(frame);
    layout->setContentsMargins(36, 28, 36, 24);
    layout->setSpacing(10);
    auto* logo = new SvgPicture(":/quelm/logo.svg", frame);
    logo->setObjectName("picLogo");
    logo->setMinimumSize(384, 120);
    layout->addWidget(logo);
    layout->addWidget(VerdanaLabel("lblProductName", kProductName, 20, true, frame));
    layout->addWidget(
        VerdanaLabel("lblWarning", "Data Monitoring and Logging Application", 12, false, frame));
    layout->addWidget(VerdanaLabel("lblCompany", kMakerName, 10, false, frame));
    setFixedSize(sizeHint().expandedTo(QSize(480, 320)));
}

}  // namespace quelm
