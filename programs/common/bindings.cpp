// The key bindings as the Controls page shows and changes them.
#include "programs/common/bindings.h"

#include <cstdio>

namespace {

// Where a role acts.
enum : int { IN_PLAY = 1, ON_TITLE = 2, EVERYWHERE = 3 };

int where_acts(int role) {
    if (role < FIRST_PRESS_ROLE)
        return IN_PLAY;
    if (role == ROLE_ENTER || role == ROLE_ESCAPE || role >= FIRST_PORT_ROLE)
        return EVERYWHERE;
    return ON_TITLE;
}

// The actions as the Controls page names them, in the order of the roles.
const char* const ACTION_NAMES[] = {
    "Walk right", "Walk left",   "Run",        "Jump",       "Menu up",      "Menu down",
    "Enter",      "Escape",      "Start (S)",  "Help (H)",   "About (A)",    "Quit (Q)",
    "Pause",      "Full screen", "Scaling",    "Screenshot", "Sound on/off", "Run timer",
    "Ghost",      "Quick save",  "Quick load", "Rewind",     "Frame step",   "Slow motion"};
static_assert(sizeof ACTION_NAMES / sizeof ACTION_NAMES[0] == ROLE_COUNT, "a name for each role");

}  // namespace

const char* binding_action_name(int role) {
    return role >= 0 && role < ROLE_COUNT ? ACTION_NAMES[role] : "";
}

void binding_keys_text(const KeyBindings* keys, int role, char* out, size_t size) {
    size_t used = 0;
    out[0] = '\0';
    if (role < 0 || role >= ROLE_COUNT)
        return;
    for (int32_t key : keys->keys[role]) {
        const char* name = key != 0 ? keycode_name(key) : nullptr;
        if (name == nullptr)
            continue;
        const int n = std::snprintf(out + used, size - used, "%s%s", used ? ", " : "", name);
        if (n < 0 || static_cast<size_t>(n) >= size - used)
            break;
        used += static_cast<size_t>(n);
    }
}

int binding_conflict(const KeyBindings* keys, int role) {
    if (role < 0 || role >= ROLE_COUNT)
        return -1;
    for (int32_t key : keys->keys[role]) {
        if (key == 0)
            continue;
        for (int other = 0; other < ROLE_COUNT; ++other) {
            if (other != role && (where_acts(other) & where_acts(role)) != 0 &&
                key_has_role(keys, other, key))
                return other;
        }
    }
    return -1;
}

const char* binding_bind_key(KeyBindings* keys, int role, int32_t keycode) {
    if (role < 0 || role >= ROLE_COUNT)
        return "There is no such action.";
    if (keycode_name(keycode) == nullptr)
        return "That key cannot be kept in the settings.";
    for (int32_t& key : keys->keys[role])
        key = 0;
    keys->keys[role][0] = keycode;
    return nullptr;
}

void binding_pad_text(const PadBindings* pads, int role, char* out, size_t size) {
    size_t used = 0;
    out[0] = '\0';
    if (role < 0 || role >= ROLE_COUNT)
        return;
    for (int bit = 0; bit < PAD_BUTTON_COUNT; ++bit) {
        if (!(pads->buttons[role] & (1u << bit)))
            continue;
        const int n = std::snprintf(out + used, size - used, "%s%s", used ? ", " : "",
                                    pad_button_name_at(bit));
        if (n < 0 || static_cast<size_t>(n) >= size - used)
            break;
        used += static_cast<size_t>(n);
    }
}

int binding_pad_conflict(const PadBindings* pads, int role) {
    if (role < 0 || role >= ROLE_COUNT)
        return -1;
    for (int other = 0; other < ROLE_COUNT; ++other) {
        if (other != role && (pad_role_acts(other) & pad_role_acts(role)) != 0 &&
            (pads->buttons[other] & pads->buttons[role]) != 0)
            return other;
    }
    return -1;
}

const char* binding_bind_pad(PadBindings* pads, int role, uint32_t button) {
    if (role < 0 || role >= ROLE_COUNT)
        return "There is no such action.";
    // One button a binding, and only one the settings can name.
    if (button == 0 || (button & (button - 1)) != 0 || button >= (1u << PAD_BUTTON_COUNT))
        return "That button cannot be kept in the settings.";
    pads->buttons[role] = button;
    return nullptr;
}
