// The ten load steps that build the level's sprites from the tables and the picture files,
// and the destruction of every world sprite at shutdown.
#include <cstdio>

#include "engine/picture.h"
#include "shell/game.h"
#include "world/level.h"

namespace {
constexpr int SINGLE = SPRITE_SINGLE_FRAME | SPRITE_VISIBLE;  // 0x11
constexpr int ANIMATED = SPRITE_SEQUENCE | SPRITE_VISIBLE;    // 0x14
constexpr int DEPTH = 8;

int make(SpriteObject* s, int x, int y, int w, int h, int frames, int flags,
         int color_key = SPRITE_COLOR_KEY) {
    return sprite_create(s, x, y, w, h, frames, flags, SPRITE_CAPS, color_key, DEPTH);
}

// A picture that cannot be read or cut makes its step fail; the picture loader names it.
int fail_picture(const char*, bool loaded) {
    if (loaded)
        picture_unload();
    return 0;
}

// A step that stops at a failed creation leaves no picture behind.
int fail_create() {
    picture_unload();
    return 0;
}

int open_picture(const char* file_name) {
    return picture_load(file_name) ? 1 : fail_picture(file_name, false);
}

// Cuts frames first..first+count-1 from cells (0..count-1, row).
int cut_row(SpriteObject* s, int first, int count, int row) {
    for (int i = 0; i < count; ++i) {
        if (!picture_cut(s, first + i, i, row, 0))
            return 0;
    }
    return 1;
}

int load_hero_form(SpriteObject* form, int y, int height, int frames, const char* file_name,
                   bool death_picture) {
    if (!make(form, 20, y, 24, height, frames, ANIMATED))
        return 0;
    if (!open_picture(file_name))
        return 0;
    if (!cut_row(form, 0, 5, 0))
        return fail_picture(file_name, true);
    if (!sprite_load_animation(form, 0, 4, hero_run_right))
        return fail_create();
    if (!cut_row(form, 5, 5, 1))
        return fail_picture(file_name, true);
    if (!sprite_load_animation(form, 1, 4, hero_run_left))
        return fail_create();
    if (death_picture && !picture_cut(form, 10, 0, 2, 0))
        return fail_picture(file_name, true);
    picture_unload();
    return 1;
}
}  // namespace

int load_backdrops() {
    for (int i = 0; i < BACKDROP_COUNT; ++i) {
        // Run again by the world reset: release what the panel held before.
        sprite_destroy(&backdrops[i]);
        if (!make(&backdrops[i], BACKDROP_DRAW_WIDTH * i, 0, BACKDROP_PICTURE_WIDTH,
                  BACKDROP_PICTURE_HEIGHT, 1, SINGLE, BACKDROP_COLOR_KEY)) {
            return 0;
        }
        char file_name[32];
        std::snprintf(file_name, sizeof file_name, "dorvo%d.bmp", i + 1);
        if (!open_picture(file_name))
            return 0;
        if (!picture_cut(&backdrops[i], 0, 0, 0, 1))
            return fail_picture(file_name, true);
        picture_unload();
    }
    return 1;
}

int load_hero() {
    if (!load_hero_form(&hero_small, 398, 32, 12, "dorvosprites.bmp", true))
        return 0;
    if (!load_hero_form(&hero_large, 366, 64, 10, "dorvospritelarge.bmp", false))
        return 0;
    hero = &hero_small;
    sprite_set_animation(hero, 0);
    sprite_set_velocity(hero, 0, 0);
    sprite_set_anim_period(hero, 2);
    hero->state = 1;
    return 1;
}

int load_qblocks() {
    const char* file_name = "questionblock.bmp";
    if (!open_picture(file_name))
        return 0;
    for (int i = 0; i < QBLOCK_COUNT; ++i) {
        SpriteObject* q = &qblocks[i];
        if (!make(q, qblock_x[i], qblock_y[i], 32, 32, 4, ANIMATED))
            return fail_create();
        if (!cut_row(q, 0, 4, 0))
            return fail_picture(file_name, true);
        if (!sprite_load_animation(q, 0, 7, qblock_anim))
            return fail_create();
        sprite_set_animation(q, 0);
        sprite_set_velocity(q, 0, 0);
        sprite_set_anim_period(q, 6);
        q->state = 1;
    }
    picture_unload();
    return 1;
}

int load_bricks() {
    const char* file_name = "brick.bmp";
    if (!open_picture(file_name))
        return 0;
    for (int i = 0; i < BRICK_COUNT; ++i) {
        if (!make(&bricks[i], brick_x[i], brick_y[i], 32, 32, 1, SINGLE))
            return fail_create();
        if (!picture_cut(&bricks[i], 0, 0, 0, 0))
            return fail_picture(file_name, true);
        bricks[i].state = 1;
    }
    picture_unload();
    return 1;
}

int load_brick_frags() {
    const char* file_name = "brick.bmp";
    if (!open_picture(file_name))
        return 0;
    for (SpriteObject& frag : brick_frags) {
        if (!make(&frag, -1, -1, 16, 16, 2, ANIMATED))
            return fail_create();
        for (int j = 0; j < 2; ++j) {
            if (!picture_cut(&frag, j, 33 * (j + 1) + 1, 1, 1)) {
                return fail_picture(file_name, true);
            }
        }
        if (!sprite_load_animation(&frag, 0, 2, brick_frag_anim))
            return fail_create();
        sprite_set_animation(&frag, 0);
        sprite_set_velocity(&frag, 0, 0);
        sprite_set_anim_period(&frag, 2);
    }
    picture_unload();
    return 1;
}

int load_power_up() {
    const char* file_name = "mushroom.bmp";
    if (!open_picture(file_name))
        return 0;
    if (!make(&power_up, 0, 0, 32, 32, 1, SINGLE))
        return fail_create();
    if (!picture_cut(&power_up, 0, 0, 0, 0))
        return fail_picture(file_name, true);
    power_up.state = 0;  // in play only once a block releases it
    picture_unload();
    return 1;
}

int load_skivits() {
    const char* file_name = "skivit.bmp";
    if (!open_picture(file_name))
        return 0;
    for (int i = 0; i < SKIVIT_COUNT; ++i) {
        SpriteObject* e = &skivits[i];
        if (!make(e, skivit_x[i], skivit_y[i], 32, 32, 3, ANIMATED))
            return fail_create();
        if (!cut_row(e, 0, 2, 0) || !picture_cut(e, 2, 0, 1, 0)) {
            return fail_picture(file_name, true);
        }
        if (!sprite_load_animation(e, 0, 2, skivit_anim))
            return fail_create();
        sprite_set_animation(e, 0);
        sprite_set_velocity(e, -2, 0);
        sprite_set_anim_period(e, 6);
        e->state = 1;
    }
    picture_unload();
    return 1;
}

int load_coin_sprites() {
    const char* file_name = "coin.bmp";
    if (!open_picture(file_name))
        return 0;
    for (SpriteObject& coin : coin_sprites) {
        if (!make(&coin, 0, 0, 16, 28, 4, ANIMATED))
            return fail_create();
        if (!cut_row(&coin, 0, 4, 0))
            return fail_picture(file_name, true);
        if (!sprite_load_animation(&coin, 0, 6, coin_anim))
            return fail_create();
        sprite_set_animation(&coin, 0);
        sprite_set_velocity(&coin, 0, 0);
        sprite_set_anim_period(&coin, 1);
    }
    picture_unload();
    return 1;
}

int load_pipes() {
    const char* file_name = "pipe.bmp";
    if (!open_picture(file_name))
        return 0;
    int n = 0;
    for (int j = 0; j < PIPE_COUNT; ++j) {
        // Body segments from the ground up (cell row 1), then the top (cell row 0).
        for (int k = 0; k <= pipe_height[j]; ++k) {
            const int row = k < pipe_height[j] ? 1 : 0;
            if (!make(&pipes[n], pipe_x[j], FLOOR_LINE - 32 * (k + 1), 64, 32, 1, SINGLE)) {
                return fail_create();
            }
            if (!picture_cut(&pipes[n], 0, 0, row, 0))
                return fail_picture(file_name, true);
            ++n;
        }
    }
    picture_unload();
    return 1;
}

int load_blocks() {
    const char* file_name = "block.bmp";
    if (!open_picture(file_name))
        return 0;
    int n = 0;
    for (int k = 0; k < STAIR_COLUMN_COUNT; ++k) {
        for (int l = 0; l < stair_height[k]; ++l) {
            if (!make(&blocks[n], stair_x[k], FLOOR_LINE - 32 * (l + 1), 32, 32, 1, SINGLE)) {
                return fail_create();
            }
            if (!picture_cut(&blocks[n], 0, 0, 0, 1))
                return fail_picture(file_name, true);
            ++n;
        }
    }
    picture_unload();
    return 1;
}

void destroy_world_sprites() {
    sprite_destroy(&hero_small);
    sprite_destroy(&hero_large);
    for (SpriteObject& s : qblocks)
        sprite_destroy(&s);
    for (SpriteObject& s : bricks)
        sprite_destroy(&s);
    for (SpriteObject& s : coin_sprites)
        sprite_destroy(&s);
    for (SpriteObject& s : brick_frags)
        sprite_destroy(&s);
    for (SpriteObject& s : skivits)
        sprite_destroy(&s);
    for (SpriteObject& s : backdrops)
        sprite_destroy(&s);
    for (SpriteObject& s : pipes)
        sprite_destroy(&s);
    for (SpriteObject& s : blocks)
        sprite_destroy(&s);
    sprite_destroy(&power_up);
}
