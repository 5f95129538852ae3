// The power-up: emerging from its block, walking, reversing, falling, and leaving the game
// below the screen.
#include "engine/display.h"
#include "world/level.h"

namespace {
int contact(SpriteObject* other) {
    return static_cast<int>(sprite_collide(&power_up, other, 0));
}
}  // namespace

void power_up_update() {
    SpriteObject* support = nullptr;
    // Pipes and staircases turn it back at any contact.
    for (SpriteObject& pipe : pipes) {
        if (on_screen(&pipe) && contact(&pipe) != 0)
            power_up.vx = -power_up.vx;
    }
    for (SpriteObject& block : blocks) {
        if (on_screen(&block) && contact(&block) != 0)
            power_up.vx = -power_up.vx;
    }
    for (SpriteObject& q : qblocks) {
        if (!on_screen(&q))
            continue;
        const int r = contact(&q);
        if (r == 0)
            continue;
        if (power_up.y + power_up.height >= q.y && power_up.x == q.x) {
            // Still inside the block it came from: rise with it, without moving sideways.
            power_up.y -= 2;
            power_up.x -= power_up.vx;
            support = &q;
        } else if (r == 3) {
            support = &q;
        } else if (r == 2) {
            power_up.vx = -power_up.vx;
        }
    }
    for (SpriteObject& brick : bricks) {
        if (!on_screen(&brick))
            continue;
        const int r = contact(&brick);
        if (r == 3) {
            support = &brick;
            power_up.y -= 2;
        } else if (r == 2) {
            power_up.vx = -power_up.vx;
        }
    }
    sprite_move(&power_up);
    if (support != nullptr) {
        power_up.y = support->y - power_up.height - 1;
    } else if (sprite_on_floor(&power_up)) {
        power_up.y = static_cast<float>(FLOOR_LINE - power_up.height);
    } else {
        power_up.vy += 2;
    }
}

void power_up_draw() {
    if (power_up.state != 1)
        return;
    if (power_up.y > 480)
        power_up.state = 0;  // drawn once more, then gone
    sprite_draw(&power_up, back_surface);
}
