// The key table: SDL key codes to the virtual-key codes the game uses.
#include "platform/sdl/keymap.h"

#include <array>

#include "platform/types.h"

namespace {

// One row of the table: an SDL key code and the virtual-key code it stands for.
struct KeyMapping {
    int32_t keycode;
    int key;
};

constexpr int SPECIAL_KEYS = 9;
constexpr int TABLE_SIZE = SPECIAL_KEYS + 26 + 10;

// Built at compile time: the named keys, then A..Z and 0..9, whose codes follow in order.
constexpr std::array<KeyMapping, TABLE_SIZE> build_table() {
    std::array<KeyMapping, TABLE_SIZE> table{{
        {KEYCODE_RETURN, KEY_RETURN},
        {KEYCODE_KP_ENTER, KEY_RETURN},
        {KEYCODE_ESCAPE, KEY_ESCAPE},
        {KEYCODE_LEFT, KEY_LEFT},
        {KEYCODE_UP, KEY_UP},
        {KEYCODE_RIGHT, KEY_RIGHT},
        {KEYCODE_DOWN, KEY_DOWN},
        {KEYCODE_PAGEDOWN, KEY_NEXT},
        {KEYCODE_DELETE, KEY_DELETE},
    }};
    for (int i = 0; i < 26; i++) {
        table[SPECIAL_KEYS + i] = {KEYCODE_A + i, KEY_A + i};
    }
    for (int i = 0; i < 10; i++) {
        table[SPECIAL_KEYS + 26 + i] = {KEYCODE_0 + i, '0' + i};
    }
    return table;
}

// Several key codes may give one virtual-key code (both Enter keys give KEY_RETURN).
constexpr std::array<KeyMapping, TABLE_SIZE> key_table = build_table();

}  // namespace

int key_from_keycode(int32_t keycode) {
    for (const KeyMapping& row : key_table) {
        if (row.keycode == keycode) {
            return row.key;
        }
    }
    return 0;
}

int keycodes_for_key(int key, int32_t* out, int max) {
    int count = 0;
    for (const KeyMapping& row : key_table) {
        if (row.key == key && count < max) {
            out[count++] = row.keycode;
        }
    }
    return count;
}
