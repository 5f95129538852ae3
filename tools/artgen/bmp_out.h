// Writing the game's file formats: 8-bit uncompressed .bmp pictures and the palette text file.
#pragma once
#include <string>

#include "engine/types.h"
#include "tools/artgen/canvas.h"

// Writes canvas as an 8-bit bottom-up .bmp with the full 256-entry colour table; 1 or 0.
// The width must be a multiple of 4 (the game's loader reads rows unpadded).
int write_bmp8(const std::string& path, const Canvas& canvas, const PaletteEntry* palette);
// Writes the palette text file: each entry as "\n%d %d %d %d"; 1 or 0.
int write_palette_text(const std::string& path, const PaletteEntry* palette);
