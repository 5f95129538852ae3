// The display module: the display device, the primary surface with its back buffer, the
// 256-colour display palette, clippers, colour fills, lock and unlock for direct pixel
// access, and presentation with display_flip. Every frame is drawn into back_surface.
//
// Operations report success as 1 and failure as 0 (or a null surface, clipper or pointer);
// those that can fail are [[nodiscard]]. display_shutdown, display_fill_surface and
// display_wait_vblank always give 1.
#pragma once
#include <cstdint>

#include "engine/gfx.h"
#include "engine/state.h"
#include "engine/types.h"

extern GfxDevice* display_device;    // the display service's device, made by display_init
extern GfxSurface* back_surface;     // the target of all frame drawing
extern GfxPalette* display_palette;  // attached to the primary surface in 8-bit modes
extern GfxClipper* back_clipper;     // on the back surface: the screen rectangle
extern GfxClipper* window_clipper;   // windowed only: on the primary surface, the window
extern int screen_width, screen_height, screen_bpp;  // the mode; 640, 480, 8 before set-up
extern int display_windowed;                         // 1 when set up windowed
extern int pixel_format;  // bits per pixel the primary reports; 16 before set-up
typedef int (*MakeRgb16)(int red, int green, int blue);
extern MakeRgb16 make_rgb16;  // the 16-bit colour builder for pixel_format
// Inclusive clip bounds of the primitives and sprite moves: 0, 639, 0, 479 before set-up.
extern int clip_min_x, clip_max_x, clip_min_y, clip_max_y;
extern uint8_t* back_buffer;  // the locked back surface's first pixel; null while unlocked
extern int back_pitch;        // its bytes per row; 0 while unlocked
extern PaletteEntry shadow_palette[256];  // the engine's copy of the display palette
extern Rect screen_rect;                  // 0, 0, screen_width, screen_height

int rgb16_565(int red, int green, int blue);
int rgb16_555(int red, int green, int blue);

// The display's set-up modes (the windowed argument of display_init).
enum : int { DISPLAY_FULL_SCREEN = 0, DISPLAY_WINDOWED = 1 };

// The main window as the display sees it: its screen rectangle, which the cooperation level,
// the windowed clipper and the windowed flip read. Set before display_init.
void display_set_window(const Rect* window_rect);
// Brings up the display, full screen or windowed. What it made before a failure stays for
// display_shutdown.
[[nodiscard]] int display_init(int width, int height, int bpp, int windowed);
// Releases what display_init made and returns every global above to its value at load.
int display_shutdown();
// The palette file display_init reads at 8 bits, and whether it read it whole (256 entries of
// four numbers from 0 to 255). The display goes on without it: start-up replaces the palette.
constexpr const char* DISPLAY_PALETTE_FILE = "PALDATA2.PAL";
int display_palette_file_read();
// An off-screen surface of the display's depth with a source colour key; null on failure.
[[nodiscard]] GfxSurface* display_create_surface(int width, int height, unsigned caps,
                                                 int color_key);
// A clipper with the given rectangles, attached to the surface; null on failure.
[[nodiscard]] GfxClipper* display_attach_clipper(GfxSurface* surface, int rect_count,
                                                 const Rect* rects);
// Colour fill of rect (null: the whole surface).
int display_fill_surface(GfxSurface* surface, int color, const Rect* rect);
// Locks the back surface (a second lock gives the same pointer); null when it cannot.
[[nodiscard]] uint8_t* display_lock_back();
// 0 when it was not locked.
[[nodiscard]] int display_unlock_back();
// The same for the primary surface.
[[nodiscard]] uint8_t* display_lock_primary();
[[nodiscard]] int display_unlock_primary();
// Locks any surface, repeated locks unguarded; null for a null surface or a failed lock.
[[nodiscard]] uint8_t* display_lock_surface(GfxSurface* surface, int* pitch_out);
[[nodiscard]] int display_unlock_surface(GfxSurface* surface);
// Presents the back surface; 0 while a lock is outstanding or when presenting fails.
[[nodiscard]] int display_flip();
// While off, display_flip shows nothing and succeeds: the frames of passes run again to reach
// a point of a rewind are not for the player's eyes. On at start-up.
void display_set_presenting(int presenting);
// The palette in use, as a block of state for snapshots.
extern const StateBlockList display_state;
int display_wait_vblank();
