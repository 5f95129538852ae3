// The gamepad mapping: dead zones, the bindings, edges, repeat, and the buttons held across
// into play.
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

// In play: the held roles while their buttons are down, the others once a press.
void map_play(PadMapper* mapper, const PadBindings* pads, uint32_t down, uint32_t pressed,
              PadOutput* out) {
    // A button still down from the menu (South taking the PLAY entry) must not jump.
    if (!mapper->was_in_play) {
        mapper->ignored = down & ~pressed;
    }
    mapper->ignored &= down;
    const uint32_t active = down & ~mapper->ignored;
    for (int role = 0; role < ROLE_COUNT; ++role) {
        if (!(pad_role_acts(role) & PAD_ACTS_IN_PLAY)) {
            continue;
        }
        if (pad_role_held(role)) {
            if (active & pads->buttons[role]) {
                out->held_roles |= 1u << role;
            }
        } else if (pressed & pads->buttons[role]) {
            press(out, role);
        }
    }
}

// On the title: Up and Down with repeat, the title's other roles once a press.
void map_title(PadMapper* mapper, const PadBindings* pads, uint32_t down, uint32_t pressed,
               uint32_t now_ms, PadOutput* out) {
    mapper->ignored = 0;
    const uint32_t up = pads->buttons[ROLE_UP], below = pads->buttons[ROLE_DOWN];
    const bool up_down = (down & up) != 0, down_down = (down & below) != 0;
    if (pressed & (up | below)) {
        mapper->repeat_at = now_ms + PAD_REPEAT_DELAY_MS;
        press(out, (pressed & up) ? ROLE_UP : ROLE_DOWN);
    } else if (up_down != down_down && static_cast<int32_t>(now_ms - mapper->repeat_at) >= 0) {
        mapper->repeat_at = now_ms + PAD_REPEAT_MS;
        press(out, up_down ? ROLE_UP : ROLE_DOWN);
    }
    for (int role = 0; role < ROLE_COUNT; ++role) {
        if (role != ROLE_UP && role != ROLE_DOWN && (pad_role_acts(role) & PAD_ACTS_ON_TITLE) &&
            (pressed & pads->buttons[role])) {
            press(out, role);
        }
    }
}

}  // namespace

void pad_mapper_reset(PadMapper* mapper) {
    *mapper = PadMapper{};
}

void pad_map(PadMapper* mapper, const PadBindings* pads, const PadState* state, int in_play,
             uint32_t now_ms, PadOutput* out) {
    *out = PadOutput{};
    const uint32_t down = state->buttons | stick_directions(state);
    const uint32_t pressed = down & ~mapper->last;
    if (in_play) {
        map_play(mapper, pads, down, pressed, out);
    } else {
        map_title(mapper, pads, down, pressed, now_ms, out);
    }
    mapper->last = down;
    mapper->was_in_play = in_play;
}
