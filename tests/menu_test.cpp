// The title menu with the game's own pictures, through the real frame loop: each page shown
// pixel for pixel, the highlight moving and wrapping, every entry taken by key, Enter and
// click, Escape from every page, and the cursor.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "engine/bitmap.h"
#include "platform/headless/headless.h"
#include "shell/app.h"
#include "shell/game.h"
#include "shell/window.h"

namespace {

struct Step {
    int pass;
    int key;  // 0 for a click
    int x, y;
};

struct Frame {
    int mode, selection, cursor;
    std::vector<uint8_t> pixels;
};

std::vector<Step> steps;
std::vector<Frame> frames;
int limit;

int before(int pass) {
    if (pass >= limit)
        return 1;
    for (const Step& s : steps) {
        if (s.pass != pass)
            continue;
        if (s.key) {
            window_input_key_down(s.key);
        } else {
            window_input_button_down(s.x, s.y, 0);
        }
    }
    return 0;
}

void after(int) {
    const uint8_t* p = headless_frame_pixels();
    frames.push_back({game_mode, menu_selection, headless_cursor_visible(),
                      std::vector<uint8_t>(p, p + 640 * 480)});
}

void play(std::vector<Step> script, int passes) {
    steps = std::move(script);
    frames.clear();
    limit = passes;
    static const AppLoopHooks hooks = {before, after};
    app_set_loop_hooks(&hooks);
    ASSERT_EQ(app_main(nullptr, nullptr, nullptr, 0), 0);
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
    play({{0, KEY_DOWN, 0, 0},
          {1, KEY_DOWN, 0, 0},
          {2, KEY_DOWN, 0, 0},
          {3, KEY_DOWN, 0, 0},
          {4, KEY_UP, 0, 0},
          {5, KEY_H, 0, 0},
          {6, KEY_ESCAPE, 0, 0},
          {7, KEY_A, 0, 0}},
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
    play({}, 1);
    EXPECT_TRUE(frames[0].pixels == picture("menubackground1.bmp"));
    BitmapFile b;
    std::memset(&b, 0, sizeof(b));
    ASSERT_EQ(bitmap_load_file(&b, "option3.bmp"), 1);
    EXPECT_EQ(std::memcmp(headless_frame_palette(), b.palette, sizeof(b.palette)), 0);
    bitmap_unload_file(&b);
}

TEST(Menu, EnterTakesEachEntryAndEscapeComesBack) {
    // Entry 0 starts play; entries 1 and 2 show their pages; each Escape returns.
    play({{0, KEY_RETURN, 0, 0},
          {1, KEY_ESCAPE, 0, 0},
          {2, KEY_DOWN, 0, 0},
          {3, KEY_RETURN, 0, 0},
          {4, KEY_ESCAPE, 0, 0},
          {5, KEY_DOWN, 0, 0},
          {6, KEY_RETURN, 0, 0},
          {7, KEY_ESCAPE, 0, 0},
          {8, KEY_DOWN, 0, 0},
          {9, KEY_RETURN, 0, 0}},
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
    play({{0, 0, 300, 289},  // play, bottom edge
          {1, KEY_ESCAPE, 0, 0},
          {2, 0, 319, 298},  // information 1, top right corner
          {3, KEY_ESCAPE, 0, 0},
          {4, 0, 247, 337},  // information 2, bottom left corner
          {5, KEY_ESCAPE, 0, 0},
          {6, 0, 385, 280},    // just right of play
          {7, 0, 320, 305},    // just right of information 1
          {8, 0, 299, 330},    // just right of information 2
          {9, 0, 297, 350},    // just right of quit
          {10, 0, 270, 365},   // just below quit
          {11, 0, 246, 355},   // just left of quit
          {12, 0, 296, 364}},  // quit, bottom right corner
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
