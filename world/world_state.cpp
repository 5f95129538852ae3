// The world's shared counters and links, with their values at load.
#include "world/world_state.h"

int next_backdrop = FIRST_RECYCLED_BACKDROP;
int hero_running;
int hero_airborne;
float jump_lift;
SpriteObject* hero_support;
int death_timer;
int stomp_value = STOMP_FIRST_VALUE;
int stomp_shown;
int scroll_total;
int scroll_step;
int hero_is_large;
SpriteObject* morph_from;
int morph_timer;
SpriteObject* bumped_block;
int bump_step;
int coin_step[COIN_SPRITE_COUNT] = {COIN_IDLE, COIN_IDLE};

void world_counters_restart() {
    scroll_total = 0;
    death_timer = 0;
    morph_timer = 0;
    morph_from = nullptr;
    next_backdrop = FIRST_RECYCLED_BACKDROP;
    scroll_step = 0;
    hero_airborne = 0;
    hero_running = 0;
    hero_support = nullptr;
    hero_is_large = 0;
}

void world_state_restore() {
    world_counters_restart();
    jump_lift = 0;
    stomp_value = STOMP_FIRST_VALUE;
    stomp_shown = 0;
    bumped_block = nullptr;
    bump_step = 0;
    for (int& step : coin_step)
        step = COIN_IDLE;
}
