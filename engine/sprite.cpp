// Sprite objects: creation of the frame surfaces, cutting frames out of sprite sheets,
// animation, movement within the clip bounds, drawing and the overlap test.
#include "engine/sprite.h"

#include <cstdlib>
#include <cstring>

#include "engine/display.h"
#include "engine/primitives.h"

namespace {

bool frame_index_ok(int frame) {
    return frame >= 0 && frame < SPRITE_MAX_FRAMES;
}
bool anim_index_ok(int index) {
    return index >= 0 && index < SPRITE_MAX_ANIMS;
}

// Copies one cell of the sheet into a frame surface; bytes_per_pixel is 1 or 2. A cell that
// would read outside the picture, a frame that does not exist or a lock that fails copies
// nothing and gives 0.
int load_cell(SpriteObject* sprite, const BitmapFile* bitmap, int frame, int cx, int cy, int mode,
              int bytes_per_pixel) {
    if (!sprite)
        return 0;
    if (!bitmap || !frame_index_ok(frame) || !sprite->frames[frame])
        return 0;
    if (bitmap->info_header.bit_count != bytes_per_pixel * 8)
        return 0;
    if (!surface_load_cell(sprite->frames[frame], bitmap, cx, cy, sprite->width, sprite->height,
                           mode)) {
        return 0;
    }
    sprite->flags |= SPRITE_LOADED;
    return 1;
}

int draw_to(SpriteObject* sprite, int draw_width, int draw_height, GfxSurface* surface) {
    if (!sprite)
        return 0;
    if (!(sprite->flags & SPRITE_VISIBLE))
        return 1;
    if (!frame_index_ok(sprite->frame) || !sprite->frames[sprite->frame])
        return 0;
    Rect dest;
    dest.left = static_cast<int>(sprite->x);
    dest.top = static_cast<int>(sprite->y);
    dest.right = static_cast<int>(sprite->x + static_cast<float>(draw_width));
    dest.bottom = static_cast<int>(sprite->y + static_cast<float>(draw_height));
    const Rect source = {0, 0, sprite->width, sprite->height};
    return gfx_blit(surface, &dest, sprite->frames[sprite->frame], &source,
                    GFX_BLT_WAIT | GFX_BLT_KEYSRC, nullptr) == GFX_OK
               ? 1
               : 0;
}

}  // namespace

int sprite_create(SpriteObject* sprite, int x, int y, int width, int height, int frame_count,
                  int flags, unsigned caps, int color_key, int depth) {
    if (!sprite)
        return 0;
    if (frame_count < 0 || frame_count > SPRITE_MAX_FRAMES)
        return 0;
    sprite->state = 1;
    sprite->flags = flags;
    sprite->aux_state = 0;
    sprite->counter_a = sprite->counter_b = sprite->limit_a = sprite->limit_b = 0;
    sprite->frame = 0;
    sprite->frame_count = frame_count;
    sprite->depth = depth;
    sprite->anim = sprite->anim_tick = sprite->anim_pos = sprite->anim_period = 0;
    sprite->x = static_cast<float>(x);
    sprite->y = static_cast<float>(y);
    sprite->vx = sprite->vy = 0.0f;
    sprite->width = width;
    sprite->height = height;
    for (GfxSurface*& f : sprite->frames)
        f = nullptr;
    for (int*& a : sprite->anims)
        a = nullptr;
    const uint32_t key = static_cast<uint32_t>(color_key) & 0xFFFF;
    for (int i = 0; i < frame_count; ++i) {
        GfxSurfaceDesc desc;
        std::memset(&desc, 0, sizeof(desc));
        desc.size = sizeof(desc);
        desc.flags = GFX_DESC_CAPS | GFX_DESC_HEIGHT | GFX_DESC_WIDTH;
        desc.width = width + sprite->extra_width;
        desc.height = height;
        desc.caps = caps | GFX_CAPS_OFFSCREENPLAIN;
        if (gfx_create_surface(display_device, &desc, &sprite->frames[i]) != GFX_OK) {
            sprite->frames[i] = nullptr;
            return 0;
        }
        // A surface just made always takes a key whose low and high are equal.
        static_cast<void>(gfx_set_color_key(sprite->frames[i], GFX_CKEY_SRCBLT, key, key));
    }
    return 1;
}

int sprite_destroy(SpriteObject* sprite) {
    if (!sprite)
        return 0;
    const bool clone = (sprite->flags & SPRITE_CLONE) != 0;
    for (GfxSurface*& f : sprite->frames) {
        if (f && !clone)
            gfx_release_surface(f);
        f = nullptr;
    }
    for (int*& a : sprite->anims) {
        if (a && !clone)
            std::free(a);
        a = nullptr;
    }
    return 1;
}

int sprite_clone(const SpriteObject* source, SpriteObject* destination) {
    if (!source || !destination || source == destination)
        return 0;
    std::memcpy(destination, source, sizeof(SpriteObject));
    destination->flags |= SPRITE_CLONE;
    return 1;
}

int sprite_load_frame(SpriteObject* sprite, const BitmapFile* bitmap, int frame, int cx, int cy,
                      int mode) {
    return load_cell(sprite, bitmap, frame, cx, cy, mode, 1);
}

int sprite_load_frame16(SpriteObject* sprite, const BitmapFile* bitmap, int frame, int cx, int cy,
                        int mode) {
    return load_cell(sprite, bitmap, frame, cx, cy, mode, 2);
}

int sprite_load_animation(SpriteObject* sprite, int index, int count, const int* values) {
    if (!sprite)
        return 0;
    if (!anim_index_ok(index) || count < 1 || !values)
        return 0;
    int* sequence = static_cast<int*>(std::malloc(sizeof(int) * (static_cast<size_t>(count) + 1)));
    if (!sequence)
        return 0;
    std::memcpy(sequence, values, sizeof(int) * static_cast<size_t>(count));
    sequence[count] = -1;
    // A sequence loaded over another frees the old one, unless it belongs to a clone's source.
    if (sprite->anims[index] && !(sprite->flags & SPRITE_CLONE))
        std::free(sprite->anims[index]);
    sprite->anims[index] = sequence;
    return 1;
}

int sprite_animate(SpriteObject* sprite) {
    if (!sprite)
        return 0;
    if (sprite->flags & SPRITE_SINGLE_FRAME) {
        sprite->frame = 0;
    } else if (sprite->flags & SPRITE_CYCLE) {
        if (++sprite->anim_tick >= sprite->anim_period) {
            sprite->anim_tick = 0;
            if (++sprite->frame >= sprite->frame_count)
                sprite->frame = 0;
        }
    } else if (sprite->flags & SPRITE_SEQUENCE) {
        // Without its sequence there is nothing to play; refuse rather than read nowhere.
        if (!anim_index_ok(sprite->anim) || !sprite->anims[sprite->anim])
            return 0;
        const int* sequence = sprite->anims[sprite->anim];
        if (++sprite->anim_tick >= sprite->anim_period) {
            sprite->anim_tick = 0;
            sprite->anim_pos += 1;
            sprite->frame = sequence[sprite->anim_pos];
            if (sprite->frame == -1) {
                if (sprite->flags & SPRITE_ONCE) {
                    sprite->aux_state = 1;
                    sprite->anim_pos -= 1;
                    sprite->frame = sequence[sprite->anim_pos];
                } else {
                    sprite->anim_pos = 0;
                    sprite->frame = sequence[0];
                }
            }
        }
    }
    return 1;
}

int sprite_move(SpriteObject* sprite) {
    if (!sprite)
        return 0;
    sprite->x += sprite->vx;
    sprite->y += sprite->vy;
    const float min_x = static_cast<float>(clip_min_x), max_x = static_cast<float>(clip_max_x);
    const float min_y = static_cast<float>(clip_min_y), max_y = static_cast<float>(clip_max_y);
    const float width = static_cast<float>(sprite->width);
    const float height = static_cast<float>(sprite->height);
    if (sprite->flags & SPRITE_WRAP) {
        if (sprite->x > max_x) {
            sprite->x = min_x - width;
        } else if (sprite->x < min_x - width) {
            sprite->x = max_x;
        }
        if (sprite->y > max_y) {
            sprite->y = min_y - height;
        } else if (sprite->y < min_y - height) {
            sprite->y = max_y;
        }
    } else if (sprite->flags & SPRITE_BOUNCE) {
        if (sprite->x > max_x - width || sprite->x < min_x)
            sprite->vx = -sprite->vx;
        if (sprite->y > max_y - height || sprite->y < min_y)
            sprite->vy = -sprite->vy;
    }
    return 1;
}

int sprite_draw(SpriteObject* sprite, GfxSurface* surface) {
    return sprite ? draw_to(sprite, sprite->width, sprite->height, surface) : 0;
}

int sprite_draw_scaled(SpriteObject* sprite, int draw_width, int draw_height, GfxSurface* surface) {
    return draw_to(sprite, draw_width, draw_height, surface);
}

int sprite_draw16(SpriteObject* sprite, GfxSurface* surface) {
    return sprite_draw(sprite, surface);
}

int sprite_draw_scaled16(SpriteObject* sprite, int draw_width, int draw_height,
                         GfxSurface* surface) {
    return draw_to(sprite, draw_width, draw_height, surface);
}

int sprite_keep_scaled(SpriteObject* sprite, int draw_width, int draw_height) {
    if (!sprite)
        return 0;
    const Rect source = {0, 0, sprite->width, sprite->height};
    int kept = 1;
    for (int i = 0; i < sprite->frame_count && i < SPRITE_MAX_FRAMES; ++i) {
        if (!sprite->frames[i] ||
            gfx_keep_stretched(sprite->frames[i], &source, draw_width, draw_height) != GFX_OK)
            kept = 0;
    }
    return kept;
}

int sprite_opaque(SpriteObject* sprite) {
    if (!sprite || !(sprite->flags & SPRITE_VISIBLE) || !frame_index_ok(sprite->frame))
        return 0;
    int holds = 1;
    GfxSurface* frame = sprite->frames[sprite->frame];
    return frame && gfx_holds_key(frame, &holds) == GFX_OK && !holds ? 1 : 0;
}

int sprite_set_position(SpriteObject* sprite, int x, int y) {
    if (!sprite)
        return 0;
    sprite->x = static_cast<float>(x);
    sprite->y = static_cast<float>(y);
    return 1;
}

int sprite_set_velocity(SpriteObject* sprite, int vx, int vy) {
    if (!sprite)
        return 0;
    sprite->vx = static_cast<float>(vx);
    sprite->vy = static_cast<float>(vy);
    return 1;
}

int sprite_set_anim_period(SpriteObject* sprite, int period) {
    if (!sprite)
        return 0;
    sprite->anim_period = period;
    return 1;
}

int sprite_set_animation(SpriteObject* sprite, int index) {
    if (!sprite || !anim_index_ok(index))
        return 0;
    sprite->anim = index;
    sprite->anim_pos = 0;
    return 1;
}

int sprite_hide(SpriteObject* sprite) {
    if (!sprite)
        return 0;
    sprite->flags &= ~SPRITE_VISIBLE;
    return 1;
}

int sprite_show(SpriteObject* sprite) {
    if (!sprite)
        return 0;
    sprite->flags |= SPRITE_VISIBLE;
    return 1;
}

int sprite_overlap(const SpriteObject* a, const SpriteObject* b) {
    if (!a || !b)
        return 0;
    const int ra = (a->width >> 1) - (a->width >> 3), sa = (a->height >> 1) - (a->height >> 3);
    const int rb = (b->width >> 1) - (b->width >> 3), sb = (b->height >> 1) - (b->height >> 3);
    const int ax = static_cast<int>(static_cast<float>(ra) + a->x);
    const int ay = static_cast<int>(static_cast<float>(sa) + a->y);
    const int bx = static_cast<int>(static_cast<float>(rb) + b->x);
    const int by = static_cast<int>(static_cast<float>(sb) + b->y);
    const int dx = bx > ax ? bx - ax : ax - bx;
    const int dy = by > ay ? by - ay : ay - by;
    return (dx < ra + rb && dy < sa + sb) ? 1 : 0;
}
