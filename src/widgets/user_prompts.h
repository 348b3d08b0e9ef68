// Message boxes and file dialogs behind replaceable functions, so tests can answer them. Each
// returns at once and hands the answer to a continuation (see shell/gui/dialogs.h): a running
// receive loop or playback goes on while the box is open.
#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace quelm {

inline constexpr const char* kOverwriteQuestion = "File exists.  Overwrite?";

// What runs once the user has answered; may be empty.
using Then = std::function<void()>;
// Shows one message with an OK button; `then` runs once it is closed.
using MessageSink = std::function<void(const QString& text, Then then)>;
// Asks for a file; `answered` gets the chosen path, or an empty text when cancelled.
using FileChooser =
    std::function<void(const QString& title, const QString& folder, const QString& filter,
                       std::function<void(const QString& chosen)> answered)>;
// Asks a Yes/No question; `answered` gets true for Yes.
using YesNoQuestion = std::function<void(const QString& text, const QString& title,
                                         std::function<void(bool yes)> answered)>;

// An information box with the program's title and an OK button, over `parent`.
MessageSink MessageBoxSink(QWidget* parent);
// The system's open-file dialog for an existing file.
FileChooser OpenFileDialog(QWidget* parent);
// The open-file dialog in a mode that also takes a name that does not exist yet.
FileChooser OpenOrNewFileDialog(QWidget* parent);
// The system's file dialog for a name to write to (no overwrite question of its own).
FileChooser SaveFileDialog(QWidget* parent);
// The critical-stop icon, Yes and No buttons, No the default: for replacing a file.
YesNoQuestion CriticalQuestion(QWidget* parent);

}  // namespace quelm
