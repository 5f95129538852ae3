// The gamepad mapping: dead zones, edges, repeat, and the buttons held across into play.
#include "platform/sdl/gamepad.h"

#include "platform/sdl/keymap.h"

namespace {

// The stick as D-pad bits: sideways past the dead zone walks; up and down need the firmer
// push, since they only move the menu's highlight.
uint32_t stick_directions(const PadState* state) {
    uint32_t bits = 0;
    if (state->stick_x > PAD_DEAD_ZONE) {
        bits |= PAD_RIGHT;
    } else if (state->stick_x < -PAD_DEAD_ZONE) {
        bits |= PAD_LEFT;
    }
    if (state->stick_y > PAD_MENU_ZONE) {
        bits |= PAD_DOWN;
    } else if (state->stick_y < -PAD_MENU_ZONE) {
        bits |= PAD_UP;
    }
    return bits;
}

void press(PadOutput* out, int role) {
    if (out->press_count < PAD_MAX_PRESSES) {
        out->presses[out->press_count++] = role;
    }
}

// In play: buttons and directions held as the play keys and rewind, presses of the pause,
// Escape and the quick save and load.
void map_play(PadMapper* mapper, uint32_t down, uint32_t pressed, PadOutput* out) {
    // A button still down from the menu (South taking the PLAY entry) must not jump.
    if (!mapper->was_in_play) {
        mapper->ignored = down & ~pressed;
    }
    mapper->ignored &= down;
    const uint32_t active = down & ~mapper->ignored;
    static const struct {
        uint32_t buttons;
        int role;
    } held[] = {{PAD_RIGHT, ROLE_RIGHT},
                {PAD_LEFT, ROLE_LEFT},
                {PAD_SOUTH, ROLE_JUMP},
                {PAD_WEST | PAD_EAST, ROLE_RUN},
                {PAD_LEFT_SHOULDER, ROLE_REWIND}},
      presses[] = {{PAD_RIGHT_SHOULDER, ROLE_QUICK_SAVE},
                   {PAD_NORTH, ROLE_QUICK_LOAD},
                   {PAD_START, ROLE_PAUSE},
                   {PAD_BACK, ROLE_ESCAPE}};
    for (const auto& row : held) {
        if (active & row.buttons) {
            out->held_roles |= 1u << row.role;
        }
    }
    for (const auto& row : presses) {
        if (pressed & row.buttons) {
            press(out, row.role);
        }
    }
}

}  // namespace

void pad_mapper_reset(PadMapper* mapper) {
    *mapper = PadMapper{};
}

void pad_map(PadMapper* mapper, const PadState* state, int in_play, uint32_t now_ms,
             PadOutput* out) {
    *out = PadOutput{};
    const uint32_t down = state->buttons | stick_directions(state);
    const uint32_t pressed = down & ~mapper->last;
    if (in_play) {
        map_play(mapper, down, pressed, out);
    } else {
        mapper->ignored = 0;
        const uint32_t vertical = down & (PAD_UP | PAD_DOWN);
        if (pressed & vertical) {
            mapper->repeat_at = now_ms + PAD_REPEAT_DELAY_MS;
            press(out, (pressed & PAD_UP) ? ROLE_UP : ROLE_DOWN);
        } else if ((vertical == PAD_UP || vertical == PAD_DOWN) &&
                   static_cast<int32_t>(now_ms - mapper->repeat_at) >= 0) {
            mapper->repeat_at = now_ms + PAD_REPEAT_MS;
            press(out, vertical == PAD_UP ? ROLE_UP : ROLE_DOWN);
        }
        if (pressed & PAD_SOUTH) {
            press(out, ROLE_ENTER);
        }
        if (pressed & PAD_START) {
            press(out, ROLE_START);
        }
        if (pressed & PAD_BACK) {
            press(out, ROLE_ESCAPE);
        }
    }
    mapper->last = down;
    mapper->was_in_play = in_play;
}
