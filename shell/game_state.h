// The game's state between frames: the mode, the menu's highlight, the HUD's counters and
// the main window. The shell owns it; the world and the menu read and change it.
#pragma once
#include "engine/state.h"

struct Window;

// Game modes.
enum : int {
    MODE_MENU = -1,
    MODE_PLAYING = 0,
    MODE_INFO1 = 1,
    MODE_INFO2 = 2,
    MODE_QUIT = 3,
};
constexpr float TIME_AT_START = 400.0f;

extern int game_mode;        // what the frame shows and runs: MODE_MENU at load
extern int menu_selection;   // the highlighted title-menu entry, 0..3
extern float time_left;      // the level countdown shown as TIME
extern int level_won;        // set once the hero has passed the end of the level
extern int score;            // points
extern int coins;            // coins collected
extern Window* main_window;  // the main window; quit requests are posted to it

// The HUD's counters and the won flag as a new game starts them.
void game_counters_restart();
// Every global above but the window (the entry's business) back to its value at load.
void game_state_restore();
// The globals above but the window, as blocks of state for snapshots.
extern const StateBlockList game_globals_state;
