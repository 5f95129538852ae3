// Window messages and the keyboard and mouse commands of the title menu and of play.
#include "shell/commands.h"

#include "engine/sound.h"
#include "shell/game_state.h"
#include "shell/window.h"

namespace {

// Every quit request is a destroy message posted to our own window.
void quit() {
    window_post(main_window, MSG_DESTROY, 0, 0);
}

// A key or click that changes the screen is heard as a choice; one that leaves it as it is
// (Enter on the entry already showing) is not.
void choose_mode(int mode) {
    if (mode != game_mode)
        sound_event(SOUND_MENU_CHOOSE);
    game_mode = mode;
}

void take_selection() {
    choose_mode(menu_selection);
    if (game_mode == MODE_QUIT)
        quit();
}

void move_highlight(int selection) {
    menu_selection = selection;
    sound_event(SOUND_MENU_MOVE);
}

struct ClickTarget {
    unsigned left, right, top, bottom;  // inclusive
    int selection;                      // entry chosen; the quit entry leaves it alone
};

const ClickTarget click_targets[] = {
    {247, 384, 274, 289, 0},
    {247, 319, 298, 313, 1},
    {247, 298, 322, 337, 2},
    {247, 296, 346, 364, 3},
};

}  // namespace

int play_keys(int key) {
    switch (key) {
        case KEY_RETURN:
            take_selection();
            return 0;
        case KEY_ESCAPE:
            game_mode = MODE_MENU;
            return 0;
        default:
            return 1;
    }
}

int menu_keys(int key) {
    const bool title = game_mode == MODE_MENU;
    switch (key) {
        case KEY_RETURN:
            take_selection();
            return 0;
        case KEY_ESCAPE:
            if (title) {
                quit();
            } else {
                choose_mode(MODE_MENU);
            }
            return 0;
        case KEY_UP:
            if (!title)
                return 1;
            move_highlight(menu_selection <= 0 ? 3 : menu_selection - 1);
            return 0;
        case KEY_DOWN:
            if (!title)
                return 1;
            move_highlight(menu_selection >= 3 ? 0 : menu_selection + 1);
            return 0;
        case KEY_A:
            if (title)
                choose_mode(MODE_INFO2);
            return 0;
        case KEY_H:
            if (title)
                choose_mode(MODE_INFO1);
            return 0;
        case KEY_Q:
            if (title)
                quit();
            return 0;
        case KEY_S:
            if (title)
                choose_mode(MODE_PLAYING);
            return 0;
        default:
            return 1;
    }
}

int menu_click_entry(unsigned x, unsigned y) {
    for (const ClickTarget& t : click_targets) {
        if (x >= t.left && x <= t.right && y >= t.top && y <= t.bottom)
            return t.selection;
    }
    return -1;
}

void menu_click(intptr_t position) {
    const unsigned x = static_cast<unsigned>(position) & 0xFFFF;
    const unsigned y = (static_cast<unsigned>(position) >> 16) & 0xFFFF;
    const int entry = menu_click_entry(x, y);
    if (entry == MODE_QUIT) {
        quit();
    } else if (entry >= 0) {
        menu_selection = entry;
        choose_mode(entry);
    }
}

intptr_t window_proc(Window* window, uint32_t message, uintptr_t wparam, intptr_t lparam) {
    switch (message) {
        case MSG_CREATE:
        case MSG_PAINT:  // all drawing is done by the frame loop
            return 0;
        case MSG_DESTROY:
            window_post_quit(0);
            return 0;
        case MSG_KEYDOWN: {
            const int key = static_cast<int>(wparam);
            const int unhandled = game_mode == MODE_PLAYING ? play_keys(key) : menu_keys(key);
            if (!unhandled)
                return 0;
            break;
        }
        case MSG_LBUTTONDOWN:
            if (game_mode == MODE_MENU) {
                menu_click(lparam);
                return 0;
            }
            break;
        default:
            break;
    }
    return window_default_proc(window, message, wparam, lparam);
}
