// A message box that does not wait for its answer, so that nothing the program runs (the
// receive loop, a playback) is held up behind it.
#pragma once

#include <QString>

class QWidget;

namespace quelm {

void ShowNotice(QWidget* parent, const QString& text);

}  // namespace quelm
