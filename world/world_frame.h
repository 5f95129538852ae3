// The world's share of a played frame.
#pragma once

// The drawing, in layer order: backdrops, pipes, blocks, power-up, question blocks, bricks,
// fragments, coins, enemies. These also run bounces, pop-ups, fragments, squashes and the
// backdrop recycling.
void world_draw();
// The updates that follow, while the back surface is locked: the hero, the power-up while in
// play, the enemies.
void world_update();
