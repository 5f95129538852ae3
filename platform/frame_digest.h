// One number for a frame as the player sees it: FNV-1a over the red, green and blue of every
// pixel through the palette, so equal digests mean equal pictures whatever the indices.
#pragma once
#include <cstdint>

#include "platform/types.h"

uint64_t frame_digest(const uint8_t* pixels, int pitch, int width, int height,
                      const PaletteEntry* palette);
