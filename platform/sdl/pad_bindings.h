// The pad's buttons and which roles each one plays, as the settings keep them and the
// Controls page changes them. All inline, so every program that reads the settings file
// has it without linking the pad's mapping. No SDL in here.
#pragma once
#include <strings.h>

#include <cstdint>

#include "platform/sdl/keymap.h"

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
constexpr int PAD_BUTTON_COUNT = 12;

// The buttons of each role (PadButton bits; 0: the pad does not do it).
struct PadBindings {
    uint32_t buttons[ROLE_COUNT];
};

// The button's name in the settings and on the Controls page, by bit number.
inline const char* pad_button_name_at(int bit) {
    static const char* const names[PAD_BUTTON_COUNT] = {
        "South", "East", "West", "North", "Back",          "Start",
        "Up",    "Down", "Left", "Right", "Left Shoulder", "Right Shoulder"};
    return bit >= 0 && bit < PAD_BUTTON_COUNT ? names[bit] : nullptr;
}

// The button of a name, case ignored; 0 when unknown.
inline uint32_t pad_button_from_name(const char* name) {
    for (int bit = 0; bit < PAD_BUTTON_COUNT; ++bit) {
        if (strcasecmp(name, pad_button_name_at(bit)) == 0)
            return 1u << bit;
    }
    return 0;
}

// The mapping pads have always had: the D-pad walks and moves the menu, South jumps and takes
// an entry, West or East runs, Start pauses in play and starts on the title, Back is Escape,
// the shoulders rewind (left, held) and quick-save (right), North quick-loads.
inline void pad_bindings_default(PadBindings* pads) {
    *pads = PadBindings{};
    pads->buttons[ROLE_RIGHT] = PAD_RIGHT;
    pads->buttons[ROLE_LEFT] = PAD_LEFT;
    pads->buttons[ROLE_RUN] = PAD_WEST | PAD_EAST;
    pads->buttons[ROLE_JUMP] = PAD_SOUTH;
    pads->buttons[ROLE_UP] = PAD_UP;
    pads->buttons[ROLE_DOWN] = PAD_DOWN;
    pads->buttons[ROLE_ENTER] = PAD_SOUTH;
    pads->buttons[ROLE_ESCAPE] = PAD_BACK;
    pads->buttons[ROLE_START] = PAD_START;
    pads->buttons[ROLE_PAUSE] = PAD_START;
    pads->buttons[ROLE_REWIND] = PAD_LEFT_SHOULDER;
    pads->buttons[ROLE_QUICK_SAVE] = PAD_RIGHT_SHOULDER;
    pads->buttons[ROLE_QUICK_LOAD] = PAD_NORTH;
}

// Where a pad acts for a role: the title's roles on the title only, Escape everywhere, every
// other role in play only (so South can jump in play and take an entry on the title).
enum : int { PAD_ACTS_IN_PLAY = 1, PAD_ACTS_ON_TITLE = 2 };
inline int pad_role_acts(int role) {
    if (role == ROLE_ESCAPE)
        return PAD_ACTS_IN_PLAY | PAD_ACTS_ON_TITLE;
    if (role >= FIRST_PRESS_ROLE && role < FIRST_PORT_ROLE)
        return PAD_ACTS_ON_TITLE;
    return PAD_ACTS_IN_PLAY;
}

// Roles the game polls while held (the rest act once a press).
inline bool pad_role_held(int role) {
    return role < FIRST_PRESS_ROLE || role == ROLE_REWIND;
}
