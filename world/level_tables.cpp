// The level's fixed tables: where every block, brick, enemy, pipe and staircase column
// starts, and the animation sequences of the world's sprites.
#include "world/level.h"

const int qblock_x[QBLOCK_COUNT] = {549,  723,  755,  787,  2673, 3219, 3630,
                                    3733, 3733, 3836, 4424, 4456, 5824};
const int qblock_y[QBLOCK_COUNT] = {292, 292, 155, 292, 292, 155, 292,
                                    292, 155, 292, 155, 155, 292};
const int qblock_content[QBLOCK_COUNT] = {0, 1, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 0};

// Entries 23 and 24 lie one on the other.
const int brick_x[BRICK_COUNT] = {691,  755,  819,  2641, 2705, 2737, 2769, 2801, 2833, 2865, 2897,
                                  2929, 2961, 3123, 3155, 3187, 3219, 3430, 3462, 4045, 4143, 4175,
                                  4207, 4392, 4392, 4424, 4456, 4488, 5760, 5792, 5856};
const int brick_y[BRICK_COUNT] = {292, 292, 292, 292, 292, 155, 155, 155, 155, 155, 155,
                                  155, 155, 155, 155, 155, 292, 292, 292, 292, 155, 155,
                                  155, 155, 155, 292, 292, 155, 292, 292, 292};

// The two at y 123 start on the brick row whose top is at 155.
const int skivit_x[SKIVIT_COUNT] = {755,  1455, 1746, 1816, 2769, 2820, 3260,
                                    3300, 3850, 3890, 4185, 4220, 5890, 5930};
const int skivit_y[SKIVIT_COUNT] = {398, 398, 398, 398, 123, 123, 398,
                                    398, 398, 398, 398, 398, 398, 398};

const int pipe_x[PIPE_COUNT] = {960, 1310, 1580, 1960, 5580, 6138};
const int pipe_height[PIPE_COUNT] = {1, 2, 3, 3, 1, 1};

// 88 blocks in all.
const int stair_x[STAIR_COLUMN_COUNT] = {4596, 4628, 4660, 4692, 4788, 4820, 4852, 4884, 5076,
                                         5108, 5140, 5172, 5204, 5326, 5358, 5390, 5422, 6202,
                                         6234, 6266, 6298, 6330, 6362, 6394, 6426, 6458};
const int stair_height[STAIR_COLUMN_COUNT] = {1, 2, 3, 4, 4, 3, 2, 1, 1, 2, 3, 4, 4,
                                              4, 3, 2, 1, 1, 2, 3, 4, 5, 6, 7, 8, 8};

const int hero_run_right[4] = {1, 2, 3, 2};
const int hero_run_left[4] = {6, 7, 8, 7};
const int qblock_anim[7] = {0, 0, 1, 2, 1, 0, 0};
const int skivit_anim[2] = {0, 1};
const int coin_anim[6] = {0, 1, 2, 3, 2, 1};
const int brick_frag_anim[2] = {0, 1};
