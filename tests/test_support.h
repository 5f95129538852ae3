// Helpers shared by the tests: an initialised display on the headless backend, small .bmp
// files written on the fly, and temporary folders.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "engine/types.h"

// Brings up the window service and a full-screen 640 x 480 display of bpp bits (or
// windowed).
void test_display_up(int windowed = 0, int bpp = 8);
// Tears the program down to its state at load: the frame unlocked, the game shut down (menu,
// world, pictures, display, game state), the window service and the headless backend reset,
// the loop hooks cleared and the working folder the tests started in restored. Fails the
// running test when display objects were left behind. Every test ends with it (a listener
// runs it after each one), so the test binary passes as one process too.
void test_tear_down();

struct TestBmp {
    int width = 4;
    int height = 2;
    int bits = 8;
    bool top_down = false;
    int header_size = 40;
    int palette_entries = 256;  // colour-table entries written (8-bit only)
    uint32_t clr_used = 0;
    uint32_t compression = 0;
    bool zero_size_image = false;
    int gap_after_palette = 0;  // unused bytes between the colour table and the pixels
    int trailing_bytes = 0;     // bytes after the pixels
    // Pixels top row first: bytes per pixel 1 (8-bit), 2 (16-bit) or 3 (24-bit: B, G, R).
    std::vector<uint8_t> pixels;
    std::vector<PaletteEntry> palette;  // red, green, blue as the file's table should say
};

// The file's bytes, bottom-up unless top_down, rows padded to four bytes.
std::vector<uint8_t> test_bmp_bytes(const TestBmp& bmp);
void test_write_file(const std::string& path, const std::vector<uint8_t>& bytes);
std::string test_temp_dir();

// Runs the real program on the headless backend for at most passes passes, each from the
// script's record (the play-script text), calling before, when given, at the top of each pass
// and after, when given, after each pass's frame. Returns the program's exit code.
int test_run_program(const std::string& script, int passes, void (*after)(int pass) = nullptr,
                     void (*before)(int pass) = nullptr);

// Writes every picture the game reads, with made-up content, into dir: menu picture i is
// filled with index 10 + i, information picture j with 20 + j; the last one's palette maps
// index k to (k, 255 - k, k / 2). Level pictures get a pattern and the sprite key 253; the
// palette file is all black. Sound i is 100 samples alternating between 100 * (i + 1) and its
// negative.
void test_write_fake_assets(const std::string& dir);
// Changes into a new temporary folder holding the fake pictures.
std::string test_enter_fake_assets();
