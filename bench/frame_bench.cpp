// How long the game's work takes: whole frames in the menu and in play, the backdrop's
// stretched blit, and loading a full-screen picture. Run from anywhere; it reads assets/.
#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>

#include "engine/bitmap.h"
#include "engine/display.h"
#include "platform/headless/headless.h"
#include "shell/commands.h"
#include "shell/game.h"
#include "shell/window.h"
#include "world/objects.h"
#include "world/reset.h"

namespace {

bool started;

// Starts the game once for the whole benchmark run, as app_main would.
void start_game() {
    if (started)
        return;
    started = true;
    std::filesystem::current_path(QUELLARO_ASSETS_DIR);
    static const WindowClass cls = {CLASS_DBLCLKS, window_proc, "WINCLASS1", 0, 0};
    window_register_class(&cls);
    main_window = window_create("WINCLASS1", "Quellaro 2005", STYLE_POPUP, 0, 0, 640, 480);
    game_init();
}

void BM_MenuFrame(benchmark::State& state) {
    start_game();
    game_mode = MODE_MENU;
    for (auto _ : state)
        game_frame();
}
BENCHMARK(BM_MenuFrame);

void BM_PlayedFrame(benchmark::State& state) {
    start_game();
    headless_set_key_held(KEY_RIGHT, 1);
    for (auto _ : state) {
        // A death or the goal sends the game back; start again so every frame is played.
        if (game_mode != MODE_PLAYING || level_won) {
            state.PauseTiming();
            if (level_won)
                world_reset();
            game_mode = MODE_PLAYING;
            state.ResumeTiming();
        }
        game_frame();
    }
    headless_set_key_held(KEY_RIGHT, 0);
}
BENCHMARK(BM_PlayedFrame);

void BM_BackdropStretch(benchmark::State& state) {
    start_game();
    for (auto _ : state) {
        benchmark::DoNotOptimize(sprite_draw_scaled(&backdrops[0], 548, 480, back_surface));
    }
}
BENCHMARK(BM_BackdropStretch);

void BM_LoadFullScreenPicture(benchmark::State& state) {
    start_game();
    BitmapFile bitmap;
    std::memset(&bitmap, 0, sizeof(bitmap));
    for (auto _ : state) {
        benchmark::DoNotOptimize(bitmap_load_file(&bitmap, "menubackground1.bmp"));
        bitmap_unload_file(&bitmap);
    }
}
BENCHMARK(BM_LoadFullScreenPicture);

}  // namespace
