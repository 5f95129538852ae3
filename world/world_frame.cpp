// The world's share of a played frame: drawing in layer order, then the updates.
#include "world/level.h"

void world_draw() {
    backdrops_draw();
    pipes_draw();
    blocks_draw();
    power_up_draw();
    qblocks_draw();
    bricks_draw();
    brick_frags_draw();
    coin_sprites_draw();
    skivits_draw();
}

void world_update() {
    hero_update();
    if (power_up.state == 1)
        power_up_update();
    skivits_update();
}
