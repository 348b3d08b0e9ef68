#include "widgets/user_prompts.h"

#include <QFileDialog>
#include <QMessageBox>

namespace quelm {

MessageSink MessageBoxSink(QWidget* parent) {
    return [parent](const QString& text) {
        QMessageBox::information(parent, QStringLiteral("Quelm"), text, QMessageBox::Ok);
    };
}

FileChooser OpenFileDialog(QWidget* parent) {
    return [parent](const QString& title, const QString& folder, const QString& filter) {
        return QFileDialog::getOpenFileName(parent, title, folder, filter);
    };
}

FileChooser SaveFileDialog(QWidget* parent) {
    return [parent](const QString& title, const QString& folder, const QString& filter) {
        return QFileDialog::getSaveFileName(parent, title, folder, filter, nullptr,
                                            QFileDialog::DontConfirmOverwrite);
    };
}

}  // namespace quelm
