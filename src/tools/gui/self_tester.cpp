#include "tools/gui/self_tester.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <utility>

#include "tools/gui/lamp_widget.h"
#include "widgets/dialogs.h"

namespace quelm {
namespace {

const char* const kIgnitionPrompt =
    "Turn off ignition, wait 3 seconds, turn on ignition, and click OK.";
const char* const kLoopStoppedNotice =
    "Monitoring has been stopped so that the self test can use the serial port.";

QLabel* DigitLabel(const QString& name, QWidget* parent) {
    auto* label = new QLabel("0", parent);
    label->setObjectName(name);
    QFont font("Verdana", 18);
    font.setBold(true);
    label->setFont(font);
    label->setAlignment(Qt::AlignCenter);
    label->setStyleSheet("color: rgb(0, 255, 0); background: black;");
    label->setFixedSize(34, 44);
    return label;
}

}  // namespace

SelfTester::SelfTester(SelfTestDevice& device, Runtime& rt, OperationRecord& operations,
                       QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::MSWindowsFixedSizeDialogHint),
      operations_(operations),
      test_(device, rt, MakeObserver()) {
    setObjectName("SelfTester");
    setWindowTitle("Self Test Tool");

    codeList_ = new QPlainTextEdit(this);
    codeList_->setObjectName("CodeList");
    codeList_->setReadOnly(true);
    codeList_->setLineWrapMode(QPlainTextEdit::NoWrap);
    codeList_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    codeList_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    codeList_->setMinimumSize(360, 170);

    go_ = new QPushButton("Start Self Test", this);
    go_->setObjectName("STGo");
    stop_ = new QPushButton("Stop Self Test", this);
    stop_->setObjectName("STStop");
    stop_->setEnabled(false);
    connect(go_, &QPushButton::clicked, this, [this] { STGo_Click(); });
    connect(stop_, &QPushButton::clicked, this, [this] { STStop_Click(); });

    // The digits sit side by side on one black panel, like a code reader's display.
    auto* panel = new QFrame(this);
    panel->setObjectName("DigitPanel");
    panel->setStyleSheet("QFrame#DigitPanel { background: black; border-radius: 4px; }");
    auto* digitRow = new QHBoxLayout(panel);
    digitRow->setContentsMargins(6, 4, 6, 4);
    digitRow->setSpacing(2);
    const char* names[] = {"D1", "D2", "D3"};
    for (int i = 0; i < 3; ++i) {
        digits_[i] = DigitLabel(names[i], panel);
        digitRow->addWidget(digits_[i]);
    }

    auto* lampCaption = new QLabel("Check Engine Light", this);
    lampCaption->setObjectName("Label2");
    lampCaption->setAlignment(Qt::AlignCenter);
    lamp_ = new LampWidget(kLampDark, this);
    lamp_->setObjectName("MIL");
    lamp_->setFixedSize(40, 40);

    status_ = new QLabel("Close all other applications, and click Start Self Test to begin.", this);
    status_->setObjectName("Status");
    status_->setWordWrap(true);
    status_->setMinimumHeight(36);
    status_->setFixedWidth(540);

    auto* side = new QVBoxLayout;
    side->setSpacing(8);
    side->addWidget(panel, 0, Qt::AlignHCenter);
    side->addSpacing(6);
    side->addWidget(lamp_, 0, Qt::AlignHCenter);
    side->addWidget(lampCaption);
    side->addStretch(1);
    side->addWidget(go_);
    side->addWidget(stop_);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(12, 12, 12, 12);
    grid->setHorizontalSpacing(12);
    grid->addWidget(codeList_, 0, 0);
    grid->addLayout(side, 0, 1);
    grid->addWidget(status_, 1, 0, 1, 2);
    grid->setSizeConstraint(QLayout::SetFixedSize);
}

SelfTestObserver SelfTester::MakeObserver() {
    return {
        .status = [this](std::string_view text) { status_->setText(QString::fromUtf8(text)); },
        .lamp = [this](bool lit) { lamp_->SetColor(lit ? kLampLit : kLampDark); },
        .digits =
            [this](const CodeDigits& d) {
                for (int i = 0; i < 3; ++i) {
                    digits_[i]->setText(QString::fromStdString(d[static_cast<std::size_t>(i)]));
                }
            },
        .clearCodes = [this] { codeList_->clear(); },
        .codeLine =
            [this](const std::string& line) {
                codeList_->appendPlainText(QString::fromStdString(line));
            },
    };
}

void SelfTester::STGo_Click() {
    // After a Stop the previous run may still be unwinding (it leaves at its next poll, or after
    // connecting); a second run must not start on top of it.
    const LongOperation running = operations_.Current();
    if (running == LongOperation::SelfTest || startPending_) {
        return;
    }
    if (auto refusal = operations_.Refusal(LongOperation::SelfTest)) {
        ShowNotice(this,
                   {QMessageBox::Information, windowTitle(), QString::fromStdString(*refusal)});
        return;
    }
    go_->setEnabled(false);
    stop_->setEnabled(true);
    startPending_ = true;
    // The receive loop or a playback stops now and unwinds while the boxes are open.
    operations_.StopCurrent();
    const auto prompt = [this] {
        ShowNotice(this, {QMessageBox::Information, windowTitle(), kIgnitionPrompt},
                   [this] { operations_.WhenIdle([this] { RunTest(); }); });
    };
    // A link still connecting has not started monitoring, so there is nothing to announce.
    if (running == LongOperation::Monitoring) {
        ShowNotice(this, {QMessageBox::Information, windowTitle(), kLoopStoppedNotice}, prompt);
    } else {
        prompt();
    }
}

void SelfTester::RunTest() {
    // Stop was pressed (or the window closed) while the boxes were open.
    if (!std::exchange(startPending_, false)) {
        return;
    }
    const auto running = operations_.Begin(LongOperation::SelfTest, [this] { STStop_Click(); });
    test_.Run();
}

void SelfTester::STStop_Click() {
    startPending_ = false;
    go_->setEnabled(true);
    test_.Stop();
}

void SelfTester::closeEvent(QCloseEvent* event) {
    if (test_.InProgress() || startPending_) {
        STStop_Click();
    }
    event->accept();
}

}  // namespace quelm
