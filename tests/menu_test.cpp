// The title menu with the game's own pictures, through the real frame loop: each page shown
// pixel for pixel, the highlight moving and wrapping, every entry taken by key, Enter and
// click, Escape from every page, and the cursor.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/bitmap.h"
#include "platform/headless/headless.h"
#include "shell/game_state.h"
#include "tests/test_support.h"

namespace {

struct Frame {
    int mode, selection, cursor;
    std::vector<uint8_t> pixels;
};

std::vector<Frame> frames;

void after(int) {
    const uint8_t* p = headless_frame_pixels();
    frames.push_back({game_mode, menu_selection, headless_cursor_visible(),
                      std::vector<uint8_t>(p, p + 640 * 480)});
}

void play(const std::string& script, int passes) {
    frames.clear();
    ASSERT_EQ(test_run_program(script, passes, after), 0);
}

std::vector<uint8_t> picture(const char* name) {
    BitmapFile b;
    std::memset(&b, 0, sizeof(b));
    EXPECT_EQ(bitmap_load_file(&b, name), 1) << name;
    std::vector<uint8_t> pixels(b.buffer, b.buffer + 640 * 480);
    bitmap_unload_file(&b);
    return pixels;
}

}  // namespace

TEST(Menu, PagesArePicturesShownPixelForPixel) {
    // Down three times wraps nothing; a fourth Down wraps to the first entry; Up from there
    // wraps to the last.
    play(
        "key 0 DOWN\n"
        "key 1 DOWN\n"
        "key 2 DOWN\n"
        "key 3 DOWN\n"
        "key 4 UP\n"
        "key 5 H\n"
        "key 6 ESCAPE\n"
        "key 7 A\n",
        8);
    const char* menu_files[] = {"menubackground1.bmp", "menubackground2.bmp", "menubackground3.bmp",
                                "menubackground4.bmp"};
    ASSERT_EQ(frames.size(), 8u);
    // The first frame, before any key: the first picture.
    EXPECT_EQ(frames[0].selection, 1);  // pass 0 already took its Down
    const int expected_selection[] = {1, 2, 3, 0, 3};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(frames[i].selection, expected_selection[i]) << i;
        EXPECT_TRUE(frames[i].pixels == picture(menu_files[expected_selection[i]])) << i;
        EXPECT_EQ(frames[i].cursor, 1);
    }
    EXPECT_EQ(frames[5].mode, MODE_INFO1);
    EXPECT_TRUE(frames[5].pixels == picture("option2.bmp"));
    EXPECT_EQ(frames[6].mode, MODE_MENU);
    EXPECT_EQ(frames[7].mode, MODE_INFO2);
    EXPECT_TRUE(frames[7].pixels == picture("option3.bmp"));
    EXPECT_EQ(frames[7].cursor, 1);
}

TEST(Menu, FirstFrameIsTheFirstPictureAndThePaletteIsTheLastInformationPicture) {
    play("", 1);
    EXPECT_TRUE(frames[0].pixels == picture("menubackground1.bmp"));
    BitmapFile b;
    std::memset(&b, 0, sizeof(b));
    ASSERT_EQ(bitmap_load_file(&b, "option3.bmp"), 1);
    EXPECT_EQ(std::memcmp(headless_frame_palette(), b.palette, sizeof(b.palette)), 0);
    bitmap_unload_file(&b);
}

TEST(Menu, EnterTakesEachEntryAndEscapeComesBack) {
    // Entry 0 starts play; entries 1 and 2 show their pages; each Escape returns.
    play(
        "key 0 RETURN\n"
        "key 1 ESCAPE\n"
        "key 2 DOWN\n"
        "key 3 RETURN\n"
        "key 4 ESCAPE\n"
        "key 5 DOWN\n"
        "key 6 RETURN\n"
        "key 7 ESCAPE\n"
        "key 8 DOWN\n"
        "key 9 RETURN\n",
        20);
    EXPECT_EQ(frames[0].mode, MODE_PLAYING);
    EXPECT_EQ(frames[0].cursor, 0);
    EXPECT_EQ(frames[1].mode, MODE_MENU);
    EXPECT_EQ(frames[3].mode, MODE_INFO1);
    EXPECT_EQ(frames[6].mode, MODE_INFO2);
    // Entry 3 quits: a black frame, then the loop ends.
    EXPECT_EQ(frames[9].mode, MODE_QUIT);
    EXPECT_EQ(frames[9].pixels, std::vector<uint8_t>(640 * 480, 0));
    EXPECT_LE(frames.size(), 11u);
}

TEST(Menu, ClicksInsideEachRectangleActAndJustOutsideDoNothing) {
    play(
        "click 0 300 289\n"  // play, bottom edge
        "key 1 ESCAPE\n"
        "click 2 319 298\n"  // information 1, top right corner
        "key 3 ESCAPE\n"
        "click 4 247 337\n"  // information 2, bottom left corner
        "key 5 ESCAPE\n"
        "click 6 385 280\n"    // just right of play
        "click 7 320 305\n"    // just right of information 1
        "click 8 299 330\n"    // just right of information 2
        "click 9 297 350\n"    // just right of quit
        "click 10 270 365\n"   // just below quit
        "click 11 246 355\n"   // just left of quit
        "click 12 296 364\n",  // quit, bottom right corner
        20);
    EXPECT_EQ(frames[0].mode, MODE_PLAYING);
    EXPECT_EQ(frames[0].selection, 0);
    EXPECT_EQ(frames[2].mode, MODE_INFO1);
    EXPECT_EQ(frames[2].selection, 1);
    EXPECT_EQ(frames[4].mode, MODE_INFO2);
    EXPECT_EQ(frames[4].selection, 2);
    for (int i = 6; i <= 12; ++i) {
        EXPECT_EQ(frames[i].mode, MODE_MENU) << i;
        EXPECT_EQ(frames[i].selection, 2) << i;
    }
    // The quit click posts the request in pass 12; it ends the loop two passes later.
    EXPECT_EQ(frames.size(), 14u);
}
