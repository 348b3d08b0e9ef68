// `quelm record`: the headless logger on a real serial device.
#pragma once

namespace quelm::cli {

// argv[0] is "record"; the options follow. Returns the exit status.
int RecordCommand(int argc, char** argv);

}  // namespace quelm::cli
