// The browser's key names to the settings' key codes through two tables, and the held-key
// slots.
#include "platform/web/keys.h"

#include <cstring>

#include "platform/sdl/keymap.h"

namespace {

// KeyboardEvent values and the settings' names of the same keys. Older browsers' names
// ("Left", "Esc", "Del") are in the first table too.
struct DomName {
    const char* dom;
    const char* name;
};

// By the key's value: what it does, whatever its place.
constexpr DomName BY_KEY[] = {
    {"Enter", "Return"},
    {"Escape", "Escape"},
    {"Esc", "Escape"},
    {"Backspace", "Backspace"},
    {"Tab", "Tab"},
    {" ", "Space"},
    {"Spacebar", "Space"},
    {"Delete", "Delete"},
    {"Del", "Delete"},
    {"Insert", "Insert"},
    {"Home", "Home"},
    {"End", "End"},
    {"PageUp", "PageUp"},
    {"PageDown", "PageDown"},
    {"ArrowRight", "Right"},
    {"Right", "Right"},
    {"ArrowLeft", "Left"},
    {"Left", "Left"},
    {"ArrowDown", "Down"},
    {"Down", "Down"},
    {"ArrowUp", "Up"},
    {"Up", "Up"},
    {"F1", "F1"},
    {"F2", "F2"},
    {"F3", "F3"},
    {"F4", "F4"},
    {"F5", "F5"},
    {"F6", "F6"},
    {"F7", "F7"},
    {"F8", "F8"},
    {"F9", "F9"},
    {"F10", "F10"},
    {"F11", "F11"},
    {"F12", "F12"},
};

// By the key's place: the keypad (whose digits the key value shares with the top row) and
// the modifiers' sides; then the characters Shift changed ("!" is the 1 key).
constexpr DomName BY_CODE[] = {
    {"NumpadDivide", "Keypad /"}, {"NumpadMultiply", "Keypad *"},  {"NumpadSubtract", "Keypad -"},
    {"NumpadAdd", "Keypad +"},    {"NumpadEnter", "Keypad Enter"}, {"NumpadDecimal", "Keypad ."},
    {"Numpad0", "Keypad 0"},      {"Numpad1", "Keypad 1"},         {"Numpad2", "Keypad 2"},
    {"Numpad3", "Keypad 3"},      {"Numpad4", "Keypad 4"},         {"Numpad5", "Keypad 5"},
    {"Numpad6", "Keypad 6"},      {"Numpad7", "Keypad 7"},         {"Numpad8", "Keypad 8"},
    {"Numpad9", "Keypad 9"},      {"ControlLeft", "Left Ctrl"},    {"ShiftLeft", "Left Shift"},
    {"AltLeft", "Left Alt"},      {"ControlRight", "Right Ctrl"},  {"ShiftRight", "Right Shift"},
    {"AltRight", "Right Alt"},
};
constexpr DomName SHIFTED_BY_CODE[] = {
    {"Minus", "-"},      {"Equal", "="},     {"BracketLeft", "["}, {"BracketRight", "]"},
    {"Backslash", "\\"}, {"Semicolon", ";"}, {"Quote", "'"},       {"Backquote", "`"},
    {"Comma", ","},      {"Period", "."},    {"Slash", "/"},
};

const char* find(const DomName* table, int count, const char* dom) {
    for (int i = 0; i < count; i++) {
        if (std::strcmp(table[i].dom, dom) == 0) {
            return table[i].name;
        }
    }
    return nullptr;
}

template <int N>
const char* find(const DomName (&table)[N], const char* dom) {
    return find(table, N, dom);
}

// The character a one-character key value names, lower case: the settings' name of it.
int32_t character_key(const char* key) {
    if (key[0] == '\0' || key[1] != '\0') {
        return 0;
    }
    char name[2] = {key[0], '\0'};
    if (name[0] >= 'A' && name[0] <= 'Z') {
        name[0] = static_cast<char>(name[0] - 'A' + 'a');
    }
    return keycode_from_name(name);
}

}  // namespace

int32_t keycode_from_dom(const char* key, const char* code) {
    key = key != nullptr ? key : "";
    code = code != nullptr ? code : "";
    if (const char* name = find(BY_CODE, code)) {
        return keycode_from_name(name);
    }
    if (const char* name = find(BY_KEY, key)) {
        return keycode_from_name(name);
    }
    if (const int32_t keycode = character_key(key)) {
        return keycode;
    }
    // A character the settings cannot name (Shift held, or another alphabet): the key's place.
    if (std::strncmp(code, "Key", 3) == 0 || std::strncmp(code, "Digit", 5) == 0) {
        const char* last = code + std::strlen(code) - 1;
        if (last - code == 3 || last - code == 5) {
            return character_key(last);
        }
    }
    if (const char* name = find(SHIFTED_BY_CODE, code)) {
        return keycode_from_name(name);
    }
    return 0;
}

void held_press(HeldKeys* held, const char* code, int32_t keycode) {
    for (int i = 0; i < held->count; i++) {
        if (std::strncmp(held->slots[i].code, code, HeldKeys::CODE_BYTES - 1) == 0) {
            return;
        }
    }
    if (held->count == HeldKeys::SLOTS) {
        return;
    }
    HeldKeys::Slot& slot = held->slots[held->count++];
    std::strncpy(slot.code, code, HeldKeys::CODE_BYTES - 1);
    slot.code[HeldKeys::CODE_BYTES - 1] = '\0';
    slot.keycode = keycode;
}

void held_release(HeldKeys* held, const char* code) {
    for (int i = 0; i < held->count; i++) {
        if (std::strncmp(held->slots[i].code, code, HeldKeys::CODE_BYTES - 1) == 0) {
            held->slots[i] = held->slots[--held->count];
            return;
        }
    }
}

void held_clear(HeldKeys* held) {
    held->count = 0;
}

int held_is_down(const HeldKeys* held, int32_t keycode) {
    for (int i = 0; i < held->count; i++) {
        if (held->slots[i].keycode == keycode) {
            return 1;
        }
    }
    return 0;
}
