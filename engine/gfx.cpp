// The display service: surfaces, palettes, clippers, blits, fills, locks, flips and text,
// all in software, presenting finished frames through the platform backend.
#include "engine/gfx.h"

#include <cstdlib>
#include <cstring>

#include "engine/font.h"
#include "platform/platform.h"

namespace {

constexpr int MAX_DEVICES = 2;
constexpr int MAX_DIMENSION = 16384;
constexpr int MAX_MODE_SIDE = 4096;
// The desktop of a windowed display is palettised like the full-screen mode.
constexpr int DESKTOP_BPP = 8;
constexpr int DESKTOP_WIDTH = 640, DESKTOP_HEIGHT = 480;

// The service's objects: fixed pools, a slot in use while in_use is set.
GfxDevice devices[MAX_DEVICES];
GfxSurface surfaces[GFX_MAX_SURFACES];
GfxClipper clippers[GFX_MAX_CLIPPERS];
GfxPalette palettes[GFX_MAX_PALETTES];
// Surface memory allowed (0: no limit) and in use.
size_t memory_limit;
size_t memory_used;
// The palette attached to the primary surface: the colours presented.
GfxPalette* primary_palette;
// Source columns of the visible part of one blit row; sized for the widest surface.
int column_source[MAX_DIMENSION];
// Told of every blit when set (see gfx_set_blit_observer).
GfxBlitObserver blit_observer;

// The first free slot of a pool, cleared and taken; null when the pool is full.
template <typename T, size_t N>
T* take_slot(T (&pool)[N]) {
    for (T& slot : pool) {
        if (!slot.in_use) {
            std::memset(&slot, 0, sizeof slot);
            slot.in_use = 1;
            return &slot;
        }
    }
    return nullptr;
}

int bytes_per_pixel(int bpp) {
    return bpp == 8 ? 1 : 2;
}

size_t surface_bytes(const GfxSurface* s) {
    return static_cast<size_t>(s->pitch) * static_cast<size_t>(s->height);
}

bool valid_size(int width, int height) {
    return width > 0 && height > 0 && width <= MAX_DIMENSION && height <= MAX_DIMENSION;
}

// Rows are padded so that code stepping rows by the width instead of the pitch shows.
int padded_pitch(int width, int bpp) {
    const int row = width * bytes_per_pixel(bpp);
    return ((row + 15) & ~15) + 16;
}

size_t stretched_bytes(const GfxStretched& k) {
    return static_cast<size_t>(k.pitch) * static_cast<size_t>(k.rows);
}

void drop_stretched(GfxSurface* s) {
    if (!s->stretched.pixels)
        return;
    memory_used -= stretched_bytes(s->stretched);
    std::free(s->stretched.pixels);
    s->stretched = GfxStretched{};
}

GfxSurface* allocate_surface(int width, int height, int bpp, unsigned caps) {
    if (!valid_size(width, height))
        return nullptr;
    const int pitch = padded_pitch(width, bpp);
    const size_t bytes = static_cast<size_t>(pitch) * static_cast<size_t>(height);
    if (memory_limit != 0 && memory_used + bytes > memory_limit)
        return nullptr;
    uint8_t* pixels = static_cast<uint8_t*>(std::calloc(bytes, 1));
    if (!pixels)
        return nullptr;
    GfxSurface* s = take_slot(surfaces);
    if (!s) {
        std::free(pixels);
        return nullptr;
    }
    s->caps = caps;
    s->width = width;
    s->height = height;
    s->bpp = bpp;
    s->pitch = pitch;
    s->pixels = pixels;
    memory_used += bytes;
    return s;
}

void free_surface(GfxSurface* s) {
    drop_stretched(s);
    memory_used -= surface_bytes(s);
    std::free(s->pixels);
    std::memset(s, 0, sizeof(*s));
}

bool valid_surface(const GfxSurface* s) {
    return s != nullptr && s->in_use;
}

bool valid_device(const GfxDevice* d) {
    return d != nullptr && d->in_use;
}

Rect intersect(const Rect& a, const Rect& b) {
    Rect r;
    r.left = a.left > b.left ? a.left : b.left;
    r.top = a.top > b.top ? a.top : b.top;
    r.right = a.right < b.right ? a.right : b.right;
    r.bottom = a.bottom < b.bottom ? a.bottom : b.bottom;
    return r;
}

bool is_empty(const Rect& r) {
    return r.right <= r.left || r.bottom <= r.top;
}

bool contains(const Rect& outer, const Rect& inner) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

Rect whole(const GfxSurface* s) {
    return {0, 0, s->width, s->height};
}

void present(GfxSurface* s) {
    static const PaletteEntry black[256] = {};
    const PaletteEntry* entries = primary_palette ? primary_palette->entries : black;
    platform_present(s->pixels, s->pitch, s->width, s->height, s->bpp, entries);
}

void fill_rect(GfxSurface* dst, const Rect& r, uint32_t color) {
    for (int y = r.top; y < r.bottom; ++y) {
        uint8_t* row = dst->pixels + static_cast<size_t>(y) * dst->pitch;
        if (dst->bpp == 8) {
            std::memset(row + r.left, static_cast<int>(color & 0xFF),
                        static_cast<size_t>(r.right - r.left));
        } else {
            uint16_t* words = reinterpret_cast<uint16_t*>(row);
            for (int x = r.left; x < r.right; ++x)
                words[x] = static_cast<uint16_t>(color);
        }
    }
}

// Whether any of the width x height pixels lies in the key range.
template <typename Pixel>
bool any_in_key(const uint8_t* pixels, int pitch, int width, int height, uint32_t low,
                uint32_t high) {
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = pixels + static_cast<size_t>(y) * pitch;
        if (sizeof(Pixel) == 1 && low == high) {
            if (std::memchr(row, static_cast<int>(low), static_cast<size_t>(width)))
                return true;
            continue;
        }
        for (int x = 0; x < width; ++x) {
            Pixel p;
            std::memcpy(&p, row + x * sizeof(Pixel), sizeof p);
            if (p >= low && p <= high)
                return true;
        }
    }
    return false;
}

int key_of(const uint8_t* pixels, int pitch, int width, int height, int bpp, uint32_t low,
           uint32_t high) {
    const bool any = bpp == 8 ? any_in_key<uint8_t>(pixels, pitch, width, height, low, high)
                              : any_in_key<uint16_t>(pixels, pitch, width, height, low, high);
    return any ? GFX_KEY_PRESENT : GFX_KEY_ABSENT;
}

// Pixels of the source to copy through the key: those outside [low, high].
template <typename Pixel>
void keyed_row(Pixel* dst, const Pixel* src, int count, Pixel low, Pixel high) {
    for (int i = 0; i < count; ++i) {
        const Pixel p = src[i];
        if (p < low || p > high)
            dst[i] = p;
    }
}

// The same sixteen 8-bit pixels at a time: a keyed pixel keeps the destination's. Blending a
// piece twice gives the same pixels, so the last piece may overlap the one before it.
template <>
void keyed_row<uint8_t>(uint8_t* dst, const uint8_t* src, int count, uint8_t low, uint8_t high) {
    typedef uint8_t Piece __attribute__((vector_size(16)));
    if (count < static_cast<int>(sizeof(Piece))) {
        for (int i = 0; i < count; ++i) {
            if (src[i] < low || src[i] > high)
                dst[i] = src[i];
        }
        return;
    }
    const Piece lows = Piece{} + low, highs = Piece{} + high;
    for (int i = 0;; i += sizeof(Piece)) {
        if (i + static_cast<int>(sizeof(Piece)) > count)
            i = count - static_cast<int>(sizeof(Piece));
        Piece s, d;
        std::memcpy(&s, src + i, sizeof s);
        std::memcpy(&d, dst + i, sizeof d);
        const Piece copy = reinterpret_cast<Piece>((s < lows) | (s > highs));
        d = (s & copy) | (d & ~copy);
        std::memcpy(dst + i, &d, sizeof d);
        if (i + static_cast<int>(sizeof(Piece)) == count)
            return;
    }
}

// The stretch mapping with its step worked out once for a run (see gfx_stretch_source).
struct Stretch {
    int64_t step;
    Stretch(int src_len, int dst_len)
        : step(dst_len > 0 ? (static_cast<int64_t>(src_len) << 9) / dst_len : 0) {}
    int at(int i) const {
        return static_cast<int>(((2 * static_cast<int64_t>(i) + 1) * step) >> 10);
    }
};

// What a copy reads: the pixels of a surface (or of its stretched rows) and their key.
struct Source {
    const uint8_t* pixels;
    int pitch;
    Rect rect;
    int key;  // GFX_KEY_ABSENT or GFX_KEY_PRESENT, when the copy is keyed
};

// The source of a copy of rect at the destination size: the stretched rows when they are
// the ones kept for that, else the surface itself. The key is worked out when asked for.
Source source_of(GfxSurface* src, const Rect& rect, int dst_w, int dst_h, bool keyed) {
    GfxStretched& k = src->stretched;
    if (k.pixels && k.width == dst_w && k.height == dst_h && k.source.left == rect.left &&
        k.source.top == rect.top && k.source.right == rect.right &&
        k.source.bottom == rect.bottom) {
        if (keyed && k.key == GFX_KEY_UNKNOWN)
            k.key =
                key_of(k.pixels, k.pitch, k.width, k.rows, src->bpp, src->key_low, src->key_high);
        return {k.pixels, k.pitch, {0, 0, k.width, k.rows}, k.key};
    }
    if (keyed && src->key == GFX_KEY_UNKNOWN)
        src->key = key_of(src->pixels, src->pitch, src->width, src->height, src->bpp, src->key_low,
                          src->key_high);
    return {src->pixels, src->pitch, rect, src->key};
}

// The visible part of the destination rectangle, row by row: row copies when the width is
// not stretched (each row through the mapping when the height is), else each pixel through
// the mapping.
template <typename Pixel>
void copy_part(GfxSurface* dst, const Rect& dst_rect, const Rect& visible, const GfxSurface* src,
               const Source& from, bool keyed) {
    const Rect& src_rect = from.rect;
    const int dst_w = dst_rect.right - dst_rect.left;
    const int dst_h = dst_rect.bottom - dst_rect.top;
    const int src_w = src_rect.right - src_rect.left;
    const int src_h = src_rect.bottom - src_rect.top;
    const int count = visible.right - visible.left;
    const Pixel key_low = static_cast<Pixel>(src->key_low);
    const Pixel key_high = static_cast<Pixel>(src->key_high);
    const Stretch rows(src_h, dst_h);
    if (src_w == dst_w) {
        // Equal widths map each column to the one at the same offset.
        const int sx = src_rect.left + visible.left - dst_rect.left;
        for (int y = visible.top; y < visible.bottom; ++y) {
            const int sy = src_rect.top + rows.at(y - dst_rect.top);
            const Pixel* src_row =
                reinterpret_cast<const Pixel*>(from.pixels + static_cast<size_t>(sy) * from.pitch) +
                sx;
            Pixel* dst_row =
                reinterpret_cast<Pixel*>(dst->pixels + static_cast<size_t>(y) * dst->pitch) +
                visible.left;
            if (keyed)
                keyed_row(dst_row, src_row, count, key_low, key_high);
            else
                std::memcpy(dst_row, src_row, static_cast<size_t>(count) * sizeof(Pixel));
        }
        return;
    }
    const Stretch columns(src_w, dst_w);
    for (int i = 0; i < count; ++i)
        column_source[i] = src_rect.left + columns.at(visible.left + i - dst_rect.left);
    for (int y = visible.top; y < visible.bottom; ++y) {
        const int sy = src_rect.top + rows.at(y - dst_rect.top);
        const Pixel* src_row =
            reinterpret_cast<const Pixel*>(from.pixels + static_cast<size_t>(sy) * from.pitch);
        Pixel* dst_row =
            reinterpret_cast<Pixel*>(dst->pixels + static_cast<size_t>(y) * dst->pitch);
        if (keyed) {
            for (int i = 0; i < count; ++i) {
                const Pixel p = src_row[column_source[i]];
                if (p < key_low || p > key_high)
                    dst_row[visible.left + i] = p;
            }
        } else {
            for (int i = 0; i < count; ++i)
                dst_row[visible.left + i] = src_row[column_source[i]];
        }
    }
}

// The kept rows made again from the surface's pixels, stretched across by the blits' mapping.
template <typename Pixel>
void restretch_rows(GfxSurface* s) {
    GfxStretched& k = s->stretched;
    const Rect& r = k.source;
    const Stretch columns(r.right - r.left, k.width);
    for (int i = 0; i < k.width; ++i)
        column_source[i] = r.left + columns.at(i);
    for (int y = 0; y < k.rows; ++y) {
        const Pixel* in =
            reinterpret_cast<const Pixel*>(s->pixels + static_cast<size_t>(r.top + y) * s->pitch);
        Pixel* out = reinterpret_cast<Pixel*>(k.pixels + static_cast<size_t>(y) * k.pitch);
        for (int i = 0; i < k.width; ++i)
            out[i] = in[column_source[i]];
    }
    k.key = GFX_KEY_UNKNOWN;
}

// The surface's pixels changed: what was known of them is forgotten, and the stretched rows
// are made again.
void pixels_changed(GfxSurface* s) {
    s->key = GFX_KEY_UNKNOWN;
    if (!s->stretched.pixels)
        return;
    if (s->bpp == 8)
        restretch_rows<uint8_t>(s);
    else
        restretch_rows<uint16_t>(s);
}

int clip_rects_of(const GfxSurface* dst, Rect* out) {
    const Rect bounds = whole(dst);
    if (!dst->clipper) {
        out[0] = bounds;
        return 1;
    }
    if (dst->clipper->window) {
        out[0] = intersect(*dst->clipper->window, bounds);
        return 1;
    }
    for (int i = 0; i < dst->clipper->count; ++i) {
        out[i] = intersect(dst->clipper->rects[i], bounds);
    }
    return dst->clipper->count;
}

// A surface that can take part in a blit now.
GfxStatus usable(const GfxSurface* s) {
    if (!valid_surface(s))
        return GFX_ERR_INVALID;
    if (s->lost)
        return GFX_ERR_LOST;
    if (s->locked)
        return GFX_ERR_BUSY;
    return GFX_OK;
}

// The source of a copy: usable, of the destination's depth, the rectangle inside it.
GfxStatus check_source(const GfxSurface* dst, const GfxSurface* src, const Rect* src_rect,
                       Rect* out) {
    const GfxStatus status = usable(src);
    if (status != GFX_OK)
        return status;
    if (src->bpp != dst->bpp)
        return GFX_ERR_INVALID;
    *out = src_rect ? *src_rect : whole(src);
    if (is_empty(*out) || !contains(whole(src), *out))
        return GFX_ERR_INVALID;
    return GFX_OK;
}

// The fill or the copy, cut to each rectangle of the destination's clip list. A keyed copy
// of pixels that hold no key is a plain copy.
void blit_clipped(GfxSurface* dst, const Rect& d, GfxSurface* src, const Rect& s,
                  const GfxBlitFx* fill, bool keyed) {
    static Rect clip[GFX_MAX_CLIP_RECTS];
    const int clip_count = clip_rects_of(dst, clip);
    Source from = {};
    if (!fill) {
        from = source_of(src, s, d.right - d.left, d.bottom - d.top, keyed);
        keyed = keyed && from.key == GFX_KEY_PRESENT;
    }
    for (int i = 0; i < clip_count; ++i) {
        const Rect visible = intersect(d, clip[i]);
        if (is_empty(visible))
            continue;
        if (fill) {
            fill_rect(dst, visible, fill->fill_color & 0xFFFF);
        } else if (dst->bpp == 8) {
            copy_part<uint8_t>(dst, d, visible, src, from, keyed);
        } else {
            copy_part<uint16_t>(dst, d, visible, src, from, keyed);
        }
    }
    pixels_changed(dst);
}

// The size of a new primary surface: the mode's in full screen, else the window's.
void primary_size(const GfxDevice* device, bool fullscreen, int* width, int* height) {
    *width = DESKTOP_WIDTH;
    *height = DESKTOP_HEIGHT;
    if (fullscreen && device->mode_set) {
        *width = device->mode_width;
        *height = device->mode_height;
    } else if (device->window) {
        *width = device->window->right - device->window->left;
        *height = device->window->bottom - device->window->top;
    }
}

GfxStatus create_primary(GfxDevice* device, const GfxSurfaceDesc* desc, unsigned caps, int bpp,
                         GfxSurface** out) {
    const bool fullscreen = (device->coop & GFX_COOP_EXCLUSIVE) != 0;
    int width, height;
    primary_size(device, fullscreen, &width, &height);
    const int back_count = (desc->flags & GFX_DESC_BACKBUFFERCOUNT) ? desc->back_buffer_count : 0;
    if (back_count < 0 || back_count > 1)
        return GFX_ERR_UNSUPPORTED;
    const unsigned chain = GFX_CAPS_FLIP | GFX_CAPS_COMPLEX;
    if (back_count == 1 && (!fullscreen || (caps & chain) != chain))
        return GFX_ERR_INVALID;
    GfxSurface* primary = allocate_surface(width, height, bpp, caps);
    if (!primary)
        return GFX_ERR_NOMEM;
    if (back_count == 1) {
        GfxSurface* back = allocate_surface(width, height, bpp, GFX_CAPS_BACKBUFFER | chain);
        if (!back) {
            free_surface(primary);
            return GFX_ERR_NOMEM;
        }
        primary->attached = back;
        back->attached = primary;
    }
    *out = primary;
    return GFX_OK;
}

}  // namespace

int gfx_stretch_source(int i, int src_len, int dst_len) {
    return Stretch(src_len, dst_len).at(i);
}

GfxStatus gfx_keep_stretched(GfxSurface* surface, const Rect* src_rect, int width, int height) {
    if (!valid_surface(surface) || !src_rect || !valid_size(width, height))
        return GFX_ERR_INVALID;
    // The flip exchanges the pixels of a primary and its back buffer: nothing to keep there.
    if (surface->caps & (GFX_CAPS_PRIMARYSURFACE | GFX_CAPS_BACKBUFFER | GFX_CAPS_FLIP))
        return GFX_ERR_UNSUPPORTED;
    if (is_empty(*src_rect) || !contains(whole(surface), *src_rect))
        return GFX_ERR_INVALID;
    // Only the width is stretched ahead: rows are picked by the mapping as they are copied,
    // which keeps the copy as small as the source's height.
    const int rows = src_rect->bottom - src_rect->top;
    GfxStretched& k = surface->stretched;
    if (!k.pixels || k.width != width || k.rows != rows) {
        drop_stretched(surface);
        const int pitch = padded_pitch(width, surface->bpp);
        const size_t bytes = static_cast<size_t>(pitch) * static_cast<size_t>(rows);
        if (memory_limit != 0 && memory_used + bytes > memory_limit)
            return GFX_ERR_NOMEM;
        k.pixels = static_cast<uint8_t*>(std::calloc(bytes, 1));
        if (!k.pixels)
            return GFX_ERR_NOMEM;
        k.width = width;
        k.rows = rows;
        k.pitch = pitch;
        memory_used += bytes;
    }
    k.height = height;
    k.source = *src_rect;
    const int key = surface->key;
    pixels_changed(surface);
    surface->key = key;  // the surface's own pixels did not change
    return GFX_OK;
}

GfxStatus gfx_create_device(GfxDevice** out) {
    if (!out)
        return GFX_ERR_INVALID;
    *out = take_slot(devices);
    return *out ? GFX_OK : GFX_ERR_NOMEM;
}

void gfx_release_device(GfxDevice* device) {
    if (valid_device(device))
        std::memset(device, 0, sizeof(*device));
}

GfxStatus gfx_set_cooperation(GfxDevice* device, const Rect* window, unsigned flags) {
    if (!valid_device(device))
        return GFX_ERR_INVALID;
    const bool fullscreen = (flags & GFX_COOP_FULLSCREEN) != 0;
    const bool exclusive = (flags & GFX_COOP_EXCLUSIVE) != 0;
    const bool normal = (flags & GFX_COOP_NORMAL) != 0;
    // Full screen goes with exclusive use and a window; a desktop display with neither.
    if (fullscreen != exclusive || fullscreen == normal || (fullscreen && !window))
        return GFX_ERR_INVALID;
    device->window = window;
    device->coop = flags;
    return GFX_OK;
}

GfxStatus gfx_set_mode(GfxDevice* device, int width, int height, int bpp) {
    if (!valid_device(device) || !(device->coop & GFX_COOP_EXCLUSIVE))
        return GFX_ERR_INVALID;
    if ((bpp != 8 && bpp != 15 && bpp != 16) || width <= 0 || height <= 0 ||
        width > MAX_MODE_SIDE || height > MAX_MODE_SIDE) {
        return GFX_ERR_UNSUPPORTED;
    }
    device->mode_set = 1;
    device->mode_width = width;
    device->mode_height = height;
    device->mode_bpp = bpp;
    return GFX_OK;
}

GfxStatus gfx_create_surface(GfxDevice* device, const GfxSurfaceDesc* desc, GfxSurface** out) {
    if (!out)
        return GFX_ERR_INVALID;
    *out = nullptr;
    if (!valid_device(device) || !desc || desc->size != sizeof(GfxSurfaceDesc))
        return GFX_ERR_INVALID;
    const bool fullscreen = (device->coop & GFX_COOP_EXCLUSIVE) != 0;
    const int display_bpp = fullscreen && device->mode_set ? device->mode_bpp : DESKTOP_BPP;
    const unsigned caps = (desc->flags & GFX_DESC_CAPS) ? desc->caps : 0;
    if (caps & GFX_CAPS_PRIMARYSURFACE)
        return create_primary(device, desc, caps, display_bpp, out);
    const uint32_t size_fields = GFX_DESC_WIDTH | GFX_DESC_HEIGHT;
    if ((desc->flags & size_fields) != size_fields || !valid_size(desc->width, desc->height))
        return GFX_ERR_INVALID;
    *out = allocate_surface(desc->width, desc->height, display_bpp, caps);
    return *out ? GFX_OK : GFX_ERR_NOMEM;
}

GfxStatus gfx_get_attached_surface(GfxSurface* surface, unsigned caps, GfxSurface** out) {
    if (!out)
        return GFX_ERR_INVALID;
    *out = nullptr;
    if (!valid_surface(surface))
        return GFX_ERR_INVALID;
    if (!(caps & GFX_CAPS_BACKBUFFER) || !(surface->caps & GFX_CAPS_PRIMARYSURFACE) ||
        !surface->attached) {
        return GFX_ERR_NOT_FOUND;
    }
    *out = surface->attached;
    return GFX_OK;
}

void gfx_release_surface(GfxSurface* surface) {
    if (!valid_surface(surface))
        return;
    if (surface->caps & GFX_CAPS_PRIMARYSURFACE) {
        if (surface->attached)
            free_surface(surface->attached);
        if (surface->palette == primary_palette)
            primary_palette = nullptr;
    } else if (surface->attached) {
        surface->attached->attached = nullptr;
    }
    free_surface(surface);
}

GfxStatus gfx_get_pixel_bits(const GfxSurface* surface, int* bits) {
    if (!valid_surface(surface) || !bits)
        return GFX_ERR_INVALID;
    *bits = surface->bpp;
    return GFX_OK;
}

GfxStatus gfx_set_color_key(GfxSurface* surface, unsigned which, uint32_t low, uint32_t high) {
    if (!valid_surface(surface) || which != GFX_CKEY_SRCBLT || high < low)
        return GFX_ERR_INVALID;
    surface->has_color_key = 1;
    surface->key_low = low;
    surface->key_high = high;
    surface->key = GFX_KEY_UNKNOWN;
    surface->stretched.key = GFX_KEY_UNKNOWN;
    return GFX_OK;
}

GfxStatus gfx_holds_key(GfxSurface* surface, int* holds) {
    if (!valid_surface(surface) || !holds)
        return GFX_ERR_INVALID;
    if (surface->has_color_key && surface->key == GFX_KEY_UNKNOWN)
        surface->key = key_of(surface->pixels, surface->pitch, surface->width, surface->height,
                              surface->bpp, surface->key_low, surface->key_high);
    *holds = surface->has_color_key && surface->key == GFX_KEY_PRESENT ? 1 : 0;
    return GFX_OK;
}

GfxStatus gfx_restore(GfxSurface* surface) {
    if (!valid_surface(surface))
        return GFX_ERR_INVALID;
    surface->lost = 0;
    return GFX_OK;
}

GfxStatus gfx_lock(GfxSurface* surface, const Rect* rect, GfxSurfaceDesc* desc, unsigned) {
    if (!valid_surface(surface) || !desc || desc->size != sizeof(GfxSurfaceDesc) || rect) {
        return GFX_ERR_INVALID;
    }
    if (surface->lost)
        return GFX_ERR_LOST;
    if (surface->locked)
        return GFX_ERR_BUSY;
    surface->locked = 1;
    desc->flags = GFX_DESC_CAPS | GFX_DESC_WIDTH | GFX_DESC_HEIGHT | GFX_DESC_PITCH;
    desc->width = surface->width;
    desc->height = surface->height;
    desc->pitch = surface->pitch;
    desc->caps = surface->caps;
    desc->bits_per_pixel = surface->bpp;
    desc->pixels = surface->pixels;
    return GFX_OK;
}

GfxStatus gfx_unlock(GfxSurface* surface, const Rect*) {
    if (!valid_surface(surface) || !surface->locked)
        return GFX_ERR_INVALID;
    surface->locked = 0;
    // Whatever was written through the lock is in the pixels now.
    pixels_changed(surface);
    return GFX_OK;
}

void gfx_set_blit_observer(GfxBlitObserver observer) {
    blit_observer = observer;
}

GfxStatus gfx_blit(GfxSurface* dst, const Rect* dst_rect, GfxSurface* src, const Rect* src_rect,
                   unsigned flags, const GfxBlitFx* fx) {
    if (blit_observer)
        blit_observer(dst, dst_rect, src, src_rect, flags, fx);
    GfxStatus status = usable(dst);
    if (status != GFX_OK)
        return status;
    const Rect d = dst_rect ? *dst_rect : whole(dst);
    if (is_empty(d))
        return GFX_ERR_INVALID;
    const bool fill = (flags & GFX_BLT_COLORFILL) != 0;
    Rect s = {0, 0, 0, 0};
    if (fill && (!fx || fx->size != sizeof(GfxBlitFx)))
        return GFX_ERR_INVALID;
    if (!fill && (status = check_source(dst, src, src_rect, &s)) != GFX_OK)
        return status;
    // Without a clipper the destination must lie on the surface; with one, it is cut.
    if (!dst->clipper && !contains(whole(dst), d))
        return GFX_ERR_INVALID;
    const bool keyed = (flags & GFX_BLT_KEYSRC) && src && src->has_color_key;
    blit_clipped(dst, d, src, s, fill ? fx : nullptr, keyed);
    // On a windowed display the primary surface is the desktop: what lands there shows.
    if ((dst->caps & GFX_CAPS_PRIMARYSURFACE) && !dst->attached)
        present(dst);
    return GFX_OK;
}

GfxStatus gfx_flip(GfxSurface* primary, unsigned) {
    if (!valid_surface(primary) || !(primary->caps & GFX_CAPS_PRIMARYSURFACE)) {
        return GFX_ERR_INVALID;
    }
    GfxSurface* back = primary->attached;
    if (!back)
        return GFX_ERR_NOT_FOUND;
    if (primary->lost || back->lost)
        return GFX_ERR_LOST;
    if (primary->locked || back->locked)
        return GFX_ERR_BUSY;
    uint8_t* front_pixels = primary->pixels;
    primary->pixels = back->pixels;
    back->pixels = front_pixels;
    pixels_changed(primary);
    pixels_changed(back);
    present(primary);
    return GFX_OK;
}

GfxStatus gfx_wait_vblank(GfxDevice* device, unsigned) {
    return valid_device(device) ? GFX_OK : GFX_ERR_INVALID;
}

GfxStatus gfx_create_palette(GfxDevice* device, unsigned caps, const PaletteEntry* entries,
                             GfxPalette** out) {
    if (!out)
        return GFX_ERR_INVALID;
    *out = nullptr;
    if (!valid_device(device) || !entries || !(caps & GFX_PAL_8BIT))
        return GFX_ERR_INVALID;
    GfxPalette* p = take_slot(palettes);
    if (!p)
        return GFX_ERR_NOMEM;
    p->caps = caps;
    std::memcpy(p->entries, entries, sizeof(p->entries));
    *out = p;
    return GFX_OK;
}

void gfx_release_palette(GfxPalette* palette) {
    if (!palette || !palette->in_use)
        return;
    for (GfxSurface& s : surfaces) {
        if (s.in_use && s.palette == palette)
            s.palette = nullptr;
    }
    if (primary_palette == palette)
        primary_palette = nullptr;
    std::memset(palette, 0, sizeof(*palette));
}

GfxStatus gfx_palette_set_entries(GfxPalette* palette, int first, int count,
                                  const PaletteEntry* in) {
    if (!palette || !palette->in_use || !in || first < 0 || count < 0 || first + count > 256) {
        return GFX_ERR_INVALID;
    }
    std::memcpy(palette->entries + first, in, sizeof(PaletteEntry) * static_cast<size_t>(count));
    return GFX_OK;
}

GfxStatus gfx_palette_get_entries(const GfxPalette* palette, int first, int count,
                                  PaletteEntry* out) {
    if (!palette || !palette->in_use || !out || first < 0 || count < 0 || first + count > 256) {
        return GFX_ERR_INVALID;
    }
    std::memcpy(out, palette->entries + first, sizeof(PaletteEntry) * static_cast<size_t>(count));
    return GFX_OK;
}

GfxStatus gfx_surface_set_palette(GfxSurface* surface, GfxPalette* palette) {
    if (!valid_surface(surface) || surface->bpp != 8)
        return GFX_ERR_INVALID;
    if (palette && !palette->in_use)
        return GFX_ERR_INVALID;
    surface->palette = palette;
    if (surface->caps & GFX_CAPS_PRIMARYSURFACE)
        primary_palette = palette;
    return GFX_OK;
}

GfxStatus gfx_create_clipper(GfxDevice* device, GfxClipper** out) {
    if (!out)
        return GFX_ERR_INVALID;
    *out = nullptr;
    if (!valid_device(device))
        return GFX_ERR_INVALID;
    *out = take_slot(clippers);
    return *out ? GFX_OK : GFX_ERR_NOMEM;
}

void gfx_release_clipper(GfxClipper* clipper) {
    if (!clipper || !clipper->in_use)
        return;
    for (GfxSurface& s : surfaces) {
        if (s.in_use && s.clipper == clipper)
            s.clipper = nullptr;
    }
    std::memset(clipper, 0, sizeof(*clipper));
}

GfxStatus gfx_clipper_set_list(GfxClipper* clipper, const GfxRegionHeader* region) {
    if (!clipper || !clipper->in_use)
        return GFX_ERR_INVALID;
    if (!region) {
        clipper->count = 0;
        return GFX_OK;
    }
    if (region->size != sizeof(GfxRegionHeader) || region->type != GFX_REGION_RECTANGLES ||
        region->count > static_cast<uint32_t>(GFX_MAX_CLIP_RECTS) ||
        region->region_size != region->count * sizeof(Rect)) {
        return GFX_ERR_INVALID;
    }
    const Rect* rects = reinterpret_cast<const Rect*>(region + 1);
    clipper->count = static_cast<int>(region->count);
    std::memcpy(clipper->rects, rects, sizeof(Rect) * region->count);
    clipper->bound = region->bound;
    clipper->window = nullptr;
    return GFX_OK;
}

GfxStatus gfx_clipper_set_window(GfxClipper* clipper, const Rect* window) {
    if (!clipper || !clipper->in_use)
        return GFX_ERR_INVALID;
    clipper->window = window;
    return GFX_OK;
}

GfxStatus gfx_surface_set_clipper(GfxSurface* surface, GfxClipper* clipper) {
    if (!valid_surface(surface))
        return GFX_ERR_INVALID;
    if (clipper && !clipper->in_use)
        return GFX_ERR_INVALID;
    surface->clipper = clipper;
    return GFX_OK;
}

int gfx_nearest_index(const PaletteEntry* palette, uint32_t colour) {
    const int red = static_cast<int>(colour & 0xFF);
    const int green = static_cast<int>((colour >> 8) & 0xFF);
    const int blue = static_cast<int>((colour >> 16) & 0xFF);
    int best = 0;
    int best_distance = 1 << 30;
    for (int i = 0; i < 256; ++i) {
        const int dr = palette[i].red - red;
        const int dg = palette[i].green - green;
        const int db = palette[i].blue - blue;
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < best_distance) {
            best_distance = distance;
            best = i;
        }
    }
    return best;
}

int gfx_pack_rgb16(int bits, int red, int green, int blue) {
    if (bits == 15)
        return ((red >> 3) & 31) << 10 | ((green >> 3) & 31) << 5 | ((blue >> 3) & 31);
    return ((red >> 3) & 31) << 11 | ((green >> 2) & 63) << 5 | ((blue >> 3) & 31);
}

GfxStatus gfx_text_out(GfxSurface* surface, int x, int y, const char* text, int length,
                       uint32_t colour) {
    if (!valid_surface(surface) || !text || length < 0)
        return GFX_ERR_INVALID;
    if (surface->lost)
        return GFX_ERR_LOST;
    uint32_t value;
    if (surface->bpp == 8) {
        static const PaletteEntry black[256] = {};
        const GfxPalette* palette = surface->palette ? surface->palette : primary_palette;
        value =
            static_cast<uint32_t>(gfx_nearest_index(palette ? palette->entries : black, colour));
    } else {
        value = static_cast<uint32_t>(gfx_pack_rgb16(surface->bpp, colour & 0xFF,
                                                     (colour >> 8) & 0xFF, (colour >> 16) & 0xFF));
    }
    font_draw(surface->pixels, surface->pitch, bytes_per_pixel(surface->bpp), surface->width,
              surface->height, x, y, text, length, value, 1);
    pixels_changed(surface);
    return GFX_OK;
}

void gfx_set_memory_limit(size_t bytes) {
    memory_limit = bytes;
}

size_t gfx_memory_in_use() {
    return memory_used;
}

int gfx_live_surfaces() {
    int n = 0;
    for (const GfxSurface& s : surfaces)
        n += s.in_use ? 1 : 0;
    return n;
}

int gfx_shutdown() {
    int held = 0;
    for (GfxSurface& s : surfaces) {
        if (s.in_use) {
            ++held;
            free_surface(&s);
        }
    }
    for (const GfxClipper& c : clippers)
        held += c.in_use;
    for (const GfxPalette& p : palettes)
        held += p.in_use;
    for (const GfxDevice& d : devices)
        held += d.in_use;
    std::memset(clippers, 0, sizeof clippers);
    std::memset(palettes, 0, sizeof palettes);
    std::memset(devices, 0, sizeof devices);
    primary_palette = nullptr;
    memory_limit = 0;
    return held;
}
