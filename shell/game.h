// The game's spine: start-up, one frame by game mode, and shutdown.
#pragma once
#include "shell/game_state.h"

// The display, the menu pictures, the level's load steps in their fixed order and the
// sounds; 1, or 0 at the first that fails.
int game_init();
// One frame: clear, the world's drawing in play, lock, the menu or the HUD and the updates,
// unlock, the hero, flip and the cursor; then the music for what shows. Always 1.
int game_frame();
// Releases everything and returns the game to its state at load; 1.
int game_shutdown();
