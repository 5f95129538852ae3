// The frame on the page's canvas. With WebGL the 8-bit frame and its palette go to the GPU
// as they are, which looks every pixel up and scales the picture (display_calls.js): the
// processor only copies the frame. When the program draws over the frame (a note, a menu),
// or WebGL is missing, the frame goes through the palette into RGBA pixels here and the
// overlay is drawn on them first. Where the frame sits and how it is scaled follows the
// player's scaling mode and the screen area the page gives (layout.h).
#include <cstring>

#include "platform/frame_digest.h"
#include "platform/platform.h"
#include "platform/web/web_backend.h"

// The page's side (display_calls.js, page_calls.js).
extern "C" {
int page_display_open(const char* caption, int width, int height);
void page_display_place(int x, int y, int width, int height, int sharp, int prescale);
void page_display_indexed(const uint8_t* pixels, const PaletteEntry* palette);
void page_display_rgba(const uint32_t* pixels);
void page_set_cursor(int visible);
}

namespace {

constexpr int FRAME_WIDTH = 640;
constexpr int FRAME_HEIGHT = 480;

// The last frame shown, as 8-bit pixels (rows packed) and palette; an identical frame (the
// menu, a pause of play) is not shown again.
uint8_t shown_pixels[FRAME_WIDTH * FRAME_HEIGHT];
PaletteEntry shown_palette[256];
int shown;
// The player's colour filter (null: none), and the kept palette through it: what the canvas
// shows. Only the 256 colours are filtered, never the frame the game reads.
WebPaletteFilter palette_filter;
PaletteEntry shown_colours[256];
// The frame with the overlay over it, as the canvas takes it: R, G, B, A bytes a pixel.
uint32_t frame_rgba[FRAME_WIDTH * FRAME_HEIGHT];
// 1 when the page draws 8-bit frames itself (WebGL); 0 when it takes RGBA pixels only.
int page_indexed;
// The screen area the page gives the frame, in device pixels.
int area_width, area_height;

// Canvas pixels in RGBA byte order, read as one little-endian word.
uint32_t rgba(const PaletteEntry& entry) {
    return 0xFF000000u | uint32_t{entry.blue} << 16 | uint32_t{entry.green} << 8 | entry.red;
}

// The program's drawing over the frame, and its look when the frame was last shown.
const WebOverlay* overlay;
int overlay_shown;

int overlay_look() {
    return overlay != nullptr ? overlay->look(web_paused()) : 0;
}

void filter_kept_palette() {
    if (palette_filter != nullptr)
        palette_filter(shown_palette, shown_colours, 256);
    else
        std::memcpy(shown_colours, shown_palette, sizeof(shown_colours));
}

// The kept frame onto the canvas, the overlay over it.
void show_kept() {
    overlay_shown = overlay_look();
    if (overlay_shown == 0 && page_indexed) {
        page_display_indexed(shown_pixels, shown_colours);
        return;
    }
    uint32_t table[256];
    for (int i = 0; i < 256; i++) {
        table[i] = rgba(shown_colours[i]);
    }
    for (int i = 0; i < FRAME_WIDTH * FRAME_HEIGHT; i++) {
        frame_rgba[i] = table[shown_pixels[i]];
    }
    if (overlay_shown != 0) {
        overlay->draw(frame_rgba, FRAME_WIDTH, FRAME_WIDTH, FRAME_HEIGHT, web_paused());
    }
    page_display_rgba(frame_rgba);
}

// Compares with the kept frame and keeps the new one in the same pass over the rows; 1 when
// anything differed.
int keep_frame(const uint8_t* pixels, int pitch, const PaletteEntry* palette) {
    int changed = !shown || std::memcmp(palette, shown_palette, sizeof(shown_palette)) != 0;
    if (changed) {
        std::memcpy(shown_palette, palette, sizeof(shown_palette));
        filter_kept_palette();
    }
    for (int y = 0; y < FRAME_HEIGHT; y++) {
        uint8_t* row = shown_pixels + y * FRAME_WIDTH;
        if (changed || std::memcmp(pixels + y * pitch, row, FRAME_WIDTH) != 0) {
            std::memcpy(row, pixels + y * pitch, FRAME_WIDTH);
            changed = 1;
        }
    }
    shown = 1;
    return changed;
}

void place() {
    const WebPlacement at = web_place(web_scale, area_width, area_height);
    page_display_place(at.x, at.y, at.width, at.height, at.sharp, at.prescale);
}

}  // namespace

int platform_open_window(const char* caption, int width, int height) {
    // The canvas holds the game's one frame size; anything else has nowhere to go.
    if (width != FRAME_WIDTH || height != FRAME_HEIGHT) {
        return 0;
    }
    page_indexed = page_display_open(caption, width, height);
    shown = 0;
    place();
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
    if (keep_frame(pixels, pitch, palette) || overlay_look() != overlay_shown) {
        show_kept();
    }
}

void web_set_overlay(const WebOverlay* drawn) {
    overlay = drawn;
}

void web_set_palette_filter(WebPaletteFilter filter) {
    palette_filter = filter;
    if (shown) {
        filter_kept_palette();
        show_kept();
    }
}

uint64_t web_shown_frame_digest() {
    return shown ? frame_digest(shown_pixels, FRAME_WIDTH, FRAME_WIDTH, FRAME_HEIGHT, shown_palette)
                 : 0;
}

void web_present_when_overlay_changed() {
    if (shown && overlay_look() != overlay_shown) {
        show_kept();
    }
}

void web_display_place_again() {
    place();
}

// The game shows its cursor on the title and hides it in play.
int web_game_cursor_visible = 1;

void platform_set_cursor_visible(int visible) {
    web_game_cursor_visible = visible ? 1 : 0;
    page_set_cursor(visible);
}

// From the page: the screen area for the frame changed (device pixels).
WEB_EXPORT void web_resize(int width, int height) {
    area_width = width;
    area_height = height;
    place();
}

// From the page: the drawing moved to another canvas (a worker that could not draw), which
// takes 8-bit frames (1) or RGBA pixels only (0); the kept frame on it at once.
WEB_EXPORT void web_display_reopened(int indexed) {
    page_indexed = indexed;
    if (shown) {
        show_kept();
    }
}

// From the page: the canvas lost what it showed (a lost WebGL context came back); the frame
// again, as it was.
WEB_EXPORT void web_show_again() {
    if (shown) {
        show_kept();
    }
}
