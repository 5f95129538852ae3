// Frame pixels to 32-bit ARGB (alpha in the top byte): 8-bit through a palette, 16-bit
// 5-6-5 and 5-5-5. No SDL in here.
#pragma once
#include <cstdint>

#include "platform/types.h"

// The 256 palette colours as opaque ARGB; the entry at transparent_index (-1: none) is 0.
void palette_to_argb(const PaletteEntry* palette, int transparent_index, uint32_t out[256]);
// Converts count 8-bit pixels through the table.
void convert_row_8(const uint8_t* source, int count, const uint32_t* table, uint32_t* out);
// Converts count 16-bit pixels (native byte order): 5-6-5 when bpp is 16, 5-5-5 when 15.
void convert_row_16(const uint8_t* source, int count, int bpp, uint32_t* out);
