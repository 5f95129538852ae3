// The walking enemies: walking, reversing, falling and standing on blocks, stomps and harm
// in the update; removal, the squash display and its points in the drawing pass.
#include "world/skivits.h"

#include <cstdio>

#include "engine/display.h"
#include "engine/sound.h"
#include "engine/text.h"
#include "shell/game_state.h"
#include "world/collide.h"
#include "world/hero.h"
#include "world/objects.h"
#include "world/walker.h"
#include "world/world_state.h"

namespace {
constexpr int SQUASH_PASSES = 8;
constexpr float STOMP_BOUNCE = -10;
constexpr int POINTS_ABOVE = 20;  // pixels between the points and the enemy's top

void squash(SpriteObject* enemy) {
    enemy->frame = SKIVIT_SQUASHED_FRAME;
    enemy->state = SKIVIT_SQUASHED;
    enemy->aux_state = 0;
}

// Staircases and pipes turn it back; question blocks and bricks can carry it.
SpriteObject* meet_scenery(SpriteObject* e) {
    SpriteObject* support = nullptr;
    walker_turn_at(e, blocks, BLOCK_COUNT);
    walker_turn_at(e, pipes, PIPE_PIECE_COUNT);
    for (SpriteObject& q : qblocks) {
        if (on_screen(&q))
            walker_meet(e, &q, sprite_contact(e, &q, COLLIDE_CLASSIFY), &support);
    }
    walker_meet_bricks(e, &support);
    return support;
}

// Two enemies that meet both turn back.
void meet_other_enemies(int i) {
    SpriteObject* e = &skivits[i];
    for (int j = 0; j < SKIVIT_COUNT; ++j) {
        SpriteObject* other = &skivits[j];
        if (j == i || other->state != SKIVIT_WALKING || !on_screen(other))
            continue;
        if (sprite_contact(e, other, COLLIDE_SWEPT) != CONTACT_NONE) {
            e->vx = -e->vx;
            other->vx = -other->vx;
        }
    }
}

// The points the stomp of e will be worth: the awards still waiting for the drawing pass
// (other enemies on screen squashed since it last ran) each double the value first.
int stomp_points(const SpriteObject* e) {
    int points = stomp_value;
    for (const SpriteObject& other : skivits) {
        if (&other != e && other.state == SKIVIT_SQUASHED && other.aux_state == 0 &&
            on_screen(&other))
            points *= 2;
    }
    return points;
}

// The hero landing on it while falling squashes it and bounces; any other touch harms the
// hero. A hero that is not alive touches nothing. The stomp's sound rises with its points.
void meet_hero(SpriteObject* e) {
    if (hero->state != HERO_ALIVE)
        return;
    const int r = sprite_contact(hero, e, COLLIDE_CLASSIFY);
    if (r == CONTACT_LANDED && hero->vy > 0) {
        squash(e);
        hero->vy = STOMP_BOUNCE;
        hero_airborne = 1;
        sound_event_from(sound_stomp(sound_stomp_chain(stomp_points(e))), e);
    } else if (r != CONTACT_NONE) {
        hero_hurt();
    }
}

void update_one(int i) {
    SpriteObject* e = &skivits[i];
    SpriteObject* support = meet_scenery(e);
    meet_other_enemies(i);
    meet_hero(e);
    if (e->state == SKIVIT_WALKING) {
        sprite_move(e);
        walker_settle(e, support);
    }
}

// One pass of a squash: the award in the first, the points above it in each of eight, then
// gone.
void draw_squashed(SpriteObject* e) {
    if (e->aux_state >= SQUASH_PASSES) {
        stomp_shown = 0;
        e->state = SKIVIT_GONE;
        return;
    }
    if (e->aux_state++ == 0) {
        stomp_shown = stomp_value;
        score += stomp_value;
        stomp_value *= 2;
    }
    char points[16];
    std::snprintf(points, sizeof points, "%d", stomp_shown);
    static_cast<void>(text_draw(points, static_cast<int>(e->x),
                                static_cast<int>(e->y - POINTS_ABOVE), TEXT_WHITE, back_surface));
    draw_on_back(e);
}
}  // namespace

void skivits_update() {
    for (int i = 0; i < SKIVIT_COUNT; ++i) {
        if (skivits[i].state == SKIVIT_WALKING && on_screen(&skivits[i]))
            update_one(i);
    }
}

void skivits_draw() {
    for (SpriteObject& e : skivits) {
        if (e.state == SKIVIT_GONE || !on_screen(&e))
            continue;
        if (e.y > SCREEN_BOTTOM) {
            e.state = SKIVIT_GONE;  // fell out of the world
            continue;
        }
        if (e.state == SKIVIT_WALKING) {
            sprite_animate(&e);
            draw_on_back(&e);
        } else if (e.state == SKIVIT_SQUASHED) {
            draw_squashed(&e);
        }
    }
}
