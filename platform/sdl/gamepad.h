// Gamepads turned into the keyboard's roles, so the game cannot tell them apart: in play the
// D-pad and left stick walk, South jumps, West or East runs, Start pauses, Back is Escape, and
// for practice the left shoulder rewinds (held), the right one quick-saves, North quick-loads; in
// the menu the D-pad (or stick) moves the highlight with repeat, South is Enter, Start is S.
// No SDL in here: the backend fills a PadState from SDL's game controller.
#pragma once
#include <cstdint>

// Buttons by position (South is the bottom face button), the D-pad as four buttons.
enum PadButton : uint32_t {
    PAD_SOUTH = 1u << 0,
    PAD_EAST = 1u << 1,
    PAD_WEST = 1u << 2,
    PAD_NORTH = 1u << 3,
    PAD_BACK = 1u << 4,
    PAD_START = 1u << 5,
    PAD_UP = 1u << 6,
    PAD_DOWN = 1u << 7,
    PAD_LEFT = 1u << 8,
    PAD_RIGHT = 1u << 9,
    PAD_LEFT_SHOULDER = 1u << 10,
    PAD_RIGHT_SHOULDER = 1u << 11,
};

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
// One step: the pads' state now, whether the game is in play, and the time (for repeat).
void pad_map(PadMapper* mapper, const PadState* state, int in_play, uint32_t now_ms,
             PadOutput* out);
