// The hero's frame: the eight play keys, speeds and jumps, contacts with the scenery, the
// head bump, the power-up pick-up, the picture, pits and the goal, gravity and the bounds.
#include "shell/game.h"
#include "shell/window.h"
#include "world/level.h"

namespace {
constexpr float WALK_STEP = 2, WALK_TOP = 8;
constexpr float RUN_STEP = 4, RUN_LIMIT = 12;
constexpr float FRICTION = 2;
constexpr float GRAVITY = 2;
constexpr float JUMP_PUSH = 4.8f;
constexpr double JUMP_DECAY = 0.4;
constexpr float DEATH_GRAVITY = 1;
constexpr int DEATH_FRAMES = 100;  // frames below the screen before the reset, less one
constexpr float SCREEN_BOTTOM = 480;
constexpr float SCREEN_RIGHT = 640;

bool right_held() {
    return window_key_held(KEY_RIGHT) || window_key_held(KEY_D);
}
bool left_held() {
    return window_key_held(KEY_LEFT) || window_key_held(KEY_A);
}
bool run_held() {
    return window_key_held(KEY_DELETE) || window_key_held(KEY_Z);
}
bool jump_held() {
    return window_key_held(KEY_NEXT) || window_key_held(KEY_C);
}

bool is_qblock(const SpriteObject* s) {
    return s >= qblocks && s < qblocks + QBLOCK_COUNT;
}
bool is_brick(const SpriteObject* s) {
    return s >= bricks && s < bricks + BRICK_COUNT;
}

// Dying: the death jump, and the reset on the 102nd frame below the screen.
void hero_die_step() {
    sprite_move(hero);
    hero->vy += DEATH_GRAVITY;
    if (hero->y > SCREEN_BOTTOM) {
        if (death_timer++ > DEATH_FRAMES) {
            game_mode = MODE_MENU;
            world_reset();
        }
    }
}

void steer() {
    if (right_held()) {
        if (run_held()) {
            if (hero->vx < RUN_LIMIT)
                hero->vx += RUN_STEP;
        } else {
            if (hero->vx < WALK_TOP)
                hero->vx += WALK_STEP;
            if (hero->vx > WALK_TOP)
                hero->vx = WALK_TOP;
        }
        if (hero->anim != 0)
            sprite_set_animation(hero, 0);
        hero_running = 1;
    } else if (left_held()) {
        if (run_held()) {
            if (hero->vx > -RUN_LIMIT)
                hero->vx -= RUN_STEP;
        } else {
            if (hero->vx > -WALK_TOP)
                hero->vx -= WALK_STEP;
            if (hero->vx < -WALK_TOP)
                hero->vx = -WALK_TOP;
        }
        if (hero->anim != 1)
            sprite_set_animation(hero, 1);
        hero_running = 1;
    } else {
        hero_running = 0;
    }
}

void jump() {
    if (jump_held()) {
        if (hero_on_ground() && hero_airborne == 0) {
            jump_lift = JUMP_PUSH;
            hero_airborne = 1;
        } else if (jump_lift > 0) {
            jump_lift = static_cast<float>(jump_lift - JUMP_DECAY);
        }
    } else {
        jump_lift = 0;
        if (hero_on_ground()) {
            hero_airborne = 0;
            stomp_value = 100;
        }
    }
}

// The scenery pass; returns the block the head hit hardest, and its fraction.
SpriteObject* collide_scenery(float* best) {
    SpriteObject* candidate = nullptr;
    *best = 0;
    for (SpriteObject& pipe : pipes) {
        if (on_screen(&pipe) && sprite_collide(hero, &pipe, 0) == 2.0f)
            hero->vx = 0;
    }
    for (SpriteObject& block : blocks) {
        if (on_screen(&block) && sprite_collide(hero, &block, 0) == 2.0f)
            hero->vx = 0;
    }
    auto bumpable = [&](SpriteObject* s) {
        if (!on_screen(s))
            return;
        const float r = sprite_collide(hero, s, 0);
        if (r == 0.0f)
            return;
        if (r > *best && r <= 1.0f) {
            candidate = s;
            *best = r;
        } else if (r == 2.0f) {
            hero->vx = 0;
        }
    };
    for (SpriteObject& q : qblocks)
        bumpable(&q);
    for (SpriteObject& b : bricks)
        bumpable(&b);
    return candidate;
}

void choose_picture() {
    if (hero_airborne == 1 && !hero_on_ground()) {
        hero->frame = hero->anim * 5 + 4;
    } else if (hero_running == 1 && hero_on_ground()) {
        sprite_animate(hero);
    } else {
        hero->frame = hero->anim * 5;
    }
}
}  // namespace

int hero_on_ground() {
    return (hero_support != nullptr || sprite_on_floor(hero)) ? 1 : 0;
}

void hero_fall() {
    if (morph_from != nullptr)
        return;
    if (hero_on_ground()) {
        hero->vy = 0;
        hero->y = hero_support != nullptr ? hero_support->y - hero->height
                                          : static_cast<float>(FLOOR_LINE - hero->height);
    } else {
        hero->vy += GRAVITY;
    }
    hero->vy -= jump_lift;
}

void bump_block(SpriteObject* block) {
    if (is_qblock(block)) {
        block->frame = 3;
        if (block->state != 0) {
            bumped_block = block;
            block->state = 0;
        }
    } else if (is_brick(block)) {
        if (hero_is_large == 0) {
            bumped_block = block;
        } else {
            block->state = 0;
            const int x = static_cast<int>(block->x);
            const int y = static_cast<int>(block->y);
            static const int offset[BRICK_FRAG_COUNT][2] = {{0, 0}, {16, 0}, {0, 16}, {16, 16}};
            static const int launch[BRICK_FRAG_COUNT][2] = {
                {-4, -20}, {4, -20}, {-4, -10}, {4, -10}};
            for (int i = 0; i < BRICK_FRAG_COUNT; ++i) {
                sprite_set_position(&brick_frags[i], x + offset[i][0], y + offset[i][1]);
                sprite_set_velocity(&brick_frags[i], launch[i][0], launch[i][1]);
            }
            score += 50;
        }
    }
    // Enemies on or against the block are knocked out.
    for (SpriteObject& enemy : skivits) {
        if (enemy.state == 1 && sprite_collide(&enemy, block, 1) != 0.0f) {
            enemy.frame = 2;
            enemy.state = 2;
            enemy.aux_state = 0;
        }
    }
}

void hero_update() {
    if (hero->state == 2) {
        hero_die_step();
        return;
    }
    steer();
    jump();

    hero_support = nullptr;
    float best = 0;
    SpriteObject* candidate = collide_scenery(&best);
    if (best != 0.0f) {
        jump_lift = 0;
        hero->vy = 0;
        if (candidate != nullptr)
            bump_block(candidate);
    }

    if (sprite_collide(hero, &power_up, 1) != 0.0f && hero_is_large != 1) {
        hero_grow();
        score += 1000;
        power_up.state = 0;
    }

    choose_picture();

    if (hero->y > SCREEN_BOTTOM)
        hero->state = 2;
    if (scroll_total + hero->x > LEVEL_END)
        level_won = 1;

    if (morph_from == nullptr)
        sprite_move(hero);
    hero_fall();

    if (hero->x < 0) {
        hero->x = 0;
    } else if (hero->x + hero->width > SCREEN_RIGHT) {
        hero->x = SCREEN_RIGHT - hero->width;
    }

    if (hero_running == 0) {
        if (hero->vx < 0) {
            hero->vx += FRICTION;
        } else if (hero->vx > 0) {
            hero->vx -= FRICTION;
        }
    }
    scroll_world();
}
