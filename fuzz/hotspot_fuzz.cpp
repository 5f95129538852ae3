// The cursor's hot-spot file on any text: a hot spot is taken only inside the cursor, and
// nothing is written when it is refused. The window-size variable shares its number reader.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz/fuzz_targets.h"
#include "platform/sdl/parse.h"

int fuzz_hotspot(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    int x = -7, y = -7;
    if (parse_hotspot(text.c_str(), 32, 32, &x, &y)) {
        FUZZ_CHECK(x >= 0 && x < 32 && y >= 0 && y < 32);
    } else {
        FUZZ_CHECK(x == -7 && y == -7);
    }
    int width = -7, height = -7;
    if (parse_window_size(text.c_str(), &width, &height)) {
        FUZZ_CHECK(width >= 1 && width <= 16384 && height >= 1 && height <= 16384);
    } else {
        FUZZ_CHECK(width == -7 && height == -7);
    }
    return 0;
}

FUZZ_ENTRY(fuzz_hotspot)
