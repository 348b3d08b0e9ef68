// Message boxes and file dialogs that never run an event loop of their own. Each is shown
// window-modal over its parent with open() and the call returns at once; what follows the answer
// runs in a continuation. A receive loop, playback or export that yields to the window system
// goes on behind the box, where a box's exec() would stop it until the box closed.
//
// A continuation runs only while the box's parent exists (the box is its child); a box without
// a parent must not be given one that refers to something that may go first.
#pragma once

#include <QMessageBox>
#include <QString>
#include <functional>

class QDialog;
class QWidget;

namespace quelm {

struct BoxText {
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title;
    QString text;
};

// A message box with `buttons`, `defaultButton` chosen (NoButton: Qt's choice). `answered`
// gets the button pressed; closing the box counts as its escape button (No of Yes/No).
void ShowBox(QWidget* parent, const BoxText& box,
             QMessageBox::StandardButtons buttons = QMessageBox::Ok,
             QMessageBox::StandardButton defaultButton = QMessageBox::NoButton,
             std::function<void(QMessageBox::StandardButton)> answered = {});

// A message box with an OK button; `closed` runs when it is closed.
void ShowNotice(QWidget* parent, const BoxText& box, std::function<void()> closed = {});

enum class FileDialogMode {
    Existing,       // an existing file to read
    ExistingOrNew,  // a file to read or to create (a new name may be typed)
    Save,           // a file to write; the caller asks about overwriting
};

// The file dialog; `answered` gets the chosen path, or an empty text when cancelled.
void AskForFile(QWidget* parent, FileDialogMode mode, const QString& title, const QString& folder,
                const QString& filter, std::function<void(const QString& chosen)> answered);

// Shows a dialog of the program's own window-modal; it deletes itself when closed.
void OpenDialog(QDialog* dialog);

}  // namespace quelm
