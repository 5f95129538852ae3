// The frame clock: start a pass, then wait until its milliseconds have gone by.
#include "engine/clock.h"

#include "platform/platform.h"

uint32_t clock_start_time;

namespace {
// The last stretch of a wait is spun on the tick, so a frame never ends early and ends
// within about one tick after; the rest is slept so a played frame leaves the core idle.
constexpr uint32_t SPIN_MS = 2;
}  // namespace

uint32_t clock_now() {
    return platform_ticks();
}

uint32_t clock_start() {
    clock_start_time = clock_now();
    return clock_start_time;
}

uint32_t clock_wait(uint32_t ms) {
    for (;;) {
        const uint32_t passed = clock_now() - clock_start_time;
        if (passed >= ms)
            break;
        const uint32_t left = ms - passed;
        platform_idle(left > SPIN_MS ? left - SPIN_MS : 0);
    }
    return clock_now();
}
