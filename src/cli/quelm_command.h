// The `quelm` command line: dispatches to its subcommands.
#pragma once

namespace quelm::cli {

int Main(int argc, char** argv);

}  // namespace quelm::cli
