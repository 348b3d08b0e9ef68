#include "common/time_slice.h"

#include <linux/sched.h>
#include <linux/sched/types.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace quelm {

bool RequestShortTimeSlices() noexcept {
    constexpr unsigned long kSliceNs = 100'000;
    sched_attr attr{};
    if (::syscall(SYS_sched_getattr, 0, &attr, sizeof attr, 0) != 0 ||
        attr.sched_policy != SCHED_NORMAL) {
        return false;
    }
    attr.size = sizeof attr;
    // Keeps the nice value read above; only the slice changes.
    attr.sched_flags &= SCHED_FLAG_RESET_ON_FORK;
    attr.sched_runtime = kSliceNs;
    return ::syscall(SYS_sched_setattr, 0, &attr, 0) == 0;
}

bool RequestPreciseTimers() noexcept {
    constexpr unsigned long kSlackNs = 1'000;
    return ::prctl(PR_SET_TIMERSLACK, kSlackNs, 0UL, 0UL, 0UL) == 0;
}

}  // namespace quelm
