// The world's share of a played frame: drawing in layer order, then the updates.
#include "world/world_frame.h"

#include "world/blocks.h"
#include "world/hero.h"
#include "world/objects.h"
#include "world/power_up.h"
#include "world/scenery.h"
#include "world/skivits.h"

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
    if (power_up.state == POWER_UP_IN_PLAY)
        power_up_update();
    skivits_update();
}
