// The gamepad mapping: buttons and stick to held keys and key presses.
#include "platform/web/gamepad.h"

#include "platform/types.h"

namespace {

// One row of the press table: a button and the key press it makes when it goes down.
struct ButtonPress {
    int button;
    int key;
};
constexpr ButtonPress BUTTON_PRESSES[] = {
    {PAD_START, KEY_S},
    {PAD_BACK, KEY_ESCAPE},
    {PAD_DPAD_UP, KEY_UP},
    {PAD_DPAD_DOWN, KEY_DOWN},
};

}  // namespace

void pad_held_keys(const PadState& pad, uint8_t held[256]) {
    if (pad.buttons[PAD_SOUTH]) {
        held[KEY_NEXT] = 1;
    }
    if (pad.buttons[PAD_WEST] || pad.buttons[PAD_EAST]) {
        held[KEY_DELETE] = 1;
    }
    if (pad.buttons[PAD_DPAD_LEFT] || pad.stick_x <= -PAD_DEAD_ZONE) {
        held[KEY_LEFT] = 1;
    }
    if (pad.buttons[PAD_DPAD_RIGHT] || pad.stick_x >= PAD_DEAD_ZONE) {
        held[KEY_RIGHT] = 1;
    }
}

int pad_pressed_keys(const PadState& before, const PadState& now, int* keys, int max) {
    int count = 0;
    for (const ButtonPress& row : BUTTON_PRESSES) {
        if (now.buttons[row.button] && !before.buttons[row.button] && count < max) {
            keys[count++] = row.key;
        }
    }
    return count;
}
