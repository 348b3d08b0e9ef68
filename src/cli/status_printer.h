// Shows the link's status texts on a terminal: panels 1 and 2, each time their text changes.
#pragma once

#include <iosfwd>

#include "common/status_model.h"

namespace quelm::cli {

// Replaces status.onChange. `out` must outlive the model's use.
void PrintStatusChanges(StatusModel& status, std::ostream& out);

}  // namespace quelm::cli
