// The display service: our own small stand-in for a page-flipped, palettised display of
// 2005. Software surfaces of 8 or 16 bits per pixel with padded rows, a primary surface
// with one attached back buffer and a flip, colour keys, clip lists of rectangles,
// stretching and colour-keyed blits, colour fills, lock and unlock, a 256-entry palette
// and text output in the built-in font. Operations that can fail give a GfxStatus, GFX_OK or
// a negative GFX_ERR_*, which the caller must look at (or visibly ignore); releasing an
// object cannot fail. Presentation goes to the platform backend (platform/platform.h).
#pragma once
#include <cstddef>
#include <cstdint>

#include "engine/types.h"

enum [[nodiscard]] GfxStatus : int{
    GFX_OK = 0,
    GFX_ERR_INVALID = -1,      // bad argument, rectangle or state
    GFX_ERR_NOMEM = -2,        // out of surface memory or records
    GFX_ERR_LOST = -3,         // the surface lost its memory; restore it
    GFX_ERR_BUSY = -4,         // the surface is locked
    GFX_ERR_UNSUPPORTED = -5,  // mode or format the service cannot give
    GFX_ERR_NOT_FOUND = -6,    // no attached surface of that kind
};

// Cooperation flags, with the values of the display service of old.
enum : unsigned {
    GFX_COOP_FULLSCREEN = 0x1,       // the display is the program's alone, in a mode it sets
    GFX_COOP_ALLOWREBOOT = 0x2,      // the reboot keys stay usable; nothing reads it here
    GFX_COOP_NORMAL = 0x8,           // windowed: the desktop is the primary surface
    GFX_COOP_EXCLUSIVE = 0x10,       // goes with full screen; needs a window
    GFX_COOP_ALLOWMODEX = 0x40,      // the old planar modes may be used; nothing reads it here
    GFX_COOP_MULTITHREADED = 0x400,  // calls may come from several threads; nothing reads it here
};

// Surface capability bits.
enum : unsigned {
    GFX_CAPS_BACKBUFFER = 0x4,        // the back buffer attached to a flipping primary
    GFX_CAPS_COMPLEX = 0x8,           // with GFX_CAPS_FLIP: a primary with its back buffer
    GFX_CAPS_FLIP = 0x10,             // part of a flip chain
    GFX_CAPS_OFFSCREENPLAIN = 0x40,   // an off-screen surface; nothing reads it here
    GFX_CAPS_PRIMARYSURFACE = 0x200,  // the visible surface
    GFX_CAPS_SYSTEMMEMORY = 0x800,    // kept in system memory; every surface is, here
};

// Which fields of a GfxSurfaceDesc are valid.
enum : uint32_t {
    GFX_DESC_CAPS = 0x1,              // caps
    GFX_DESC_HEIGHT = 0x2,            // height
    GFX_DESC_WIDTH = 0x4,             // width
    GFX_DESC_PITCH = 0x8,             // pitch (set by a lock)
    GFX_DESC_BACKBUFFERCOUNT = 0x20,  // back_buffer_count
};

// Blit, lock, flip, colour-key and palette flags.
enum : unsigned {
    GFX_BLT_COLORFILL = 0x400,  // fill with the effects record's colour instead of copying
    GFX_BLT_KEYSRC = 0x8000,    // skip source pixels in the source's colour-key range
    GFX_BLT_WAIT = 0x1000000,   // wait while the hardware is busy; never busy here
    GFX_LOCK_WAIT = 0x1,        // the same for a lock
    GFX_FLIP_WAIT = 0x1,        // the same for a flip
    GFX_CKEY_SRCBLT = 0x8,      // the source colour key, the only kind there is here
    GFX_PAL_8BIT = 0x4,         // a palette of 256 entries
    GFX_PAL_ALLOW256 = 0x40,    // entries 0 and 255 may be set too; nothing reads it here
    GFX_VBLANK_BEGIN = 0x1,     // wait for the start of the vertical blank; returns at once
};

constexpr int GFX_MAX_SURFACES = 1024;
constexpr int GFX_MAX_CLIPPERS = 32;
constexpr int GFX_MAX_PALETTES = 8;
constexpr int GFX_MAX_CLIP_RECTS = 64;

// A surface description: asked for at creation, filled in by a lock. Its size field must
// be 124, the size of the record.
#pragma pack(push, 4)
struct GfxSurfaceDesc {
    uint32_t size;
    uint32_t flags;
    int32_t width, height;
    int32_t pitch;
    int32_t back_buffer_count;
    uint32_t caps;
    int32_t bits_per_pixel;
    void* pixels;
    uint8_t reserved[92 - sizeof(void*)];  // keeps the record at 124 bytes on 32-bit targets too
};
#pragma pack(pop)
static_assert(sizeof(GfxSurfaceDesc) == 124, "surface description is 124 bytes");

// A region-data record: this 32-byte header followed in memory by count rectangles.
struct GfxRegionHeader {
    uint32_t size;         // 32
    uint32_t type;         // GFX_REGION_RECTANGLES
    uint32_t count;        // rectangles that follow
    uint32_t region_size;  // count * 16
    Rect bound;            // smallest rectangle holding them all
};
static_assert(sizeof(GfxRegionHeader) == 32, "region header is 32 bytes");
constexpr uint32_t GFX_REGION_RECTANGLES = 1;

// The effects record of a colour fill.
struct GfxBlitFx {
    uint32_t size;  // 100
    uint32_t fill_color;
    uint8_t reserved[92];
};
static_assert(sizeof(GfxBlitFx) == 100, "blit effects record is 100 bytes");

struct GfxPalette {
    int in_use;
    unsigned caps;
    PaletteEntry entries[256];
};

struct GfxClipper {
    int in_use;
    int count;
    Rect rects[GFX_MAX_CLIP_RECTS];
    Rect bound;
    const Rect* window;  // set for a window-bound clipper: the window's screen rectangle
};

// What is known of a surface's pixels and its colour key: worked out when a keyed blit or
// gfx_holds_key first needs it, and forgotten whenever the pixels or the key change (pixels
// change through a lock, a blit or text into the surface, or a flip).
enum : int {
    GFX_KEY_UNKNOWN = 0,
    GFX_KEY_ABSENT = 1,   // no pixel lies in the key range: keyed blits copy every pixel
    GFX_KEY_PRESENT = 2,  // some pixel does
};

// A surface's source rectangle kept for blits at one size (gfx_keep_stretched): each of its
// rows stretched across to the drawn width, made again whenever the surface's pixels change.
// Blits of that rectangle at that size copy rows from it.
struct GfxStretched {
    uint8_t* pixels;  // rows of width pixels; null when none is kept
    Rect source;
    int width, height;  // the drawn size
    int rows, pitch;    // rows kept: the source's height
    int key;            // GFX_KEY_*, as for a surface
};

struct GfxSurface {
    int in_use;
    unsigned caps;
    int width, height;
    int bpp;    // 8 or 16
    int pitch;  // bytes per row, always more than width * bpp / 8
    uint8_t* pixels;
    int has_color_key;
    uint32_t key_low, key_high;
    GfxClipper* clipper;
    GfxPalette* palette;
    GfxSurface* attached;  // primary: its back buffer; back buffer: its primary
    int locked;
    int lost;  // lost surfaces refuse locks, blits and flips until gfx_restore
    int key;   // GFX_KEY_*
    GfxStretched stretched;
};

struct GfxDevice {
    int in_use;
    const Rect* window;  // the window's screen rectangle, kept up to date by its owner
    unsigned coop;
    int mode_set;
    int mode_width, mode_height, mode_bpp;
};

// Device and mode. Releasing a device leaves what was made on it alone.
GfxStatus gfx_create_device(GfxDevice** out);
void gfx_release_device(GfxDevice* device);
// window is the screen rectangle of the window the display belongs to, which the display
// service reads whenever it needs it; exclusive full screen needs one.
GfxStatus gfx_set_cooperation(GfxDevice* device, const Rect* window, unsigned flags);
// Sets the full-screen mode; needs exclusive full-screen cooperation. bpp 8, 15 or 16.
GfxStatus gfx_set_mode(GfxDevice* device, int width, int height, int bpp);

// Surfaces. A primary surface takes the mode's size (or the window's, when windowed) and,
// with GFX_CAPS_FLIP | GFX_CAPS_COMPLEX and a back-buffer count of 1, one back buffer.
// Off-screen surfaces take the asked size and the display's pixel depth.
GfxStatus gfx_create_surface(GfxDevice* device, const GfxSurfaceDesc* desc, GfxSurface** out);
GfxStatus gfx_get_attached_surface(GfxSurface* surface, unsigned caps, GfxSurface** out);
void gfx_release_surface(GfxSurface* surface);
GfxStatus gfx_get_pixel_bits(const GfxSurface* surface, int* bits);
GfxStatus gfx_set_color_key(GfxSurface* surface, unsigned which, uint32_t low, uint32_t high);
// Whether a keyed blit of the surface would leave any pixel out: *holds is 1 when a pixel
// lies in its key range, 0 when none does or it has no key.
GfxStatus gfx_holds_key(GfxSurface* surface, int* holds);
GfxStatus gfx_restore(GfxSurface* surface);

// Whole-surface lock: fills desc->pixels and desc->pitch. A second lock is refused.
GfxStatus gfx_lock(GfxSurface* surface, const Rect* rect, GfxSurfaceDesc* desc, unsigned flags);
GfxStatus gfx_unlock(GfxSurface* surface, const Rect* rect);

// Blit src_rect of src to dst_rect of dst (null: whole surface), stretching when the sizes
// differ, skipping source pixels in the source's key range with GFX_BLT_KEYSRC, cut to the
// destination's clip list (the source is cut in proportion). With GFX_BLT_COLORFILL, fills
// dst_rect with fx->fill_color instead. Without a clipper dst_rect must lie inside dst.
GfxStatus gfx_blit(GfxSurface* dst, const Rect* dst_rect, GfxSurface* src, const Rect* src_rect,
                   unsigned flags, const GfxBlitFx* fx);

// Sees every blit's arguments before the blit is done: the benchmarks record the scenes they
// compose again with another library this way. Null (the game's case) sees nothing.
using GfxBlitObserver = void (*)(GfxSurface* dst, const Rect* dst_rect, GfxSurface* src,
                                 const Rect* src_rect, unsigned flags, const GfxBlitFx* fx);
void gfx_set_blit_observer(GfxBlitObserver observer);

// For blits of src_rect of an off-screen surface at width x height: keeps its rows
// stretched across to that width, as a stretched blit would pick the pixels, up to date
// whenever the surface's pixels change, so that such blits are plain row copies. A second
// call replaces the first. Worth it for pictures always drawn at one size.
GfxStatus gfx_keep_stretched(GfxSurface* surface, const Rect* src_rect, int width, int height);

// Stretch mapping, the one the blits use: destination pixel i of a run of dst_len pixels
// (counted from the unclipped rectangle's edge) samples source pixel
// ((2i + 1) * step) >> 10 of a run of src_len, with step = (src_len << 9) / dst_len
// truncated: pixel centres stepped in 9-bit fixed point. Equal lengths copy 1:1.
int gfx_stretch_source(int i, int src_len, int dst_len);

// Exchange the primary surface with its back buffer and present it.
GfxStatus gfx_flip(GfxSurface* primary, unsigned flags);
GfxStatus gfx_wait_vblank(GfxDevice* device, unsigned flags);

// Palettes.
GfxStatus gfx_create_palette(GfxDevice* device, unsigned caps, const PaletteEntry* entries,
                             GfxPalette** out);
void gfx_release_palette(GfxPalette* palette);
GfxStatus gfx_palette_set_entries(GfxPalette* palette, int first, int count,
                                  const PaletteEntry* in);
GfxStatus gfx_palette_get_entries(const GfxPalette* palette, int first, int count,
                                  PaletteEntry* out);
GfxStatus gfx_surface_set_palette(GfxSurface* surface, GfxPalette* palette);

// Clippers.
GfxStatus gfx_create_clipper(GfxDevice* device, GfxClipper** out);
void gfx_release_clipper(GfxClipper* clipper);
GfxStatus gfx_clipper_set_list(GfxClipper* clipper, const GfxRegionHeader* region);
GfxStatus gfx_clipper_set_window(GfxClipper* clipper, const Rect* window);
GfxStatus gfx_surface_set_clipper(GfxSurface* surface, GfxClipper* clipper);

// Text in the built-in font at (x, y), top-left, transparent background, clipped to the
// surface. colour is 0x00BBGGRR: on an 8-bit surface the nearest entry of the display
// palette is used. Works on a locked surface too. Fails only for a missing or lost surface.
GfxStatus gfx_text_out(GfxSurface* surface, int x, int y, const char* text, int length,
                       uint32_t colour);
// Index of the palette entry nearest to a 0x00BBGGRR colour (lowest index on ties).
int gfx_nearest_index(const PaletteEntry* palette, uint32_t colour);
// A 16-bit colour word from red, green and blue of 0..255, shifted arithmetically: 5-5-5 when
// bits is 15, else 5-6-5. The one packing of the display, the pictures and the text.
int gfx_pack_rgb16(int bits, int red, int green, int blue);

// Limits on surface memory, for tests of allocation failure; 0 means no limit.
void gfx_set_memory_limit(size_t bytes);
size_t gfx_memory_in_use();
int gfx_live_surfaces();
// The display service back to its state at start-up: every device, surface, palette and
// clipper still held is released (handles to them dangle after) and the memory limit is
// lifted. Returns how many objects were still held; after an orderly shutdown, 0.
int gfx_shutdown();
