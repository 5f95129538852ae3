// The millisecond tick in the browser.
#include <emscripten/emscripten.h>

#include "platform/platform.h"

uint32_t platform_ticks() {
    // The page's clock in milliseconds; the tick wraps at 2^32 as the interface says.
    return static_cast<uint32_t>(static_cast<uint64_t>(emscripten_get_now()));
}

// A browser page cannot sleep: the animation-frame callbacks pace the passes, so nothing
// here waits on the clock.
void platform_idle(uint32_t) {}
