// The gamepad mapping: buttons and stick to held keys and key presses.
#include "platform/web/gamepad.h"

#include "platform/platform.h"
#include "platform/types.h"

namespace {

// One row of the press table: a button and the key press it makes when it goes down.
struct ButtonPress {
    int button;
    int key;
};
constexpr ButtonPress BUTTON_PRESSES[] = {
    {WEB_PAD_START, KEY_S},
    {WEB_PAD_BACK, KEY_ESCAPE},
    {WEB_PAD_DPAD_UP, KEY_UP},
    {WEB_PAD_DPAD_DOWN, KEY_DOWN},
};

}  // namespace

void pad_held_keys(const PadState& pad, uint8_t held[256]) {
    if (pad.buttons[WEB_PAD_SOUTH]) {
        held[KEY_NEXT] = 1;
    }
    if (pad.buttons[WEB_PAD_WEST] || pad.buttons[WEB_PAD_EAST]) {
        held[KEY_DELETE] = 1;
    }
    if (pad.buttons[WEB_PAD_DPAD_LEFT] || pad.stick_x <= -PAD_DEAD_ZONE) {
        held[KEY_LEFT] = 1;
    }
    if (pad.buttons[WEB_PAD_DPAD_RIGHT] || pad.stick_x >= PAD_DEAD_ZONE) {
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

uint32_t pad_held_commands(const PadState& pad) {
    return pad.buttons[WEB_PAD_LEFT_SHOULDER] ? 1u << COMMAND_REWIND : 0;
}

int pad_pressed_commands(const PadState& before, const PadState& now, int* commands, int max) {
    static const struct {
        int button, command;
    } presses[] = {{WEB_PAD_RIGHT_SHOULDER, COMMAND_QUICK_SAVE},
                   {WEB_PAD_NORTH, COMMAND_QUICK_LOAD}};
    int count = 0;
    for (const auto& row : presses) {
        if (now.buttons[row.button] && !before.buttons[row.button] && count < max) {
            commands[count++] = row.command;
        }
    }
    return count;
}
