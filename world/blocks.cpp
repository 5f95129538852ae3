// Question blocks, bricks, brick fragments and coins: the bounce of a bumped block, what a
// question block releases, the coin pop-ups with their "200" and the fragments' flight.
#include <cstdint>

#include "engine/display.h"
#include "engine/text.h"
#include "shell/game.h"
#include "world/level.h"

namespace {
constexpr int COIN_POINTS = 200;
constexpr int BOUNCE_STEPS = 6;
constexpr int COIN_STEPS = 9;
constexpr uint32_t WHITE = 0xFFFFFF;

// One pass of the bounce: up 2 pixels three times, down 2 three times, then the end.
void bounce_step(SpriteObject* block) {
    if (bump_step >= BOUNCE_STEPS) {
        bumped_block = nullptr;
        bump_step = 0;
        return;
    }
    const int old = bump_step++;
    if (old <= 2) {
        block->y -= 2;
    } else {
        block->y += 2;
    }
}

void release(const SpriteObject* block, int content) {
    if (content == 0) {
        coins += 1;
        score += COIN_POINTS;
        // The second slot is taken even when busy.
        const int slot = coin_step[0] == -1 ? 0 : 1;
        coin_step[slot] = 0;
        SpriteObject* coin = &coin_sprites[slot];
        sprite_set_position(coin, static_cast<int>(block->x + (block->width - coin->width) / 2),
                            static_cast<int>(block->y - coin->height - 10));
    } else if (content == 1) {
        power_up.state = 1;
        sprite_set_position(&power_up, static_cast<int>(block->x), static_cast<int>(block->y - 5));
        sprite_set_velocity(&power_up, 4, 0);
    }
}
}  // namespace

void qblocks_draw() {
    for (int i = 0; i < QBLOCK_COUNT; ++i) {
        SpriteObject* q = &qblocks[i];
        if (q->state != 0)
            sprite_animate(q);
        if (bumped_block == q) {
            if (bump_step == 0)
                release(q, qblock_content[i]);
            bounce_step(q);
        }
        if (on_screen(q))
            sprite_draw(q, back_surface);
    }
}

void bricks_draw() {
    for (SpriteObject& brick : bricks) {
        if (brick.state == 0)
            continue;
        // The large hero breaks bricks; a bounce left over stands still meanwhile.
        if (bumped_block == &brick && hero_is_large == 0)
            bounce_step(&brick);
        if (on_screen(&brick))
            sprite_draw(&brick, back_surface);
    }
}

void brick_frags_draw() {
    for (SpriteObject& frag : brick_frags) {
        if (frag.y > 480 || frag.y == -1.0f)
            continue;  // fallen out, or parked
        sprite_animate(&frag);
        sprite_move(&frag);
        sprite_draw(&frag, back_surface);
        frag.vy += 2;
    }
}

void coin_sprites_draw() {
    for (int slot = 0; slot < COIN_SPRITE_COUNT; ++slot) {
        if (coin_step[slot] == -1)
            continue;
        SpriteObject* coin = &coin_sprites[slot];
        const int old = coin_step[slot]++;
        if (old <= 4) {
            coin->y -= 4;
        } else {
            coin->y += 4;
        }
        if (coin_step[slot] == COIN_STEPS)
            coin_step[slot] = -1;
        text_draw("200", static_cast<int>(coin->x), static_cast<int>(coin->y - 20), WHITE,
                  back_surface);
        sprite_draw(coin, back_surface);
        sprite_animate(coin);
    }
}
