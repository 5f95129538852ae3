// Question blocks, bricks, brick fragments and coins: the bounce of a bumped block, what a
// question block releases, the coin pop-ups with their "200" and the fragments' flight.
#include "world/blocks.h"

#include "engine/display.h"
#include "engine/sound.h"
#include "engine/text.h"
#include "shell/game_state.h"
#include "world/objects.h"
#include "world/world_state.h"

namespace {
constexpr int COIN_POINTS = 200;
constexpr int BOUNCE_STEPS = 6;
constexpr int BOUNCE_RISING_STEPS = 3;
constexpr float BOUNCE_STEP = 2;
constexpr int COIN_STEPS = 9;
constexpr int COIN_RISING_STEPS = 5;
constexpr float COIN_STEP = 4;
constexpr int COIN_ABOVE_BLOCK = 10;  // pixels between a released coin and its block
constexpr int POINTS_ABOVE = 20;      // pixels between the "200" and the coin's top
constexpr float FRAG_GRAVITY = 2;
constexpr float FRAG_PARKED_Y = -1;
constexpr int POWER_UP_ABOVE_BLOCK = 5;
constexpr int POWER_UP_SPEED = 4;

// One pass of the bounce: up 2 pixels three times, down 2 three times, then the end.
void bounce_step(SpriteObject* block) {
    if (bump_step >= BOUNCE_STEPS) {
        bumped_block = nullptr;
        bump_step = 0;
        return;
    }
    const int old = bump_step++;
    if (old < BOUNCE_RISING_STEPS) {
        block->y -= BOUNCE_STEP;
    } else {
        block->y += BOUNCE_STEP;
    }
}

void release(const SpriteObject* block, int content) {
    if (content == QBLOCK_COIN) {
        coins += 1;
        score += COIN_POINTS;
        sound_event_from(SOUND_COIN, block);
        // The second slot is taken even when busy.
        const int slot = coin_step[0] == COIN_IDLE ? 0 : 1;
        coin_step[slot] = 0;
        SpriteObject* coin = &coin_sprites[slot];
        sprite_set_position(coin, static_cast<int>(block->x + (block->width - coin->width) / 2),
                            static_cast<int>(block->y - coin->height - COIN_ABOVE_BLOCK));
    } else if (content == QBLOCK_POWER_UP) {
        power_up.state = POWER_UP_IN_PLAY;
        sprite_set_position(&power_up, static_cast<int>(block->x),
                            static_cast<int>(block->y - POWER_UP_ABOVE_BLOCK));
        sprite_set_velocity(&power_up, POWER_UP_SPEED, 0);
        sound_event_from(SOUND_POWERUP_APPEAR, block);
    }
}
}  // namespace

void qblocks_draw() {
    for (int i = 0; i < QBLOCK_COUNT; ++i) {
        SpriteObject* q = &qblocks[i];
        if (q->state != QBLOCK_USED)
            sprite_animate(q);
        if (bumped_block == q) {
            if (bump_step == 0)
                release(q, qblock_content[i]);
            bounce_step(q);
        }
        if (on_screen(q))
            draw_on_back(q);
    }
}

void bricks_draw() {
    for (SpriteObject& brick : bricks) {
        if (brick.state == BRICK_BROKEN)
            continue;
        // The large hero breaks bricks; a bounce left over stands still meanwhile.
        if (bumped_block == &brick && hero_is_large == 0)
            bounce_step(&brick);
        if (on_screen(&brick))
            draw_on_back(&brick);
    }
}

void brick_frags_draw() {
    for (SpriteObject& frag : brick_frags) {
        if (frag.y > SCREEN_BOTTOM || frag.y == FRAG_PARKED_Y)
            continue;  // fallen out, or parked
        sprite_animate(&frag);
        sprite_move(&frag);
        draw_on_back(&frag);
        frag.vy += FRAG_GRAVITY;
    }
}

void coin_sprites_draw() {
    for (int slot = 0; slot < COIN_SPRITE_COUNT; ++slot) {
        if (coin_step[slot] == COIN_IDLE)
            continue;
        SpriteObject* coin = &coin_sprites[slot];
        const int old = coin_step[slot]++;
        if (old < COIN_RISING_STEPS) {
            coin->y -= COIN_STEP;
        } else {
            coin->y += COIN_STEP;
        }
        if (coin_step[slot] == COIN_STEPS)
            coin_step[slot] = COIN_IDLE;
        static_cast<void>(text_draw("200", static_cast<int>(coin->x),
                                    static_cast<int>(coin->y - POINTS_ABOVE), TEXT_WHITE,
                                    back_surface));
        draw_on_back(coin);
        sprite_animate(coin);
    }
}
