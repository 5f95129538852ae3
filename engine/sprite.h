// Sprite objects: every world object is a SpriteObject with a float position and velocity,
// up to 64 frame surfaces, up to 16 animation sequences and a flag word. Frames are cut
// from a loaded BitmapFile; drawing is one colour-keyed, clipped, stretched blit.
//
// Operations give 1 on success and 0 on failure, and 0 at once for a null sprite. Those that
// can fail for other reasons (memory, surfaces, pictures, drawing) are [[nodiscard]]; the rest
// fail only for a null sprite or a sequence index out of range.
#pragma once
#include <cstdint>

#include "engine/bitmap.h"
#include "engine/gfx.h"

constexpr int SPRITE_MAX_FRAMES = 64;
constexpr int SPRITE_MAX_ANIMS = 16;

// flags bits; the animation modes are tested in the order 0x01, 0x02, 0x04.
enum : int {
    SPRITE_SINGLE_FRAME = 0x01,  // the animation holds frame 0
    SPRITE_CYCLE = 0x02,         // cycle through all the frames
    SPRITE_SEQUENCE = 0x04,      // play animation sequence anim
    SPRITE_ONCE = 0x08,          // with SPRITE_SEQUENCE: once, stopping on its last entry
    SPRITE_VISIBLE = 0x10,       // drawn; without it a draw does nothing
    SPRITE_BOUNCE = 0x20,        // sprite_move bounces it at the clip bounds
    SPRITE_WRAP = 0x40,          // sprite_move wraps it around at the clip bounds
    SPRITE_LOADED = 0x80,        // set once a frame is loaded; nothing reads it
    SPRITE_CLONE = 0x100,        // frames and sequences belong to another sprite
};

struct SpriteObject {
    int state;
    int aux_state;
    int flags;
    float x, y;
    float vx, vy;
    int width, height;
    int extra_width;
    int depth;
    int counter_a, counter_b, limit_a, limit_b;
    int ivars[16];
    float fvars[16];
    int frame;
    int frame_count;
    int anim;
    int anim_tick;
    int anim_pos;
    int anim_period;
    int* anims[SPRITE_MAX_ANIMS];
    GfxSurface* frames[SPRITE_MAX_FRAMES];
};

[[nodiscard]] int sprite_create(SpriteObject* sprite, int x, int y, int width, int height,
                                int frame_count, int flags, unsigned caps, int color_key,
                                int depth);
int sprite_destroy(SpriteObject* sprite);
[[nodiscard]] int sprite_clone(const SpriteObject* source, SpriteObject* destination);
// mode CUT_CELLS: cx, cy are cell numbers of the sheet grid; otherwise pixel coordinates.
[[nodiscard]] int sprite_load_frame(SpriteObject* sprite, const BitmapFile* bitmap, int frame,
                                    int cx, int cy, int mode);
[[nodiscard]] int sprite_load_frame16(SpriteObject* sprite, const BitmapFile* bitmap, int frame,
                                      int cx, int cy, int mode);
[[nodiscard]] int sprite_load_animation(SpriteObject* sprite, int index, int count,
                                        const int* values);
int sprite_animate(SpriteObject* sprite);
int sprite_move(SpriteObject* sprite);
[[nodiscard]] int sprite_draw(SpriteObject* sprite, GfxSurface* surface);
[[nodiscard]] int sprite_draw_scaled(SpriteObject* sprite, int draw_width, int draw_height,
                                     GfxSurface* surface);
[[nodiscard]] int sprite_draw16(SpriteObject* sprite, GfxSurface* surface);
[[nodiscard]] int sprite_draw_scaled16(SpriteObject* sprite, int draw_width, int draw_height,
                                       GfxSurface* surface);
// For a sprite always drawn at one size: keeps each frame stretched to draw_width x
// draw_height (gfx_keep_stretched), so that its scaled draws are row copies of the same
// pixels. 0 when a frame cannot be kept; draws are right either way.
[[nodiscard]] int sprite_keep_scaled(SpriteObject* sprite, int draw_width, int draw_height);
// 1 when a draw of the sprite covers its whole rectangle: it is visible and no pixel of its
// frame lies in the colour key; else 0.
[[nodiscard]] int sprite_opaque(SpriteObject* sprite);
int sprite_set_position(SpriteObject* sprite, int x, int y);
int sprite_set_velocity(SpriteObject* sprite, int vx, int vy);
int sprite_set_anim_period(SpriteObject* sprite, int period);
int sprite_set_animation(SpriteObject* sprite, int index);
int sprite_hide(SpriteObject* sprite);
int sprite_show(SpriteObject* sprite);
[[nodiscard]] int sprite_overlap(const SpriteObject* a, const SpriteObject* b);
