// The power-up: emerging from its block, walking, reversing, falling, and leaving the game
// below the screen.
#pragma once

// The power-up's move while it is in play; runs while the back surface is locked.
void power_up_update();
// Draws the power-up in play, and takes it out once it has fallen below the screen.
void power_up_draw();
