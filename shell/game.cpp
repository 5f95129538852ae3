// The game's spine: start-up, one frame by game mode, the HUD, and shutdown.
#include "shell/game.h"

#include <cstdio>
#include <cstring>
#include <iterator>

#include "engine/display.h"
#include "engine/picture.h"
#include "engine/sound.h"
#include "engine/text.h"
#include "menu/menu.h"
#include "shell/hud.h"
#include "shell/window.h"
#include "world/load.h"
#include "world/objects.h"
#include "world/scenery.h"
#include "world/world_frame.h"

int game_mode = MODE_MENU;
int menu_selection;
float time_left = TIME_AT_START;
int level_won;
int score;
int coins;
Window* main_window;

void game_counters_restart() {
    level_won = 0;
    score = 0;
    time_left = TIME_AT_START;
    coins = 0;
}

void game_state_restore() {
    game_mode = MODE_MENU;
    menu_selection = 0;
    game_counters_restart();
}

// The HUD texts, exactly as shown.
const char* const hud_label =
    "DORVO                          COINS                                    WORLD          "
    "             TIME";
const char* const hud_values_format =
    "%7d                                  %3d                                           1-1  "
    "                           %3d";

namespace {

constexpr int WIN_TEXT_X = 320, WIN_TEXT_Y = 240;

// The frame's steps are not examined: one that fails leaves its part of the frame undrawn.
void draw_text(const char* text, int x, int y) {
    static_cast<void>(text_draw(text, x, y, TEXT_WHITE, back_surface));
}

void draw_hud() {
    draw_text(hud_label, HUD_LABEL_X, HUD_LABEL_Y);
    // The countdown subtracts a double and stores the difference back in the float.
    time_left = static_cast<float>(static_cast<double>(time_left) - 0.03);
    char values[256];
    std::snprintf(values, sizeof(values), hud_values_format, score, coins,
                  static_cast<int>(time_left));
    draw_text(values, HUD_VALUES_X, HUD_VALUES_Y);
}

// The tune for what shows: the title's in the menus, the play tune while playing, none once
// the level is won or the hero is dying (their own sounds say so).
MusicId music_for_frame() {
    if (game_mode != MODE_PLAYING)
        return MUSIC_TITLE;
    if (level_won || (hero && hero->state == HERO_DYING))
        return MUSIC_NONE;
    return MUSIC_PLAY;
}

// What a saved value may be: what the rules can reach, and nothing that would index outside a
// table or overflow an int in the passes after.
constexpr int COUNTER_LIMIT = 1000000000;

int read_int(const void* saved) {
    int value;
    std::memcpy(&value, saved, sizeof value);
    return value;
}

int mode_allowed(const void* saved) {
    const int mode = read_int(saved);
    return mode >= MODE_MENU && mode <= MODE_QUIT;
}

int selection_allowed(const void* saved) {
    const int selection = read_int(saved);
    return selection >= 0 && selection <= 3;
}

int flag_allowed(const void* saved) {
    const int value = read_int(saved);
    return value == 0 || value == 1;
}

int counter_allowed(const void* saved) {
    const int value = read_int(saved);
    return value >= 0 && value <= COUNTER_LIMIT;
}

// The countdown runs on below zero for as long as the game is played: any number an int
// can show.
int time_allowed(const void* saved) {
    float value;
    std::memcpy(&value, saved, sizeof value);
    return value >= -1e9f && value <= 1e9f;
}

const StateBlock state_blocks[] = {
    {"game.cpp:game_mode", STATE_BYTES, &game_mode, sizeof game_mode, mode_allowed},
    {"game.cpp:menu_selection", STATE_BYTES, &menu_selection, sizeof menu_selection,
     selection_allowed},
    {"game.cpp:time_left", STATE_BYTES, &time_left, sizeof time_left, time_allowed},
    {"game.cpp:level_won", STATE_BYTES, &level_won, sizeof level_won, flag_allowed},
    {"game.cpp:score", STATE_BYTES, &score, sizeof score, counter_allowed},
    {"game.cpp:coins", STATE_BYTES, &coins, sizeof coins, counter_allowed},
};

}  // namespace

const StateBlockList game_globals_state = {state_blocks, static_cast<int>(std::size(state_blocks))};

int game_init() {
    display_set_window(main_window ? &main_window->rect : nullptr);
    // A display that cannot be set up shows in the load steps, which then fail.
    static_cast<void>(display_init(640, 480, 8, DISPLAY_FULL_SCREEN));
    screen_rect = {0, 0, screen_width, screen_height};
    // The display already gave the back surface a clipper of the screen; ours replaces it.
    gfx_release_clipper(back_clipper);
    back_clipper = display_attach_clipper(back_surface, 1, &screen_rect);
    if (!load_menu_images())
        return 0;
    // The level, in its fixed order; the first step that fails ends start-up.
    static int (*const load_steps[])() = {
        load_backdrops, load_hero,    load_qblocks,      load_bricks, load_brick_frags,
        load_power_up,  load_skivits, load_coin_sprites, load_pipes,  load_blocks};
    for (int (*step)() : load_steps) {
        if (!step())
            return 0;
    }
    return sound_init();
}

int game_frame() {
    // In play the backdrop usually covers the whole frame: clearing it first would be wasted.
    if (game_mode != MODE_PLAYING || !backdrops_cover_screen())
        display_fill_surface(back_surface, 0, nullptr);
    if (game_mode == MODE_PLAYING) {
        // The world as the last updates left it, won or not.
        world_draw();
    }
    static_cast<void>(display_lock_back());
    if (game_mode != MODE_PLAYING) {
        menu_draw();
    } else if (level_won) {
        draw_text("YOU WIN", WIN_TEXT_X, WIN_TEXT_Y);
    } else {
        draw_hud();
        // Locked: the floor tests read the pits out of what was drawn above.
        world_update();
    }
    static_cast<void>(display_unlock_back());
    // Over everything, the HUD included.
    if (game_mode == MODE_PLAYING && !level_won)
        hero_draw();
    static_cast<void>(display_flip());
    window_set_cursor_visible(game_mode != MODE_PLAYING);
    sound_update(music_for_frame());
    return 1;
}

int game_shutdown() {
    sound_shutdown();
    destroy_menu_images();
    world_shutdown();
    picture_shutdown();
    display_shutdown();
    game_state_restore();
    return 1;
}
