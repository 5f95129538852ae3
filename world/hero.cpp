// The hero's frame: the eight play keys, speeds and jumps, contacts with the scenery, the
// head bump, the power-up pick-up, the picture, pits and the goal, gravity and the bounds.
#include "world/hero.h"

#include "engine/sound.h"
#include "shell/game_state.h"
#include "shell/window.h"
#include "world/collide.h"
#include "world/objects.h"
#include "world/reset.h"
#include "world/scroll.h"
#include "world/world_state.h"

namespace {
constexpr float WALK_STEP = 2, WALK_TOP = 8;
constexpr float RUN_STEP = 4, RUN_LIMIT = 12;
constexpr float FRICTION = 2;
constexpr float GRAVITY = 2;
constexpr float JUMP_PUSH = 4.8f;
constexpr double JUMP_DECAY = 0.4;
constexpr float DEATH_GRAVITY = 1;
constexpr int DEATH_FRAMES = 100;  // frames below the screen before the reset, less one
constexpr int BRICK_POINTS = 50;
constexpr int POWER_UP_POINTS = 1000;
constexpr int FACING_RIGHT = 0, FACING_LEFT = 1;  // the hero's animation sequences

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

// Speeds up towards the walking or running speed in one direction (+1 right, -1 left). A run
// is not clamped, so 14 is reachable; a walk brakes a run to walking speed at once.
void speed_up(float direction) {
    const float v = hero->vx * direction;
    if (run_held()) {
        if (v < RUN_LIMIT)
            hero->vx += RUN_STEP * direction;
    } else {
        if (v < WALK_TOP)
            hero->vx += WALK_STEP * direction;
        if (hero->vx * direction > WALK_TOP)
            hero->vx = WALK_TOP * direction;
    }
}

void face(int facing) {
    if (hero->anim != facing)
        sprite_set_animation(hero, facing);
}

// Right wins when both directions are held.
void steer() {
    if (right_held()) {
        speed_up(1);
        face(FACING_RIGHT);
        hero_running = 1;
    } else if (left_held()) {
        speed_up(-1);
        face(FACING_LEFT);
        hero_running = 1;
    } else {
        hero_running = 0;
    }
}

// A new jump needs the key released on the ground; a held one decays its push.
void jump() {
    if (jump_held()) {
        if (hero_on_ground() && hero_airborne == 0) {
            jump_lift = JUMP_PUSH;
            hero_airborne = 1;
            sound_event_from(hero_is_large ? SOUND_JUMP_LARGE : SOUND_JUMP_SMALL, hero);
        } else if (jump_lift > 0) {
            jump_lift = static_cast<float>(jump_lift - JUMP_DECAY);
        }
    } else {
        jump_lift = 0;
        if (hero_on_ground()) {
            hero_airborne = 0;
            stomp_value = STOMP_FIRST_VALUE;
        }
    }
}

void stop_at_side(SpriteObject* pieces, int count) {
    for (int i = 0; i < count; ++i) {
        if (on_screen(&pieces[i]) &&
            sprite_collide(hero, &pieces[i], COLLIDE_CLASSIFY) == COLLIDE_SIDE) {
            hero->vx = 0;
        }
    }
}

// Question blocks and bricks: the head bump with the largest fraction is the candidate, the
// earlier one on a tie; a side contact stops the hero.
void meet_bumpable(SpriteObject* s, SpriteObject** candidate, float* best) {
    if (!on_screen(s))
        return;
    const float r = sprite_collide(hero, s, COLLIDE_CLASSIFY);
    if (r == COLLIDE_NONE)
        return;
    if (r > *best && r <= 1.0f) {
        *candidate = s;
        *best = r;
    } else if (r == COLLIDE_SIDE) {
        hero->vx = 0;
    }
}

// The scenery pass; returns the block the head hit hardest, and its fraction.
SpriteObject* collide_scenery(float* best) {
    SpriteObject* candidate = nullptr;
    *best = 0;
    stop_at_side(pipes, PIPE_PIECE_COUNT);
    stop_at_side(blocks, BLOCK_COUNT);
    for (SpriteObject& q : qblocks)
        meet_bumpable(&q, &candidate, best);
    for (SpriteObject& b : bricks)
        meet_bumpable(&b, &candidate, best);
    return candidate;
}

void take_power_up() {
    if (sprite_collide(hero, &power_up, COLLIDE_SWEPT) != COLLIDE_NONE && hero_is_large != 1) {
        hero_grow();
        score += POWER_UP_POINTS;
        power_up.state = POWER_UP_ABSENT;
        sound_event_from(SOUND_POWERUP_TAKEN, hero);
    }
}

void choose_picture() {
    const int facing = hero->anim * HERO_FRAMES_PER_FACING;
    if (hero_airborne == 1 && !hero_on_ground()) {
        hero->frame = facing + HERO_JUMP_FRAME;
    } else if (hero_running == 1 && hero_on_ground()) {
        sprite_animate(hero);
    } else {
        hero->frame = facing;
    }
}

void keep_on_screen() {
    if (hero->x < 0) {
        hero->x = 0;
    } else if (hero->x + hero->width > SCREEN_RIGHT) {
        hero->x = static_cast<float>(SCREEN_RIGHT - hero->width);
    }
}

// Without a direction key the hero slows by 2 a frame; every speed is even, so it ends at 0.
void slow_down() {
    if (hero_running != 0)
        return;
    if (hero->vx < 0) {
        hero->vx += FRICTION;
    } else if (hero->vx > 0) {
        hero->vx -= FRICTION;
    }
}

// Breaks a brick under the large hero's head into its four flying fragments.
void break_brick(SpriteObject* brick) {
    brick->state = BRICK_BROKEN;
    const int x = static_cast<int>(brick->x);
    const int y = static_cast<int>(brick->y);
    static const int offset[BRICK_FRAG_COUNT][2] = {{0, 0}, {16, 0}, {0, 16}, {16, 16}};
    static const int launch[BRICK_FRAG_COUNT][2] = {{-4, -20}, {4, -20}, {-4, -10}, {4, -10}};
    for (int i = 0; i < BRICK_FRAG_COUNT; ++i) {
        sprite_set_position(&brick_frags[i], x + offset[i][0], y + offset[i][1]);
        sprite_set_velocity(&brick_frags[i], launch[i][0], launch[i][1]);
    }
    score += BRICK_POINTS;
    sound_event_from(SOUND_BRICK_BREAK, brick);
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
        block->frame = QBLOCK_USED_FRAME;
        // A fresh block is heard by what it releases, unless it was caught during another
        // bounce: it then releases nothing, and sounds used.
        if (block->state != QBLOCK_USED) {
            if (bump_step != 0)
                sound_event_from(SOUND_BUMP, block);
            bumped_block = block;
            block->state = QBLOCK_USED;
        } else {
            sound_event_from(SOUND_BUMP, block);
        }
    } else if (is_brick(block)) {
        if (hero_is_large == 0) {
            bumped_block = block;
            sound_event_from(SOUND_BRICK_BOUNCE, block);
        } else {
            break_brick(block);
        }
    }
    // Enemies on or against the block are knocked out.
    for (SpriteObject& enemy : skivits) {
        if (enemy.state == SKIVIT_WALKING &&
            sprite_collide(&enemy, block, COLLIDE_SWEPT) != COLLIDE_NONE) {
            enemy.frame = SKIVIT_SQUASHED_FRAME;
            enemy.state = SKIVIT_SQUASHED;
            enemy.aux_state = 0;
            sound_event_from(SOUND_KNOCK, &enemy);
        }
    }
}

void hero_update() {
    if (hero->state == HERO_DYING) {
        hero_die_step();
        return;
    }
    steer();
    jump();

    hero_support = nullptr;
    float best = 0;
    SpriteObject* candidate = collide_scenery(&best);
    if (best != 0.0f) {
        // The head hit something: the rise ends at once.
        jump_lift = 0;
        hero->vy = 0;
        if (candidate != nullptr)
            bump_block(candidate);
    }
    take_power_up();
    choose_picture();

    if (hero->y > SCREEN_BOTTOM) {
        hero->state = HERO_DYING;
        sound_event_from(SOUND_PIT, hero);
    }
    if (scroll_total + hero->x > LEVEL_END) {
        level_won = 1;
        sound_event(SOUND_WIN);
    }

    if (morph_from == nullptr)
        sprite_move(hero);
    hero_fall();
    keep_on_screen();
    slow_down();
    scroll_world();
}
