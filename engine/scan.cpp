// Colour scans of a locked pixel buffer; the floor test finds pits with the 8-bit one.
#include "engine/scan.h"

#include "engine/display.h"

namespace {

int clamp_to(int v, int limit) {
    if (v >= limit)
        return limit - 1;
    if (v < 0)
        return 0;
    return v;
}

// 1 at the first pixel of the rectangle, clamped to the screen, that matches; rows of Pixel
// words stepped by the pitch (its lowest bit cleared for 16-bit words).
template <typename Pixel, typename Match>
int scan(int x1, int y1, int x2, int y2, const uint8_t* pixels, int pitch, Match matches) {
    x1 = clamp_to(x1, screen_width);
    x2 = clamp_to(x2, screen_width);
    y1 = clamp_to(y1, screen_height);
    y2 = clamp_to(y2, screen_height);
    const long step = sizeof(Pixel) == 1 ? pitch : pitch & ~1;
    for (int row = y1; row <= y2; ++row) {
        const Pixel* line = reinterpret_cast<const Pixel*>(pixels + row * step);
        for (int column = x1; column <= x2; ++column) {
            if (matches(line[column]))
                return 1;
        }
    }
    return 0;
}

}  // namespace

int find_color_in_rect(int x1, int y1, int x2, int y2, uint8_t lo, uint8_t hi,
                       const uint8_t* pixels, int pitch) {
    return scan<uint8_t>(x1, y1, x2, y2, pixels, pitch,
                         [=](uint8_t p) { return p >= lo && p <= hi; });
}

int find_color_in_rect16(int x1, int y1, int x2, int y2, uint16_t key1, uint16_t key2,
                         const uint8_t* pixels, int pitch) {
    return scan<uint16_t>(x1, y1, x2, y2, pixels, pitch,
                          [=](uint16_t p) { return p == key1 || p == key2; });
}
