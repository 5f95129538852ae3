// Sprite objects: animation modes and sequences, clip-bound wrap and bounce, drawing with
// truncated rectangles, sheet cells, refusals, clones and the overlap test.
#include "engine/sprite.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "engine/display.h"
#include "tests/test_support.h"

namespace {

class Sprites : public ::testing::Test {
  protected:
    void SetUp() override {
        test_display_up();
        std::memset(&s, 0, sizeof(s));
    }
    void TearDown() override { sprite_destroy(&s); }
    std::vector<int> frames_after(int calls) {
        std::vector<int> seen;
        for (int i = 0; i < calls; ++i) {
            sprite_animate(&s);
            seen.push_back(s.frame);
        }
        return seen;
    }
    SpriteObject s;
};

// A 8-bit sheet whose pixel at (x, y) is (x + 3 * y) % 250, in a BitmapFile.
BitmapFile sheet(int width, int height) {
    BitmapFile b;
    std::memset(&b, 0, sizeof(b));
    b.info_header.width = width;
    b.info_header.height = height;
    b.info_header.bit_count = 8;
    b.buffer = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(width) * height));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            b.buffer[y * width + x] = static_cast<uint8_t>((x + 3 * y) % 250);
    }
    return b;
}

}  // namespace

TEST_F(Sprites, CycleAndSequenceAnimation) {
    ASSERT_EQ(sprite_create(&s, 0, 0, 8, 8, 3, SPRITE_CYCLE | SPRITE_VISIBLE, 0x800, 253, 8), 1);
    s.anim_period = 2;
    EXPECT_EQ(frames_after(6), (std::vector<int>{0, 1, 1, 2, 2, 0}));
    s.anim_period = 0;  // period 0 or 1 changes every call
    EXPECT_EQ(frames_after(2), (std::vector<int>{1, 2}));

    s.flags = SPRITE_SEQUENCE;
    const int seq[] = {1, 2, 3, 2};
    ASSERT_EQ(sprite_load_animation(&s, 0, 4, seq), 1);
    sprite_set_animation(&s, 0);
    s.anim_period = 1;
    // The first entry is reached only after the wrap.
    EXPECT_EQ(frames_after(6), (std::vector<int>{2, 3, 2, 1, 2, 3}));

    s.flags = SPRITE_SINGLE_FRAME | SPRITE_CYCLE;
    EXPECT_EQ(frames_after(3), (std::vector<int>{0, 0, 0}));
}

TEST_F(Sprites, PlayOnceStopsOnTheLastEntryAndFlagsTheEnd) {
    ASSERT_EQ(sprite_create(&s, 0, 0, 8, 8, 3, SPRITE_SEQUENCE | SPRITE_ONCE, 0x800, 253, 8), 1);
    const int seq[] = {0, 1, 2};
    ASSERT_EQ(sprite_load_animation(&s, 5, 3, seq), 1);
    sprite_set_animation(&s, 5);
    s.anim_period = 1;
    EXPECT_EQ(frames_after(2), (std::vector<int>{1, 2}));
    EXPECT_EQ(s.aux_state, 0);
    EXPECT_EQ(frames_after(3), (std::vector<int>{2, 2, 2}));
    EXPECT_EQ(s.aux_state, 1);
}

TEST_F(Sprites, BadIndicesAreRefusedRatherThanWrittenOutOfBounds) {
    ASSERT_EQ(sprite_create(&s, 0, 0, 8, 8, 2, SPRITE_SEQUENCE, 0x800, 253, 8), 1);
    const int seq[] = {0, 1};
    EXPECT_EQ(sprite_load_animation(&s, 16, 2, seq), 0);
    EXPECT_EQ(sprite_load_animation(&s, -1, 2, seq), 0);
    EXPECT_EQ(sprite_set_animation(&s, 16), 0);
    // Sequence mode with no sequence loaded refuses to animate.
    EXPECT_EQ(sprite_animate(&s), 0);
    SpriteObject big;
    std::memset(&big, 0, sizeof(big));
    EXPECT_EQ(sprite_create(&big, 0, 0, 8, 8, 65, 0, 0x800, 253, 8), 0);
    BitmapFile b = sheet(20, 20);
    EXPECT_EQ(sprite_load_frame(&s, &b, 64, 0, 0, 1), 0);
    EXPECT_EQ(sprite_load_frame(&s, &b, 2, 0, 0, 1), 0);  // never created
    bitmap_unload_file(&b);
    EXPECT_EQ(sprite_animate(nullptr), 0);
    EXPECT_EQ(sprite_draw(nullptr, back_surface), 0);
}

TEST_F(Sprites, WrapAndBounceAtTheClipBounds) {
    ASSERT_EQ(sprite_create(&s, 0, 0, 32, 32, 1, SPRITE_WRAP, 0x800, 253, 8), 1);
    s.x = 640.5f;
    sprite_move(&s);
    EXPECT_EQ(s.x, -32.0f);
    s.x = -32.5f;
    sprite_move(&s);
    EXPECT_EQ(s.x, 639.0f);
    s.flags = SPRITE_BOUNCE;
    s.x = 606.5f;
    s.vx = 2.0f;
    sprite_move(&s);         // 608.5 is past 639 - 32
    EXPECT_EQ(s.x, 608.5f);  // not moved back
    EXPECT_EQ(s.vx, -2.0f);
}

TEST_F(Sprites, SheetCellsAreAddressedOnTheGridAndOutsideCellsRefused) {
    BitmapFile b = sheet(60, 40);
    ASSERT_EQ(sprite_create(&s, 0, 0, 16, 16, 2, SPRITE_SINGLE_FRAME, 0x800, 253, 8), 1);
    ASSERT_EQ(sprite_load_frame(&s, &b, 0, 2, 1, 0), 1);  // cell (2, 1) starts at (35, 18)
    EXPECT_TRUE(s.flags & SPRITE_LOADED);
    const GfxSurface* f = s.frames[0];
    EXPECT_EQ(f->pixels[0], (35 + 3 * 18) % 250);
    EXPECT_EQ(f->pixels[f->pitch * 15 + 15], (50 + 3 * 33) % 250);
    EXPECT_EQ(sprite_load_frame(&s, &b, 1, 3, 1, 0), 0);   // runs past the right edge
    EXPECT_EQ(sprite_load_frame(&s, &b, 1, 50, 0, 1), 0);  // pixel mode, past the right
    EXPECT_EQ(sprite_load_frame(&s, &b, 1, 0, 30, 1), 0);  // past the bottom
    EXPECT_EQ(sprite_load_frame(&s, &b, 1, -1, 0, 1), 0);
    s.frames[1]->lost = 1;  // a lock that fails copies nothing
    EXPECT_EQ(sprite_load_frame(&s, &b, 1, 0, 0, 1), 0);
    bitmap_unload_file(&b);
}

TEST_F(Sprites, DrawingTruncatesTheRectangleAndSkipsTheKey) {
    BitmapFile b = sheet(40, 40);
    b.buffer[0] = 253;  // the key colour at the frame's top-left
    ASSERT_EQ(
        sprite_create(&s, 0, 0, 32, 32, 1, SPRITE_SINGLE_FRAME | SPRITE_VISIBLE, 0x800, 253, 8), 1);
    ASSERT_EQ(sprite_load_frame(&s, &b, 0, 0, 0, 1), 1);
    display_fill_surface(back_surface, 7, nullptr);
    s.x = -0.5f;  // rectangle 0..31: the frame is squeezed by one column
    ASSERT_EQ(sprite_draw(&s, back_surface), 1);
    const uint8_t* row = back_surface->pixels;
    EXPECT_EQ(row[0], 7);            // key skipped
    EXPECT_EQ(row[30], (31) % 250);  // the last column of the frame reached column 30
    EXPECT_EQ(row[31], 7);           // one column narrower
    s.x = 10.7f;                     // rectangle 10..42
    display_fill_surface(back_surface, 7, nullptr);
    ASSERT_EQ(sprite_draw(&s, back_surface), 1);
    EXPECT_EQ(row[9], 7);
    EXPECT_EQ(row[11], 1);
    EXPECT_EQ(row[41], 31);
    EXPECT_EQ(row[42], 7);
    sprite_hide(&s);
    display_fill_surface(back_surface, 7, nullptr);
    EXPECT_EQ(sprite_draw(&s, back_surface), 1);
    EXPECT_EQ(row[20], 7);
    sprite_show(&s);
    bitmap_unload_file(&b);
}

TEST_F(Sprites, ClonesShareAndDestroyingACloneReleasesNothing) {
    ASSERT_EQ(sprite_create(&s, 0, 0, 8, 8, 2, SPRITE_SEQUENCE, 0x800, 253, 8), 1);
    const int seq[] = {0, 1};
    ASSERT_EQ(sprite_load_animation(&s, 0, 2, seq), 1);
    const int live = gfx_live_surfaces();
    SpriteObject copy;
    EXPECT_EQ(sprite_clone(&s, &s), 0);
    ASSERT_EQ(sprite_clone(&s, &copy), 1);
    EXPECT_TRUE(copy.flags & SPRITE_CLONE);
    EXPECT_EQ(copy.frames[0], s.frames[0]);
    EXPECT_EQ(sprite_destroy(&copy), 1);
    EXPECT_EQ(copy.frames[0], nullptr);
    EXPECT_EQ(gfx_live_surfaces(), live);
    EXPECT_EQ(sprite_destroy(&s), 1);
    EXPECT_EQ(gfx_live_surfaces(), live - 2);
}

TEST(SpriteOverlap, ThirtyTwoPixelSpritesOverlapBelowTwentyFour) {
    SpriteObject a, b;
    std::memset(&a, 0, sizeof(a));
    std::memset(&b, 0, sizeof(b));
    a.width = b.width = a.height = b.height = 32;
    b.x = 23.0f;
    EXPECT_EQ(sprite_overlap(&a, &b), 1);
    b.x = 24.0f;
    EXPECT_EQ(sprite_overlap(&a, &b), 0);
    b.x = -23.9f;
    EXPECT_EQ(sprite_overlap(&a, &b), 1);
    EXPECT_EQ(sprite_overlap(&a, nullptr), 0);
}

// The 16-bit members: frames cut as words, drawn with the word key, stretched in proportion,
// rows stepped by the pitch; an 8-bit sheet is refused.
TEST(Sprites16, FramesLoadDrawAndStretchAsWords) {
    test_display_up(0, 16);
    ASSERT_EQ(back_surface->bpp, 16);
    BitmapFile b;
    std::memset(&b, 0, sizeof(b));
    b.info_header.width = 9;  // one 4 x 2 cell, with the grid lines around it and beside it
    b.info_header.height = 4;
    b.info_header.bit_count = 16;
    std::vector<uint16_t> words(9 * 4, 0);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 4; ++x)
            words[(1 + y) * 9 + 1 + x] = static_cast<uint16_t>(0x1000 + 0x100 * y + x);
    }
    words[1 * 9 + 2] = 0xF81F;  // the key, second pixel of the cell's top row
    b.buffer = reinterpret_cast<uint8_t*>(words.data());
    SpriteObject s{};
    ASSERT_EQ(
        sprite_create(&s, 3, 5, 4, 2, 1, SPRITE_SINGLE_FRAME | SPRITE_VISIBLE, 0x800, 0xF81F, 16),
        1);
    ASSERT_EQ(sprite_load_frame16(&s, &b, 0, 0, 0, CUT_CELLS), 1);
    auto at = [](int x, int y) {
        return reinterpret_cast<const uint16_t*>(back_surface->pixels + y * back_surface->pitch)[x];
    };
    display_fill_surface(back_surface, 0x0007, nullptr);
    ASSERT_EQ(sprite_draw16(&s, back_surface), 1);
    EXPECT_EQ(at(3, 5), 0x1000);
    EXPECT_EQ(at(4, 5), 0x0007);  // the key let the background through
    EXPECT_EQ(at(6, 5), 0x1003);
    EXPECT_EQ(at(6, 6), 0x1103);  // the second row, a pitch further on
    EXPECT_EQ(at(7, 5), 0x0007);

    display_fill_surface(back_surface, 0x0007, nullptr);
    ASSERT_EQ(sprite_draw_scaled16(&s, 8, 4, back_surface), 1);
    EXPECT_EQ(at(3, 5), 0x1000);
    EXPECT_EQ(at(4, 6), 0x1000);  // every source pixel doubled both ways
    EXPECT_EQ(at(5, 5), 0x0007);
    EXPECT_EQ(at(10, 8), 0x1103);
    EXPECT_EQ(at(11, 9), 0x0007);

    b.info_header.bit_count = 8;
    EXPECT_EQ(sprite_load_frame16(&s, &b, 0, 0, 0, CUT_CELLS), 0);
    b.buffer = nullptr;
    sprite_destroy(&s);
}
