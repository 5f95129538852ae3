// The press roles a key gives, shared by the backends (which cannot include each other): a
// key bound to several press roles that post the same key press posts it once. Inline, so
// that only the backends that use it need the key map linked.
#pragma once
#include <cstdint>

#include "platform/sdl/keymap.h"

// The press roles (FIRST_PRESS_ROLE up to the port's) of keycode, in role order, each
// message once; writes up to ROLE_COUNT roles to roles and returns how many.
inline int key_press_roles(const KeyBindings* keys, int32_t keycode, int roles[ROLE_COUNT]) {
    int posted[ROLE_COUNT];
    int count = 0;
    for (int role = FIRST_PRESS_ROLE; role < FIRST_PORT_ROLE; role++) {
        const int message = key_role_message(role);
        bool again = false;
        for (int i = 0; i < count; i++) {
            again = again || posted[i] == message;
        }
        if (!again && key_has_role(keys, role, keycode)) {
            posted[count] = message;
            roles[count++] = role;
        }
    }
    return count;
}
