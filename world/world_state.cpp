// The world's objects and globals, with their values at load.
#include "world/level.h"

SpriteObject backdrops[BACKDROP_COUNT];
SpriteObject hero_small, hero_large;
SpriteObject qblocks[QBLOCK_COUNT];
SpriteObject bricks[BRICK_COUNT];
SpriteObject brick_frags[BRICK_FRAG_COUNT];
SpriteObject power_up;
SpriteObject skivits[SKIVIT_COUNT];
SpriteObject coin_sprites[COIN_SPRITE_COUNT];
SpriteObject pipes[PIPE_PIECE_COUNT];
SpriteObject blocks[BLOCK_COUNT];

int next_backdrop = 4;
int hero_running;
int hero_airborne;
float jump_lift;
SpriteObject* hero_support;
int death_timer;
int stomp_value = 100;
int stomp_shown;
int scroll_total;
int scroll_step;
int hero_is_large;
SpriteObject* morph_from;
int morph_timer;
SpriteObject* bumped_block;
int bump_step;
int coin_step[COIN_SPRITE_COUNT] = {-1, -1};

bool on_screen(const SpriteObject* sprite) {
    return sprite->x + static_cast<float>(sprite->width) >= 0.0f && sprite->x <= 640.0f;
}
