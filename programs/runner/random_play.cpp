// Seeded random play: a small state machine over the game's mode with its own generator.
#include "programs/runner/random_play.h"

#include "platform/types.h"
#include "shell/game_state.h"

namespace {

// The player: the generator, the keys held in play and for how many more passes, and a jump
// key held on its own clock.
uint32_t state = 1;
int walk_keys[2];
int walk_passes;
int jump_key;
int jump_passes;

// xorshift32: small, and the same on every compiler.
uint32_t next() {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

// 0 .. n - 1.
int below(int n) {
    return static_cast<int>(next() % static_cast<uint32_t>(n));
}

bool chance(int one_in) {
    return below(one_in) == 0;
}

// A press that can never end the program from this mode (Escape and Q in the title menu,
// Enter on the quit entry, the close request are left out).
bool may_press(int key) {
    if (key == KEY_RETURN)
        return menu_selection != MODE_QUIT;
    if (game_mode == MODE_MENU)
        return key != KEY_ESCAPE && key != KEY_Q;
    return true;
}

void press(int key, const PlatformInput* input) {
    if (may_press(key))
        input->key_down(key);
}

void title_menu(const PlatformInput* input) {
    if (!chance(6))
        return;
    const int roll = below(100);
    if (roll < 40) {
        press(KEY_S, input);
    } else if (roll < 55) {
        press(KEY_DOWN, input);
    } else if (roll < 65) {
        press(KEY_UP, input);
    } else if (roll < 72) {
        press(KEY_H, input);
    } else if (roll < 79) {
        press(KEY_A, input);
    } else if (roll < 86) {
        press(KEY_RETURN, input);
    } else if (roll < 95) {
        // Anywhere above the quit entry: on an entry or beside it. Each draw in a statement of
        // its own: the order of a call's arguments is the compiler's to choose, and gcc and
        // clang chose differently.
        const int x = below(640);
        const int y = below(340);
        const int double_click = chance(4) ? 1 : 0;
        input->button_down(x, y, double_click);
    } else {
        press(below(256), input);
    }
}

// Walking, running and jumping, each for a while; now and then back to the menu.
void play(InputRecord* record, const PlatformInput* input) {
    if (walk_passes-- <= 0) {
        walk_passes = 5 + below(40);
        const int roll = below(100);
        const bool run = chance(2);
        walk_keys[0] = roll < 65   ? (chance(2) ? KEY_RIGHT : KEY_D)
                       : roll < 85 ? (chance(2) ? KEY_LEFT : KEY_A)
                                   : 0;
        walk_keys[1] = run ? (chance(2) ? KEY_DELETE : KEY_Z) : 0;
    }
    if (jump_passes <= 0 && chance(12)) {
        jump_passes = 1 + below(16);
        jump_key = chance(2) ? KEY_NEXT : KEY_C;
    }
    for (int key : walk_keys) {
        if (key)
            input_hold(record, key);
    }
    if (jump_passes-- > 0)
        input_hold(record, jump_key);
    if (chance(400))
        press(KEY_ESCAPE, input);
    else if (chance(100))
        press(below(256), input);
}

}  // namespace

void random_play_start(uint32_t seed) {
    state = seed ? seed : 1;
    walk_keys[0] = walk_keys[1] = 0;
    walk_passes = jump_key = jump_passes = 0;
}

void random_play_pass(InputRecord* record, const PlatformInput* input) {
    switch (game_mode) {
        case MODE_MENU:
            title_menu(input);
            break;
        case MODE_PLAYING:
            play(record, input);
            break;
        default:  // an information screen: read it a while, then back
            if (chance(15))
                press(chance(3) ? KEY_RETURN : KEY_ESCAPE, input);
            break;
    }
}
