// The ten load steps that build the level's sprites from the tables and the picture files,
// and the world's shutdown.
#include "world/load.h"

#include <cstdio>
#include <initializer_list>

#include "engine/gfx.h"
#include "engine/picture.h"
#include "world/level.h"
#include "world/object_groups.h"
#include "world/objects.h"
#include "world/scenery.h"
#include "world/world_state.h"

namespace {
constexpr int DEPTH = 8;
constexpr int SINGLE = SPRITE_SINGLE_FRAME | SPRITE_VISIBLE;  // 0x11
constexpr int ANIMATED = SPRITE_SEQUENCE | SPRITE_VISIBLE;    // 0x14
constexpr int FACING_RIGHT = 0, FACING_LEFT = 1;              // the hero's sequences
constexpr int HERO_SHEET_WIDTH = 128;

int make(SpriteObject* s, int x, int y, int w, int h, int frames, int flags,
         int color_key = SPRITE_COLOR_KEY) {
    return sprite_create(s, x, y, w, h, frames, flags, GFX_CAPS_SYSTEMMEMORY, color_key, DEPTH);
}

// A step that stops part way leaves no picture behind.
int fail() {
    picture_unload();
    return 0;
}

// One sprite of a group: created where it starts, its frames cut, its sequence loaded.
int load_member(const ObjectGroup& g, int i) {
    SpriteObject* s = &g.sprites[i];
    const StartPlace place = g.start(i);
    if (!make(s, place.x, place.y, g.width, g.height, g.frame_count, g.flags))
        return 0;
    if (!g.cut_frames(s, i))
        return 0;
    if (g.sequence && !sprite_load_animation(s, 0, g.sequence_length, g.sequence))
        return 0;
    group_start_motion(g, s);
    return 1;
}

int load_group(const ObjectGroup& g) {
    if (!picture_load_sized(g.picture, g.sheet_width, g.sheet_height))
        return 0;
    for (int i = 0; i < g.count; ++i) {
        if (!load_member(g, i))
            return fail();
    }
    picture_unload();
    return 1;
}

// One form: frames 0..4 facing right, then 5..9 facing left, each row with its sequence; the
// small form also has the death picture.
int load_hero_form(SpriteObject* form, int y, int height, int frames, const char* file_name,
                   bool death_picture) {
    if (!make(form, 20, y, 24, height, frames, ANIMATED))
        return 0;
    // Five cells of 24 across and a row of cells for each facing (and the death picture),
    // with their one-pixel lines; the width padded to a multiple of four.
    const int rows = death_picture ? 3 : 2;
    if (!picture_load_sized(file_name, HERO_SHEET_WIDTH, rows * (height + 1) + 1))
        return 0;
    for (int facing : {FACING_RIGHT, FACING_LEFT}) {
        const int* sequence = facing == FACING_RIGHT ? hero_run_right : hero_run_left;
        for (int i = 0; i < HERO_FRAMES_PER_FACING; ++i) {
            if (!picture_cut(form, facing * HERO_FRAMES_PER_FACING + i, i, facing, CUT_CELLS))
                return fail();
        }
        if (!sprite_load_animation(form, facing, 4, sequence))
            return fail();
    }
    if (death_picture && !picture_cut(form, HERO_DEATH_FRAME, 0, 2, CUT_CELLS))
        return fail();
    picture_unload();
    return 1;
}

struct FileName {
    char text[32];
};
// "dorvoN.bmp", the backdrop picture numbered n.
FileName backdrop_name(int n) {
    FileName name;
    std::snprintf(name.text, sizeof name.text, "dorvo%d.bmp", n);
    return name;
}

// A destroyed sprite is zeroed too: the record as it was before any load.
void clear(SpriteObject* sprites, int count) {
    for (int i = 0; i < count; ++i) {
        sprite_destroy(&sprites[i]);
        sprites[i] = SpriteObject{};
    }
}
}  // namespace

int load_backdrop_panels() {
    for (int i = 0; i < BACKDROP_COUNT; ++i) {
        // Run again by the world reset: release what the panel held before.
        sprite_destroy(&backdrops[i]);
        backdrop_panel_holds[i] = 0;
        if (!make(&backdrops[i], BACKDROP_DRAW_WIDTH * i, 0, BACKDROP_PICTURE_WIDTH,
                  BACKDROP_PICTURE_HEIGHT, 1, SINGLE, BACKDROP_COLOR_KEY)) {
            return 0;
        }
        if (!picture_load_sized(backdrop_name(i + 1).text, BACKDROP_PICTURE_WIDTH,
                                BACKDROP_PICTURE_HEIGHT))
            return 0;
        if (!picture_cut(&backdrops[i], 0, 0, 0, CUT_PIXELS))
            return fail();
        picture_unload();
        backdrop_picture[i] = backdrop_panel_holds[i] = i + 1;
        // Always drawn at one size: stretched here and when recycled, not in every frame.
        static_cast<void>(
            sprite_keep_scaled(&backdrops[i], BACKDROP_DRAW_WIDTH, BACKDROP_DRAW_HEIGHT));
    }
    return 1;
}

int load_backdrops() {
    // The pictures the panels get as they are recycled are read during play, where a bad one
    // could only repeat the old panel: each is checked now, so that start-up names it instead.
    for (int n = FIRST_RECYCLED_BACKDROP; n <= LAST_BACKDROP_PICTURE; ++n) {
        if (!picture_check(backdrop_name(n).text, BACKDROP_PICTURE_WIDTH, BACKDROP_PICTURE_HEIGHT))
            return 0;
    }
    return load_backdrop_panels();
}

int load_hero() {
    if (!load_hero_form(&hero_small, 398, 32, 12, "dorvosprites.bmp", true))
        return 0;
    if (!load_hero_form(&hero_large, 366, 64, 10, "dorvospritelarge.bmp", false))
        return 0;
    hero_start();
    return 1;
}

int load_qblocks() {
    return load_group(qblock_group);
}

int load_bricks() {
    return load_group(brick_group);
}

int load_brick_frags() {
    return load_group(brick_frag_group);
}

int load_power_up() {
    return load_group(power_up_group);
}

int load_skivits() {
    return load_group(skivit_group);
}

int load_coin_sprites() {
    return load_group(coin_group);
}

int load_pipes() {
    return load_group(pipe_group);
}

int load_blocks() {
    return load_group(block_group);
}

void world_shutdown() {
    clear(&hero_small, 1);
    clear(&hero_large, 1);
    clear(qblocks, QBLOCK_COUNT);
    clear(bricks, BRICK_COUNT);
    clear(coin_sprites, COIN_SPRITE_COUNT);
    clear(brick_frags, BRICK_FRAG_COUNT);
    clear(skivits, SKIVIT_COUNT);
    clear(backdrops, BACKDROP_COUNT);
    clear(pipes, PIPE_PIECE_COUNT);
    clear(blocks, BLOCK_COUNT);
    clear(&power_up, 1);
    hero = nullptr;
    for (int& picture : backdrop_panel_holds)
        picture = 0;
    world_state_restore();
}
