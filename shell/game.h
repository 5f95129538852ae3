// The game's spine: start-up, one frame, shutdown, the game modes and the HUD.
#pragma once
#include <cstdint>

#include "engine/sprite.h"

struct Window;

// Game modes.
enum : int {
    MODE_MENU = -1,
    MODE_PLAYING = 0,
    MODE_INFO1 = 1,
    MODE_INFO2 = 2,
    MODE_QUIT = 3,
};

extern int game_mode;       // -1 at load
extern int menu_selection;  // 0..3
extern float time_left;     // 400.0 at load
extern int level_won;
extern int score;
extern int coins;
extern SpriteObject* hero;  // the hero form in use
extern Window* main_window;
extern void* main_instance;

// The HUD texts, exactly as shown.
extern const char* const hud_label;
extern const char* const hud_values_format;
constexpr int HUD_LABEL_X = 50, HUD_LABEL_Y = 10;
constexpr int HUD_VALUES_X = 40, HUD_VALUES_Y = 25;
constexpr uint32_t TEXT_WHITE = 0xFFFFFF;

int game_init();
int game_frame();
int game_shutdown();
