// The world's objects and the questions every world routine asks of one.
#include "world/objects.h"

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
