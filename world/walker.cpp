// The walkers' shared contacts with scenery, blocks and bricks, and their place after a move.
#include "world/walker.h"

#include "world/collide.h"
#include "world/level.h"
#include "world/objects.h"

namespace {
constexpr float BRICK_LIFT = 2;
constexpr float FALL_STEP = 2;

void turn(SpriteObject* walker) {
    walker->vx = -walker->vx;
}
}  // namespace

void walker_turn_at(SpriteObject* walker, SpriteObject* pieces, int count) {
    for (int i = 0; i < count; ++i) {
        if (on_screen(&pieces[i]) &&
            sprite_contact(walker, &pieces[i], COLLIDE_CLASSIFY) != CONTACT_NONE) {
            turn(walker);
        }
    }
}

void walker_meet(SpriteObject* walker, SpriteObject* block, int r, SpriteObject** support) {
    if (r == CONTACT_LANDED) {
        *support = block;
    } else if (r == CONTACT_SIDE) {
        turn(walker);
    }
}

void walker_meet_bricks(SpriteObject* walker, SpriteObject** support) {
    for (SpriteObject& brick : bricks) {
        if (!on_screen(&brick))
            continue;
        const int r = sprite_contact(walker, &brick, COLLIDE_CLASSIFY);
        walker_meet(walker, &brick, r, support);
        if (r == CONTACT_LANDED)
            walker->y -= BRICK_LIFT;
    }
}

void walker_settle(SpriteObject* walker, const SpriteObject* support) {
    if (support != nullptr) {
        walker->y = support->y - walker->height - 1;
    } else if (sprite_on_floor(walker)) {
        walker->y = static_cast<float>(FLOOR_LINE - walker->height);
    } else {
        walker->vy += FALL_STEP;
    }
}
