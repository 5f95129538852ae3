// Compressed PNG files (zlib), for screenshots, the runner's frames and the tools. Rows are
// given top first; 8-bit indexed frames are written as RGB through their palette, so any
// viewer shows exactly the colours the player saw.
#pragma once
#include <cstdint>

#include "platform/types.h"

// Writes width x height pixels of 3 (RGB) or 4 (RGBA) bytes each, rows stepped by stride
// bytes; 1 on success, 0 on a bad size or a write error (a partial file is removed).
int png_write_rgb(const char* path, const uint8_t* rgb, int width, int height);
int png_write_rgba(const char* path, const uint8_t* rgba, int stride, int width, int height);
// Writes an 8-bit indexed frame (rows stepped by pitch) in the palette's colours; 1 or 0.
int png_write_indexed(const char* path, const uint8_t* pixels, int pitch, int width, int height,
                      const PaletteEntry* palette);
