// A small PNG writer for looking at frames: 8-bit indexed frames are written as RGB through
// their palette. Uncompressed (stored) deflate keeps it short and exact.
#pragma once
#include <cstdint>

#include "engine/types.h"

// Writes width x height RGB pixels (3 bytes each, rows of width * 3 bytes); 1 or 0.
int png_write_rgb(const char* path, const uint8_t* rgb, int width, int height);
// Writes an 8-bit indexed frame (rows stepped by pitch) in the palette's colours; 1 or 0.
int png_write_indexed(const char* path, const uint8_t* pixels, int pitch, int width, int height,
                      const PaletteEntry* palette);
