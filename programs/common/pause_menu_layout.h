// What the menus' pages hold and where their parts lie on the 640 x 480 frame, shared by the
// pages, the drawing and the hit test of a press, so that what is drawn is what is pressed.
#pragma once
#include <cstdint>

// Every entry any page can have; the actions of the controls page follow ITEM_ACTION.
enum MenuItem : int {
    ITEM_RESUME,
    ITEM_RESTART,
    ITEM_OPTIONS,
    ITEM_PRACTICE,
    ITEM_CONTROLS,
    ITEM_TITLE,
    ITEM_QUIT,
    ITEM_QUICK_SAVE,
    ITEM_QUICK_LOAD,
    ITEM_REWIND,
    ITEM_ADVANCE,
    ITEM_SLOW_MOTION,
    ITEM_VIDEO,
    ITEM_SOUND,
    ITEM_KEYS,
    ITEM_SPEED,
    ITEM_FULLSCREEN,
    ITEM_SCALE,
    ITEM_FILTER,
    ITEM_EFFECTS,
    ITEM_MUSIC,
    ITEM_MUTE,
    ITEM_RESET_KEYS,
    ITEM_YES,
    ITEM_NO,
    ITEM_BACK,
    ITEM_ACTION = 100,
};

constexpr int MENU_ENTRIES_MAX = 40;

// How a Controls entry is marked: its binding is shared (both act, or this one wins), or
// another action takes all its keys, so that they do nothing for it.
enum : int { MARK_NONE, MARK_SHARED, MARK_OVERRULED };

struct MenuEntry {
    int item;
    char label[64];
    char value[80];  // "" for an entry without one
    int marked;      // MARK_*: shares a binding with another action, or its keys never act
};

struct MenuEntries {
    MenuEntry entries[MENU_ENTRIES_MAX];
    int count;
};

// A page as it shows now.
struct MenuView {
    int page;
    const char* title;
    const char* detail;  // a line under the title (the confirmation's)
    int highlight, scroll;
    int stepping;        // held for frame advance, no page
    int waiting_action;  // -1, or the action waiting for its new key
    const char* prompt;  // the hint while it waits ("Press the new key. Esc: cancel")
    int binds_pad;       // 1: a pad button binds too
    const char* said;    // what the last binding said
    MenuEntries entries;
};

// The panel and its rows in frame pixels.
struct MenuLayout {
    int x, y, width, height;
    int scale;  // of the entries' letters
    int title_y, rows_y, row_height;
    int first, visible;  // the rows shown
    int value_x;         // where values begin
    int hint_y;
    int across;  // the rows stand side by side (the confirmation's answers)
};

// The entries of a page (pause_menu.cpp), one added with its label.
void menu_entries_of(int page, MenuEntries* out);
MenuEntry& menu_add(MenuEntries* out, int item, const char* label);
MenuView menu_view();

MenuLayout menu_layout(const MenuView& view, int width, int height);
// The row a press at (x, y) falls on (-1: none); *side is -1 or 1 on the left or right half
// of its value, 0 elsewhere.
int menu_layout_row_at(const MenuLayout& layout, const MenuView& view, int x, int y, int* side);
// Draws the page over the frame (view.scroll moves to keep the highlight in sight).
void menu_draw(MenuView& view, uint32_t* pixels, int pitch, int width, int height);
