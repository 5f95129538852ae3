// The backdrop as the game shows it (each panel stretched with the display's own mapping) and
// the menu pictures: the floor line, the pits and the entries where the code expects them.
#include <gtest/gtest.h>

#include <string>

#include "engine/gfx.h"
#include "tests/art_support.h"

namespace {

constexpr int PIT = 91;
constexpr int FLOOR = 430;

bool in_pit(int level_x) {
    return (level_x >= 2370 && level_x <= 2433) || (level_x >= 2950 && level_x <= 3045) ||
           (level_x >= 5238 && level_x <= 5323);
}

// Panel k stretched to 548 x 480 as backdrops_draw shows it.
std::vector<uint8_t> stretched_panel(int k) {
    ArtPicture p = art_load(("dorvo" + std::to_string(k) + ".bmp").c_str());
    EXPECT_TRUE(p.ok);
    std::vector<uint8_t> out(548 * 480, 0);
    if (!p.ok)
        return out;
    for (int y = 0; y < 480; ++y) {
        int sy = gfx_stretch_source(y, p.height, 480);
        for (int x = 0; x < 548; ++x)
            out[y * 548 + x] = p.at(gfx_stretch_source(x, p.width, 548), sy);
    }
    return out;
}

TEST(ArtScreens, PitColourCoversExactlyThePitsFromTheFloorLineDown) {
    int pit_pixels_on_floor = 0;
    for (int k = 1; k <= 13; ++k) {
        std::vector<uint8_t> s = stretched_panel(k);
        for (int y = 0; y < 480; ++y) {
            for (int x = 0; x < 548; ++x) {
                int level_x = 548 * (k - 1) + x;
                bool want = y >= FLOOR && in_pit(level_x);
                ASSERT_EQ(s[y * 548 + x] == PIT, want) << "panel " << k << " x " << x << " y " << y;
                pit_pixels_on_floor += want && y == FLOOR;
            }
        }
    }
    EXPECT_EQ(pit_pixels_on_floor, (2433 - 2370 + 1) + (3045 - 2950 + 1) + (5323 - 5238 + 1));
}

TEST(ArtScreens, GroundStartsOnTheFloorLineAndTheKeyColourIsNotUsed) {
    for (int k = 1; k <= 13; ++k) {
        std::vector<uint8_t> s = stretched_panel(k);
        for (int x = 0; x < 548; ++x) {
            // The pits' walls are shaded; the turf runs unbroken everywhere else.
            int level_x = 548 * (k - 1) + x;
            if (in_pit(level_x - 8) || in_pit(level_x) || in_pit(level_x + 8))
                continue;
            // The turf's lit top edge is the same bright green all along the floor line, and
            // the pixel above it is something else.
            ASSERT_EQ(s[FLOOR * 548 + x], s[FLOOR * 548]) << "panel " << k << " x " << x;
            ASSERT_NE(s[(FLOOR - 1) * 548 + x], s[FLOOR * 548]) << "panel " << k << " x " << x;
        }
        for (uint8_t v : s) {
            ASSERT_NE(v, 0) << "panel " << k;  // the backdrop's key: it would show as holes
            ASSERT_NE(v, 253) << "panel " << k;
        }
    }
}

TEST(ArtScreens, MenuEntriesLieInTheirRectanglesWithOneHighlighted) {
    struct R {
        int left, top, right, bottom;
    } rects[4] = {
        {247, 274, 384, 289}, {247, 298, 319, 313}, {247, 322, 298, 337}, {247, 346, 296, 364}};
    const int plain = 188, lit = 189;  // the entry colours, reserved for the entries
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE("menubackground" + std::to_string(i + 1));
        ArtPicture p = art_load(("menubackground" + std::to_string(i + 1) + ".bmp").c_str());
        ASSERT_TRUE(p.ok);
        int plain_in[4] = {0, 0, 0, 0}, lit_in[4] = {0, 0, 0, 0};
        for (int y = 0; y < p.height; ++y) {
            for (int x = 0; x < p.width; ++x) {
                uint8_t v = p.at(x, y);
                if (v != plain && v != lit)
                    continue;
                int in = -1;
                for (int r = 0; r < 4; ++r) {
                    if (x >= rects[r].left && x <= rects[r].right && y >= rects[r].top &&
                        y <= rects[r].bottom)
                        in = r;
                }
                ASSERT_GE(in, 0) << "entry ink outside every rectangle at " << x << "," << y;
                (v == plain ? plain_in : lit_in)[in]++;
            }
        }
        for (int r = 0; r < 4; ++r) {
            EXPECT_EQ(lit_in[r] > 0, r == i) << "entry " << r;
            EXPECT_EQ(plain_in[r] > 0, r != i) << "entry " << r;
        }
    }
}

TEST(ArtScreens, InformationScreensAreFullScreenPictures) {
    for (const char* f : {"option2.bmp", "option3.bmp"}) {
        ArtPicture p = art_load(f);
        ASSERT_TRUE(p.ok) << f;
        EXPECT_EQ(p.width, 640);
        EXPECT_EQ(p.height, 480);
        int colours[256] = {};
        for (uint8_t v : p.pixels)
            colours[v] = 1;
        int distinct = 0;
        for (int c : colours)
            distinct += c;
        EXPECT_GT(distinct, 20) << f;  // a designed page, not a blank fill
        EXPECT_EQ(colours[188] + colours[189], 0) << f;
    }
}

}  // namespace
