// Answers the modal boxes a window opens during a test and records what they said. Boxes are
// window-modal and do not block, so the answer comes from the event loop: every few
// milliseconds the catcher answers the box on top, or a test calls Answer() itself.
#pragma once

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QStringList>
#include <QTimer>

class ModalCatcher : public QObject {
  public:
    explicit ModalCatcher(QMessageBox::StandardButton answer = QMessageBox::Ok, int everyMs = 5)
        : answer_(answer) {
        timer_.setInterval(everyMs);
        QObject::connect(&timer_, &QTimer::timeout, this, [this] { Answer(); });
        timer_.start();
    }
    // What a file dialog answers: this path, or cancel when empty.
    void SetFile(const QString& path) { file_ = path; }

    // Answers the modal box or dialog on top, if any, from the event loop's next turn (the box's
    // continuation then runs there, not inside the caller). Returns whether there was one.
    bool Answer() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal == last_ || !modal->isVisible()) {
            return false;
        }
        last_ = modal;
        titles << modal->windowTitle();
        auto* box = qobject_cast<QMessageBox*>(modal);
        texts << (box ? box->text() : QString());
        details << (box ? box->detailedText() : QString());
        icons << (box ? box->icon() : QMessageBox::NoIcon);
        defaults << (box && box->defaultButton() ? box->standardButton(box->defaultButton())
                                                 : QMessageBox::NoButton);
        QPointer<QWidget> target = modal;
        QMetaObject::invokeMethod(
            this,
            [this, target] {
                if (target) {
                    Press(target);
                }
            },
            Qt::QueuedConnection);
        return true;
    }

    QStringList titles;
    QStringList texts;
    QStringList details;
    QList<QMessageBox::Icon> icons;
    QList<QMessageBox::StandardButton> defaults;

  private:
    void Press(QWidget* modal) {
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            QAbstractButton* button = box->button(answer_);
            if (!button) {
                button = box->buttons().value(0);
            }
            if (button) {
                button->click();
            }
        } else if (auto* files = qobject_cast<QFileDialog*>(modal)) {
            if (file_.isEmpty()) {
                files->reject();
            } else {
                // Typed into the name box, as a user would: selectFile() leaves a box that has
                // the focus alone.
                auto* name = files->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                if (name) {
                    name->setText(file_);
                } else {
                    files->selectFile(file_);
                }
                static_cast<QDialog*>(files)->accept();  // QFileDialog's own is protected
            }
        } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            dialog->accept();
        }
    }

    QMessageBox::StandardButton answer_;
    QString file_;
    QTimer timer_;
    QPointer<QWidget> last_;
};
