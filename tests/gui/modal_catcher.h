// Answers the modal message boxes a window opens during a test and records what they said.
#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QStringList>
#include <QTimer>

class ModalCatcher : public QObject {
  public:
    explicit ModalCatcher(QMessageBox::StandardButton answer = QMessageBox::Ok) : answer_(answer) {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, this, [this] { Poll(); });
        timer_.start();
    }
    void SetAnswer(QMessageBox::StandardButton answer) { answer_ = answer; }

    QStringList titles;
    QStringList texts;
    QStringList details;
    QList<QMessageBox::Icon> icons;
    QList<QMessageBox::StandardButton> defaults;

  private:
    void Poll() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || box == last_) {
            return;
        }
        last_ = box;
        titles << box->windowTitle();
        texts << box->text();
        details << box->detailedText();
        icons << box->icon();
        defaults << (box->defaultButton() ? box->standardButton(box->defaultButton())
                                          : QMessageBox::NoButton);
        QAbstractButton* button = box->button(answer_);
        if (!button) {
            button = box->buttons().value(0);
        }
        if (button) {
            button->click();
        }
    }

    QMessageBox::StandardButton answer_;
    QTimer timer_;
    QPointer<QMessageBox> last_;
};
