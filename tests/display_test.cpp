// The display service and the display module: stretch mapping, clipped and keyed blits,
// fills, the lock and flip rules, palettes, clippers and set-up.
#include "engine/display.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "engine/bitmap.h"
#include "engine/error_log.h"
#include "engine/text.h"
#include "platform/headless/headless.h"
#include "tests/test_support.h"

namespace {

GfxSurface* make_surface(int w, int h, int key = 253) {
    GfxSurface* s = display_create_surface(w, h, 0x800, key);
    EXPECT_NE(s, nullptr);
    return s;
}

void fill_with(GfxSurface* s, uint8_t value) {
    for (int y = 0; y < s->height; ++y)
        std::memset(s->pixels + y * s->pitch, value, s->width);
}

uint8_t at(const GfxSurface* s, int x, int y) {
    return s->pixels[y * s->pitch + x];
}

}  // namespace

TEST(StretchMapping, CopiesOneToOneAndPutsTheBackdropEdgesWhereTheLevelNeedsThem) {
    for (int i = 0; i < 640; ++i)
        ASSERT_EQ(gfx_stretch_source(i, 640, 640), i);
    // 224 picture rows over 480 screen rows: the floor line 430 starts a new picture row.
    EXPECT_EQ(gfx_stretch_source(429, 224, 480), 199);
    EXPECT_EQ(gfx_stretch_source(430, 224, 480), 200);
    EXPECT_EQ(gfx_stretch_source(479, 224, 480), 222);
    // 256 picture columns over 548: each pit edge starts a new picture column.
    for (int edge : {178, 242, 210, 306, 392}) {
        EXPECT_NE(gfx_stretch_source(edge, 256, 548), gfx_stretch_source(edge - 1, 256, 548))
            << edge;
    }
    EXPECT_EQ(gfx_stretch_source(0, 256, 548), 0);
    EXPECT_EQ(gfx_stretch_source(547, 256, 548), 255);
    // Squeezing 32 columns into 31 drops exactly one, keeping both ends.
    int skipped = 0;
    for (int i = 1; i < 31; ++i) {
        const int step = gfx_stretch_source(i, 32, 31) - gfx_stretch_source(i - 1, 32, 31);
        ASSERT_GE(step, 1);
        skipped += step - 1;
    }
    EXPECT_EQ(skipped, 1);
    EXPECT_EQ(gfx_stretch_source(0, 32, 31), 0);
    EXPECT_EQ(gfx_stretch_source(30, 32, 31), 31);
}

TEST(Display, InitSetsTheGlobalsClipperAndLogsThePixelFormat) {
    const std::string path = test_temp_dir() + "/log.txt";
    FILE* log = std::fopen(path.c_str(), "w");
    ASSERT_NE(log, nullptr);
    error_log_open(nullptr, log);
    test_display_up();
    error_log_close();
    EXPECT_EQ(screen_width, 640);
    EXPECT_EQ(screen_bpp, 8);
    EXPECT_EQ(pixel_format, 8);
    EXPECT_EQ(make_rgb16, rgb16_565);
    EXPECT_EQ(clip_max_x, 639);
    EXPECT_EQ(clip_max_y, 479);
    ASSERT_NE(back_clipper, nullptr);
    EXPECT_EQ(back_clipper->bound.right, 640);
    EXPECT_EQ(back_clipper->bound.bottom, 480);
    EXPECT_GT(back_surface->pitch, 640);  // padded rows
    log = std::fopen(path.c_str(), "r");
    ASSERT_NE(log, nullptr);
    char text[256] = {};
    const size_t n = std::fread(text, 1, sizeof(text) - 1, log);
    std::fclose(log);
    text[n] = '\0';
    EXPECT_NE(std::strstr(text, "\npixel format = 8\npixel format = 5.6.5"), nullptr) << text;
}

TEST(Display, MissingPaletteFileLeavesTheDisplayBlack) {
    std::filesystem::current_path(test_temp_dir());
    test_display_up();
    PaletteEntry entries[256];
    palette_get_all(entries);
    for (const PaletteEntry& e : entries)
        EXPECT_EQ(e.red | e.green | e.blue, 0);
}

TEST(Display, LockRulesAndFlipRefusalWhileLocked) {
    test_display_up();
    uint8_t* first = display_lock_back();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(display_lock_back(), first);
    const int presented = headless_frames_presented();
    EXPECT_EQ(display_flip(), 0);
    EXPECT_EQ(headless_frames_presented(), presented);
    first[5] = 77;
    EXPECT_EQ(display_unlock_back(), 1);
    EXPECT_EQ(back_buffer, nullptr);
    EXPECT_EQ(back_pitch, 0);
    EXPECT_EQ(display_unlock_back(), 0);
    EXPECT_EQ(display_flip(), 1);
    EXPECT_EQ(headless_frames_presented(), presented + 1);
    EXPECT_EQ(headless_frame_pixels()[5], 77);
    // A lost surface cannot be locked and reads as unlocked.
    back_surface->lost = 1;
    EXPECT_EQ(display_lock_back(), nullptr);
    EXPECT_EQ(back_buffer, nullptr);
    // The flip restores lost surfaces and carries on.
    EXPECT_EQ(display_flip(), 1);
}

TEST(Display, PrimaryLockHoldsThePresentedFrameAndHoldsOffTheFlip) {
    test_display_up();
    display_fill_surface(back_surface, 5, nullptr);
    ASSERT_EQ(display_flip(), 1);
    display_fill_surface(back_surface, 6, nullptr);
    uint8_t* primary = display_lock_primary();
    ASSERT_NE(primary, nullptr);
    EXPECT_EQ(primary[0], 5);  // the frame on show, not the one being drawn
    EXPECT_EQ(display_lock_primary(), primary);
    const int presented = headless_frames_presented();
    EXPECT_EQ(display_flip(), 0);
    EXPECT_EQ(headless_frames_presented(), presented);
    // The back surface locks on its own meanwhile.
    uint8_t* back = display_lock_back();
    ASSERT_NE(back, nullptr);
    EXPECT_NE(back, primary);
    EXPECT_EQ(back[0], 6);
    EXPECT_EQ(display_unlock_back(), 1);
    EXPECT_EQ(display_flip(), 0);  // still held off by the primary's lock
    EXPECT_EQ(display_unlock_primary(), 1);
    EXPECT_EQ(display_unlock_primary(), 0);
    EXPECT_EQ(display_flip(), 1);
    EXPECT_EQ(headless_frame_pixels()[0], 6);
}

TEST(Display, WaitingForTheVerticalBlankNeverBlocksOrFails) {
    EXPECT_EQ(display_wait_vblank(), 1);  // before set-up: no device to ask
    test_display_up();
    const uint32_t before = headless_time();
    EXPECT_EQ(display_wait_vblank(), 1);
    EXPECT_EQ(headless_time(), before);
}

TEST(Display, WindowedModeCopiesTheBackSurfaceIntoTheWindow) {
    test_display_up(1);
    EXPECT_EQ(display_windowed, 1);
    ASSERT_NE(window_clipper, nullptr);
    EXPECT_EQ(shadow_palette[0].flags, PALETTE_FLAG_EXPLICIT);
    EXPECT_EQ(shadow_palette[255].flags, PALETTE_FLAG_EXPLICIT);
    display_fill_surface(back_surface, 9, nullptr);
    EXPECT_EQ(display_flip(), 1);
    EXPECT_EQ(headless_frame_pixels()[640 * 479 + 639], 9);
    EXPECT_EQ(display_shutdown(), 1);
}

// The RGB of a frame is made only when asked for: it is the last frame presented, through
// the palette in force when it was presented; 16-bit frames widen their channels.
TEST(Display, PresentedFrameGivesItsRgbWhenAskedThroughItsOwnPalette) {
    test_display_up();
    const PaletteEntry first = {1, 2, 3, 0}, later = {9, 8, 7, 0};
    palette_set_entry(5, &first);
    display_fill_surface(back_surface, 5, nullptr);
    ASSERT_EQ(display_flip(), 1);
    palette_set_entry(5, &later);
    const uint8_t* rgb = headless_frame_rgb();
    EXPECT_EQ(rgb[0], 1);
    EXPECT_EQ(rgb[2], 3);
    display_fill_surface(back_surface, 5, nullptr);
    ASSERT_EQ(display_flip(), 1);
    rgb = headless_frame_rgb();
    EXPECT_EQ(rgb[(640 * 480 - 1) * 3], 9);
    EXPECT_EQ(rgb[(640 * 480 - 1) * 3 + 2], 7);
    EXPECT_EQ(display_shutdown(), 1);

    test_display_up(0, 16);
    display_fill_surface(back_surface, rgb16_565(255, 0, 0) | 1, nullptr);
    ASSERT_EQ(display_flip(), 1);
    rgb = headless_frame_rgb();
    EXPECT_EQ(rgb[0], 255);
    EXPECT_EQ(rgb[1], 0);
    EXPECT_EQ(rgb[2], 8);  // the lowest step of blue, widened
    EXPECT_EQ(display_shutdown(), 1);
}

TEST(Display, Rgb16Builders) {
    EXPECT_EQ(rgb16_565(255, 255, 255), 0xFFFF);
    EXPECT_EQ(rgb16_555(255, 255, 255), 0x7FFF);
    EXPECT_EQ(rgb16_565(8, 4, 8), 0x0821);
}

TEST(Blit, StretchedKeyedBlitIsCutByTheClipListWithTheSourceInProportion) {
    test_display_up();
    GfxSurface* src = make_surface(4, 2);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 4; ++x)
            src->pixels[y * src->pitch + x] = static_cast<uint8_t>(10 * y + x);
    }
    src->pixels[1] = 253;  // transparent
    display_fill_surface(back_surface, 5, nullptr);
    // 4 x 2 doubled to 8 x 4 at x = -4: only the right half lands on screen.
    const Rect dest = {-4, 0, 4, 4};
    ASSERT_EQ(gfx_blit(back_surface, &dest, src, nullptr, GFX_BLT_KEYSRC, nullptr), GFX_OK);
    EXPECT_EQ(at(back_surface, 0, 0), 2);
    EXPECT_EQ(at(back_surface, 1, 0), 2);
    EXPECT_EQ(at(back_surface, 2, 0), 3);
    EXPECT_EQ(at(back_surface, 3, 3), 13);
    EXPECT_EQ(at(back_surface, 4, 0), 5);
    // The transparent source pixel leaves what was there.
    const Rect left_half = {0, 0, 8, 4};
    ASSERT_EQ(gfx_blit(back_surface, &left_half, src, nullptr, GFX_BLT_KEYSRC, nullptr), GFX_OK);
    EXPECT_EQ(at(back_surface, 2, 0), 3);  // columns 2, 3 sample source column 1, the key
    EXPECT_EQ(at(back_surface, 0, 0), 0);
    // Without the key flag every pixel is copied.
    ASSERT_EQ(gfx_blit(back_surface, &left_half, src, nullptr, 0, nullptr), GFX_OK);
    EXPECT_EQ(at(back_surface, 2, 0), 253);
    // Off the surface entirely: nothing drawn, no harm.
    const Rect away = {700, 500, 800, 600};
    EXPECT_EQ(gfx_blit(back_surface, &away, src, nullptr, GFX_BLT_KEYSRC, nullptr), GFX_OK);
    gfx_release_surface(src);
}

TEST(Blit, ClipListOfSeveralRectanglesAndRefusals) {
    test_display_up();
    GfxSurface* target = make_surface(20, 10);
    fill_with(target, 0);
    const Rect two[2] = {{0, 0, 5, 10}, {15, 0, 20, 10}};
    ASSERT_NE(display_attach_clipper(target, 2, two), nullptr);
    EXPECT_EQ(target->clipper->bound.left, 0);
    EXPECT_EQ(target->clipper->bound.right, 20);
    display_fill_surface(target, 4, nullptr);
    EXPECT_EQ(at(target, 4, 0), 4);
    EXPECT_EQ(at(target, 5, 0), 0);
    EXPECT_EQ(at(target, 15, 9), 4);

    GfxSurface* plain = make_surface(8, 8);
    const Rect outside = {4, 4, 12, 12};
    GfxBlitFx fx = {};
    fx.size = sizeof(fx);
    // Without a clipper the rectangle must lie on the surface.
    EXPECT_EQ(gfx_blit(plain, &outside, nullptr, nullptr, GFX_BLT_COLORFILL, &fx), GFX_ERR_INVALID);
    const Rect bad_source = {0, 0, 21, 1};
    EXPECT_EQ(gfx_blit(plain, nullptr, target, &bad_source, 0, nullptr), GFX_ERR_INVALID);
    // Empty rectangles, as a fill's or copy's destination or as a copy's source.
    for (const Rect& empty : {Rect{2, 2, 2, 6}, Rect{2, 2, 6, 2}, Rect{6, 2, 2, 6}}) {
        EXPECT_EQ(gfx_blit(plain, &empty, nullptr, nullptr, GFX_BLT_COLORFILL, &fx),
                  GFX_ERR_INVALID);
        EXPECT_EQ(gfx_blit(plain, &empty, target, nullptr, 0, nullptr), GFX_ERR_INVALID);
        EXPECT_EQ(gfx_blit(plain, nullptr, target, &empty, 0, nullptr), GFX_ERR_INVALID);
    }
    GfxSurfaceDesc desc = {};
    desc.size = sizeof(desc);
    ASSERT_EQ(gfx_lock(plain, nullptr, &desc, 0), GFX_OK);
    EXPECT_EQ(gfx_lock(plain, nullptr, &desc, 0), GFX_ERR_BUSY);
    EXPECT_EQ(gfx_blit(plain, nullptr, nullptr, nullptr, GFX_BLT_COLORFILL, &fx), GFX_ERR_BUSY);
    EXPECT_EQ(gfx_unlock(plain, nullptr), GFX_OK);
    EXPECT_EQ(gfx_unlock(plain, nullptr), GFX_ERR_INVALID);
    gfx_release_clipper(target->clipper);
    gfx_release_surface(target);
    gfx_release_surface(plain);
}

TEST(Blit, SurfaceMemoryLimitMakesCreationFail) {
    test_display_up();
    gfx_set_memory_limit(gfx_memory_in_use() + 100);
    EXPECT_EQ(display_create_surface(64, 64, 0x800, 253), nullptr);
    gfx_set_memory_limit(0);
    GfxSurface* s = display_create_surface(64, 64, 0x800, 253);
    EXPECT_NE(s, nullptr);
    gfx_release_surface(s);
}

TEST(Palette, IndexedTextIsDrawnInThatEntrysColour) {
    test_display_up();
    PaletteEntry entries[256] = {};
    entries[77] = {10, 200, 30, 0};
    entries[78] = {10, 200, 31, 0};  // a near twin that must not be taken instead
    palette_set_all(entries);
    display_fill_surface(back_surface, 0, nullptr);
    ASSERT_EQ(text_draw_indexed("HH", 100, 50, 77, back_surface), 1);
    int inked = 0;
    for (int y = 50; y < 66; ++y) {
        for (int x = 100; x < 120; ++x) {
            const uint8_t p = at(back_surface, x, y);
            ASSERT_TRUE(p == 0 || p == 77) << x << "," << y << ": " << int(p);
            inked += p == 77;
        }
    }
    EXPECT_GT(inked, 20);
    EXPECT_EQ(text_draw_indexed("H", 0, 0, 256, back_surface), 0);
    EXPECT_EQ(text_draw_indexed("H", 0, 0, -1, back_surface), 0);
}

TEST(Palette, SetAllReachesTheDisplayAndTextTakesTheNearestEntry) {
    test_display_up();
    PaletteEntry entries[256] = {};
    entries[17] = {250, 250, 250, 0};
    entries[18] = {255, 0, 0, 0};
    palette_set_all(entries);
    PaletteEntry shown[256];
    ASSERT_EQ(gfx_palette_get_entries(display_palette, 0, 256, shown), GFX_OK);
    EXPECT_EQ(shown[17].red, 250);
    EXPECT_EQ(gfx_nearest_index(shown, 0xFFFFFF), 17);
    EXPECT_EQ(gfx_nearest_index(shown, 0x0000F0), 18);  // 0x00BBGGRR: red
    EXPECT_EQ(palette_set_entry(256, &entries[0]), 0);
    EXPECT_EQ(palette_set_entry(-1, &entries[0]), 0);
    PaletteEntry one;
    EXPECT_EQ(palette_get_entry(18, &one), 1);
    EXPECT_EQ(one.red, 255);
}
