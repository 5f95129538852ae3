// The world's objects and the questions every world routine asks of one.
#include "world/objects.h"

#include <iterator>

#include "engine/display.h"

SpriteObject backdrops[BACKDROP_COUNT];
SpriteObject hero_small, hero_large;
SpriteObject* hero;
SpriteObject qblocks[QBLOCK_COUNT];
SpriteObject bricks[BRICK_COUNT];
SpriteObject brick_frags[BRICK_FRAG_COUNT];
SpriteObject power_up;
SpriteObject skivits[SKIVIT_COUNT];
SpriteObject coin_sprites[COIN_SPRITE_COUNT];
SpriteObject pipes[PIPE_PIECE_COUNT];
SpriteObject blocks[BLOCK_COUNT];

bool on_screen(const SpriteObject* sprite) {
    return sprite->x + static_cast<float>(sprite->width) >= 0.0f &&
           sprite->x <= static_cast<float>(SCREEN_RIGHT);
}

bool is_qblock(const SpriteObject* sprite) {
    return sprite >= qblocks && sprite < qblocks + QBLOCK_COUNT;
}

bool is_brick(const SpriteObject* sprite) {
    return sprite >= bricks && sprite < bricks + BRICK_COUNT;
}

void draw_on_back(SpriteObject* sprite) {
    static_cast<void>(sprite_draw(sprite, back_surface));
}

namespace {

int hero_form(const void* linked) {
    return linked == &hero_small || linked == &hero_large;
}

const StateBlock state_blocks[] = {
    {"objects.cpp:backdrops", STATE_SPRITES, backdrops, BACKDROP_COUNT},
    {"objects.cpp:hero_small", STATE_SPRITES, &hero_small, 1},
    {"objects.cpp:hero_large", STATE_SPRITES, &hero_large, 1},
    {"objects.cpp:hero", STATE_SPRITE_LINK, &hero, 1, hero_form},
    {"objects.cpp:qblocks", STATE_SPRITES, qblocks, QBLOCK_COUNT},
    {"objects.cpp:bricks", STATE_SPRITES, bricks, BRICK_COUNT},
    {"objects.cpp:brick_frags", STATE_SPRITES, brick_frags, BRICK_FRAG_COUNT},
    {"objects.cpp:power_up", STATE_SPRITES, &power_up, 1},
    {"objects.cpp:skivits", STATE_SPRITES, skivits, SKIVIT_COUNT},
    {"objects.cpp:coin_sprites", STATE_SPRITES, coin_sprites, COIN_SPRITE_COUNT},
    {"objects.cpp:pipes", STATE_SPRITES, pipes, PIPE_PIECE_COUNT},
    {"objects.cpp:blocks", STATE_SPRITES, blocks, BLOCK_COUNT},
};

}  // namespace

const StateBlockList world_objects_state = {state_blocks,
                                            static_cast<int>(std::size(state_blocks))};
