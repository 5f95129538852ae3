// The display module: the display device, the primary surface with its back buffer, the
// 256-colour display palette, clippers, colour fills, lock and unlock for direct pixel
// access, and presentation with display_flip. Every frame is drawn into back_surface.
#pragma once
#include <cstdint>

#include "engine/gfx.h"
#include "engine/types.h"

extern GfxDevice* display_device;
extern GfxSurface* primary_surface;
extern GfxSurface* back_surface;
extern GfxPalette* display_palette;
extern GfxClipper* back_clipper;
extern GfxClipper* window_clipper;
extern int screen_width, screen_height, screen_bpp;  // 640, 480, 8 before display_init
extern int display_windowed;
extern int pixel_format;  // bits per pixel the primary reports; 16 before display_init
typedef int (*MakeRgb16)(int red, int green, int blue);
extern MakeRgb16 make_rgb16;
// Inclusive clip bounds: 0, 639, 0, 479 before display_init.
extern int clip_min_x, clip_max_x, clip_min_y, clip_max_y;
// First pixel and bytes per row of a locked surface; null and 0 while unlocked.
extern uint8_t* primary_buffer;
extern int primary_pitch;
extern uint8_t* back_buffer;
extern int back_pitch;
extern PaletteEntry shadow_palette[256];
extern Rect screen_rect;

int rgb16_565(int red, int green, int blue);
int rgb16_555(int red, int green, int blue);

// The main window as the display sees it: its screen rectangle, which the cooperation level,
// the windowed clipper and the windowed flip read. Set before display_init.
void display_set_window(const Rect* window_rect);
// Brings up the display: full screen (windowed 0) or windowed. 1 or 0.
int display_init(int width, int height, int bpp, int windowed);
// Releases what display_init made; returns 1.
int display_shutdown();
// An off-screen surface of the display's depth with a source colour key; null on failure.
GfxSurface* display_create_surface(int width, int height, unsigned caps, int color_key);
// A clipper with the given rectangles, attached to the surface; null on failure.
GfxClipper* display_attach_clipper(GfxSurface* surface, int rect_count, const Rect* rects);
// Colour fill of rect (null: the whole surface); always 1.
int display_fill_surface(GfxSurface* surface, int color, const Rect* rect);
uint8_t* display_lock_back();
int display_unlock_back();
uint8_t* display_lock_primary();
int display_unlock_primary();
uint8_t* display_lock_surface(GfxSurface* surface, int* pitch_out);
int display_unlock_surface(GfxSurface* surface);
// Presents the back surface; 0 while a lock is outstanding.
int display_flip();
int display_wait_vblank();
