#include "widgets/user_prompts.h"

#include "widgets/dialogs.h"

namespace quelm {

MessageSink MessageBoxSink(QWidget* parent) {
    return [parent](const QString& text, Then then) {
        ShowNotice(parent, {QMessageBox::Information, QStringLiteral("Quelm"), text},
                   std::move(then));
    };
}

namespace {

FileChooser FileDialog(QWidget* parent, FileDialogMode mode) {
    return [parent, mode](const QString& title, const QString& folder, const QString& filter,
                          std::function<void(const QString&)> answered) {
        AskForFile(parent, mode, title, folder, filter, std::move(answered));
    };
}

}  // namespace

FileChooser OpenFileDialog(QWidget* parent) {
    return FileDialog(parent, FileDialogMode::Existing);
}

FileChooser OpenOrNewFileDialog(QWidget* parent) {
    return FileDialog(parent, FileDialogMode::ExistingOrNew);
}

FileChooser SaveFileDialog(QWidget* parent) {
    return FileDialog(parent, FileDialogMode::Save);
}

YesNoQuestion CriticalQuestion(QWidget* parent) {
    return [parent](const QString& text, const QString& title, std::function<void(bool)> answered) {
        ShowBox(parent, {QMessageBox::Critical, title, text}, QMessageBox::Yes | QMessageBox::No,
                QMessageBox::No, [answered = std::move(answered)](QMessageBox::StandardButton b) {
                    answered(b == QMessageBox::Yes);
                });
    };
}

}  // namespace quelm
