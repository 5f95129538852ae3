// A gamepad in the browser's standard layout as the keys the game knows: held keys for
// walking, running and jumping, and key presses for the menu. No Emscripten in here, so the
// tests can link it.
#pragma once
#include <cstdint>

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

// The left stick moves less than this far from its centre without walking: worn sticks rest
// off centre.
constexpr double PAD_DEAD_ZONE = 0.3;

// What one pad reports: its buttons pressed, and the left stick's sideways position (-1
// left to 1 right).
struct PadState {
    bool buttons[WEB_PAD_BUTTONS];
    double stick_x;
};

// Marks in held[256] the keys the pad holds down now: South jumps (Page Down), West or East
// runs (Delete), the D-pad or the stick past the dead zone walks (Left, Right). Marks only;
// clears nothing, so several pads add up.
void pad_held_keys(const PadState& pad, uint8_t held[256]);
// The key presses of buttons that went down since before: Start is S (play), Back is
// Escape, the D-pad's up and down move the menu highlight. Writes up to max keys; returns
// how many.
int pad_pressed_keys(const PadState& before, const PadState& now, int* keys, int max);
// The program's practice commands of the pad: the left shoulder rewinds while held (the
// bit 1 << COMMAND_REWIND), the right one quick-saves and North quick-loads when pressed.
uint32_t pad_held_commands(const PadState& pad);
int pad_pressed_commands(const PadState& before, const PadState& now, int* commands, int max);
