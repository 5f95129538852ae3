// The display module: display set-up and shutdown, surfaces, clippers, fills, lock and
// unlock of the primary and back surfaces, and presentation.
#include "engine/display.h"

#include <cstdlib>
#include <cstring>

#include "engine/bitmap.h"
#include "engine/error_log.h"

GfxDevice* display_device;
GfxSurface* back_surface;
GfxPalette* display_palette;
GfxClipper* back_clipper;
GfxClipper* window_clipper;
int screen_width = 640, screen_height = 480, screen_bpp = 8;
int display_windowed;
int pixel_format = 16;
MakeRgb16 make_rgb16;
int clip_min_x = 0, clip_max_x = 639, clip_min_y = 0, clip_max_y = 479;
uint8_t* back_buffer;
int back_pitch;
PaletteEntry shadow_palette[256];
Rect screen_rect;

namespace {

// Whether display_init read the palette file whole; nothing else needs the file.
int palette_file_read;
// The visible surface, and its pixels and bytes per row while it is locked.
GfxSurface* primary_surface;
uint8_t* primary_buffer;
int primary_pitch;
// The main window's screen rectangle, given by the shell.
const Rect* main_window_rect;
// The one surface description every lock goes through.
GfxSurfaceDesc lock_desc;
// Whether flips reach the screen (display_set_presenting).
int presenting = 1;

void palette_restored() {
    static_cast<void>(palette_set_all(shadow_palette));
}

const StateBlock state_blocks[] = {
    {"display.cpp:shadow_palette", STATE_BYTES, shadow_palette, sizeof shadow_palette, nullptr,
     palette_restored},
};

// A flip that keeps failing because the surfaces are lost is retried after restoring them,
// but not for ever.
constexpr int FLIP_ATTEMPTS = 100;
// Palette entries left to the desktop in a windowed display: the first and the last ten.
constexpr int DESKTOP_ENTRIES = 10;

void clear_desc(GfxSurfaceDesc* desc) {
    std::memset(desc, 0, sizeof(*desc));
    desc->size = sizeof(GfxSurfaceDesc);
}

// A failed lock leaves the description cleared: no pixels, pitch 0.
uint8_t* lock_whole(GfxSurface* surface, int* pitch) {
    clear_desc(&lock_desc);
    static_cast<void>(gfx_lock(surface, nullptr, &lock_desc, GFX_LOCK_WAIT));
    *pitch = lock_desc.pitch;
    return static_cast<uint8_t*>(lock_desc.pixels);
}

uint8_t* lock_into(GfxSurface* surface, uint8_t** buffer, int* pitch) {
    if (*buffer)
        return *buffer;
    *buffer = lock_whole(surface, pitch);
    return *buffer;
}

int unlock_from(GfxSurface* surface, uint8_t** buffer, int* pitch) {
    if (!*buffer)
        return 0;
    static_cast<void>(gfx_unlock(surface, nullptr));
    *buffer = nullptr;
    *pitch = 0;
    return 1;
}

// The device, its cooperation with the window and, in full screen, the mode.
bool bring_up_device(int width, int height, int bpp, int windowed) {
    if (gfx_create_device(&display_device) != GFX_OK)
        return false;
    const unsigned coop = windowed
                              ? GFX_COOP_NORMAL
                              : (GFX_COOP_FULLSCREEN | GFX_COOP_ALLOWREBOOT | GFX_COOP_EXCLUSIVE |
                                 GFX_COOP_ALLOWMODEX | GFX_COOP_MULTITHREADED);
    if (gfx_set_cooperation(display_device, main_window_rect, coop) != GFX_OK)
        return false;
    return windowed || gfx_set_mode(display_device, width, height, bpp) == GFX_OK;
}

// The primary surface, with its back buffer in full screen, and the colour builder for the
// pixel format it reports.
bool make_primary(int windowed) {
    GfxSurfaceDesc desc;
    clear_desc(&desc);
    if (windowed) {
        desc.flags = GFX_DESC_CAPS;
        desc.caps = GFX_CAPS_PRIMARYSURFACE;
    } else {
        desc.flags = GFX_DESC_CAPS | GFX_DESC_BACKBUFFERCOUNT;
        desc.caps = GFX_CAPS_PRIMARYSURFACE | GFX_CAPS_FLIP | GFX_CAPS_COMPLEX;
        desc.back_buffer_count = 1;
    }
    // Everything after this needs the primary surface and its format.
    if (gfx_create_surface(display_device, &desc, &primary_surface) != GFX_OK)
        return false;
    if (gfx_get_pixel_bits(primary_surface, &pixel_format) != GFX_OK)
        return false;
    error_log_write("\npixel format = %d", pixel_format);
    if (pixel_format == 15) {
        make_rgb16 = rgb16_555;
        error_log_write("\npixel format = 5.5.5");
    } else {
        make_rgb16 = rgb16_565;
        error_log_write("\npixel format = 5.6.5");
    }
    return true;
}

bool make_back(int width, int height, int windowed) {
    if (windowed) {
        back_surface = display_create_surface(width, height, 0, 0);
        return back_surface != nullptr;
    }
    return gfx_get_attached_surface(primary_surface, GFX_CAPS_BACKBUFFER, &back_surface) == GFX_OK;
}

// The palette from the palette file (all black when it cannot be read), attached to the
// primary surface.
bool make_palette(int windowed) {
    std::memset(shadow_palette, 0, sizeof(shadow_palette));
    palette_file_read = palette_load_file(DISPLAY_PALETTE_FILE, shadow_palette);
    unsigned caps = GFX_PAL_8BIT | GFX_PAL_ALLOW256;
    if (windowed) {
        for (int i = 0; i < DESKTOP_ENTRIES; ++i) {
            shadow_palette[i].flags = PALETTE_FLAG_EXPLICIT;
            shadow_palette[255 - i].flags = PALETTE_FLAG_EXPLICIT;
        }
        caps = GFX_PAL_8BIT;
    }
    if (gfx_create_palette(display_device, caps, shadow_palette, &display_palette) != GFX_OK)
        return false;
    return gfx_surface_set_palette(primary_surface, display_palette) == GFX_OK;
}

// Windowed, presentation copies into the window's rectangle, clipped to it.
bool make_window_clipper() {
    return gfx_create_clipper(display_device, &window_clipper) == GFX_OK &&
           gfx_clipper_set_window(window_clipper, main_window_rect) == GFX_OK &&
           gfx_surface_set_clipper(primary_surface, window_clipper) == GFX_OK;
}

// Full screen: the flip, restoring lost surfaces a bounded number of times.
int flip_chain() {
    for (int attempt = 0; attempt < FLIP_ATTEMPTS; ++attempt) {
        const GfxStatus result = gfx_flip(primary_surface, GFX_FLIP_WAIT);
        if (result == GFX_OK)
            return 1;
        if (result != GFX_ERR_LOST)
            return 0;
        static_cast<void>(gfx_restore(primary_surface));
        static_cast<void>(gfx_restore(back_surface));
    }
    return 0;
}

}  // namespace

int rgb16_565(int red, int green, int blue) {
    return gfx_pack_rgb16(16, red, green, blue);
}

int rgb16_555(int red, int green, int blue) {
    return gfx_pack_rgb16(15, red, green, blue);
}

void display_set_window(const Rect* window_rect) {
    main_window_rect = window_rect;
}

int display_init(int width, int height, int bpp, int windowed) {
    if (!bring_up_device(width, height, bpp, windowed))
        return 0;
    screen_width = width;
    screen_height = height;
    screen_bpp = bpp;
    display_windowed = windowed;
    if (!make_primary(windowed) || !make_back(width, height, windowed))
        return 0;
    if (bpp == 8 && !make_palette(windowed))
        return 0;
    if (!windowed)
        display_fill_surface(primary_surface, 0, nullptr);
    display_fill_surface(back_surface, 0, nullptr);
    clip_min_x = 0;
    clip_max_x = width - 1;
    clip_min_y = 0;
    clip_max_y = height - 1;
    screen_rect = {0, 0, screen_width, screen_height};
    back_clipper = display_attach_clipper(back_surface, 1, &screen_rect);
    return !windowed || make_window_clipper() ? 1 : 0;
}

int display_shutdown() {
    gfx_release_clipper(back_clipper);
    gfx_release_clipper(window_clipper);
    gfx_release_palette(display_palette);
    gfx_release_surface(back_surface);
    gfx_release_surface(primary_surface);
    gfx_release_device(display_device);
    // Nothing is left pointing at what was released: the state at load again.
    display_device = nullptr;
    primary_surface = back_surface = nullptr;
    display_palette = nullptr;
    back_clipper = window_clipper = nullptr;
    screen_width = 640;
    screen_height = 480;
    screen_bpp = 8;
    display_windowed = 0;
    pixel_format = 16;
    make_rgb16 = nullptr;
    presenting = 1;
    palette_file_read = 0;
    clip_min_x = 0;
    clip_max_x = 639;
    clip_min_y = 0;
    clip_max_y = 479;
    primary_buffer = back_buffer = nullptr;
    primary_pitch = back_pitch = 0;
    std::memset(shadow_palette, 0, sizeof(shadow_palette));
    screen_rect = {};
    main_window_rect = nullptr;
    clear_desc(&lock_desc);
    return 1;
}

int display_palette_file_read() {
    return palette_file_read;
}

GfxSurface* display_create_surface(int width, int height, unsigned caps, int color_key) {
    GfxSurfaceDesc desc;
    clear_desc(&desc);
    desc.flags = GFX_DESC_CAPS | GFX_DESC_HEIGHT | GFX_DESC_WIDTH;
    desc.width = width;
    desc.height = height;
    desc.caps = caps | GFX_CAPS_OFFSCREENPLAIN;
    GfxSurface* surface = nullptr;
    if (gfx_create_surface(display_device, &desc, &surface) != GFX_OK)
        return nullptr;
    const uint32_t key = static_cast<uint32_t>(color_key) & 0xFFFF;
    static_cast<void>(gfx_set_color_key(surface, GFX_CKEY_SRCBLT, key, key));
    return surface;
}

GfxClipper* display_attach_clipper(GfxSurface* surface, int rect_count, const Rect* rects) {
    GfxClipper* clipper = nullptr;
    if (gfx_create_clipper(display_device, &clipper) != GFX_OK)
        return nullptr;
    if (rect_count < 0)
        rect_count = 0;
    const size_t size = sizeof(GfxRegionHeader) + sizeof(Rect) * static_cast<size_t>(rect_count);
    GfxRegionHeader* region = static_cast<GfxRegionHeader*>(std::malloc(size));
    if (!region) {
        gfx_release_clipper(clipper);
        return nullptr;
    }
    region->size = sizeof(GfxRegionHeader);
    region->type = GFX_REGION_RECTANGLES;
    region->count = static_cast<uint32_t>(rect_count);
    region->region_size = static_cast<uint32_t>(rect_count) * sizeof(Rect);
    region->bound = {64000, 64000, -64000, -64000};
    Rect* list = reinterpret_cast<Rect*>(region + 1);
    for (int i = 0; i < rect_count; ++i) {
        list[i] = rects[i];
        if (rects[i].left < region->bound.left)
            region->bound.left = rects[i].left;
        if (rects[i].top < region->bound.top)
            region->bound.top = rects[i].top;
        if (rects[i].right > region->bound.right)
            region->bound.right = rects[i].right;
        if (rects[i].bottom > region->bound.bottom)
            region->bound.bottom = rects[i].bottom;
    }
    const bool attached = gfx_clipper_set_list(clipper, region) == GFX_OK &&
                          gfx_surface_set_clipper(surface, clipper) == GFX_OK;
    std::free(region);
    if (!attached) {
        gfx_release_clipper(clipper);
        return nullptr;
    }
    return clipper;
}

int display_fill_surface(GfxSurface* surface, int color, const Rect* rect) {
    GfxBlitFx fx;
    std::memset(&fx, 0, sizeof(fx));
    fx.size = sizeof(GfxBlitFx);
    fx.fill_color = static_cast<uint32_t>(color) & 0xFFFF;
    // Whatever the service answers: a failed fill leaves the surface as it was.
    static_cast<void>(
        gfx_blit(surface, rect, nullptr, nullptr, GFX_BLT_COLORFILL | GFX_BLT_WAIT, &fx));
    return 1;
}

uint8_t* display_lock_back() {
    return lock_into(back_surface, &back_buffer, &back_pitch);
}

int display_unlock_back() {
    return unlock_from(back_surface, &back_buffer, &back_pitch);
}

uint8_t* display_lock_primary() {
    return lock_into(primary_surface, &primary_buffer, &primary_pitch);
}

int display_unlock_primary() {
    return unlock_from(primary_surface, &primary_buffer, &primary_pitch);
}

uint8_t* display_lock_surface(GfxSurface* surface, int* pitch_out) {
    if (!surface)
        return nullptr;
    int pitch = 0;
    uint8_t* pixels = lock_whole(surface, &pitch);
    if (pitch_out)
        *pitch_out = pitch;
    return pixels;
}

int display_unlock_surface(GfxSurface* surface) {
    if (!surface)
        return 0;
    static_cast<void>(gfx_unlock(surface, nullptr));
    return 1;
}

const StateBlockList display_state = {state_blocks, 1};

void display_set_presenting(int on) {
    presenting = on ? 1 : 0;
}

int display_flip() {
    if (primary_buffer || back_buffer)
        return 0;
    // Unseen, the frame stays in the back surface: the next pass draws all of it again.
    if (!presenting)
        return 1;
    if (!display_windowed)
        return flip_chain();
    if (!main_window_rect)
        return 0;
    const Rect dest = {main_window_rect->left, main_window_rect->top,
                       main_window_rect->left + screen_width,
                       main_window_rect->top + screen_height};
    return gfx_blit(primary_surface, &dest, back_surface, nullptr, GFX_BLT_WAIT, nullptr) == GFX_OK
               ? 1
               : 0;
}

int display_wait_vblank() {
    // It cannot fail in a way that matters: returning early only shortens a wait.
    static_cast<void>(gfx_wait_vblank(display_device, GFX_VBLANK_BEGIN));
    return 1;
}
