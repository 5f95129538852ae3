// The walking enemies: walking, reversing, falling and standing on blocks, stomps and harm
// in the update; removal, the squash display and its points in the drawing pass.
#include <cstdint>
#include <cstdio>

#include "engine/display.h"
#include "engine/text.h"
#include "shell/game.h"
#include "world/level.h"

namespace {
constexpr int SQUASH_PASSES = 8;
constexpr uint32_t WHITE = 0xFFFFFF;

// Contacts are compared as whole numbers: a partial overlap counts as none.
int contact(SpriteObject* mover, SpriteObject* other, int mode) {
    return static_cast<int>(sprite_collide(mover, other, mode));
}

void squash(SpriteObject* enemy) {
    enemy->frame = 2;
    enemy->state = 2;
    enemy->aux_state = 0;
}

void update_one(int i) {
    SpriteObject* e = &skivits[i];
    SpriteObject* support = nullptr;

    // Staircases and pipes turn it back at any contact, even from on top.
    for (SpriteObject& block : blocks) {
        if (on_screen(&block) && contact(e, &block, 0) != 0)
            e->vx = -e->vx;
    }
    for (SpriteObject& pipe : pipes) {
        if (on_screen(&pipe) && contact(e, &pipe, 0) != 0)
            e->vx = -e->vx;
    }
    for (SpriteObject& q : qblocks) {
        if (!on_screen(&q))
            continue;
        const int r = contact(e, &q, 0);
        if (r == 3) {
            support = &q;
        } else if (r == 2) {
            e->vx = -e->vx;
        }
    }
    for (SpriteObject& brick : bricks) {
        if (!on_screen(&brick))
            continue;
        const int r = contact(e, &brick, 0);
        if (r == 3) {
            support = &brick;
            e->y -= 2;
        } else if (r == 2) {
            e->vx = -e->vx;
        }
    }
    for (int j = 0; j < SKIVIT_COUNT; ++j) {
        SpriteObject* other = &skivits[j];
        if (j == i || other->state != 1 || !on_screen(other))
            continue;
        if (contact(e, other, 1) != 0) {
            e->vx = -e->vx;
            other->vx = -other->vx;
        }
    }
    if (hero->state == 1) {
        const int r = contact(hero, e, 0);
        if (r == 3 && hero->vy > 0) {
            squash(e);
            hero->vy = -10;
            hero_airborne = 1;
        } else if (r != 0) {
            hero_hurt();
        }
    }
    if (e->state == 1) {
        sprite_move(e);
        if (support != nullptr) {
            e->y = support->y - e->height - 1;
        } else if (sprite_on_floor(e)) {
            e->y = static_cast<float>(FLOOR_LINE - e->height);
        } else {
            e->vy += 2;
        }
    }
}
}  // namespace

void skivits_update() {
    for (int i = 0; i < SKIVIT_COUNT; ++i) {
        if (skivits[i].state == 1 && on_screen(&skivits[i]))
            update_one(i);
    }
}

void skivits_draw() {
    for (SpriteObject& e : skivits) {
        if (e.state == 0 || !on_screen(&e))
            continue;
        if (e.y > 480) {
            e.state = 0;  // fell out of the world
            continue;
        }
        if (e.state == 1) {
            sprite_animate(&e);
            sprite_draw(&e, back_surface);
        } else if (e.state == 2) {
            if (e.aux_state < SQUASH_PASSES) {
                if (e.aux_state++ == 0) {
                    stomp_shown = stomp_value;
                    score += stomp_value;
                    stomp_value *= 2;
                }
                char points[16];
                std::snprintf(points, sizeof points, "%d", stomp_shown);
                text_draw(points, static_cast<int>(e.x), static_cast<int>(e.y - 20), WHITE,
                          back_surface);
                sprite_draw(&e, back_surface);
            } else {
                stomp_shown = 0;
                e.state = 0;
            }
        }
    }
}
