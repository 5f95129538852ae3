// Question blocks, bricks, brick fragments and coins: the bounce of a bumped block, what a
// question block releases, the coin pop-ups with their "200" and the fragments' flight. Each
// routine draws its objects and runs their motion, in the frame's drawing phase.
#pragma once

void qblocks_draw();
void bricks_draw();
void brick_frags_draw();
void coin_sprites_draw();
