// Reading the generated pictures for the art tests: raw headers and pixels through the game's
// own loader. The tests run with assets/ as the working directory.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "engine/types.h"

struct ArtPicture {
    bool ok = false;
    int width = 0, height = 0;
    std::vector<uint8_t> pixels;  // top row first
    PaletteEntry palette[256];
    std::vector<uint8_t> raw;  // the file's bytes
    uint8_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// Loads name with bitmap_load_file and keeps its bytes; ok false when either fails.
ArtPicture art_load(const char* name);
// Every picture file the game reads.
const std::vector<std::string>& art_all_pictures();
