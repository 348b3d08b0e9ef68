#include "cli/quelm_command.h"

int main(int argc, char** argv) {
    return quelm::cli::Main(argc, argv);
}
