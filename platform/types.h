// The plain types the platform interface shares with the game: the palette entry of a
// presented frame and the virtual-key codes of the keys the game knows.
#pragma once
#include <cstdint>

// One palette colour. flags holds the palette-entry flags below.
struct PaletteEntry {
    uint8_t red, green, blue, flags;
};

// Palette-entry flags, kept as the old display service's records carry them.
enum : uint8_t {
    PALETTE_FLAG_EXPLICIT = 2,    // entry left to the desktop (windowed mode); nothing reads it
    PALETTE_FLAG_NOCOLLAPSE = 4,  // entry set from a loaded picture; nothing reads it
};

// Virtual-key codes of the keys the game knows: key-down messages and held-key queries.
enum : int {
    KEY_RETURN = 0x0D,
    KEY_ESCAPE = 0x1B,
    KEY_NEXT = 0x22,  // Page Down
    KEY_LEFT = 0x25,
    KEY_UP = 0x26,
    KEY_RIGHT = 0x27,
    KEY_DOWN = 0x28,
    KEY_DELETE = 0x2E,
    KEY_A = 0x41,
    KEY_C = 0x43,
    KEY_D = 0x44,
    KEY_H = 0x48,
    KEY_Q = 0x51,
    KEY_S = 0x53,
    KEY_Z = 0x5A,
};
