// `quelm export LOG [--config INI]`: the CSV export of the export window, from the command line.
#pragma once

#include <cstdio>

namespace quelm::cli {

// argv[0] is "export". Exit status 0 on success, 1 when the export fails (one line on stderr),
// 2 for a usage error.
int ExportCommand(int argc, char** argv, std::FILE* out, std::FILE* err);

}  // namespace quelm::cli
