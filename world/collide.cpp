// Contact tests: the box overlap, how a moving sprite meets another, and the floor test with
// its pit scan of the frame drawn so far.
#include "engine/display.h"
#include "shell/game.h"
#include "world/level.h"

namespace {
bool in_range(int v, int lo, int hi) {
    return lo <= v && v <= hi;
}

bool is_brick(const SpriteObject* sprite) {
    return sprite >= bricks && sprite < bricks + BRICK_COUNT;
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
    if (o == &power_up && o->state == 0)
        return 0.0f;

    if (mode != 0) {
        // Each box widened by its velocity on both sides.
        return overlap_fraction(
            static_cast<int>(m->x - m->vx), static_cast<int>(m->y - m->vy),
            static_cast<int>(m->width + 2 * m->vx), static_cast<int>(m->height + 2 * m->vy),
            static_cast<int>(o->x - o->vx), static_cast<int>(o->y - o->vy),
            static_cast<int>(o->width + 2 * o->vx), static_cast<int>(o->height + 2 * o->vy));
    }

    if (is_brick(o) && o->state == 0)
        return 0.0f;

    // Head: the rising hero's upper half after this frame's step against the lower half.
    if (m == hero && m->vy < 0) {
        const float r =
            overlap_fraction(static_cast<int>(m->x), static_cast<int>(m->y + m->vy), m->width,
                             m->height / 2, static_cast<int>(o->x),
                             static_cast<int>(o->height / 2 + o->y), o->width, o->height / 2);
        if (r != 0.0f)
            return r;
    }

    // Landing: the lower half pushed down by the fall against the upper half.
    if (m->vy >= 0) {
        const float r = overlap_fraction(
            static_cast<int>(m->x), static_cast<int>(m->height / 2 + m->y + m->vy + 2), m->width,
            static_cast<int>(m->height / 2 + m->vy), static_cast<int>(o->x), static_cast<int>(o->y),
            o->width, o->height / 2);
        if (r != 0.0f) {
            if (m == hero)
                hero_support = o;
            return 3.0f;
        }
    }

    // Sides: the strip the leading edge sweeps against the other's two-pixel edge. One row
    // short, so a sprite standing on top never hits the side.
    if (m->vx > 0) {
        const float r = overlap_fraction(
            static_cast<int>(m->width + m->x), static_cast<int>(m->y), static_cast<int>(m->vx),
            m->height - 1, static_cast<int>(o->x), static_cast<int>(o->y), 2, o->height);
        if (r != 0.0f)
            return 2.0f;
    }
    if (m->vx < 0) {
        const float r = overlap_fraction(
            static_cast<int>(m->x + m->vx), static_cast<int>(m->y), static_cast<int>(-m->vx),
            m->height - 1, static_cast<int>(o->width + o->x), static_cast<int>(o->y), 2, o->height);
        if (r != 0.0f)
            return 2.0f;
    }
    return 0.0f;
}

int sprite_on_floor(const SpriteObject* s) {
    const float bottom = s->height + s->y;
    // Pit colour in the band under the feet. Without a locked frame there is nothing to
    // read, so only the floor line decides.
    if (back_buffer != nullptr &&
        find_color_in_rect(static_cast<int>(s->x), static_cast<int>(bottom - s->vy),
                           static_cast<int>(s->width + s->x), static_cast<int>(bottom + s->vy),
                           PIT_COLOR, PIT_COLOR, back_buffer, back_pitch) == 1) {
        return 0;
    }
    if (bottom + s->vy < FLOOR_LINE)
        return 0;
    return 1;
}
