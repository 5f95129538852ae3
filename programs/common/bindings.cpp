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

namespace {

// Whether role and other both act somewhere on keycode.
bool share(const KeyBindings* keys, int role, int other, int32_t keycode) {
    return keycode != 0 && other != role && (where_acts(other) & where_acts(role)) != 0 &&
           key_has_role(keys, role, keycode) && key_has_role(keys, other, keycode);
}

// Roles the pause menu answers to before the port's keys.
bool in_pause_menu(int role) {
    return role == ROLE_UP || role == ROLE_DOWN || role == ROLE_ENTER || role == ROLE_ESCAPE ||
           role == ROLE_LEFT || role == ROLE_RIGHT;
}

// Of two roles on one key, the one the input gives the key to alone (-1: both).
int winner_of(int role, int other) {
    const bool port = role >= FIRST_PORT_ROLE, other_port = other >= FIRST_PORT_ROLE;
    if (role < FIRST_PRESS_ROLE || other < FIRST_PRESS_ROLE || (!port && !other_port))
        return -1;
    if (port && other_port)
        return role < other ? role : other;
    return port ? role : other;
}

}  // namespace

int binding_winner(const KeyBindings* keys, int role, int other) {
    if (role < 0 || role >= ROLE_COUNT || other < 0 || other >= ROLE_COUNT)
        return -1;
    for (int32_t key : keys->keys[role]) {
        if (share(keys, role, other, key))
            return winner_of(role, other);
    }
    return -1;
}

int binding_overruled(const KeyBindings* keys, int role) {
    // The pause menu's own keys act there whatever else has them.
    if (role < 0 || role >= ROLE_COUNT || in_pause_menu(role))
        return -1;
    int by = -1;
    for (int32_t key : keys->keys[role]) {
        if (key == 0)
            continue;
        int taker = -1;
        for (int other = 0; other < ROLE_COUNT && taker < 0; ++other) {
            if (share(keys, role, other, key) && winner_of(role, other) == other)
                taker = other;
        }
        if (taker < 0)
            return -1;  // this key acts for role
        by = by < 0 ? taker : by;
    }
    return by;
}

void binding_shared_text(const KeyBindings* keys, int role, int other, char* out, size_t size) {
    const int winner = binding_winner(keys, role, other);
    const char* its = binding_action_name(other);
    if (winner < 0) {
        std::snprintf(out, size, "Also bound to %s: both act.", its);
        return;
    }
    const int loser = winner == role ? other : role;
    const char* lost = binding_action_name(loser);
    const char* won = winner == role ? "this one wins" : "that wins";
    if (in_pause_menu(loser))
        std::snprintf(out, size, "Also bound to %s: %s in the game, %s in the pause menu.", its,
                      won, lost);
    else
        std::snprintf(out, size, "Also bound to %s: %s, %s does nothing on it.", its, won, lost);
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
