// The scheduler's side of a latency-bound loop: polling waits for a frame's last byte far more
// than it computes, and on a busy machine a wake-up waits for whatever else holds the core.
#pragma once

namespace quelm {

// Asks the scheduler to give the calling thread short time slices (0.1 ms), so that its
// wake-ups preempt batch work instead of queueing behind a full slice of it. The thread's
// policy and nice value stay as they are; a real-time or batch policy is left alone. Kernels
// before Linux 6.12 take the request without acting on it. False when it was refused.
[[nodiscard]] bool RequestShortTimeSlices() noexcept;

// Asks the kernel to end the calling thread's sleeps on time (a timer slack of 1 us instead of
// 50): a loop that sleeps until a frame's last bytes are due loses what a sleep overshoots.
// False when it was refused; sleeps then only end a little later.
[[nodiscard]] bool RequestPreciseTimers() noexcept;

}  // namespace quelm
