// The frame on the page's canvas: 8-bit pixels through the palette into RGBA, put on the
// canvas as image data; the page's CSS scales it with crisp pixels.
#include <cstring>

#include "platform/platform.h"
#include "platform/web/web_backend.h"

// The page's side (page_calls.js).
extern "C" {
void page_put_frame(const uint32_t* pixels, int width, int height);
void page_open_canvas(const char* caption, int width, int height);
void page_set_cursor(int visible);
}

namespace {

constexpr int FRAME_WIDTH = 640;
constexpr int FRAME_HEIGHT = 480;

// The frame as the canvas takes it: R, G, B, A bytes a pixel, rows packed.
uint32_t frame_rgba[FRAME_WIDTH * FRAME_HEIGHT];
// The last frame put on the canvas, as 8-bit pixels and palette; an identical frame (the
// menu, a pause of play) is not converted and put again.
uint8_t shown_pixels[FRAME_WIDTH * FRAME_HEIGHT];
PaletteEntry shown_palette[256];
int shown;
// Canvas image data in RGBA byte order, read as one little-endian word.
uint32_t rgba(const PaletteEntry& entry) {
    return 0xFF000000u | uint32_t{entry.blue} << 16 | uint32_t{entry.green} << 8 | entry.red;
}

// The program's drawing over the frame, and its look when the frame was last put.
const WebOverlay* overlay;
int overlay_shown;

int overlay_look() {
    return overlay != nullptr ? overlay->look(web_paused()) : 0;
}

// The frame kept in shown_pixels through shown_palette onto the canvas, the overlay over it.
void put_shown() {
    uint32_t table[256];
    for (int i = 0; i < 256; i++) {
        table[i] = rgba(shown_palette[i]);
    }
    for (int i = 0; i < FRAME_WIDTH * FRAME_HEIGHT; i++) {
        frame_rgba[i] = table[shown_pixels[i]];
    }
    overlay_shown = overlay_look();
    if (overlay_shown != 0) {
        overlay->draw(frame_rgba, FRAME_WIDTH, FRAME_WIDTH, FRAME_HEIGHT, web_paused());
    }
    page_put_frame(frame_rgba, FRAME_WIDTH, FRAME_HEIGHT);
}

bool same_as_shown(const uint8_t* pixels, int pitch, const PaletteEntry* palette) {
    if (!shown || std::memcmp(palette, shown_palette, sizeof(shown_palette)) != 0) {
        return false;
    }
    for (int y = 0; y < FRAME_HEIGHT; y++) {
        if (std::memcmp(pixels + y * pitch, shown_pixels + y * FRAME_WIDTH, FRAME_WIDTH) != 0) {
            return false;
        }
    }
    return true;
}

}  // namespace

int platform_open_window(const char* caption, int width, int height) {
    // The canvas holds the game's one frame size; anything else has nowhere to go.
    if (width != FRAME_WIDTH || height != FRAME_HEIGHT) {
        return 0;
    }
    page_open_canvas(caption, width, height);
    shown = 0;
    web_input_start();
    return 1;
}

void platform_close_window() {
    web_input_stop();
}

void platform_present(const uint8_t* pixels, int pitch, int width, int height, int bpp,
                      const PaletteEntry* palette) {
    // The game's display is 8-bit at the canvas's size; nothing else reaches this backend.
    if (pixels == nullptr || palette == nullptr || bpp != 8 || width != FRAME_WIDTH ||
        height != FRAME_HEIGHT || pitch < width) {
        return;
    }
    if (same_as_shown(pixels, pitch, palette) && overlay_look() == overlay_shown) {
        return;
    }
    for (int y = 0; y < height; y++) {
        std::memcpy(shown_pixels + y * width, pixels + y * pitch, width);
    }
    std::memcpy(shown_palette, palette, sizeof(shown_palette));
    shown = 1;
    put_shown();
}

void web_set_overlay(const WebOverlay* drawn) {
    overlay = drawn;
}

void web_present_when_overlay_changed() {
    if (shown && overlay_look() != overlay_shown) {
        put_shown();
    }
}

void platform_set_cursor_visible(int visible) {
    page_set_cursor(visible);
}
