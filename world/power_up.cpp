// The power-up: emerging from its block, walking, reversing, falling, and leaving the game
// below the screen.
#include "world/power_up.h"

#include "world/collide.h"
#include "world/objects.h"
#include "world/walker.h"

namespace {
constexpr float EMERGE_STEP = 2;

// Still inside the block it came from: its bottom reaches the block's top and it stands at
// the block's x.
bool emerging_from(const SpriteObject* q) {
    return power_up.y + power_up.height >= q->y && power_up.x == q->x;
}
}  // namespace

void power_up_update() {
    SpriteObject* support = nullptr;
    walker_turn_at(&power_up, pipes, PIPE_PIECE_COUNT);
    walker_turn_at(&power_up, blocks, BLOCK_COUNT);
    for (SpriteObject& q : qblocks) {
        if (!on_screen(&q))
            continue;
        const int r = sprite_contact(&power_up, &q, COLLIDE_CLASSIFY);
        if (r != CONTACT_NONE && emerging_from(&q)) {
            // Rise with the block, without this frame's step sideways.
            power_up.y -= EMERGE_STEP;
            power_up.x -= power_up.vx;
            support = &q;
        } else {
            walker_meet(&power_up, &q, r, &support);
        }
    }
    walker_meet_bricks(&power_up, &support);
    sprite_move(&power_up);
    walker_settle(&power_up, support);
}

void power_up_draw() {
    if (power_up.state != POWER_UP_IN_PLAY)
        return;
    if (power_up.y > SCREEN_BOTTOM)
        power_up.state = POWER_UP_ABSENT;  // drawn once more, then gone
    draw_on_back(&power_up);
}
