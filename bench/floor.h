// The floor under a frame: what any 8-bit game must do at the least to show a 640 x 480
// frame, as plain loops written for the benchmark alone (none of the game's code): clear the
// frame, copy a picture into it, and convert it to 32-bit through its palette.
#pragma once
#include <cstdint>

#include "platform/types.h"

constexpr int FLOOR_WIDTH = 640, FLOOR_HEIGHT = 480;

// The palette as opaque ARGB words (done when the palette changes, as any game would).
void floor_table(const PaletteEntry* palette, uint32_t* table);
// Converts a frame into out (the floor's last step).
void floor_convert(const uint8_t* frame, const uint32_t* table, uint32_t* out);
// Clears frame, copies picture into it, and converts it into out; each step is finished
// before the next starts.
void floor_frame(const uint8_t* picture, uint8_t* frame, const uint32_t* table, uint32_t* out);
