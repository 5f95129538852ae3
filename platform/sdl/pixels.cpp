// Pixel conversion into ARGB for the streaming texture, the cursor and the icon.
#include "platform/sdl/pixels.h"

#include <cstring>

namespace {

// Widens a channel of the given bits to 8 bits, so that full scale stays full scale.
inline uint32_t widen(uint32_t value, int bits) {
    return (value << (8 - bits)) | (value >> (2 * bits - 8));
}

}  // namespace

void palette_to_argb(const PaletteEntry* palette, int transparent_index, uint32_t out[256]) {
    for (int i = 0; i < 256; i++) {
        const PaletteEntry& entry = palette[i];
        out[i] = 0xFF000000u | uint32_t{entry.red} << 16 | uint32_t{entry.green} << 8 |
                 uint32_t{entry.blue};
    }
    if (transparent_index >= 0 && transparent_index < 256) {
        out[transparent_index] = 0;
    }
}

void convert_row_8(const uint8_t* source, int count, const uint32_t* table, uint32_t* out) {
    for (int i = 0; i < count; i++) {
        out[i] = table[source[i]];
    }
}

void convert_row_16(const uint8_t* source, int count, int bpp, uint32_t* out) {
    const int green_bits = bpp == 15 ? 5 : 6;
    const int red_shift = 5 + green_bits;
    const uint32_t green_mask = (1u << green_bits) - 1;
    for (int i = 0; i < count; i++) {
        uint16_t pixel;
        std::memcpy(&pixel, source + 2 * i, sizeof pixel);  // rows need not be aligned
        uint32_t red = widen((pixel >> red_shift) & 31u, 5);
        uint32_t green = widen((pixel >> 5) & green_mask, green_bits);
        uint32_t blue = widen(pixel & 31u, 5);
        out[i] = 0xFF000000u | red << 16 | green << 8 | blue;
    }
}
