// The benchmark process's resident memory, as the kernel reports it.
#pragma once

#include <fstream>
#include <string>

// VmRSS from /proc/self/status in KiB, or -1 when it cannot be read.
inline long ResidentKiB() {
    std::ifstream status("/proc/self/status");
    std::string key;
    long value = 0;
    while (status >> key) {
        if (key == "VmRSS:") {
            status >> value;
            return value;
        }
        status.ignore(1 << 16, '\n');
    }
    return -1;
}
