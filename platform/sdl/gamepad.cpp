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
        // A button still down from the menu (South taking the PLAY entry) must not jump.
        if (!mapper->was_in_play) {
            mapper->ignored = down & ~pressed;
        }
        mapper->ignored &= down;
        const uint32_t active = down & ~mapper->ignored;
        if (active & PAD_RIGHT) {
            out->held_roles |= 1u << ROLE_RIGHT;
        }
        if (active & PAD_LEFT) {
            out->held_roles |= 1u << ROLE_LEFT;
        }
        if (active & PAD_SOUTH) {
            out->held_roles |= 1u << ROLE_JUMP;
        }
        if (active & (PAD_WEST | PAD_EAST)) {
            out->held_roles |= 1u << ROLE_RUN;
        }
        if (active & PAD_LEFT_SHOULDER) {
            out->held_roles |= 1u << ROLE_REWIND;
        }
        if (pressed & PAD_RIGHT_SHOULDER) {
            press(out, ROLE_QUICK_SAVE);
        }
        if (pressed & PAD_NORTH) {
            press(out, ROLE_QUICK_LOAD);
        }
        if (pressed & PAD_START) {
            press(out, ROLE_PAUSE);
        }
        if (pressed & PAD_BACK) {
            press(out, ROLE_ESCAPE);
        }
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
