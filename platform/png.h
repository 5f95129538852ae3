// Compressed PNG files (zlib), for screenshots, the runner's frames and the tools. Rows are
// given top first; 8-bit indexed frames are written as RGB through their palette, so any
// viewer shows exactly the colours the player saw. Files are written whole or not at all
// (platform/file_write.h): a picture that cannot be written leaves no part behind.
#pragma once
#include <cstddef>
#include <cstdint>

#include "platform/file_write.h"
#include "platform/types.h"

// Writes width x height pixels of 3 (RGB) or 4 (RGBA) bytes each, rows stepped by stride
// bytes, as the whole file at path; 1 on success, 0 on a bad size or a failed write, with
// why (when given) saying which.
int png_write_rgb(const char* path, const uint8_t* rgb, int width, int height, char* why = nullptr,
                  size_t why_size = 0);
int png_write_rgba(const char* path, const uint8_t* rgba, int stride, int width, int height,
                   char* why = nullptr, size_t why_size = 0);
// Writes an 8-bit indexed frame (rows stepped by pitch) in the palette's colours; 1 or 0.
int png_write_indexed(const char* path, const uint8_t* pixels, int pitch, int width, int height,
                      const PaletteEntry* palette, char* why = nullptr, size_t why_size = 0);

// The same pictures into a writer the caller opened and commits (a screenshot that must not
// replace another file). false on a bad size or when the writer has failed; a bad size also
// fails the writer, so that its commit refuses.
bool png_encode_rgba(FileWriter* writer, const uint8_t* rgba, int stride, int width, int height);
bool png_encode_indexed(FileWriter* writer, const uint8_t* pixels, int pitch, int width, int height,
                        const PaletteEntry* palette);
