// What the game needs from the operating system. Exactly one backend is linked in:
// platform/sdl for the game, platform/headless for the tests, the runner and the tools.
#pragma once
#include <cstdint>

#include "platform/types.h"

// Opens the one window (full screen for the SDL backend); 1 on success, 0 on failure.
int platform_open_window(const char* caption, int width, int height);
void platform_close_window();
// Where a backend delivers the input it pumps: key presses as virtual-key codes (auto-repeat
// included), left-button presses in frame pixels (double_click 1 for the second press of a
// double click) and the request to close the window.
struct PlatformInput {
    void (*key_down)(int key);
    void (*button_down)(int x, int y, int double_click);
    void (*close)();
};
// Hands pending operating-system input to input, in the order it came.
void platform_pump_events(const PlatformInput* input);
// Shows a finished frame. bpp 8 uses the palette; 16 is 5-6-5 (or 5-5-5 when bpp is 15).
void platform_present(const uint8_t* pixels, int pitch, int width, int height, int bpp,
                      const PaletteEntry* palette);
// Milliseconds since an arbitrary start, wrapping at 2^32.
uint32_t platform_ticks();
// Gives the processor away for about ms milliseconds (0: a yield at most).
void platform_idle(uint32_t ms);
void platform_set_cursor_visible(int visible);
// 1 while the key with this virtual-key code is held down now.
int platform_key_held(int key);
