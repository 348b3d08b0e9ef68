#include "sim/sim_command.h"

int main(int argc, char** argv) {
    return quelm::sim::SimMain(argc, argv);
}
