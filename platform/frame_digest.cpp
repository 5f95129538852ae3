// The frame digest.
#include "platform/frame_digest.h"

#include <cstddef>
#include <initializer_list>

uint64_t frame_digest(const uint8_t* pixels, int pitch, int width, int height,
                      const PaletteEntry* palette) {
    uint64_t hash = 14695981039346656037ull;
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = pixels + static_cast<std::ptrdiff_t>(y) * pitch;
        for (int x = 0; x < width; ++x) {
            const PaletteEntry& c = palette[row[x]];
            for (uint8_t byte : {c.red, c.green, c.blue}) {
                hash ^= byte;
                hash *= 1099511628211ull;
            }
        }
    }
    return hash;
}
