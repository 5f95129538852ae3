// Single pixels into a locked 8- or 16-bit buffer, unclipped.
#include <cstddef>
#include <cstdint>

#include "engine/primitives.h"

int pixel_plot(int x, int y, int color, uint8_t* buffer, int pitch) {
    buffer[static_cast<ptrdiff_t>(y) * pitch + x] = static_cast<uint8_t>(color);
    return 1;
}

int pixel_plot16(int x, int y, int color, uint8_t* buffer, int pitch) {
    uint16_t* words = reinterpret_cast<uint16_t*>(buffer);
    words[static_cast<ptrdiff_t>(y) * (pitch >> 1) + x] = static_cast<uint16_t>(color);
    return 1;
}
