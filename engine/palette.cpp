// Palette text files and the display palette, kept in step with shadow_palette.
#include <cstdio>
#include <cstring>

#include "engine/bitmap.h"
#include "engine/display.h"

int palette_load_file(const char* file_name, PaletteEntry* entries) {
    if (!file_name || !entries)
        return 0;
    FILE* file = std::fopen(file_name, "r");
    if (!file)
        return 0;
    for (int i = 0; i < 256; ++i) {
        int value[4] = {0, 0, 0, 0};
        const int read =
            std::fscanf(file, "%d %d %d %d", &value[0], &value[1], &value[2], &value[3]);
        // A short or malformed file leaves the entries it did not reach as they were.
        if (read >= 1)
            entries[i].red = static_cast<uint8_t>(value[0]);
        if (read >= 2)
            entries[i].green = static_cast<uint8_t>(value[1]);
        if (read >= 3)
            entries[i].blue = static_cast<uint8_t>(value[2]);
        if (read >= 4)
            entries[i].flags = static_cast<uint8_t>(value[3]);
        if (read != 4)
            break;
    }
    std::fclose(file);
    return 1;
}

int palette_save_file(const char* file_name, const PaletteEntry* entries) {
    if (!file_name || !entries)
        return 0;
    FILE* file = std::fopen(file_name, "w");
    if (!file)
        return 0;
    for (int i = 0; i < 256; ++i) {
        std::fprintf(file, "\n%u %u %u %u", entries[i].red, entries[i].green, entries[i].blue,
                     entries[i].flags);
    }
    return std::fclose(file) == 0 ? 1 : 0;
}

int palette_set_all(const PaletteEntry* entries) {
    if (!entries)
        return 0;
    std::memmove(shadow_palette, entries, sizeof(shadow_palette));
    // Without a display palette there is only the engine's copy to keep.
    static_cast<void>(gfx_palette_set_entries(display_palette, 0, 256, shadow_palette));
    return 1;
}

int palette_get_all(PaletteEntry* entries) {
    if (!entries)
        return 0;
    std::memmove(entries, shadow_palette, sizeof(shadow_palette));
    return 1;
}

// Indices outside 0..255 are refused rather than written past the palette.
int palette_set_entry(int index, const PaletteEntry* entry) {
    if (index < 0 || index > 255 || !entry)
        return 0;
    static_cast<void>(gfx_palette_set_entries(display_palette, index, 1, entry));
    shadow_palette[index] = *entry;
    return 1;
}

int palette_get_entry(int index, PaletteEntry* entry) {
    if (index < 0 || index > 255 || !entry)
        return 0;
    *entry = shadow_palette[index];
    return 1;
}
