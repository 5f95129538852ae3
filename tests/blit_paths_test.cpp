// The blits' fast paths against the plain rule they must keep: every destination pixel
// samples the source through the stretch mapping and is skipped when keyed and in the key
// range. Row copies, key-free sources, keyed rows in pieces and kept stretched rows must all
// give exactly those pixels, and must notice every change of the source's pixels or key.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "engine/display.h"
#include "engine/gfx.h"
#include "platform/headless/headless.h"
#include "tests/test_support.h"

namespace {

constexpr int KEY = 253;

// The pixel at (x, y), 8 or 16 bits.
uint32_t pixel(const GfxSurface* s, int x, int y) {
    const uint8_t* p = s->pixels + static_cast<size_t>(y) * s->pitch + x * (s->bpp / 8);
    if (s->bpp == 8)
        return *p;
    uint16_t w;
    std::memcpy(&w, p, 2);
    return w;
}

void set_pixel(GfxSurface* s, int x, int y, uint32_t v) {
    uint8_t* p = s->pixels + static_cast<size_t>(y) * s->pitch + x * (s->bpp / 8);
    if (s->bpp == 8) {
        *p = static_cast<uint8_t>(v);
    } else {
        const uint16_t w = static_cast<uint16_t>(v);
        std::memcpy(p, &w, 2);
    }
}

std::vector<uint32_t> pixels_of(const GfxSurface* s) {
    std::vector<uint32_t> out;
    for (int y = 0; y < s->height; ++y) {
        for (int x = 0; x < s->width; ++x)
            out.push_back(pixel(s, x, y));
    }
    return out;
}

// Writes through a lock, as the game's code does.
template <typename F>
void write_locked(GfxSurface* s, F write) {
    GfxSurfaceDesc desc = {};
    desc.size = sizeof desc;
    ASSERT_EQ(gfx_lock(s, nullptr, &desc, GFX_LOCK_WAIT), GFX_OK);
    write();
    ASSERT_EQ(gfx_unlock(s, nullptr), GFX_OK);
}

// What a blit of the whole source to d must leave in a target of w x h, from before.
std::vector<uint32_t> expected_blit(std::vector<uint32_t> before, int w, int h,
                                    const GfxSurface* src, const Rect& d, bool keyed) {
    const int dw = d.right - d.left, dh = d.bottom - d.top;
    for (int y = d.top; y < d.bottom; ++y) {
        for (int x = d.left; x < d.right; ++x) {
            if (x < 0 || y < 0 || x >= w || y >= h)
                continue;
            const uint32_t p = pixel(src, gfx_stretch_source(x - d.left, src->width, dw),
                                     gfx_stretch_source(y - d.top, src->height, dh));
            if (!keyed || p < src->key_low || p > src->key_high)
                before[static_cast<size_t>(y) * w + x] = p;
        }
    }
    return before;
}

class BlitPaths : public ::testing::TestWithParam<int> {
  protected:
    void SetUp() override {
        test_display_up(0, GetParam());
        target = display_create_surface(70, 24, GFX_CAPS_SYSTEMMEMORY, 0);
        ASSERT_NE(target, nullptr);
        const Rect all = {0, 0, 70, 24};
        ASSERT_NE(display_attach_clipper(target, 1, &all), nullptr);
    }
    void TearDown() override {
        gfx_release_clipper(target->clipper);
        gfx_release_surface(target);
        test_tear_down();
    }

    // Draws src at d and compares the whole target with the rule.
    void check(GfxSurface* src, const Rect& d, bool keyed, const char* what) {
        // A colour no source holds, new for every draw, so that a pixel left out shows.
        display_fill_surface(target, 210 + draws++ % 40, nullptr);
        const std::vector<uint32_t> want = expected_blit(pixels_of(target), 70, 24, src, d, keyed);
        ASSERT_EQ(gfx_blit(target, &d, src, nullptr, keyed ? GFX_BLT_KEYSRC : 0u, nullptr), GFX_OK);
        ASSERT_EQ(pixels_of(target), want)
            << what << ": " << src->width << "x" << src->height << " to " << d.left << "," << d.top
            << " " << d.right - d.left << "x" << d.bottom - d.top << (keyed ? " keyed" : "");
    }

    GfxSurface* target = nullptr;
    int draws = 0;
};

// A source of the given width whose pixels follow a pattern, with some key pixels or none.
GfxSurface* patterned_source(int width, bool holds_key) {
    GfxSurface* src = display_create_surface(width, 5, GFX_CAPS_SYSTEMMEMORY, KEY);
    if (src == nullptr)
        return nullptr;
    write_locked(src, [&] {
        for (int y = 0; y < 5; ++y) {
            for (int x = 0; x < width; ++x) {
                const bool key = holds_key && (x * 7 + y * 3) % 4 == 0;
                set_pixel(src, x, y, key ? KEY : 1 + (x * 5 + y * 11) % 200);
            }
        }
    });
    return src;
}

}  // namespace

// Widths around the keyed rows' sixteen-pixel pieces, with and without key pixels, at one size
// and stretched, cut at every edge, with the stretched rows kept and not.
TEST_P(BlitPaths, EveryPathGivesThePixelsOfTheMapping) {
    for (int width : {1, 5, 15, 16, 17, 31, 33, 40}) {
        for (bool holds_key : {false, true}) {
            GfxSurface* src = patterned_source(width, holds_key);
            ASSERT_NE(src, nullptr);
            const Rect places[] = {
                {3, 2, 3 + width, 7},                                      // one to one
                {-4, -2, -4 + width, 3},                                   // cut left and top
                {70 - width / 2 - 1, 20, 70 - width / 2 - 1 + width, 25},  // right, bottom
                {-3, 1, -3 + 2 * width + 1, 12},                           // stretched, cut left
                {10, 0, 10 + (width + 1) / 2, 4},                          // squeezed
            };
            for (bool kept : {false, true}) {
                if (kept) {
                    const Rect whole = {0, 0, width, 5};
                    ASSERT_EQ(gfx_keep_stretched(src, &whole, 2 * width + 1, 11), GFX_OK);
                }
                for (const Rect& d : places) {
                    check(src, d, false, kept ? "kept" : "plain");
                    check(src, d, true, kept ? "kept" : "plain");
                    if (HasFatalFailure())
                        return;
                }
            }
            gfx_release_surface(src);
        }
    }
}

// Whether the source holds key pixels, and its kept stretched rows, are learnt again after
// a write through a lock, a blit or a fill into it, and a new key.
TEST_P(BlitPaths, WhatIsKnownOfTheSourceFollowsEveryChange) {
    GfxSurface* src = display_create_surface(20, 4, GFX_CAPS_SYSTEMMEMORY, KEY);
    ASSERT_NE(src, nullptr);
    write_locked(src, [&] {
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 20; ++x)
                set_pixel(src, x, y, 60 + x);
        }
    });
    const Rect whole = {0, 0, 20, 4};
    ASSERT_EQ(gfx_keep_stretched(src, &whole, 45, 9), GFX_OK);
    const Rect one = {0, 0, 20, 4}, stretched = {2, 10, 47, 19};
    int holds = -1;
    ASSERT_EQ(gfx_holds_key(src, &holds), GFX_OK);
    EXPECT_EQ(holds, 0);
    check(src, one, true, "key-free");
    check(src, stretched, true, "key-free, kept");

    write_locked(src, [&] { set_pixel(src, 3, 1, KEY); });
    ASSERT_EQ(gfx_holds_key(src, &holds), GFX_OK);
    EXPECT_EQ(holds, 1);
    check(src, one, true, "key written through a lock");
    check(src, stretched, true, "key written through a lock, kept");

    // Under another key the same pixels are all drawn, and then pixels of the new key
    // arrive by a fill.
    ASSERT_EQ(gfx_set_color_key(src, GFX_CKEY_SRCBLT, 50, 50), GFX_OK);
    ASSERT_EQ(gfx_holds_key(src, &holds), GFX_OK);
    EXPECT_EQ(holds, 0);
    GfxBlitFx fx = {};
    fx.size = sizeof fx;
    fx.fill_color = 50;
    const Rect corner = {0, 0, 2, 2};
    ASSERT_EQ(gfx_blit(src, &corner, nullptr, nullptr, GFX_BLT_COLORFILL, &fx), GFX_OK);
    ASSERT_EQ(gfx_holds_key(src, &holds), GFX_OK);
    EXPECT_EQ(holds, 1);
    check(src, one, true, "key changed, its pixels filled in");
    check(src, stretched, true, "key changed, its pixels filled in, kept");
    gfx_release_surface(src);
}

INSTANTIATE_TEST_SUITE_P(Depths, BlitPaths, ::testing::Values(8, 16));

// Kept rows are surface memory: counted, limited, released with the surface, and refused
// for the flipping surfaces whose pixels the flip exchanges.
TEST(KeptStretch, IsCountedLimitedAndOnlyForOffScreenSurfaces) {
    test_display_up();
    const size_t before = gfx_memory_in_use();
    GfxSurface* src = display_create_surface(256, 224, GFX_CAPS_SYSTEMMEMORY, 0);
    ASSERT_NE(src, nullptr);
    const size_t with_surface = gfx_memory_in_use();
    const Rect whole = {0, 0, 256, 224};
    gfx_set_memory_limit(with_surface + 1000);
    EXPECT_EQ(gfx_keep_stretched(src, &whole, 548, 480), GFX_ERR_NOMEM);
    gfx_set_memory_limit(0);
    ASSERT_EQ(gfx_keep_stretched(src, &whole, 548, 480), GFX_OK);
    EXPECT_GT(gfx_memory_in_use(), with_surface + 548 * 224);
    EXPECT_LT(gfx_memory_in_use(), with_surface + 548 * 480);  // rows of the source only
    EXPECT_EQ(gfx_keep_stretched(back_surface, &whole, 548, 480), GFX_ERR_UNSUPPORTED);
    const Rect outside = {0, 0, 257, 224};
    EXPECT_EQ(gfx_keep_stretched(src, &outside, 548, 480), GFX_ERR_INVALID);
    gfx_release_surface(src);
    EXPECT_EQ(gfx_memory_in_use(), before);
    test_tear_down();
}
