// Palette text files and the display palette, kept in step with shadow_palette.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "engine/bitmap.h"
#include "engine/display.h"
#include "platform/file_read.h"
#include "platform/file_write.h"

namespace {

// More than any palette file needs (256 lines of four numbers with room for blanks).
constexpr int64_t PALETTE_FILE_MAX = 64 * 1024;
// Past this a number only grows out of range, so it stops growing instead of overflowing.
constexpr long long NUMBER_CEILING = 1LL << 40;

bool blank(int c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// One number as "%d" reads it: blanks, an optional sign, digits. false at the end of the file
// or at anything else, which is left unread.
bool read_number(FILE* file, long long* out) {
    int c;
    do {
        c = std::fgetc(file);
    } while (blank(c));
    const bool negative = c == '-';
    if (c == '-' || c == '+')
        c = std::fgetc(file);
    long long value = 0;
    int digits = 0;
    for (; c >= '0' && c <= '9'; c = std::fgetc(file), ++digits) {
        if (value < NUMBER_CEILING)
            value = value * 10 + (c - '0');
    }
    if (c != EOF)
        std::ungetc(c, file);
    *out = negative ? -value : value;
    return digits > 0;
}

// Nothing but blanks to the end of the file.
bool only_blanks_left(FILE* file) {
    int c;
    do {
        c = std::fgetc(file);
    } while (blank(c));
    return c == EOF;
}

}  // namespace

int palette_load_file(const char* file_name, PaletteEntry* entries) {
    if (!file_name || !entries)
        return 0;
    // A regular file of a sensible size only: 256 lines of four numbers take 4 KiB, and a
    // FIFO, a device or a huge file in its place would block or read without end.
    int64_t size = 0;
    const int fd = file_open_input(file_name, &size, nullptr, 0);
    FILE* file = fd >= 0 && size <= PALETTE_FILE_MAX ? fdopen(fd, "r") : nullptr;
    if (!file) {
        if (fd >= 0)
            close(fd);
        return 0;
    }
    // Each number keeps its low eight bits, as the format always did, but the file is only
    // read whole with 256 entries of four numbers from 0 to 255 and nothing after them.
    bool complete = true, in_range = true;
    for (int i = 0; i < 256 && complete; ++i) {
        uint8_t* fields[4] = {&entries[i].red, &entries[i].green, &entries[i].blue,
                              &entries[i].flags};
        for (uint8_t* field : fields) {
            long long value = 0;
            // A short or malformed file leaves the entries it did not reach as they were.
            if (!read_number(file, &value)) {
                complete = false;
                break;
            }
            *field = static_cast<uint8_t>(value & 0xFF);
            in_range = in_range && value >= 0 && value <= 255;
        }
    }
    // A file that cannot be read to its end fails too.
    const bool whole = complete && in_range && only_blanks_left(file) && !std::ferror(file);
    std::fclose(file);
    return whole ? 1 : 0;
}

int palette_save_file(const char* file_name, const PaletteEntry* entries) {
    if (!file_name || !entries)
        return 0;
    // 256 lines of at most four three-digit numbers: the text is made first, then written
    // whole (or not at all; errno says why).
    char text[256 * 16];
    size_t used = 0;
    for (int i = 0; i < 256; ++i) {
        used += static_cast<size_t>(std::snprintf(text + used, sizeof text - used, "\n%u %u %u %u",
                                                  entries[i].red, entries[i].green, entries[i].blue,
                                                  entries[i].flags));
    }
    return file_write_whole(file_name, text, used, nullptr, 0) ? 1 : 0;
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
