#include "shell/gui/startup.h"

int main(int argc, char** argv) {
    return quelm::RunDashboard(argc, argv);
}
