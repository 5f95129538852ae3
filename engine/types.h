// Plain records shared across the engine: rectangles and palette entries.
#pragma once
#include <cstdint>

// A rectangle of pixels; right and bottom are exclusive.
struct Rect {
    int left, top, right, bottom;
};

// One palette colour. flags holds the palette-entry flags below.
struct PaletteEntry {
    uint8_t red, green, blue, flags;
};

enum : uint8_t {
    PALETTE_FLAG_EXPLICIT = 2,    // entry left to the desktop (windowed mode)
    PALETTE_FLAG_NOCOLLAPSE = 4,  // entry set from a loaded picture
};
