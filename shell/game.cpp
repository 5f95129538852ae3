// The game's spine: start-up, one frame by game mode, the HUD, and shutdown.
#include "shell/game.h"

#include <cstdio>

#include "engine/display.h"
#include "engine/picture.h"
#include "engine/text.h"
#include "menu/menu.h"
#include "shell/window.h"
#include "world/level.h"

int game_mode = MODE_MENU;
int menu_selection;
float time_left = 400.0f;
int level_won;
int score;
int coins;
SpriteObject* hero;
Window* main_window;
void* main_instance;

const char* const hud_label =
    "DORVO                          COINS                                    WORLD          "
    "             TIME";
const char* const hud_values_format =
    "%7d                                  %3d                                           1-1  "
    "                           %3d";

namespace {

void draw_hud() {
    text_draw(hud_label, HUD_LABEL_X, HUD_LABEL_Y, TEXT_WHITE, back_surface);
    // The countdown subtracts a double and stores the difference back in the float.
    time_left = static_cast<float>(static_cast<double>(time_left) - 0.03);
    char values[256];
    std::snprintf(values, sizeof(values), hud_values_format, score, coins,
                  static_cast<int>(time_left));
    text_draw(values, HUD_VALUES_X, HUD_VALUES_Y, TEXT_WHITE, back_surface);
}

}  // namespace

int game_init() {
    display_set_window(main_window ? &main_window->rect : nullptr);
    display_init(640, 480, 8, 0);
    screen_rect = {0, 0, screen_width, screen_height};
    // The display already gave the back surface a clipper of the screen; ours replaces it.
    if (back_clipper)
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
    return 1;
}

int game_frame() {
    display_fill_surface(back_surface, 0, nullptr);
    if (game_mode == MODE_PLAYING) {
        // The world as the last updates left it, won or not.
        world_draw();
    }
    display_lock_back();
    if (game_mode != MODE_PLAYING) {
        menu_draw();
    } else if (level_won) {
        text_draw("YOU WIN", 320, 240, TEXT_WHITE, back_surface);
    } else {
        draw_hud();
        // Locked: the floor tests read the pits out of what was drawn above.
        world_update();
    }
    display_unlock_back();
    // Over everything, the HUD included.
    if (game_mode == MODE_PLAYING && !level_won)
        hero_draw();
    display_flip();
    window_set_cursor_visible(game_mode != MODE_PLAYING);
    return 1;
}

int game_shutdown() {
    destroy_menu_images();
    destroy_world_sprites();
    picture_shutdown();
    display_shutdown();
    return 1;
}
