// The millisecond tick, the frame clock's idle wait, and a microsecond clock for the
// diagnostics, on SDL.
#include <SDL.h>

#include <chrono>
#include <thread>

#include "platform/platform.h"
#include "platform/sdl/sdl_backend.h"

int64_t sdl_main_start_us;

namespace {

// The frame clock asks for no idle time (0) in the last stretch of a wait, where it watches
// the tick; a nap this short instead of a bare spin keeps that stretch off the processor and
// ends well inside the tick.
constexpr std::chrono::microseconds LAST_STRETCH_NAP{100};

}  // namespace

uint32_t platform_ticks() {
    return SDL_GetTicks();
}

// The clock keeps its own margin for a sleep that ends late, so the whole ms is slept.
void platform_idle(uint32_t ms) {
    if (ms > 0) {
        SDL_Delay(ms);
    } else {
        std::this_thread::sleep_for(LAST_STRETCH_NAP);
    }
}

// SDL's performance counter works before SDL is started, so the entry can note its start.
int64_t sdl_now_us() {
    return static_cast<int64_t>(SDL_GetPerformanceCounter() * 1000000.0 /
                                static_cast<double>(SDL_GetPerformanceFrequency()));
}
