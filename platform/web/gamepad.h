// A gamepad in the browser's standard layout as the desktop's pad state, so the browser maps
// it through the player's pad bindings exactly as the desktop does (platform/sdl/gamepad.h,
// which has no SDL in it). No Emscripten in here, so the tests can link it.
#pragma once
#include <cstdint>

#include "platform/sdl/gamepad.h"

// Buttons of the standard layout, by index.
enum : int {
    WEB_PAD_SOUTH = 0,
    WEB_PAD_EAST = 1,
    WEB_PAD_WEST = 2,
    WEB_PAD_NORTH = 3,
    WEB_PAD_LEFT_SHOULDER = 4,
    WEB_PAD_RIGHT_SHOULDER = 5,
    WEB_PAD_BACK = 8,
    WEB_PAD_START = 9,
    WEB_PAD_DPAD_UP = 12,
    WEB_PAD_DPAD_DOWN = 13,
    WEB_PAD_DPAD_LEFT = 14,
    WEB_PAD_DPAD_RIGHT = 15,
    WEB_PAD_BUTTONS = 17,
};

// What one pad reports: its buttons pressed, and the left stick (-1 to 1 each way, y down).
struct WebPadState {
    bool buttons[WEB_PAD_BUTTONS];
    double stick_x, stick_y;
};

// Adds one pad to the state of every pad together: its buttons as PadButton bits, and its
// stick where it is pushed further than the others' (the desktop's rule).
void web_pad_add(const WebPadState& pad, PadState* all);
