// Contact tests: the box overlap, how a moving sprite meets another, and the floor test with
// its pit scan of the frame drawn so far.
//
// The boxes are whole pixels: every float sum below is truncated toward zero where it becomes
// a box coordinate, as the rules intend (a sprite at x 10.7 tests as 10, one at -0.5 as 0).
#include "world/collide.h"

#include "engine/display.h"
#include "engine/scan.h"
#include "world/level.h"
#include "world/objects.h"
#include "world/world_state.h"

namespace {

bool in_range(int v, int lo, int hi) {
    return lo <= v && v <= hi;
}

int whole(float v) {
    return static_cast<int>(v);
}

// Head: the rising hero's upper half after this frame's step against the lower half.
float head_bump(const SpriteObject* m, const SpriteObject* o) {
    return overlap_fraction(whole(m->x), whole(m->y + m->vy), m->width, m->height / 2, whole(o->x),
                            whole(o->height / 2 + o->y), o->width, o->height / 2);
}

// Landing: the lower half pushed down by the fall against the upper half.
float landing(const SpriteObject* m, const SpriteObject* o) {
    return overlap_fraction(whole(m->x), whole(m->height / 2 + m->y + m->vy + 2), m->width,
                            whole(m->height / 2 + m->vy), whole(o->x), whole(o->y), o->width,
                            o->height / 2);
}

// Sides: the strip the leading edge sweeps against the other's two-pixel edge. One row short,
// so a sprite standing on top never hits the side.
float side(const SpriteObject* m, const SpriteObject* o) {
    if (m->vx > 0) {
        return overlap_fraction(whole(m->width + m->x), whole(m->y), whole(m->vx), m->height - 1,
                                whole(o->x), whole(o->y), 2, o->height);
    }
    if (m->vx < 0) {
        return overlap_fraction(whole(m->x + m->vx), whole(m->y), whole(-m->vx), m->height - 1,
                                whole(o->width + o->x), whole(o->y), 2, o->height);
    }
    return 0.0f;
}

// Each box widened by its velocity on both sides.
float swept(const SpriteObject* m, const SpriteObject* o) {
    return overlap_fraction(whole(m->x - m->vx), whole(m->y - m->vy), whole(m->width + 2 * m->vx),
                            whole(m->height + 2 * m->vy), whole(o->x - o->vx), whole(o->y - o->vy),
                            whole(o->width + 2 * o->vx), whole(o->height + 2 * o->vy));
}

}  // namespace

float overlap_fraction(int ax, int ay, int aw, int ah, int bx, int by, int bw, int bh) {
    // B's edges inside A, then A's edges inside B; touching edges count as meeting.
    const bool b_in_a = (in_range(bx, ax, ax + aw) || in_range(bx + bw, ax, ax + aw)) &&
                        (in_range(by, ay, ay + ah) || in_range(by + bh, ay, ay + ah));
    if (!b_in_a) {
        const bool a_in_b = (in_range(ax, bx, bx + bw) || in_range(ax + aw, bx, bx + bw)) &&
                            (in_range(ay, by, by + bh) || in_range(ay + ah, by, by + bh));
        if (!a_in_b)
            return 0.0f;
    }
    // A swept box whose speed cancels its width has no width to divide by; the boxes met,
    // so that is full contact.
    if (aw == 0)
        return 1.0f;
    if (ax <= bx)
        return static_cast<float>(ax + aw - bx) / static_cast<float>(aw);
    if (ax + aw > bx + bw)
        return static_cast<float>(bx + bw - ax) / static_cast<float>(aw);
    return 1.0f;
}

float sprite_collide(SpriteObject* m, SpriteObject* o, int mode) {
    if (o == &power_up && o->state == POWER_UP_ABSENT)
        return COLLIDE_NONE;
    if (mode != COLLIDE_CLASSIFY)
        return swept(m, o);
    if (is_brick(o) && o->state == BRICK_BROKEN)
        return COLLIDE_NONE;
    if (m == hero && m->vy < 0) {
        const float r = head_bump(m, o);
        if (r != 0.0f)
            return r;
    }
    if (m->vy >= 0 && landing(m, o) != 0.0f) {
        if (m == hero)
            hero_support = o;
        return COLLIDE_LANDED;
    }
    return side(m, o) != 0.0f ? COLLIDE_SIDE : COLLIDE_NONE;
}

int sprite_contact(SpriteObject* mover, SpriteObject* other, int mode) {
    return static_cast<int>(sprite_collide(mover, other, mode));
}

int sprite_on_floor(const SpriteObject* s) {
    const float bottom = s->height + s->y;
    // Pit colour in the band under the feet. Without a locked frame there is nothing to
    // read, so only the floor line decides.
    if (back_buffer != nullptr &&
        find_color_in_rect(whole(s->x), whole(bottom - s->vy), whole(s->width + s->x),
                           whole(bottom + s->vy), PIT_COLOR, PIT_COLOR, back_buffer,
                           back_pitch) == 1) {
        return 0;
    }
    return bottom + s->vy < FLOOR_LINE ? 0 : 1;
}
