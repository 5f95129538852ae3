// The world reset after a death: counters, the hero and every object back to the start of
// the level. What it leaves alone carries over into the next game on purpose.
#include "shell/game.h"
#include "world/level.h"

namespace {
void place(SpriteObject* s, int x, int y, int anim_period, int vx) {
    sprite_set_position(s, x, y);
    sprite_set_animation(s, 0);
    sprite_set_velocity(s, vx, 0);
    sprite_set_anim_period(s, anim_period);
}
}  // namespace

void world_reset() {
    scroll_total = 0;
    level_won = 0;
    death_timer = 0;
    morph_timer = 0;
    morph_from = nullptr;
    score = 0;
    time_left = 400.0f;
    coins = 0;
    next_backdrop = 4;
    scroll_step = 0;
    hero_airborne = 0;
    hero_running = 0;
    hero_support = nullptr;
    hero_is_large = 0;

    load_backdrops();

    hero = &hero_small;
    place(hero, 20, 398, 2, 0);
    hero->state = 1;
    hero_large.state = 1;  // a large hero that fell was left dying

    int n = 0;
    for (int j = 0; j < PIPE_COUNT; ++j) {
        for (int k = 0; k <= pipe_height[j]; ++k)
            pipes[n++].x = static_cast<float>(pipe_x[j]);
    }
    n = 0;
    for (int k = 0; k < STAIR_COLUMN_COUNT; ++k) {
        for (int l = 0; l < stair_height[k]; ++l)
            blocks[n++].x = static_cast<float>(stair_x[k]);
    }
    for (int i = 0; i < QBLOCK_COUNT; ++i) {
        place(&qblocks[i], qblock_x[i], qblock_y[i], 6, 0);
        qblocks[i].state = 1;
    }
    for (int i = 0; i < SKIVIT_COUNT; ++i) {
        place(&skivits[i], skivit_x[i], skivit_y[i], 6, -2);
        skivits[i].state = 1;
    }
    for (SpriteObject& coin : coin_sprites)
        place(&coin, 0, 0, 1, 0);
    for (SpriteObject& frag : brick_frags)
        place(&frag, -1, -1, 2, 0);
    for (int i = 0; i < BRICK_COUNT; ++i) {
        sprite_set_position(&bricks[i], brick_x[i], brick_y[i]);
        bricks[i].state = 1;
    }
    sprite_set_position(&power_up, 0, 0);
    power_up.state = 0;
}
