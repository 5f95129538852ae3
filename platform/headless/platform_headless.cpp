// The headless backend: no window and no real time. Input comes from the test or runner,
// the clock advances only by waits, and presented frames are kept for inspection.
#include <cstdlib>
#include <cstring>

#include "platform/headless/headless.h"
#include "platform/platform.h"

namespace {

constexpr int MAX_WIDTH = 4096;
constexpr int MAX_HEIGHT = 4096;

uint32_t virtual_time;
uint8_t held[256];
int window_open;
int fail_open;
int cursor_visible = 1;
int frames_presented;
// The last presented frame as it came: its size, depth and rows (width * bytes a pixel
// each), the palette in force then, and its RGB, made only when asked for.
int frame_width, frame_height, frame_bpp;
uint8_t* frame_pixels;
uint8_t* frame_rgb;
bool rgb_current;
PaletteEntry frame_palette[256];

size_t frame_capacity;

// The copies grow only when a larger frame arrives, so presenting allocates nothing.
bool ensure_buffers(size_t pixels) {
    if (pixels <= frame_capacity)
        return true;
    std::free(frame_pixels);
    std::free(frame_rgb);
    frame_pixels = static_cast<uint8_t*>(std::calloc(pixels, 2));
    frame_rgb = static_cast<uint8_t*>(std::calloc(pixels, 3));
    frame_capacity = frame_pixels && frame_rgb ? pixels : 0;
    return frame_capacity != 0;
}

void make_rgb() {
    const size_t count = static_cast<size_t>(frame_width) * frame_height;
    uint8_t* rgb = frame_rgb;
    for (size_t i = 0; i < count; ++i, rgb += 3) {
        if (frame_bpp == 8) {
            const PaletteEntry& c = frame_palette[frame_pixels[i]];
            rgb[0] = c.red;
            rgb[1] = c.green;
            rgb[2] = c.blue;
            continue;
        }
        uint16_t w;
        std::memcpy(&w, frame_pixels + i * 2, 2);
        const unsigned r = frame_bpp == 15 ? (w >> 10) & 31 : (w >> 11) & 31;
        const unsigned g = frame_bpp == 15 ? ((w >> 5) & 31) << 1 : (w >> 5) & 63;
        const unsigned b = w & 31;
        rgb[0] = static_cast<uint8_t>(r << 3 | r >> 2);
        rgb[1] = static_cast<uint8_t>(g << 2 | g >> 4);
        rgb[2] = static_cast<uint8_t>(b << 3 | b >> 2);
    }
    rgb_current = true;
}

}  // namespace

int platform_open_window(const char*, int, int) {
    if (fail_open)
        return 0;
    window_open = 1;
    return 1;
}

void platform_close_window() {
    window_open = 0;
}

void platform_pump_events(const PlatformInput*) {}

// The frame is kept as it is; the RGB only a saved picture needs is made when asked for.
void platform_present(const uint8_t* pixels, int pitch, int width, int height, int bpp,
                      const PaletteEntry* palette) {
    if (!pixels || width <= 0 || height <= 0 || width > MAX_WIDTH || height > MAX_HEIGHT ||
        !ensure_buffers(static_cast<size_t>(width) * height)) {
        return;
    }
    frame_width = width;
    frame_height = height;
    frame_bpp = bpp;
    if (palette)
        std::memcpy(frame_palette, palette, sizeof(frame_palette));
    const size_t row = static_cast<size_t>(width) * (bpp == 8 ? 1 : 2);
    for (int y = 0; y < height; ++y)
        std::memcpy(frame_pixels + y * row, pixels + static_cast<size_t>(y) * pitch, row);
    rgb_current = false;
    ++frames_presented;
}

uint32_t platform_ticks() {
    return virtual_time;
}

// Waiting is the only thing that moves the virtual clock, at least a millisecond at a time;
// a recording of the sound keeps up with it.
void platform_idle(uint32_t ms) {
    virtual_time += ms > 0 ? ms : 1;
    headless_audio_catch_up();
}

void platform_set_cursor_visible(int visible) {
    cursor_visible = visible ? 1 : 0;
}

// Scripted keys are set for whole passes: there are no taps to keep.
void platform_read_held_keys(uint8_t out[INPUT_HELD_BYTES]) {
    std::memset(out, 0, INPUT_HELD_BYTES);
    for (int key = 0; key < INPUT_KEYS; ++key) {
        if (held[key])
            out[key >> 3] = static_cast<uint8_t>(out[key >> 3] | 1 << (key & 7));
    }
}

uint32_t platform_held_commands() {
    return 0;
}

void headless_set_key_held(int key, int is_held) {
    if (key >= 0 && key < 256)
        held[key] = is_held ? 1 : 0;
}

void headless_release_all_keys() {
    std::memset(held, 0, sizeof(held));
}

uint32_t headless_time() {
    return virtual_time;
}

void headless_set_time(uint32_t ms) {
    virtual_time = ms;
}

int headless_frames_presented() {
    return frames_presented;
}
int headless_frame_width() {
    return frame_width;
}
int headless_frame_height() {
    return frame_height;
}
const uint8_t* headless_frame_pixels() {
    return frame_pixels;
}
const PaletteEntry* headless_frame_palette() {
    return frame_palette;
}
const uint8_t* headless_frame_rgb() {
    if (frame_rgb && !rgb_current)
        make_rgb();
    return frame_rgb;
}
int headless_window_open() {
    return window_open;
}
int headless_cursor_visible() {
    return cursor_visible;
}
void headless_fail_window_open(int fail) {
    fail_open = fail;
}

void headless_reset() {
    virtual_time = 0;
    headless_release_all_keys();
    window_open = 0;
    fail_open = 0;
    cursor_visible = 1;
    frames_presented = 0;
    frame_width = frame_height = frame_bpp = 0;
    std::free(frame_pixels);
    std::free(frame_rgb);
    frame_pixels = frame_rgb = nullptr;
    rgb_current = false;
    frame_capacity = 0;
    std::memset(frame_palette, 0, sizeof frame_palette);
    platform_audio_close();
    headless_clear_sounds();
    headless_record_audio(0);
}
