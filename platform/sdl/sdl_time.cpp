// The millisecond tick and the frame clock's idle wait on SDL.
#include <SDL.h>

#include <chrono>
#include <thread>

#include "platform/platform.h"

namespace {

// A sleep may end late by a fraction of a millisecond; this much of every wait is left to
// short naps, so a frame never ends late by more than about one tick.
constexpr uint32_t IDLE_MARGIN_MS = 2;
// The length of one short nap near the end of a wait.
constexpr std::chrono::microseconds SHORT_NAP{200};

}  // namespace

uint32_t platform_ticks() {
    return SDL_GetTicks();
}

// The frame clock calls this again and again with what is left of its wait, reading the tick
// in between: sleep for all but the last IDLE_MARGIN_MS, then nap briefly until the tick
// comes, so the wait neither ends early nor keeps a core busy.
void platform_idle(uint32_t ms) {
    if (ms > IDLE_MARGIN_MS) {
        SDL_Delay(ms - IDLE_MARGIN_MS);
    } else if (ms > 0) {
        std::this_thread::sleep_for(SHORT_NAP);
    }
}
