// Scrolling: once the hero passes x 213 the whole world moves left instead of the hero.
#include "world/scroll.h"

#include "world/objects.h"
#include "world/world_state.h"

namespace {
void shift(SpriteObject* sprites, int count) {
    for (int i = 0; i < count; ++i)
        sprites[i].x -= scroll_step;
}
}  // namespace

void scroll_world() {
    if (!(hero->x > SCROLL_LINE)) {
        scroll_step = 0;
        return;
    }
    // Whole pixels: the fraction of the hero's step past the line is dropped.
    scroll_step = static_cast<int>(hero->x - SCROLL_LINE);
    hero->x = SCROLL_LINE;
    shift(qblocks, QBLOCK_COUNT);
    shift(bricks, BRICK_COUNT);
    shift(coin_sprites, COIN_SPRITE_COUNT);
    shift(skivits, SKIVIT_COUNT);
    shift(brick_frags, BRICK_FRAG_COUNT);
    shift(pipes, PIPE_PIECE_COUNT);
    shift(blocks, BLOCK_COUNT);
    shift(&power_up, 1);
    shift(backdrops, BACKDROP_COUNT);
    scroll_total += scroll_step;
}
