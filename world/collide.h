// Contact tests: the box overlap, how a moving sprite meets another, and the floor test with
// its pit scan of the frame drawn so far.
#pragma once
#include "engine/sprite.h"

// The mode of sprite_collide.
enum : int {
    COLLIDE_CLASSIFY = 0,  // how the mover meets the other: head bump, landing or side
    COLLIDE_SWEPT = 1,     // the overlap of both boxes widened by their speeds (any mode but 0)
};

// What sprite_collide gives in COLLIDE_CLASSIFY mode, besides a head bump's fraction in (0, 1].
constexpr float COLLIDE_NONE = 0.0f;
constexpr float COLLIDE_SIDE = 2.0f;    // the mover's next step enters the other's side
constexpr float COLLIDE_LANDED = 3.0f;  // the mover lands on the other, which carries it

// The same results as whole numbers, as sprite_contact gives them.
enum : int { CONTACT_NONE = 0, CONTACT_SIDE = 2, CONTACT_LANDED = 3 };

// Box A against box B (left, top, width, height; edges count): 0 when they do not meet, else
// their horizontal overlap as a fraction of A's width.
float overlap_fraction(int ax, int ay, int aw, int ah, int bx, int by, int bw, int bh);
// How mover meets other; recording the hero's support when the hero lands.
float sprite_collide(SpriteObject* mover, SpriteObject* other, int mode);
// sprite_collide truncated toward zero to a whole number, as the walkers compare it: a
// partial overlap counts as none.
int sprite_contact(SpriteObject* mover, SpriteObject* other, int mode);
// 1 when the floor carries the sprite: no pit under its feet and its bottom at the floor
// line. Reads the locked back surface; without one only the floor line decides.
int sprite_on_floor(const SpriteObject* sprite);
