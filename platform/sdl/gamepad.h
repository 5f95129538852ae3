// Gamepads turned into the keyboard's roles through the player's pad bindings, so the game
// cannot tell them apart; the left stick counts as the D-pad. In the menu the bound Up and
// Down move the highlight with repeat.
// No SDL in here: the backend fills a PadState from SDL's game controller.
#pragma once
#include <cstdint>

#include "platform/sdl/pad_bindings.h"

// Stick travel (of 32767) that still counts as centred; menu moves want a firmer push.
constexpr int PAD_DEAD_ZONE = 8000;
constexpr int PAD_MENU_ZONE = 16000;
// A held direction in the menu repeats like a held key.
constexpr uint32_t PAD_REPEAT_DELAY_MS = 400;
constexpr uint32_t PAD_REPEAT_MS = 120;

struct PadState {
    uint32_t buttons;      // PadButton bits, every pad together
    int stick_x, stick_y;  // left stick, -32768..32767, y downwards
};

// What the mapping remembers between steps.
struct PadMapper {
    uint32_t last;       // controls down at the last step (stick directions as D-pad bits)
    uint32_t ignored;    // down since before play began: ignored until released
    uint32_t repeat_at;  // when the held menu direction repeats next
    int was_in_play;
};

constexpr int PAD_MAX_PRESSES = 8;

struct PadOutput {
    uint32_t held_roles;           // 1 << role for each held role (KeyRole)
    int presses[PAD_MAX_PRESSES];  // roles pressed at this step, in a fixed order
    int press_count;
};

void pad_mapper_reset(PadMapper* mapper);
// One step: the pads' state now as the bindings map it, whether the game is in play, and the
// time (for repeat).
void pad_map(PadMapper* mapper, const PadBindings* pads, const PadState* state, int in_play,
             uint32_t now_ms, PadOutput* out);
