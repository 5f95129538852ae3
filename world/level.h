// The one level: its tables, every world object, the world's globals, the load steps and
// the world routines that the frame runs.
#pragma once
#include <cstdint>

#include "engine/bitmap.h"
#include "engine/scan.h"
#include "engine/sprite.h"

// Level tables.
constexpr int QBLOCK_COUNT = 13;
constexpr int BRICK_COUNT = 31;
constexpr int SKIVIT_COUNT = 14;
constexpr int PIPE_COUNT = 6;
constexpr int PIPE_PIECE_COUNT = 17;
constexpr int STAIR_COLUMN_COUNT = 26;
constexpr int BLOCK_COUNT = 88;
constexpr int BACKDROP_COUNT = 3;
constexpr int COIN_SPRITE_COUNT = 2;
constexpr int BRICK_FRAG_COUNT = 4;

extern const int qblock_x[QBLOCK_COUNT], qblock_y[QBLOCK_COUNT], qblock_content[QBLOCK_COUNT];
extern const int brick_x[BRICK_COUNT], brick_y[BRICK_COUNT];
extern const int skivit_x[SKIVIT_COUNT], skivit_y[SKIVIT_COUNT];
extern const int pipe_x[PIPE_COUNT], pipe_height[PIPE_COUNT];
extern const int stair_x[STAIR_COLUMN_COUNT], stair_height[STAIR_COLUMN_COUNT];

// Animation sequences.
extern const int hero_run_right[4], hero_run_left[4], qblock_anim[7], skivit_anim[2], coin_anim[6],
    brick_frag_anim[2];

// Geometry of the level.
constexpr int FLOOR_LINE = 430;
constexpr int PIT_COLOR = 91;
constexpr int SPRITE_COLOR_KEY = 253;
constexpr int BACKDROP_COLOR_KEY = 0;
constexpr int BACKDROP_DRAW_WIDTH = 548;
constexpr int BACKDROP_DRAW_HEIGHT = 480;
constexpr int BACKDROP_PICTURE_WIDTH = 256;
constexpr int BACKDROP_PICTURE_HEIGHT = 224;
constexpr int LAST_BACKDROP_PICTURE = 13;
constexpr int SCROLL_LINE = 213;
constexpr int LEVEL_END = 6600;
constexpr unsigned SPRITE_CAPS = 0x800;  // frames kept in system memory

// World objects, built once at start-up.
extern SpriteObject backdrops[BACKDROP_COUNT];
extern SpriteObject hero_small, hero_large;
extern SpriteObject qblocks[QBLOCK_COUNT];
extern SpriteObject bricks[BRICK_COUNT];
extern SpriteObject brick_frags[BRICK_FRAG_COUNT];
extern SpriteObject power_up;
extern SpriteObject skivits[SKIVIT_COUNT];
extern SpriteObject coin_sprites[COIN_SPRITE_COUNT];
extern SpriteObject pipes[PIPE_PIECE_COUNT];
extern SpriteObject blocks[BLOCK_COUNT];

// World globals.
extern int next_backdrop;  // 4 at load
extern int hero_running;
extern int hero_airborne;
extern float jump_lift;
extern SpriteObject* hero_support;
extern int death_timer;
extern int stomp_value;  // 100 at load
extern int stomp_shown;
extern int scroll_total;
extern int scroll_step;
extern int hero_is_large;
extern SpriteObject* morph_from;
extern int morph_timer;
extern SpriteObject* bumped_block;
extern int bump_step;
extern int coin_step[COIN_SPRITE_COUNT];  // -1, -1 at load

// Load steps, run by game_init in this order; each 1, or 0 at the first failed creation.
int load_backdrops();
int load_hero();
int load_qblocks();
int load_bricks();
int load_brick_frags();
int load_power_up();
int load_skivits();
int load_coin_sprites();
int load_pipes();
int load_blocks();
// Destroys every world sprite (shutdown order).
void destroy_world_sprites();

// An object is on screen when x + width >= 0 and x <= 640, in floating point.
bool on_screen(const SpriteObject* sprite);

// Collision and support tests.
float overlap_fraction(int ax, int ay, int aw, int ah, int bx, int by, int bw, int bh);
float sprite_collide(SpriteObject* mover, SpriteObject* other, int mode);
int sprite_on_floor(const SpriteObject* sprite);

// The hero.
void hero_update();
int hero_on_ground();
void hero_fall();
void bump_block(SpriteObject* block);
void hero_grow();
void hero_hurt();
void scroll_world();
void world_reset();

// The rest of the world, per frame.
void skivits_update();
void skivits_draw();
void qblocks_draw();
void bricks_draw();
void brick_frags_draw();
void coin_sprites_draw();
void power_up_update();
void power_up_draw();
void backdrops_draw();
void pipes_draw();
void blocks_draw();
void hero_draw();

// A played frame's world drawing, in layer order: backdrops, pipes, blocks, power-up,
// question blocks, bricks, fragments, coins, enemies. These also run bounces, pop-ups,
// fragments, squashes and the backdrop recycling.
void world_draw();
// The updates that follow, while the back surface is locked: the hero, the power-up while
// in play, the enemies.
void world_update();
