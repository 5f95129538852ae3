// The menus a program shows over the held game: the pause menu (resume, restart the level,
// options, practice, controls, back to the title, quit), its pages, and the confirmation
// before a game in progress is left or the program quits. They are the program's, never the
// game's: the game's passes are held while one shows, and it is drawn over the finished frame
// as it is shown. Worked by keyboard, pad, mouse or touch alike through a few inputs, and told
// to screen readers as text. What differs between programs (the window, scaling, sound, key
// bindings, saving) comes from the program's MenuHost.
#pragma once
#include <cstddef>
#include <cstdint>

// The pages.
enum MenuPage : int {
    PAGE_NONE,
    PAGE_PAUSE,     // Resume, Restart level, Options, Practice, Controls, title, quit
    PAGE_PRACTICE,  // the practice tools with their keys
    PAGE_OPTIONS,   // Video, Sound, Controls, Game speed
    PAGE_VIDEO,     // full screen, scaling, colours
    PAGE_SOUND,     // effects, music, on or off
    PAGE_CONTROLS,  // every action with its keys and pad button; rebinding
    PAGE_CONFIRM,   // leave the game, or quit, or not
    PAGE_COUNT
};

// What the player does in a menu, whatever the device.
enum MenuInput : int { MENU_UP, MENU_DOWN, MENU_LEFT, MENU_RIGHT, MENU_ACCEPT, MENU_BACK };

// What the program around the game offers its menus. Null members are choices it has not.
struct MenuHost {
    // Holds the game (1) or lets it run again (0): the menu shows while it is held.
    void (*hold)(int held);
    // Full screen (1) or a window (0).
    int (*fullscreen)();
    void (*set_fullscreen)(int on);
    // The scaling modes the display has, by name ("Auto", "Integer", "Fit"), and the one used.
    int (*scale_count)();
    const char* (*scale_name)(int mode);
    int (*scale)();
    void (*set_scale)(int mode);
    // The sound's levels in percent and its switch.
    void (*levels)(int* effects, int* music, int* muted);
    void (*set_levels)(int effects, int music, int muted);
    // The colour filter (filters.h) and the game speed (practice.h) chosen: kept by the program.
    void (*filter_chosen)(int filter);
    void (*speed_chosen)(int percent);
    // The actions a player can bind, their names, the bindings as text ("Page Down, C" and
    // "South"), and which other action shares a binding with one (-1: none).
    int (*action_count)();
    const char* (*action_name)(int action);
    void (*action_keys)(int action, char* out, size_t size);
    void (*action_pad)(int action, char* out, size_t size);  // "" when the pad cannot do it
    int (*action_conflict)(int action);
    // What is said of action's binding shared with other's (which one acts on it); and the
    // action that takes every key of action from it, so that its keys never act (-1: none).
    void (*action_shared_text)(int action, int other, char* out, size_t size);
    int (*action_overruled)(int action);
    // Every binding back to the defaults.
    void (*reset_bindings)();
    // The keys of a practice tool (PlatformCommand) as text ("F5").
    void (*command_keys)(int command, char* out, size_t size);
    // Frame advance from the practice page: one pass while the game stays held.
    void (*advance)();
};

// The program's host; null closes any menu and none opens.
void pause_menu_set_host(const MenuHost* host);
// Whether a host is set, so that a question can be shown.
int pause_menu_can_ask();
// Opens a page over the game, holding it (the pause page is the way in to the others).
void pause_menu_open(int page);
// Opens a page over the one showing (an option page from Options); Back returns to it.
void pause_menu_open_over(int page);
// Closes every page and lets the game run (after a confirmation: without its effect).
void pause_menu_close();
// The page showing now (PAGE_NONE: none).
int pause_menu_page();
// The pause began or ended on the program's side (a key, the pad's Start, the focus): the
// pause page opens, or every page closes. stepping: frame advance holds the game with no
// page shown, so that each pass can be seen.
void pause_menu_held(int held, int stepping);
// 1 while held with no page shown for frame advance.
int pause_menu_stepping();

void pause_menu_input(int input);
// A press at frame pixel (x, y): 1 when it fell on the menu's panel.
int pause_menu_click(int x, int y);

// Rebinding: while it waits for a key or pad button for an action, the program hands it the
// next one the player presses (the program binds it, then calls pause_menu_bound).
// 1 and the action while waiting.
int pause_menu_waiting_for_binding(int* action);
// The binding is made (or refused, why not null) and the page shows the result.
void pause_menu_bound(const char* refused);

// The look of the menus now, for the backends' "did it change" (0: nothing shown); and the
// drawing over the finished frame (32-bit pixels, pitch in pixels).
int pause_menu_look();
void pause_menu_draw(uint32_t* pixels, int pitch, int width, int height);

// What a screen reader should say about the menu now, and a number that changes with it (so a
// program speaks only what is new).
const char* pause_menu_speech(unsigned* serial);

// For the confirmation (confirm.h): its question and the two answers; the chosen one is
// answered through confirm_answer.
void pause_menu_confirm(const char* question, const char* detail, const char* yes, const char* no);
