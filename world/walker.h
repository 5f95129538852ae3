// What the walkers, the enemies and the power-up, share: turning back at scenery, standing
// on question blocks and bricks, and where they end up after their move.
#pragma once
#include "engine/sprite.h"

// Turns the walker back at every contact with an on-screen piece of the group: pipes and
// staircase blocks carry nobody, so even landing on one turns it.
void walker_turn_at(SpriteObject* walker, SpriteObject* pieces, int count);
// A contact r (as sprite_contact gives it) with a block that can carry the walker: landing
// makes the block its support, a side contact turns it back.
void walker_meet(SpriteObject* walker, SpriteObject* block, int r, SpriteObject** support);
// Every on-screen brick: the walker stands on one it lands on, lifted by 2 for the tests that
// follow; a side contact turns it back.
void walker_meet_bricks(SpriteObject* walker, SpriteObject** support);
// After the move: on its support, else on the floor, else falling faster.
void walker_settle(SpriteObject* walker, const SpriteObject* support);
