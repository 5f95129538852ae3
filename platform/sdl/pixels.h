// Frame pixels to 32-bit ARGB (alpha in the top byte): 8-bit through a palette, 16-bit
// 5-6-5 and 5-5-5. No SDL in here.
#pragma once
#include <cstdint>

#include "platform/types.h"

// A palette ready for conversion: the ARGB words, and the same colours as four planes of
// bytes (blue, green, red, alpha), which the vector path looks up 64 pixels at a time.
struct ColourTable {
    alignas(64) uint8_t planes[4][256];
    uint32_t argb[256];
    bool opaque;  // every alpha is 255 (no clear entry): the alpha plane needs no look-up
};

// The 256 palette colours as opaque ARGB; the entry at transparent_index (-1: none) is 0.
void palette_to_argb(const PaletteEntry* palette, int transparent_index, ColourTable* out);
// Converts count 8-bit pixels through the table, by the fastest path this processor has.
void convert_row_8(const uint8_t* source, int count, const ColourTable& table, uint32_t* out);
// The same, one pixel at a time on any processor (the reference the vector path must equal).
void convert_row_8_portable(const uint8_t* source, int count, const ColourTable& table,
                            uint32_t* out);
// Whether convert_row_8 takes the vector path here (x86-64 with AVX-512 VBMI).
bool convert_row_8_vectorised();
// Converts count 16-bit pixels (native byte order): 5-6-5 when bpp is 16, 5-5-5 when 15.
void convert_row_16(const uint8_t* source, int count, int bpp, uint32_t* out);
