// Recording the game's blits and composing them again with SDL2 (see sdl_scene.h). The
// recording sees every gfx_blit through the display service's blit observer.
#include "bench/sdl_scene.h"

#include <SDL.h>

#include <cstring>
#include <vector>

#include "bench/bench_platform.h"
#include "engine/display.h"
#include "engine/gfx.h"

namespace {

// One picture as drawn: the source rectangle's pixels, drawn at one size, keyed or not.
struct Picture {
    const GfxSurface* from;
    uint64_t hash;
    int width, height;  // of the source rectangle
    int draw_width, draw_height;
    bool keyed;
    SDL_Surface* surface;  // at the drawn size
};

struct Op {
    bool fill;
    uint32_t colour;
    SDL_Rect dst;
    int picture;
};

// Every picture drawn, every fill and blit, where each
// pass's start in them (and one past the last pass), and each pass's palette among the
// palettes seen (256 colours each).
std::vector<Picture> pictures;
std::vector<Op> ops;
std::vector<size_t> pass_first_op;
std::vector<int> pass_palette;
std::vector<SDL_Color> palettes;
// SDL's side: the one palette every 8-bit surface shares, which recorded palette it holds,
// the 8-bit frame composed and its 32-bit conversion.
SDL_Palette* sdl_palette;
int sdl_palette_index = -1;
SDL_Surface* back8;
SDL_Surface* argb;
// The most pixels a composed pass differed from the game's frame.
int most_differing;

uint64_t hash_rect(const GfxSurface* s, const Rect& r) {
    uint64_t h = 14695981039346656037ull;
    for (int y = r.top; y < r.bottom; ++y) {
        const uint8_t* row = s->pixels + static_cast<size_t>(y) * s->pitch;
        for (int x = r.left; x < r.right; ++x) {
            h ^= row[x];
            h *= 1099511628211ull;
        }
    }
    return h;
}

bool ensure_targets() {
    if (back8)
        return true;
    sdl_palette = SDL_AllocPalette(256);
    back8 = SDL_CreateRGBSurfaceWithFormat(0, BENCH_WIDTH, BENCH_HEIGHT, 8, SDL_PIXELFORMAT_INDEX8);
    argb =
        SDL_CreateRGBSurfaceWithFormat(0, BENCH_WIDTH, BENCH_HEIGHT, 32, SDL_PIXELFORMAT_ARGB8888);
    if (!sdl_palette || !back8 || !argb)
        return false;
    SDL_SetSurfacePalette(back8, sdl_palette);
    return true;
}

// The picture's SDL surface in SDL's own 8-bit format, stretched once to its drawn size with
// the game's mapping, keyed with RLE acceleration when the game draws it keyed.
SDL_Surface* make_surface(const GfxSurface* s, const Rect& r, int draw_width, int draw_height,
                          bool keyed) {
    SDL_Surface* out =
        SDL_CreateRGBSurfaceWithFormat(0, draw_width, draw_height, 8, SDL_PIXELFORMAT_INDEX8);
    if (!out)
        return nullptr;
    SDL_SetSurfacePalette(out, sdl_palette);
    const int width = r.right - r.left, height = r.bottom - r.top;
    for (int y = 0; y < draw_height; ++y) {
        const int sy = r.top + gfx_stretch_source(y, height, draw_height);
        const uint8_t* in = s->pixels + static_cast<size_t>(sy) * s->pitch;
        uint8_t* row = static_cast<uint8_t*>(out->pixels) + static_cast<size_t>(y) * out->pitch;
        for (int x = 0; x < draw_width; ++x)
            row[x] = in[r.left + gfx_stretch_source(x, width, draw_width)];
    }
    if (keyed) {
        SDL_SetColorKey(out, SDL_TRUE, s->key_low);
        SDL_SetSurfaceRLE(out, 1);
    }
    return out;
}

int picture_of(const GfxSurface* s, const Rect& r, int draw_width, int draw_height, bool keyed) {
    const uint64_t hash = hash_rect(s, r);
    const int width = r.right - r.left, height = r.bottom - r.top;
    for (size_t i = 0; i < pictures.size(); ++i) {
        const Picture& p = pictures[i];
        if (p.from == s && p.hash == hash && p.width == width && p.height == height &&
            p.draw_width == draw_width && p.draw_height == draw_height && p.keyed == keyed) {
            return static_cast<int>(i);
        }
    }
    pictures.push_back({s, hash, width, height, draw_width, draw_height, keyed,
                        make_surface(s, r, draw_width, draw_height, keyed)});
    return static_cast<int>(pictures.size()) - 1;
}

void record(GfxSurface* dst, const Rect* dst_rect, GfxSurface* src, const Rect* src_rect,
            unsigned flags, const GfxBlitFx* fx) {
    if (dst != back_surface || !ensure_targets())
        return;
    const Rect whole_dst = {0, 0, dst->width, dst->height};
    const Rect d = dst_rect ? *dst_rect : whole_dst;
    const SDL_Rect sd = {d.left, d.top, d.right - d.left, d.bottom - d.top};
    if (flags & GFX_BLT_COLORFILL) {
        ops.push_back({true, fx ? fx->fill_color & 0xFF : 0, sd, -1});
        return;
    }
    if (!src || !src->pixels)
        return;
    const Rect whole_src = {0, 0, src->width, src->height};
    const Rect s = src_rect ? *src_rect : whole_src;
    const bool keyed = (flags & GFX_BLT_KEYSRC) && src->has_color_key;
    ops.push_back({false, 0, sd, picture_of(src, s, sd.w, sd.h, keyed)});
}

int palette_of(const PaletteEntry* entries) {
    SDL_Color colours[256];
    for (int i = 0; i < 256; ++i)
        colours[i] = {entries[i].red, entries[i].green, entries[i].blue, 255};
    for (size_t p = 0; p < palettes.size(); p += 256) {
        if (std::memcmp(&palettes[p], colours, sizeof colours) == 0)
            return static_cast<int>(p / 256);
    }
    palettes.insert(palettes.end(), colours, colours + 256);
    return static_cast<int>(palettes.size() / 256) - 1;
}

}  // namespace

void scene_start_recording() {
    scene_release();
    pass_first_op.push_back(0);
    gfx_set_blit_observer(record);
}

void scene_end_pass() {
    pass_first_op.push_back(ops.size());
    pass_palette.push_back(palette_of(bench_frame_palette()));
    const int pass = scene_passes() - 1;
    const uint8_t* game = bench_frame_pixels();
    // The menu's pictures are copied into the locked frame, not blitted: nothing to compare.
    bool blitted = false;
    for (size_t i = pass_first_op[pass]; i < ops.size(); ++i)
        blitted |= !ops[i].fill;
    if (!game || !back8 || !blitted)
        return;
    scene_compose(pass, false);
    int differing = 0;
    for (int y = 0; y < BENCH_HEIGHT; ++y) {
        const uint8_t* a = game + static_cast<size_t>(y) * bench_frame_pitch();
        const uint8_t* b =
            static_cast<const uint8_t*>(back8->pixels) + static_cast<size_t>(y) * back8->pitch;
        for (int x = 0; x < BENCH_WIDTH; ++x)
            differing += a[x] != b[x];
    }
    if (differing > most_differing)
        most_differing = differing;
}

void scene_stop_recording() {
    gfx_set_blit_observer(nullptr);
}

int scene_passes() {
    return pass_first_op.empty() ? 0 : static_cast<int>(pass_first_op.size()) - 1;
}

long scene_blit_count() {
    long n = 0;
    for (const Op& op : ops)
        n += op.fill ? 0 : 1;
    return n;
}

int scene_most_differing_pixels() {
    return most_differing;
}

void scene_compose(int pass, bool clear) {
    if (pass_palette[pass] != sdl_palette_index) {
        sdl_palette_index = pass_palette[pass];
        SDL_SetPaletteColors(sdl_palette, &palettes[static_cast<size_t>(sdl_palette_index) * 256],
                             0, 256);
    }
    size_t first = pass_first_op[pass];
    if (clear) {
        SDL_FillRect(back8, nullptr, 0);
        // The game's own clear, when it made one, is this one.
        const bool cleared = first < pass_first_op[pass + 1] && ops[first].fill &&
                             ops[first].colour == 0 && ops[first].dst.x == 0 &&
                             ops[first].dst.y == 0 && ops[first].dst.w == BENCH_WIDTH &&
                             ops[first].dst.h == BENCH_HEIGHT;
        first += cleared ? 1 : 0;
    }
    for (size_t i = first; i < pass_first_op[pass + 1]; ++i) {
        const Op& op = ops[i];
        SDL_Rect dst = op.dst;
        if (op.fill) {
            SDL_FillRect(back8, &dst, op.colour);
        } else if (SDL_Surface* picture = pictures[op.picture].surface) {
            SDL_BlitSurface(picture, nullptr, back8, &dst);
        }
    }
    SDL_BlitSurface(back8, nullptr, argb, nullptr);
}

void scene_release() {
    for (Picture& p : pictures)
        SDL_FreeSurface(p.surface);
    pictures.clear();
    ops.clear();
    pass_first_op.clear();
    pass_palette.clear();
    palettes.clear();
    SDL_FreeSurface(back8);
    SDL_FreeSurface(argb);
    SDL_FreePalette(sdl_palette);
    back8 = argb = nullptr;
    sdl_palette = nullptr;
    sdl_palette_index = -1;
    most_differing = 0;
    gfx_set_blit_observer(nullptr);
}
