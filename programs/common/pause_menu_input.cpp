// The menus' input shared by the desktop and the browser.
#include "programs/common/pause_menu_input.h"

#include "programs/common/bindings.h"
#include "programs/common/pause_menu.h"

namespace {

// Frame advance asked for since the pause began.
bool advance_noted;

}  // namespace

int pause_menu_shown() {
    return pause_menu_page() != PAGE_NONE || pause_menu_stepping();
}

void pause_menu_advance_asked() {
    advance_noted = true;
}

void pause_menu_pause_changed(int paused) {
    pause_menu_held(paused, paused && advance_noted);
    advance_noted = false;
}

int pause_menu_bind_key(KeyBindings* keys, int32_t keycode, void (*changed)()) {
    int action;
    if (!pause_menu_waiting_for_binding(&action))
        return 0;
    if (keycode == KEYCODE_ESCAPE) {
        pause_menu_input(MENU_BACK);
        return 1;
    }
    const char* refused = binding_bind_key(keys, action, keycode);
    if (refused == nullptr)
        changed();
    pause_menu_bound(refused);
    return 1;
}

void pause_menu_pad(PadBindings* pads, uint32_t pressed, void (*changed)()) {
    int action;
    if (pause_menu_waiting_for_binding(&action)) {
        // Back cancels, as Escape does; any other button is the new one (the first of a
        // chord, so a binding is always one button).
        if (pressed & PAD_BACK) {
            pause_menu_input(MENU_BACK);
            return;
        }
        const uint32_t button = pressed & (~pressed + 1);
        const char* refused = binding_bind_pad(pads, action, button);
        if (refused == nullptr)
            changed();
        pause_menu_bound(refused);
        return;
    }
    if (pause_menu_page() == PAGE_NONE) {
        if (pressed & (PAD_START | PAD_BACK))
            pause_menu_input(MENU_BACK);
        return;
    }
    // Start resumes from any page but the question, where it keeps playing too.
    if (pressed & PAD_START) {
        if (pause_menu_page() == PAGE_CONFIRM)
            pause_menu_input(MENU_BACK);
        else
            pause_menu_close();
        return;
    }
    static const struct {
        uint32_t button;
        int input;
    } table[] = {{PAD_UP, MENU_UP},       {PAD_DOWN, MENU_DOWN},    {PAD_LEFT, MENU_LEFT},
                 {PAD_RIGHT, MENU_RIGHT}, {PAD_SOUTH, MENU_ACCEPT}, {PAD_EAST, MENU_BACK},
                 {PAD_BACK, MENU_BACK}};
    for (const auto& row : table) {
        if (pressed & row.button) {
            pause_menu_input(row.input);
            return;  // one a poll: the first may have changed the page
        }
    }
}
