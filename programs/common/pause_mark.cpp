// The pause mark: our own 5 x 7 capitals, a panel and the dimming.
#include "programs/common/pause_mark.h"

#include <cstddef>
#include <cstring>

namespace {

constexpr int GLYPH_WIDTH = 5, GLYPH_HEIGHT = 7;
constexpr uint32_t OPAQUE = 0xFF000000u;
constexpr uint32_t WHITE = 0xFFFFFFFFu;
constexpr uint32_t PANEL_EDGE = 0xFFC8C8C8u;

// Rows top first, the leftmost pixel in bit 4.
const uint8_t capitals[26][GLYPH_HEIGHT] = {
    {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11},  // A
    {0x1E, 0x11, 0x11, 0x1E, 0x11, 0x11, 0x1E},  // B
    {0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E},  // C
    {0x1E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x1E},  // D
    {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F},  // E
    {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10},  // F
    {0x0E, 0x11, 0x10, 0x17, 0x11, 0x11, 0x0F},  // G
    {0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11},  // H
    {0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E},  // I
    {0x07, 0x02, 0x02, 0x02, 0x02, 0x12, 0x0C},  // J
    {0x11, 0x12, 0x14, 0x18, 0x14, 0x12, 0x11},  // K
    {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F},  // L
    {0x11, 0x1B, 0x15, 0x15, 0x11, 0x11, 0x11},  // M
    {0x11, 0x19, 0x15, 0x13, 0x11, 0x11, 0x11},  // N
    {0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E},  // O
    {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10},  // P
    {0x0E, 0x11, 0x11, 0x11, 0x15, 0x12, 0x0D},  // Q
    {0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11},  // R
    {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E},  // S
    {0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04},  // T
    {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E},  // U
    {0x11, 0x11, 0x11, 0x11, 0x11, 0x0A, 0x04},  // V
    {0x11, 0x11, 0x11, 0x15, 0x15, 0x15, 0x0A},  // W
    {0x11, 0x11, 0x0A, 0x04, 0x0A, 0x11, 0x11},  // X
    {0x11, 0x11, 0x0A, 0x04, 0x04, 0x04, 0x04},  // Y
    {0x1F, 0x01, 0x02, 0x04, 0x08, 0x10, 0x1F},  // Z
};
const uint8_t comma[GLYPH_HEIGHT] = {0x00, 0x00, 0x00, 0x00, 0x06, 0x04, 0x08};
const uint8_t blank[GLYPH_HEIGHT] = {};

const uint8_t* glyph(char c) {
    if (c >= 'A' && c <= 'Z') {
        return capitals[c - 'A'];
    }
    return c == ',' ? comma : blank;
}

void fill(uint32_t* pixels, int pitch, int width, int height, int x, int y, int w, int h,
          uint32_t colour) {
    for (int row = y < 0 ? 0 : y; row < y + h && row < height; row++) {
        for (int column = x < 0 ? 0 : x; column < x + w && column < width; column++) {
            pixels[static_cast<std::ptrdiff_t>(row) * pitch + column] = colour;
        }
    }
}

}  // namespace

int pause_mark_text_width(const char* text, int scale) {
    int count = static_cast<int>(std::strlen(text));
    return count == 0 ? 0 : (count * (GLYPH_WIDTH + 1) - 1) * scale;
}

int pause_mark_text(uint32_t* pixels, int pitch, int width, int height, const char* text, int x,
                    int y, int scale, uint32_t colour) {
    for (int i = 0; text[i] != '\0'; i++) {
        const uint8_t* rows = glyph(text[i]);
        int left = x + i * (GLYPH_WIDTH + 1) * scale;
        for (int row = 0; row < GLYPH_HEIGHT; row++) {
            for (int column = 0; column < GLYPH_WIDTH; column++) {
                if (rows[row] & (0x10 >> column)) {
                    fill(pixels, pitch, width, height, left + column * scale, y + row * scale,
                         scale, scale, colour);
                }
            }
        }
    }
    return pause_mark_text_width(text, scale);
}

void pause_mark_draw(uint32_t* pixels, int pitch, int width, int height) {
    // Half brightness: every channel byte shifted right once, kept opaque.
    for (int y = 0; y < height; y++) {
        uint32_t* row = pixels + static_cast<std::ptrdiff_t>(y) * pitch;
        for (int x = 0; x < width; x++) {
            row[x] = ((row[x] >> 1) & 0x007F7F7Fu) | OPAQUE;
        }
    }
    static const char* const title = "PAUSED";
    static const char* const hint = "P, CLICK OR START TO PLAY ON";
    constexpr int TITLE_SCALE = 6, HINT_SCALE = 2, MARGIN = 24, GAP = 20;
    const int title_height = GLYPH_HEIGHT * TITLE_SCALE, hint_height = GLYPH_HEIGHT * HINT_SCALE;
    int panel_width = pause_mark_text_width(hint, HINT_SCALE) + 2 * MARGIN;
    int panel_height = title_height + GAP + hint_height + 2 * MARGIN;
    int panel_x = (width - panel_width) / 2, panel_y = (height - panel_height) / 2;
    // A dark panel (a quarter of the brightness) with a light edge two pixels wide.
    for (int y = panel_y < 0 ? 0 : panel_y; y < panel_y + panel_height && y < height; y++) {
        uint32_t* row = pixels + static_cast<std::ptrdiff_t>(y) * pitch;
        for (int x = panel_x < 0 ? 0 : panel_x; x < panel_x + panel_width && x < width; x++) {
            row[x] = ((row[x] >> 1) & 0x007F7F7Fu) | OPAQUE;
        }
    }
    fill(pixels, pitch, width, height, panel_x, panel_y, panel_width, 2, PANEL_EDGE);
    fill(pixels, pitch, width, height, panel_x, panel_y + panel_height - 2, panel_width, 2,
         PANEL_EDGE);
    fill(pixels, pitch, width, height, panel_x, panel_y, 2, panel_height, PANEL_EDGE);
    fill(pixels, pitch, width, height, panel_x + panel_width - 2, panel_y, 2, panel_height,
         PANEL_EDGE);
    int title_x = (width - pause_mark_text_width(title, TITLE_SCALE)) / 2;
    pause_mark_text(pixels, pitch, width, height, title, title_x, panel_y + MARGIN, TITLE_SCALE,
                    WHITE);
    int hint_x = (width - pause_mark_text_width(hint, HINT_SCALE)) / 2;
    pause_mark_text(pixels, pitch, width, height, hint, hint_x,
                    panel_y + MARGIN + title_height + GAP, HINT_SCALE, WHITE);
}
