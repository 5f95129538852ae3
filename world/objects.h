// The world's objects, built once at start-up from the level tables, with the states and
// frames the world's routines give them, and what every routine asks of an object: is it on
// screen, which array is it in, draw it.
#pragma once
#include "engine/sprite.h"
#include "engine/state.h"
#include "world/level.h"

// Object states.
enum : int { HERO_ALIVE = 1, HERO_DYING = 2 };
enum : int { SKIVIT_GONE = 0, SKIVIT_WALKING = 1, SKIVIT_SQUASHED = 2 };
enum : int { QBLOCK_USED = 0, QBLOCK_FRESH = 1 };
enum : int { BRICK_BROKEN = 0, BRICK_WHOLE = 1 };
enum : int { POWER_UP_ABSENT = 0, POWER_UP_IN_PLAY = 1 };

// Frames with a meaning of their own.
constexpr int HERO_DEATH_FRAME = 10;       // small form only
constexpr int HERO_FRAMES_PER_FACING = 5;  // standing, three running, jumping
constexpr int HERO_JUMP_FRAME = 4;         // within a facing
constexpr int SKIVIT_SQUASHED_FRAME = 2;
constexpr int QBLOCK_USED_FRAME = 3;

extern SpriteObject backdrops[BACKDROP_COUNT];        // the backdrop panels, recycled to the right
extern SpriteObject hero_small;                       // the hero's small form, 24 x 32
extern SpriteObject hero_large;                       // the hero's large form, 24 x 64
extern SpriteObject* hero;                            // the form in use: hero_small or hero_large
extern SpriteObject qblocks[QBLOCK_COUNT];            // question blocks
extern SpriteObject bricks[BRICK_COUNT];              // whole or broken
extern SpriteObject brick_frags[BRICK_FRAG_COUNT];    // the pieces of a broken brick
extern SpriteObject power_up;                         // in play or absent
extern SpriteObject skivits[SKIVIT_COUNT];            // the walking enemies
extern SpriteObject coin_sprites[COIN_SPRITE_COUNT];  // coins popping out of question blocks
extern SpriteObject pipes[PIPE_PIECE_COUNT];          // pipe pieces, each pipe bottom up
extern SpriteObject blocks[BLOCK_COUNT];              // staircase blocks, each column bottom up

// On screen: x + width >= 0 and x <= 640, compared in floating point.
bool on_screen(const SpriteObject* sprite);
bool is_qblock(const SpriteObject* sprite);
bool is_brick(const SpriteObject* sprite);
// Draws the sprite onto the back surface. A sprite that cannot be drawn leaves its part of
// the frame undrawn, which is all the world asks.
void draw_on_back(SpriteObject* sprite);
// Every object above as blocks of state, for snapshots.
extern const StateBlockList world_objects_state;
