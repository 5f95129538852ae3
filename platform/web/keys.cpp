// The browser's key names to virtual-key codes through one table, and the held-key slots.
#include "platform/web/keys.h"

#include <cstring>

#include "platform/platform.h"
#include "platform/types.h"

namespace {

// One row of the table: a KeyboardEvent.key value and the virtual-key code it stands for.
// Older browsers' names ("Left", "Esc", "Del") are in it too.
struct KeyName {
    const char* name;
    int key;
};
constexpr KeyName NAMED_KEYS[] = {
    {"Enter", KEY_RETURN},  {"Escape", KEY_ESCAPE},  {"Esc", KEY_ESCAPE}, {"ArrowLeft", KEY_LEFT},
    {"Left", KEY_LEFT},     {"ArrowUp", KEY_UP},     {"Up", KEY_UP},      {"ArrowRight", KEY_RIGHT},
    {"Right", KEY_RIGHT},   {"ArrowDown", KEY_DOWN}, {"Down", KEY_DOWN},  {"PageDown", KEY_NEXT},
    {"Delete", KEY_DELETE}, {"Del", KEY_DELETE},
};

}  // namespace

int key_from_dom_key(const char* key) {
    if (key == nullptr || key[0] == '\0') {
        return 0;
    }
    if (key[1] == '\0') {
        const char c = key[0];
        if (c >= 'a' && c <= 'z') {
            return KEY_A + (c - 'a');
        }
        if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
            return c;
        }
        return 0;
    }
    for (const KeyName& row : NAMED_KEYS) {
        if (std::strcmp(row.name, key) == 0) {
            return row.key;
        }
    }
    return 0;
}

int command_from_dom_key(const char* key) {
    static const struct {
        const char* name;
        int command;
    } commands[] = {
        {"F5", COMMAND_QUICK_SAVE},  {"F9", COMMAND_QUICK_LOAD},    {"F6", COMMAND_FRAME_ADVANCE},
        {"F7", COMMAND_SLOW_MOTION}, {"Backspace", COMMAND_REWIND},
    };
    for (const auto& row : commands) {
        if (key != nullptr && std::strcmp(row.name, key) == 0) {
            return row.command;
        }
    }
    return -1;
}

void held_press(HeldKeys* held, const char* code, int key) {
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
    slot.key = key;
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

int held_is_down(const HeldKeys* held, int key) {
    for (int i = 0; i < held->count; i++) {
        if (held->slots[i].key == key) {
            return 1;
        }
    }
    return 0;
}
