// How each group of the level's objects starts: positions from the level tables, the frames
// cut from each sheet, the motion and state at the start.
#include "world/object_groups.h"

#include "engine/picture.h"
#include "world/level.h"
#include "world/objects.h"

namespace {

constexpr int SINGLE = SPRITE_SINGLE_FRAME | SPRITE_VISIBLE;  // 0x11
constexpr int ANIMATED = SPRITE_SEQUENCE | SPRITE_VISIBLE;    // 0x14
constexpr int PIECE_HEIGHT = 32;  // pipe segments and staircase blocks stack in 32s
constexpr int HERO_START_X = 20, HERO_START_Y = 398;
constexpr int HERO_ANIM_PERIOD = 2;

// Cuts frames first..first+count-1 from cells (0..count-1, row).
int cut_row(SpriteObject* s, int first, int count, int row) {
    for (int i = 0; i < count; ++i) {
        if (!picture_cut(s, first + i, i, row, CUT_CELLS))
            return 0;
    }
    return 1;
}

// Pipe piece n: its pipe's x, its y from the ground up, and whether it is the pipe's top.
StartPlace pipe_piece(int n, bool* top) {
    for (int j = 0; j < PIPE_COUNT; ++j) {
        if (n <= pipe_height[j]) {
            *top = n == pipe_height[j];
            return {pipe_x[j], FLOOR_LINE - PIECE_HEIGHT * (n + 1)};
        }
        n -= pipe_height[j] + 1;
    }
    *top = false;
    return {0, 0};
}

StartPlace qblock_start(int i) {
    return {qblock_x[i], qblock_y[i]};
}
StartPlace brick_start(int i) {
    return {brick_x[i], brick_y[i]};
}
StartPlace skivit_start(int i) {
    return {skivit_x[i], skivit_y[i]};
}
StartPlace parked_start(int) {
    return {-1, -1};
}
StartPlace origin_start(int) {
    return {0, 0};
}
StartPlace pipe_start(int n) {
    bool top;
    return pipe_piece(n, &top);
}
// Staircase block n: its column's x, its y from the ground up.
StartPlace block_start(int n) {
    for (int k = 0; k < STAIR_COLUMN_COUNT; ++k) {
        if (n < stair_height[k])
            return {stair_x[k], FLOOR_LINE - PIECE_HEIGHT * (n + 1)};
        n -= stair_height[k];
    }
    return {0, 0};
}

int cut_qblock(SpriteObject* s, int) {
    return cut_row(s, 0, 4, 0);
}
int cut_first_cell(SpriteObject* s, int) {
    return picture_cut(s, 0, 0, 0, CUT_CELLS);
}
// The two fragment pictures sit at the corners of the two cells after the brick.
int cut_brick_frag(SpriteObject* s, int) {
    for (int j = 0; j < 2; ++j) {
        if (!picture_cut(s, j, 33 * (j + 1) + 1, 1, CUT_PIXELS))
            return 0;
    }
    return 1;
}
int cut_skivit(SpriteObject* s, int) {
    return cut_row(s, 0, 2, 0) && picture_cut(s, 2, 0, 1, CUT_CELLS);
}
int cut_coin(SpriteObject* s, int) {
    return cut_row(s, 0, 4, 0);
}
// A top from cell row 0, a body segment from row 1.
int cut_pipe(SpriteObject* s, int n) {
    bool top;
    pipe_piece(n, &top);
    return picture_cut(s, 0, 0, top ? 0 : 1, CUT_CELLS);
}
int cut_whole_picture(SpriteObject* s, int) {
    return picture_cut(s, 0, 0, 0, CUT_PIXELS);
}

}  // namespace

const ObjectGroup qblock_group = {.sprites = qblocks,
                                  .count = QBLOCK_COUNT,
                                  .start = qblock_start,
                                  .picture = "questionblock.bmp",
                                  .sheet_width = 136,
                                  .sheet_height = 34,
                                  .width = 32,
                                  .height = 32,
                                  .frame_count = 4,
                                  .flags = ANIMATED,
                                  .cut_frames = cut_qblock,
                                  .sequence = qblock_anim,
                                  .sequence_length = 7,
                                  .moves = true,
                                  .anim_period = 6,
                                  .start_state = QBLOCK_FRESH};
const ObjectGroup brick_group = {.sprites = bricks,
                                 .count = BRICK_COUNT,
                                 .start = brick_start,
                                 .picture = "brick.bmp",
                                 .sheet_width = 100,
                                 .sheet_height = 34,
                                 .width = 32,
                                 .height = 32,
                                 .frame_count = 1,
                                 .flags = SINGLE,
                                 .cut_frames = cut_first_cell,
                                 .start_state = BRICK_WHOLE};
const ObjectGroup brick_frag_group = {
    .sprites = brick_frags,
    .count = BRICK_FRAG_COUNT,
    .start = parked_start,
    .picture = "brick.bmp",
    .sheet_width = 100,
    .sheet_height = 34,
    .width = 16,
    .height = 16,
    .frame_count = 2,
    .flags = ANIMATED,
    .cut_frames = cut_brick_frag,
    .sequence = brick_frag_anim,
    .sequence_length = 2,
    .moves = true,
    .anim_period = 2,
};
const ObjectGroup power_up_group = {.sprites = &power_up,
                                    .count = 1,
                                    .start = origin_start,
                                    .picture = "mushroom.bmp",
                                    .sheet_width = 36,
                                    .sheet_height = 34,
                                    .width = 32,
                                    .height = 32,
                                    .frame_count = 1,
                                    .flags = SINGLE,
                                    .cut_frames = cut_first_cell,
                                    .start_state = POWER_UP_ABSENT};
const ObjectGroup skivit_group = {.sprites = skivits,
                                  .count = SKIVIT_COUNT,
                                  .start = skivit_start,
                                  .picture = "skivit.bmp",
                                  .sheet_width = 68,
                                  .sheet_height = 67,
                                  .width = 32,
                                  .height = 32,
                                  .frame_count = 3,
                                  .flags = ANIMATED,
                                  .cut_frames = cut_skivit,
                                  .sequence = skivit_anim,
                                  .sequence_length = 2,
                                  .moves = true,
                                  .start_vx = -2,
                                  .anim_period = 6,
                                  .start_state = SKIVIT_WALKING};
const ObjectGroup coin_group = {.sprites = coin_sprites,
                                .count = COIN_SPRITE_COUNT,
                                .start = origin_start,
                                .picture = "coin.bmp",
                                .sheet_width = 72,
                                .sheet_height = 30,
                                .width = 16,
                                .height = 28,
                                .frame_count = 4,
                                .flags = ANIMATED,
                                .cut_frames = cut_coin,
                                .sequence = coin_anim,
                                .sequence_length = 6,
                                .moves = true,
                                .anim_period = 1};
const ObjectGroup pipe_group = {.sprites = pipes,
                                .count = PIPE_PIECE_COUNT,
                                .start = pipe_start,
                                .picture = "pipe.bmp",
                                .sheet_width = 68,
                                .sheet_height = 67,
                                .width = 64,
                                .height = 32,
                                .frame_count = 1,
                                .flags = SINGLE,
                                .cut_frames = cut_pipe,
                                .reset_x_only = true};
const ObjectGroup block_group = {.sprites = blocks,
                                 .count = BLOCK_COUNT,
                                 .start = block_start,
                                 .picture = "block.bmp",
                                 .sheet_width = 32,
                                 .sheet_height = 32,
                                 .width = 32,
                                 .height = 32,
                                 .frame_count = 1,
                                 .flags = SINGLE,
                                 .cut_frames = cut_whole_picture,
                                 .reset_x_only = true};

const ObjectGroup* const object_groups[OBJECT_GROUP_COUNT] = {
    &pipe_group, &block_group,      &qblock_group, &skivit_group,
    &coin_group, &brick_frag_group, &brick_group,  &power_up_group};

void group_start_motion(const ObjectGroup& group, SpriteObject* sprite) {
    if (group.moves) {
        sprite_set_animation(sprite, 0);
        sprite_set_velocity(sprite, group.start_vx, 0);
        sprite_set_anim_period(sprite, group.anim_period);
    }
    if (group.start_state != KEEP_STATE)
        sprite->state = group.start_state;
}

void group_restart(const ObjectGroup& group, int index) {
    SpriteObject* sprite = &group.sprites[index];
    const StartPlace place = group.start(index);
    if (group.reset_x_only) {
        sprite->x = static_cast<float>(place.x);
    } else {
        sprite_set_position(sprite, place.x, place.y);
    }
    group_start_motion(group, sprite);
}

void hero_start() {
    hero = &hero_small;
    sprite_set_position(hero, HERO_START_X, HERO_START_Y);
    sprite_set_animation(hero, 0);
    sprite_set_velocity(hero, 0, 0);
    sprite_set_anim_period(hero, HERO_ANIM_PERIOD);
    hero->state = HERO_ALIVE;
    hero_large.state = HERO_ALIVE;  // a large hero that fell was left dying
}
