// The colour of a marker wherever it shows: the scopes' ticks, the playback slider's ticks and
// the log viewer's lines.
#pragma once

#include <QColor>

namespace quelm {

inline QColor MarkerColour() {
    return QColor(230, 110, 0);
}

}  // namespace quelm
