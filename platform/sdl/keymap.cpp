// The key name table and the bindings of roles to keys.
#include "platform/sdl/keymap.h"

#include <cctype>

#include "platform/platform.h"
#include "platform/types.h"

namespace {

struct KeyName {
    int32_t keycode;
    const char* name;
};

constexpr int32_t SCANCODE_KEY = 0x40000000;

// Named keys; letters and digits are handled by their characters. Names as SDL gives them.
const KeyName named_keys[] = {
    {KEYCODE_RETURN, "Return"},
    {KEYCODE_ESCAPE, "Escape"},
    {KEYCODE_BACKSPACE, "Backspace"},
    {9, "Tab"},
    {KEYCODE_SPACE, "Space"},
    {KEYCODE_DELETE, "Delete"},
    {'\'', "'"},
    {',', ","},
    {'-', "-"},
    {'.', "."},
    {'/', "/"},
    {';', ";"},
    {'=', "="},
    {'[', "["},
    {'\\', "\\"},
    {']', "]"},
    {'`', "`"},
    {SCANCODE_KEY | 58, "F1"},
    {SCANCODE_KEY | 59, "F2"},
    {SCANCODE_KEY | 60, "F3"},
    {SCANCODE_KEY | 61, "F4"},
    {KEYCODE_F5, "F5"},
    {KEYCODE_F6, "F6"},
    {KEYCODE_F7, "F7"},
    {SCANCODE_KEY | 65, "F8"},
    {KEYCODE_F9, "F9"},
    {KEYCODE_F10, "F10"},
    {KEYCODE_F11, "F11"},
    {KEYCODE_F12, "F12"},
    {SCANCODE_KEY | 73, "Insert"},
    {SCANCODE_KEY | 74, "Home"},
    {SCANCODE_KEY | 75, "PageUp"},
    {SCANCODE_KEY | 77, "End"},
    {KEYCODE_PAGEDOWN, "PageDown"},
    {KEYCODE_RIGHT, "Right"},
    {KEYCODE_LEFT, "Left"},
    {KEYCODE_DOWN, "Down"},
    {KEYCODE_UP, "Up"},
    {SCANCODE_KEY | 84, "Keypad /"},
    {SCANCODE_KEY | 85, "Keypad *"},
    {SCANCODE_KEY | 86, "Keypad -"},
    {SCANCODE_KEY | 87, "Keypad +"},
    {KEYCODE_KP_ENTER, "Keypad Enter"},
    {SCANCODE_KEY | 89, "Keypad 1"},
    {SCANCODE_KEY | 90, "Keypad 2"},
    {SCANCODE_KEY | 91, "Keypad 3"},
    {SCANCODE_KEY | 92, "Keypad 4"},
    {SCANCODE_KEY | 93, "Keypad 5"},
    {SCANCODE_KEY | 94, "Keypad 6"},
    {SCANCODE_KEY | 95, "Keypad 7"},
    {SCANCODE_KEY | 96, "Keypad 8"},
    {SCANCODE_KEY | 97, "Keypad 9"},
    {SCANCODE_KEY | 98, "Keypad 0"},
    {SCANCODE_KEY | 99, "Keypad ."},
    {SCANCODE_KEY | 224, "Left Ctrl"},
    {SCANCODE_KEY | 225, "Left Shift"},
    {SCANCODE_KEY | 226, "Left Alt"},
    {SCANCODE_KEY | 228, "Right Ctrl"},
    {SCANCODE_KEY | 229, "Right Shift"},
    {SCANCODE_KEY | 230, "Right Alt"},
};
constexpr int NAMED_COUNT = static_cast<int>(sizeof named_keys / sizeof named_keys[0]);

// Single-character names of letters (upper case, as SDL names them) and digits.
char character_names[36][2];

const char* character_name(int32_t keycode) {
    int at = -1;
    if (keycode >= 'a' && keycode <= 'z') {
        at = keycode - 'a';
    } else if (keycode >= '0' && keycode <= '9') {
        at = 26 + keycode - '0';
    }
    if (at < 0) {
        return nullptr;
    }
    character_names[at][0] = static_cast<char>(at < 26 ? 'A' + at : keycode);
    return character_names[at];
}

// Equal ignoring case and blanks: "page down" finds "PageDown".
bool same_name(const char* a, const char* b) {
    for (;;) {
        while (*a == ' ') {
            a++;
        }
        while (*b == ' ') {
            b++;
        }
        if (*a == '\0' || *b == '\0') {
            return *a == *b;
        }
        if (std::tolower(static_cast<unsigned char>(*a)) !=
            std::tolower(static_cast<unsigned char>(*b))) {
            return false;
        }
        a++;
        b++;
    }
}

struct RoleInfo {
    const char* name;
    int message;  // virtual-key code a press posts (press roles)
    int held[2];  // virtual-key codes the game polls (held roles)
    int32_t keys[KEYS_PER_ROLE];
};

const RoleInfo roles[ROLE_COUNT] = {
    {"right", 0, {KEY_RIGHT, KEY_D}, {KEYCODE_RIGHT, 'd'}},
    {"left", 0, {KEY_LEFT, KEY_A}, {KEYCODE_LEFT, 'a'}},
    {"run", 0, {KEY_DELETE, KEY_Z}, {KEYCODE_DELETE, 'z'}},
    {"jump", 0, {KEY_NEXT, KEY_C}, {KEYCODE_PAGEDOWN, 'c'}},
    {"up", KEY_UP, {0, 0}, {KEYCODE_UP}},
    {"down", KEY_DOWN, {0, 0}, {KEYCODE_DOWN}},
    {"enter", KEY_RETURN, {0, 0}, {KEYCODE_RETURN, KEYCODE_KP_ENTER}},
    {"escape", KEY_ESCAPE, {0, 0}, {KEYCODE_ESCAPE}},
    {"start", KEY_S, {0, 0}, {'s'}},
    {"help", KEY_H, {0, 0}, {'h'}},
    {"about", KEY_A, {0, 0}, {'a'}},
    {"quit", KEY_Q, {0, 0}, {'q'}},
    {"pause", 0, {0, 0}, {'p'}},
    {"fullscreen", 0, {0, 0}, {KEYCODE_F11}},
    {"scale", 0, {0, 0}, {KEYCODE_F10}},
    {"screenshot", 0, {0, 0}, {KEYCODE_F12}},
    {"mute", 0, {0, 0}, {'m'}},
    {"timer", 0, {0, 0}, {'t'}},
    {"ghost", 0, {0, 0}, {'g'}},
    {"quicksave", 0, {0, 0}, {KEYCODE_F5}},
    {"quickload", 0, {0, 0}, {KEYCODE_F9}},
    {"rewind", 0, {0, 0}, {KEYCODE_BACKSPACE}},
    {"advance", 0, {0, 0}, {KEYCODE_F6}},
    {"slowmotion", 0, {0, 0}, {KEYCODE_F7}},
};

}  // namespace

int32_t keycode_from_name(const char* name) {
    if (name == nullptr) {
        return 0;
    }
    for (const KeyName& key : named_keys) {
        if (same_name(name, key.name)) {
            return key.keycode;
        }
    }
    const char* p = name;
    while (*p == ' ') {
        p++;
    }
    const char* q = p + (*p ? 1 : 0);
    while (*q == ' ') {
        q++;
    }
    if (*p != '\0' && *q == '\0') {
        int c = std::tolower(static_cast<unsigned char>(*p));
        if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) {
            return c;
        }
    }
    return 0;
}

const char* keycode_name(int32_t keycode) {
    for (const KeyName& key : named_keys) {
        if (key.keycode == keycode) {
            return key.name;
        }
    }
    return character_name(keycode);
}

int32_t keycode_at(int index) {
    if (index < 0) {
        return 0;
    }
    if (index < 26) {
        return 'a' + index;
    }
    if (index < 36) {
        return '0' + index - 26;
    }
    return index - 36 < NAMED_COUNT ? named_keys[index - 36].keycode : 0;
}

void key_bindings_default(KeyBindings* bindings) {
    for (int role = 0; role < ROLE_COUNT; role++) {
        for (int i = 0; i < KEYS_PER_ROLE; i++) {
            bindings->keys[role][i] = roles[role].keys[i];
        }
    }
}

const char* key_role_name(int role) {
    return role >= 0 && role < ROLE_COUNT ? roles[role].name : nullptr;
}

int key_role_from_name(const char* name) {
    for (int role = 0; role < ROLE_COUNT; role++) {
        if (same_name(name, roles[role].name)) {
            return role;
        }
    }
    return -1;
}

int key_role_message(int role) {
    return role >= 0 && role < ROLE_COUNT ? roles[role].message : 0;
}

int key_role_command(int role) {
    switch (role) {
        case ROLE_QUICK_SAVE:
            return COMMAND_QUICK_SAVE;
        case ROLE_QUICK_LOAD:
            return COMMAND_QUICK_LOAD;
        case ROLE_REWIND:
            return COMMAND_REWIND;
        case ROLE_ADVANCE:
            return COMMAND_FRAME_ADVANCE;
        case ROLE_SLOW_MOTION:
            return COMMAND_SLOW_MOTION;
        default:
            return -1;
    }
}

int key_role_held_by(int key) {
    for (int role = 0; role < FIRST_PRESS_ROLE; role++) {
        if (key != 0 && (roles[role].held[0] == key || roles[role].held[1] == key)) {
            return role;
        }
    }
    return -1;
}

int key_has_role(const KeyBindings* bindings, int role, int32_t keycode) {
    if (role < 0 || role >= ROLE_COUNT || keycode == 0) {
        return 0;
    }
    for (int32_t bound : bindings->keys[role]) {
        if (bound == keycode) {
            return 1;
        }
    }
    return 0;
}
