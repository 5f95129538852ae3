// The browser menus' host and input.
#include "programs/web/web_menu.h"

#include <cstdio>

#include "platform/platform.h"

namespace {

// Frame advance asked for since the pause began.
bool advance_noted;

void command_keys(int command, char* out, size_t size) {
    static const char* const names[COMMAND_COUNT] = {"F5", "F9", "F6", "F7", "Backspace"};
    std::snprintf(out, size, "%s", command >= 0 && command < COMMAND_COUNT ? names[command] : "");
}

// The page's scalings, as the display names them.
int scale_count() {
    return WEB_SCALE_MODES;
}
int scale() {
    return web_scale;
}

int shown() {
    return pause_menu_page() != PAGE_NONE || pause_menu_stepping();
}

void menu_key(int key) {
    if (pause_menu_page() == PAGE_NONE) {
        if (key == KEY_ESCAPE)
            pause_menu_input(MENU_BACK);  // from frame advance to the menu
        return;
    }
    switch (key) {
        case KEY_UP:
            pause_menu_input(MENU_UP);
            break;
        case KEY_DOWN:
            pause_menu_input(MENU_DOWN);
            break;
        case KEY_LEFT:
        case KEY_A:
            pause_menu_input(MENU_LEFT);
            break;
        case KEY_RIGHT:
        case KEY_D:
            pause_menu_input(MENU_RIGHT);
            break;
        case KEY_RETURN:
            pause_menu_input(MENU_ACCEPT);
            break;
        case KEY_ESCAPE:
            pause_menu_input(MENU_BACK);
            break;
        default:
            break;
    }
}

void menu_click(int x, int y) {
    pause_menu_click(x, y);
}

void menu_paused(int paused) {
    pause_menu_held(paused, paused && advance_noted);
    advance_noted = false;
}

}  // namespace

const MenuHost web_menu_host = {web_hold,
                                nullptr,
                                nullptr,
                                scale_count,
                                web_scale_mode_name,
                                scale,
                                web_set_scale_mode,
                                web_audio_levels,
                                web_audio_set_levels,
                                nullptr,
                                nullptr,
                                nullptr,
                                nullptr,
                                nullptr,
                                nullptr,
                                nullptr,
                                nullptr,
                                command_keys,
                                web_advance_once};

const WebMenu web_menu_input = {shown, menu_key, menu_click, menu_paused};

void web_menu_advance_asked() {
    // The page's pause may have come first, with its menu: frame advance steps instead.
    if (pause_menu_page() == PAGE_PAUSE)
        pause_menu_held(1, 1);
    else
        advance_noted = true;
}
