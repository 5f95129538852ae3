// Pixel maps written as text: one character a pixel, read through a legend of palette indices.
#pragma once
#include <cstdint>

#include "tools/artgen/canvas.h"

struct LegendEntry {
    char symbol;
    uint8_t index;
};

struct Legend {
    const LegendEntry* entries;
    int count;
};

// Reads a map: rows separated by newlines (blank first and last lines ignored), all of one
// width. '.' is the sprites' colour key. An unknown symbol or a ragged row stops the program
// with a message naming the map, so a typo never reaches the pictures.
Canvas pixmap_read(const char* name, const char* text, Legend legend);
