// The note over the finished frame.
#include "programs/common/overlay.h"

#include <cstddef>
#include <cstring>

#include "engine/font.h"

namespace {

constexpr int NOTE_SCALE = 2;
constexpr int NOTE_TOP = 52;  // under the HUD's two lines
constexpr int PADDING_X = 12, PADDING_Y = 6;
constexpr uint32_t WHITE = 0xFFFFFFFFu;
constexpr uint32_t OPAQUE = 0xFF000000u;

}  // namespace

void overlay_darken(uint32_t* pixels, int pitch, int width, int height, int x0, int y0, int x1,
                    int y1, int shift) {
    x0 = x0 < 0 ? 0 : x0;
    y0 = y0 < 0 ? 0 : y0;
    x1 = x1 > width ? width : x1;
    y1 = y1 > height ? height : y1;
    // The bits shifted out of each channel must not fall into the one below it.
    const uint32_t keep = (0xFFu >> shift) * 0x010101u;
    for (int y = y0; y < y1; ++y) {
        uint32_t* row = pixels + static_cast<std::ptrdiff_t>(y) * pitch;
        for (int x = x0; x < x1; ++x)
            row[x] = ((row[x] >> shift) & keep) | OPAQUE;
    }
}

void overlay_text(uint32_t* pixels, int pitch, int width, int height, const char* text, int top) {
    if (pixels == nullptr || text == nullptr || text[0] == '\0')
        return;
    const int length = static_cast<int>(std::strlen(text));
    const int text_width = font_text_width(text, length) * NOTE_SCALE;
    const int left = (width - text_width) / 2;
    const int box_left = left - PADDING_X, box_right = left + text_width + PADDING_X;
    const int box_bottom = top + FONT_HEIGHT * NOTE_SCALE + 2 * PADDING_Y;
    // Twice dimmed: a dark box the text reads on whatever lies under it.
    for (int i = 0; i < 2; ++i)
        overlay_darken(pixels, pitch, width, height, box_left, top, box_right, box_bottom, 1);
    font_draw(reinterpret_cast<uint8_t*>(pixels), pitch * 4, 4, width, height, left,
              top + PADDING_Y, text, length, WHITE, NOTE_SCALE);
}

void overlay_note(uint32_t* pixels, int pitch, int width, int height, const char* note) {
    overlay_text(pixels, pitch, width, height, note, NOTE_TOP);
}

int overlay_look(const char* note, int mark) {
    uint32_t hash = 2166136261u;
    for (const char* c = note; c != nullptr && *c; ++c) {
        hash ^= static_cast<uint8_t>(*c);
        hash *= 16777619u;
    }
    // Room for marks 0 to 7 below the note's part, which stays clear of the sign bit.
    const int note_part = note != nullptr && note[0] ? static_cast<int>(hash >> 5 | 1) : 0;
    return note_part * 8 + (mark & 7);
}
