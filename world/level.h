// The one level's fixed data: where every block, brick, enemy, pipe and staircase column
// starts, the animation sequences of the world's sprites, and the level's geometry.
#pragma once

constexpr int QBLOCK_COUNT = 13;
constexpr int BRICK_COUNT = 31;
constexpr int SKIVIT_COUNT = 14;
constexpr int PIPE_COUNT = 6;
constexpr int PIPE_PIECE_COUNT = 17;  // each pipe's body segments and its top
constexpr int STAIR_COLUMN_COUNT = 26;
constexpr int BLOCK_COUNT = 88;  // the staircase columns' blocks
constexpr int BACKDROP_COUNT = 3;
constexpr int COIN_SPRITE_COUNT = 2;
constexpr int BRICK_FRAG_COUNT = 4;

// Start positions, as x measured from the left end of the level and screen y.
extern const int qblock_x[QBLOCK_COUNT], qblock_y[QBLOCK_COUNT];
// What each question block releases: QBLOCK_COIN or QBLOCK_POWER_UP.
extern const int qblock_content[QBLOCK_COUNT];
extern const int brick_x[BRICK_COUNT], brick_y[BRICK_COUNT];
extern const int skivit_x[SKIVIT_COUNT], skivit_y[SKIVIT_COUNT];
// Pipes, with their heights in body segments.
extern const int pipe_x[PIPE_COUNT], pipe_height[PIPE_COUNT];
// Staircase columns, with their heights in blocks.
extern const int stair_x[STAIR_COLUMN_COUNT], stair_height[STAIR_COLUMN_COUNT];

enum : int { QBLOCK_COIN = 0, QBLOCK_POWER_UP = 1 };

// Animation sequences: frame numbers in order.
extern const int hero_run_right[4], hero_run_left[4], qblock_anim[7], skivit_anim[2], coin_anim[6],
    brick_frag_anim[2];

// Geometry of the level.
constexpr int FLOOR_LINE = 430;  // the bottom edge of anything standing on the ground
constexpr int PIT_COLOR = 91;    // the palette index of a pit's opening in the drawn frame
constexpr int SPRITE_COLOR_KEY = 253;
constexpr int BACKDROP_COLOR_KEY = 0;
constexpr int BACKDROP_DRAW_WIDTH = 548;
constexpr int BACKDROP_DRAW_HEIGHT = 480;
constexpr int BACKDROP_PICTURE_WIDTH = 256;
constexpr int BACKDROP_PICTURE_HEIGHT = 224;
constexpr int FIRST_RECYCLED_BACKDROP = 4;  // the picture a panel gets at its first recycling
constexpr int LAST_BACKDROP_PICTURE = 13;
constexpr int SCROLL_LINE = 213;  // the hero's x past which the world scrolls instead
constexpr int LEVEL_END = 6600;   // the world position the hero passes to win
constexpr int SCREEN_RIGHT = 640;
constexpr int SCREEN_BOTTOM = 480;  // an object whose y passes it has fallen out of the world
