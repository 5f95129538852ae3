// The millisecond tick, the frame clock's idle wait, and a microsecond clock for the
// diagnostics.
#include <SDL.h>

#include <chrono>
#include <thread>

#include "platform/platform.h"
#include "platform/sdl/sdl_backend.h"

int64_t sdl_main_start_us;

namespace {

using Clock = std::chrono::steady_clock;
// Where the millisecond tick counts from; set by the first look at the clock.
Clock::time_point tick_origin;
bool tick_origin_set;

Clock::duration since_origin() {
    if (!tick_origin_set) {
        tick_origin = Clock::now();
        tick_origin_set = true;
    }
    return Clock::now() - tick_origin;
}

// A wake this long after the tick changes finds it changed.
constexpr std::chrono::microseconds PAST_THE_TICK{50};

}  // namespace

uint32_t platform_ticks() {
    return static_cast<uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(since_origin()).count());
}

// Sleeps to a change of the tick: the frame clock watches the tick, so waking just after it
// changes ends a wait as early as it can end, and the last stretch of a wait (ms 0) costs
// one wake a tick rather than many short naps, each of which a busy machine may delay.
void platform_idle(uint32_t ms) {
    const auto now = since_origin();
    const auto tick = std::chrono::duration_cast<std::chrono::milliseconds>(now);
    const auto wake = tick + std::chrono::milliseconds(ms == 0 ? 1 : ms) + PAST_THE_TICK;
    std::this_thread::sleep_until(tick_origin + wake);
}

// SDL's performance counter works before SDL is started, so the entry can note its start.
int64_t sdl_now_us() {
    return static_cast<int64_t>(SDL_GetPerformanceCounter() * 1000000.0 /
                                static_cast<double>(SDL_GetPerformanceFrequency()));
}
