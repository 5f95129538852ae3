// Reads back the PNG files our writer makes (8-bit RGB or RGBA, any row filter), checking
// every chunk's CRC and the zlib stream, so the tests see the pixels a viewer would.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct PngPicture {
    int width = 0, height = 0, channels = 0;
    std::vector<uint8_t> pixels;  // rows top first, channels bytes a pixel
};

// True when the file is a well-formed PNG of a kind above; *out filled.
bool png_read(const std::string& path, PngPicture* out);
