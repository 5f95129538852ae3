// The world's shared counters and links, with their values at load.
#include "world/world_state.h"

#include <cstring>
#include <iterator>

#include "world/objects.h"
#include "world/scenery.h"

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
int backdrop_picture[BACKDROP_COUNT];

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
    for (int& picture : backdrop_picture)
        picture = 0;
}

namespace {

// What a saved value may be: anything the rules can reach, and nothing that would index
// outside a table or overflow an int in the passes after.
constexpr int COUNTER_LIMIT = 1000000000;
// The largest stomp award a chain can reach: the first award doubled once for each enemy.
constexpr int STOMP_LIMIT = STOMP_FIRST_VALUE << SKIVIT_COUNT;

int read_int(const void* saved) {
    int value;
    std::memcpy(&value, saved, sizeof value);
    return value;
}

int flag_allowed(const void* saved) {
    const int value = read_int(saved);
    return value == 0 || value == 1;
}

int counter_allowed(const void* saved) {
    const int value = read_int(saved);
    return value >= -COUNTER_LIMIT && value <= COUNTER_LIMIT;
}

int stomp_allowed(const void* saved) {
    const int value = read_int(saved);
    return value >= 0 && value <= STOMP_LIMIT;
}

int float_allowed(const void* saved) {
    float value;
    std::memcpy(&value, saved, sizeof value);
    return state_float_sane(value) ? 1 : 0;
}

int coin_steps_allowed(const void* saved) {
    int steps[COIN_SPRITE_COUNT];
    std::memcpy(steps, saved, sizeof steps);
    for (int step : steps) {
        if (step < COIN_IDLE || step > COUNTER_LIMIT)
            return 0;
    }
    return 1;
}

int pictures_allowed(const void* saved) {
    int pictures[BACKDROP_COUNT];
    std::memcpy(pictures, saved, sizeof pictures);
    for (int picture : pictures) {
        if (picture < 1 || picture > LAST_BACKDROP_PICTURE)
            return 0;
    }
    return 1;
}

int next_backdrop_allowed(const void* saved) {
    const int value = read_int(saved);
    return value >= 1 && value <= COUNTER_LIMIT;
}

// The hero's forms are the only sprites a form change leaves, and only question blocks and
// bricks bounce.
int form_or_none(const void* linked) {
    return linked == nullptr || linked == &hero_small || linked == &hero_large;
}

int bumpable_or_none(const void* linked) {
    const auto* s = static_cast<const SpriteObject*>(linked);
    return s == nullptr || is_qblock(s) || is_brick(s);
}

const StateBlock state_blocks[] = {
    {"world_state.cpp:next_backdrop", STATE_BYTES, &next_backdrop, sizeof next_backdrop,
     next_backdrop_allowed},
    {"world_state.cpp:hero_running", STATE_BYTES, &hero_running, sizeof hero_running, flag_allowed},
    {"world_state.cpp:hero_airborne", STATE_BYTES, &hero_airborne, sizeof hero_airborne,
     flag_allowed},
    {"world_state.cpp:jump_lift", STATE_BYTES, &jump_lift, sizeof jump_lift, float_allowed},
    {"world_state.cpp:hero_support", STATE_SPRITE_LINK, &hero_support, 1},
    {"world_state.cpp:death_timer", STATE_BYTES, &death_timer, sizeof death_timer, counter_allowed},
    {"world_state.cpp:stomp_value", STATE_BYTES, &stomp_value, sizeof stomp_value, stomp_allowed},
    {"world_state.cpp:stomp_shown", STATE_BYTES, &stomp_shown, sizeof stomp_shown, stomp_allowed},
    {"world_state.cpp:scroll_total", STATE_BYTES, &scroll_total, sizeof scroll_total,
     counter_allowed},
    {"world_state.cpp:scroll_step", STATE_BYTES, &scroll_step, sizeof scroll_step, counter_allowed},
    {"world_state.cpp:hero_is_large", STATE_BYTES, &hero_is_large, sizeof hero_is_large,
     flag_allowed},
    {"world_state.cpp:morph_from", STATE_SPRITE_LINK, &morph_from, 1, form_or_none},
    {"world_state.cpp:morph_timer", STATE_BYTES, &morph_timer, sizeof morph_timer, counter_allowed},
    {"world_state.cpp:bumped_block", STATE_SPRITE_LINK, &bumped_block, 1, bumpable_or_none},
    {"world_state.cpp:bump_step", STATE_BYTES, &bump_step, sizeof bump_step, counter_allowed},
    {"world_state.cpp:coin_step", STATE_BYTES, coin_step, sizeof coin_step, coin_steps_allowed},
    {"world_state.cpp:backdrop_picture", STATE_BYTES, backdrop_picture, sizeof backdrop_picture,
     pictures_allowed, backdrops_show_pictures},
};

}  // namespace

const StateBlockList world_counters_state = {state_blocks,
                                             static_cast<int>(std::size(state_blocks))};
