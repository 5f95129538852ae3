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
}  // namespace

int find_color_in_rect(int x1, int y1, int x2, int y2, uint8_t lo, uint8_t hi,
                       const uint8_t* pixels, int pitch) {
    x1 = clamp_to(x1, screen_width);
    x2 = clamp_to(x2, screen_width);
    y1 = clamp_to(y1, screen_height);
    y2 = clamp_to(y2, screen_height);
    for (int row = y1; row <= y2; ++row) {
        const uint8_t* line = pixels + static_cast<long>(row) * pitch;
        for (int column = x1; column <= x2; ++column) {
            if (line[column] >= lo && line[column] <= hi)
                return 1;
        }
    }
    return 0;
}

int find_color_in_rect16(int x1, int y1, int x2, int y2, uint16_t key1, uint16_t key2,
                         const uint8_t* pixels, int pitch) {
    x1 = clamp_to(x1, screen_width);
    x2 = clamp_to(x2, screen_width);
    y1 = clamp_to(y1, screen_height);
    y2 = clamp_to(y2, screen_height);
    const int words = (pitch & ~1) / 2;
    const uint16_t* base = reinterpret_cast<const uint16_t*>(pixels);
    for (int row = y1; row <= y2; ++row) {
        const uint16_t* line = base + static_cast<long>(row) * words;
        for (int column = x1; column <= x2; ++column) {
            if (line[column] == key1 || line[column] == key2)
                return 1;
        }
    }
    return 0;
}
