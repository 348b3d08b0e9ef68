#include "widgets/dialogs.h"

#include <QFileDialog>

namespace quelm {

void ShowBox(QWidget* parent, const BoxText& text, QMessageBox::StandardButtons buttons,
             QMessageBox::StandardButton defaultButton,
             std::function<void(QMessageBox::StandardButton)> answered) {
    auto* box = new QMessageBox(text.icon, text.title, text.text, buttons, parent);
    if (defaultButton != QMessageBox::NoButton) {
        box->setDefaultButton(defaultButton);
    }
    QObject::connect(box, &QDialog::finished, box, [box, answered = std::move(answered)] {
        if (answered) {
            answered(box->standardButton(box->clickedButton()));
        }
    });
    OpenDialog(box);
}

void ShowNotice(QWidget* parent, const BoxText& box, std::function<void()> closed) {
    ShowBox(parent, box, QMessageBox::Ok, QMessageBox::NoButton,
            [closed = std::move(closed)](QMessageBox::StandardButton) {
                if (closed) {
                    closed();
                }
            });
}

void AskForFile(QWidget* parent, FileDialogMode mode, const QString& title, const QString& folder,
                const QString& filter, std::function<void(const QString& chosen)> answered) {
    auto* dialog = new QFileDialog(parent, title, folder, filter);
    dialog->setFileMode(mode == FileDialogMode::Existing ? QFileDialog::ExistingFile
                                                         : QFileDialog::AnyFile);
    dialog->setAcceptMode(mode == FileDialogMode::Save ? QFileDialog::AcceptSave
                                                       : QFileDialog::AcceptOpen);
    dialog->setOption(QFileDialog::DontConfirmOverwrite);
    QObject::connect(
        dialog, &QDialog::finished, dialog, [dialog, answered = std::move(answered)](int result) {
            answered(result == QDialog::Accepted ? dialog->selectedFiles().value(0) : QString());
        });
    OpenDialog(dialog);
}

void OpenDialog(QDialog* dialog) {
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

}  // namespace quelm
