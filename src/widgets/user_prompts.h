// Message boxes and file dialogs behind replaceable functions, so tests can answer them.
#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace quelm {

// Shows one message with an OK button.
using MessageSink = std::function<void(const QString& text)>;
// Asks for a file; returns the chosen path, or an empty text when cancelled.
using FileChooser =
    std::function<QString(const QString& title, const QString& folder, const QString& filter)>;

// An information box with the program's title and an OK button, over `parent`.
MessageSink MessageBoxSink(QWidget* parent);
// The system's open-file dialog.
FileChooser OpenFileDialog(QWidget* parent);
// The system's file dialog for a name to write to (a new name may be typed; no overwrite
// question).
FileChooser SaveFileDialog(QWidget* parent);

}  // namespace quelm
