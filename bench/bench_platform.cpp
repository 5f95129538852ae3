// The benchmarks' platform backend (see bench_platform.h).
#include "bench/bench_platform.h"

#include <cstring>

#include "bench/figures.h"
#include "platform/platform.h"
#include "platform/sdl/pixels.h"

namespace {
// Virtual time, moved only by waits, as in the headless backend.
uint32_t virtual_time;
uint8_t held[256];
// The last present: the frame as the game left it, its palette, and its conversion.
const uint8_t* frame_pixels;
int frame_pitch;
PaletteEntry frame_palette[256];
uint32_t frame_argb[BENCH_WIDTH * BENCH_HEIGHT];
// The palette ready for conversion, and whether it holds frame_palette yet.
ColourTable colour_table;
bool have_table;
// How long the last present's conversion took.
double conversion_ns;
}  // namespace

int platform_open_window(const char*, int, int) {
    return 1;
}
void platform_close_window() {}
void platform_pump_events(const PlatformInput*) {}

void platform_present(const uint8_t* pixels, int pitch, int width, int height, int bpp,
                      const PaletteEntry* palette) {
    if (bpp != 8 || width != BENCH_WIDTH || height != BENCH_HEIGHT)
        return;
    frame_pixels = pixels;
    frame_pitch = pitch;
    const double start = cpu_ns();
    if (!have_table || std::memcmp(frame_palette, palette, sizeof frame_palette) != 0) {
        std::memcpy(frame_palette, palette, sizeof frame_palette);
        palette_to_argb(palette, -1, &colour_table);
        have_table = true;
    }
    for (int y = 0; y < height; ++y) {
        convert_row_8(pixels + static_cast<size_t>(y) * pitch, width, colour_table,
                      frame_argb + static_cast<size_t>(y) * width);
    }
    conversion_ns = cpu_ns() - start;
}

uint32_t platform_ticks() {
    return virtual_time;
}
void platform_idle(uint32_t ms) {
    virtual_time += ms > 0 ? ms : 1;
}
void platform_set_cursor_visible(int) {}
int platform_key_held(int key) {
    return key >= 0 && key < 256 && held[key];
}

// Silent: a timed frame measures the game, and the mixer has its own benchmark.
int platform_audio_open(int) {
    return 0;
}
void platform_audio_close() {}
void platform_sound_load(int, const int16_t*, int64_t) {}
void platform_music_load(int, const int16_t*, int64_t, int) {}
void platform_play_sound(int) {}
void platform_play_music(int) {}

void bench_set_key_held(int key, int is_held) {
    if (key >= 0 && key < 256)
        held[key] = is_held ? 1 : 0;
}
void bench_release_all_keys() {
    std::memset(held, 0, sizeof held);
}
const uint8_t* bench_frame_pixels() {
    return frame_pixels;
}
int bench_frame_pitch() {
    return frame_pitch;
}
const PaletteEntry* bench_frame_palette() {
    return frame_palette;
}
const uint32_t* bench_frame_argb() {
    return frame_argb;
}
double bench_conversion_ns() {
    return conversion_ns;
}
