// PNG files for looking at frames, through libpng: 8-bit indexed frames are written with their
// palette, RGB pixels as they are; reading gives RGB whatever the file holds.
#pragma once
#include <cstdint>
#include <vector>

#include "engine/types.h"

// Writes width x height RGB pixels (3 bytes each, rows of width * 3 bytes); 1 or 0.
int png_write_rgb(const char* path, const uint8_t* rgb, int width, int height);
// Writes an 8-bit indexed frame (rows stepped by pitch) in the palette's colours; 1 or 0.
int png_write_indexed(const char* path, const uint8_t* pixels, int pitch, int width, int height,
                      const PaletteEntry* palette);
// Reads a PNG file as RGB pixels (rows of width * 3 bytes); 1 or 0.
int png_read_rgb(const char* path, std::vector<uint8_t>* rgb, int* width, int* height);
