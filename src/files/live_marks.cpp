#include "files/live_marks.h"

#include <cmath>

namespace quelm {

std::string DroppedMark::Notice() const {
    return recorded ? mark.label + " at " + MarkSecondsText(mark.seconds) + " s" : mark.label;
}

DroppedMark LiveMarks::Drop(const LogRecorder& recorder, double now, std::string_view label) {
    if (recorder.Recording() &&
        (recorder.path() != path_ || recorder.RecordStartTime() != start_)) {
        // A new recording numbers its markers from 1.
        path_ = recorder.path();
        start_ = recorder.RecordStartTime();
        count_ = 0;
    }
    DroppedMark dropped;
    dropped.number = ++count_;
    dropped.mark.label = label.empty() ? DefaultMarkLabel(dropped.number) : CleanMarkLabel(label);
    if (!recorder.Recording()) {
        return dropped;
    }
    // Truncated to the hundredth like the record stamps, so the marker lands on the record
    // written in the same hundredth.
    const double elapsed = now - recorder.RecordStartTime();
    dropped.mark.seconds = elapsed > 0 ? std::floor(elapsed * 100 + 1e-6) / 100 : 0.0;
    dropped.error = AppendLogMark(MarksPath(recorder.path()), dropped.mark);
    dropped.recorded = !dropped.error;
    return dropped;
}

}  // namespace quelm
