// The palette file reader on any bytes: it reads as far as the text goes, says whether the
// file was whole, and a whole file is written back to the same entries.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/bitmap.h"
#include "fuzz/fuzz_targets.h"
#include "fuzz/memory_file.h"

int fuzz_palette(const uint8_t* data, size_t size) {
    PaletteEntry entries[256];
    std::memset(entries, 0xA5, sizeof entries);
    const int whole = palette_load_file(memory_file_path(data, size), entries);
    FUZZ_CHECK(whole == 0 || whole == 1);
    if (whole) {
        // The writer's text of a whole file reads back to the same entries.
        char text[256 * 16 + 1] = {};
        size_t length = 0;
        for (const PaletteEntry& e : entries) {
            length += static_cast<size_t>(std::snprintf(text + length, sizeof text - length,
                                                        "\n%u %u %u %u", e.red, e.green, e.blue,
                                                        e.flags));
        }
        PaletteEntry again[256];
        FUZZ_CHECK(palette_load_file(memory_file_path(reinterpret_cast<uint8_t*>(text), length),
                                     again) == 1);
        FUZZ_CHECK(std::memcmp(again, entries, sizeof entries) == 0);
    }
    return 0;
}

FUZZ_ENTRY(fuzz_palette)
