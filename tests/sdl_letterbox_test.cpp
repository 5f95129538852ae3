// Letterbox placement of the 640 x 480 frame and mouse positions mapped back to frame pixels.
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "platform/sdl/letterbox.h"

namespace {

struct Case {
    int output_width, output_height;
    int x, y, width, height;
};

TEST(SdlLetterbox, FitsTheFrameCentredWithItsAspectRatio) {
    const Case cases[] = {
        {640, 480, 0, 0, 640, 480},       {1280, 960, 0, 0, 1280, 960},
        {1920, 1080, 240, 0, 1440, 1080}, {1280, 1024, 0, 32, 1280, 960},
        {600, 1000, 0, 275, 600, 450},    {1000, 700, 33, 0, 933, 700},
        {320, 240, 0, 0, 320, 240},
    };
    for (const Case& c : cases) {
        Letterbox box = letterbox_fit(c.output_width, c.output_height, 640, 480);
        EXPECT_EQ(box.x, c.x) << c.output_width << "x" << c.output_height;
        EXPECT_EQ(box.y, c.y) << c.output_width << "x" << c.output_height;
        EXPECT_EQ(box.width, c.width) << c.output_width << "x" << c.output_height;
        EXPECT_EQ(box.height, c.height) << c.output_width << "x" << c.output_height;
    }
}

TEST(SdlLetterbox, EmptyOrSlimOutputsStayUsable) {
    int x = -1, y = -1;
    Letterbox empty = letterbox_fit(0, 0, 640, 480);
    EXPECT_EQ(empty.width, 0);
    EXPECT_EQ(letterbox_to_frame(empty, 0, 0, &x, &y), 0);
    EXPECT_EQ(x, -1);
    // A window one pixel wide still gets a one-pixel frame, never a zero divisor.
    Letterbox slim = letterbox_fit(1, 1000, 640, 480);
    EXPECT_EQ(slim.width, 1);
    EXPECT_EQ(slim.height, 1);
    EXPECT_EQ(letterbox_to_frame(slim, 0, slim.y, &x, &y), 1);
    EXPECT_EQ(x, 320);
    EXPECT_EQ(y, 240);
}

TEST(SdlLetterbox, CornersMapToTheFrameCornersAndBarsMapNowhere) {
    int x = -1, y = -1;
    Letterbox square = letterbox_fit(1280, 960, 640, 480);
    ASSERT_EQ(letterbox_to_frame(square, 0, 0, &x, &y), 1);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    ASSERT_EQ(letterbox_to_frame(square, 1279, 959, &x, &y), 1);
    EXPECT_EQ(x, 639);
    EXPECT_EQ(y, 479);
    EXPECT_EQ(letterbox_to_frame(square, 1280, 100, &x, &y), 0);
    EXPECT_EQ(letterbox_to_frame(square, -1, 100, &x, &y), 0);

    Letterbox wide = letterbox_fit(1920, 1080, 640, 480);
    x = y = -1;
    EXPECT_EQ(letterbox_to_frame(wide, 100, 500, &x, &y), 0);   // left bar
    EXPECT_EQ(letterbox_to_frame(wide, 239, 500, &x, &y), 0);   // its last column
    EXPECT_EQ(letterbox_to_frame(wide, 1680, 500, &x, &y), 0);  // right bar
    EXPECT_EQ(x, -1);
    ASSERT_EQ(letterbox_to_frame(wide, 240, 0, &x, &y), 1);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    ASSERT_EQ(letterbox_to_frame(wide, 1679, 1079, &x, &y), 1);
    EXPECT_EQ(x, 639);
    EXPECT_EQ(y, 479);

    Letterbox tall = letterbox_fit(1280, 1024, 640, 480);
    EXPECT_EQ(letterbox_to_frame(tall, 640, 31, &x, &y), 0);   // top bar
    EXPECT_EQ(letterbox_to_frame(tall, 640, 992, &x, &y), 0);  // bottom bar
    ASSERT_EQ(letterbox_to_frame(tall, 640, 32, &x, &y), 1);
    EXPECT_EQ(y, 0);
}

// A click on the middle of any frame pixel, as it is drawn at that window size, lands on that
// pixel: menu entries are hit where they are seen, at whole and fractional scales alike.
TEST(SdlLetterbox, TheMiddleOfEveryDrawnPixelMapsBackToIt) {
    const int sizes[][2] = {{640, 480}, {1280, 960}, {1920, 1080}, {1280, 1024},
                            {800, 600}, {1366, 768}, {2560, 1440}, {3440, 1440}};
    for (const auto& size : sizes) {
        Letterbox box = letterbox_fit(size[0], size[1], 640, 480);
        for (int frame_x = 0; frame_x < 640; frame_x++) {
            int frame_y = frame_x * 479 / 639;
            int window_x = box.x + (2 * frame_x + 1) * box.width / (2 * 640);
            int window_y = box.y + (2 * frame_y + 1) * box.height / (2 * 480);
            int x = -1, y = -1;
            ASSERT_EQ(letterbox_to_frame(box, window_x, window_y, &x, &y), 1);
            ASSERT_EQ(x, frame_x) << size[0] << "x" << size[1];
            ASSERT_EQ(y, frame_y) << size[0] << "x" << size[1];
        }
    }
}

TEST(SdlLetterbox, MappingRunsLeftToRightWithoutGaps) {
    // Scaled up, every frame column is reached and none is skipped or revisited.
    Letterbox box = letterbox_fit(1920, 1080, 640, 480);
    int previous = -1, y = 0;
    for (int window_x = box.x; window_x < box.x + box.width; window_x++) {
        int x = -1;
        ASSERT_EQ(letterbox_to_frame(box, window_x, 540, &x, &y), 1);
        ASSERT_TRUE(x == previous || x == previous + 1) << window_x;
        previous = x;
    }
    EXPECT_EQ(previous, 639);
}

}  // namespace

namespace {

// Window sizes from tiny to very large, odd ones included.
std::vector<std::pair<int, int>> many_sizes() {
    std::vector<std::pair<int, int>> sizes;
    for (int w = 1; w <= 4000; w += 97) {
        for (int h = 1; h <= 2500; h += 89) {
            sizes.push_back({w, h});
        }
    }
    for (auto s : {std::pair{640, 480},
                   {1280, 960},
                   {1920, 1080},
                   {1280, 1024},
                   {1279, 959},
                   {3840, 2160},
                   {639, 479},
                   {800, 600}}) {
        sizes.push_back(s);
    }
    return sizes;
}

TEST(SdlScaleModes, IntegerIsTheLargestWholeMultipleCentredElseFit) {
    for (auto [w, h] : many_sizes()) {
        const Letterbox box = letterbox_integer(w, h, 640, 480);
        const int k = std::min(w / 640, h / 480);
        if (k >= 1) {
            EXPECT_EQ(box.width, 640 * k) << w << "x" << h;
            EXPECT_EQ(box.height, 480 * k) << w << "x" << h;
            EXPECT_EQ(box.x, (w - box.width) / 2) << w << "x" << h;
            EXPECT_EQ(box.y, (h - box.height) / 2) << w << "x" << h;
        } else {
            const Letterbox fit = letterbox_fit(w, h, 640, 480);
            EXPECT_TRUE(box.width == fit.width && box.height == fit.height && box.x == fit.x &&
                        box.y == fit.y)
                << w << "x" << h;
        }
        EXPECT_GE(box.x, 0);
        EXPECT_GE(box.y, 0);
        EXPECT_LE(box.x + box.width, w);
        EXPECT_LE(box.y + box.height, h);
    }
}

TEST(SdlScaleModes, AutoPicksIntegerFromTwiceUpAndTheToggleGoesToTheOtherLook) {
    for (auto [w, h] : many_sizes()) {
        const bool twice = w >= 1280 && h >= 960;
        const Letterbox automatic = letterbox_for_mode(SCALE_AUTO, w, h, 640, 480);
        const Letterbox expected =
            twice ? letterbox_integer(w, h, 640, 480) : letterbox_fit(w, h, 640, 480);
        EXPECT_TRUE(automatic.width == expected.width && automatic.x == expected.x &&
                    automatic.y == expected.y)
            << w << "x" << h;
        EXPECT_EQ(scale_mode_toggled(SCALE_AUTO, w, h, 640, 480),
                  twice ? SCALE_FIT : SCALE_INTEGER);
    }
    EXPECT_EQ(scale_mode_toggled(SCALE_INTEGER, 1920, 1080, 640, 480), SCALE_FIT);
    EXPECT_EQ(scale_mode_toggled(SCALE_FIT, 1920, 1080, 640, 480), SCALE_INTEGER);
    // 1920 x 1080: 2x integer with bars all round, or 2.25x fit filling the height.
    const Letterbox integer = letterbox_for_mode(SCALE_INTEGER, 1920, 1080, 640, 480);
    EXPECT_EQ(integer.x, 320);
    EXPECT_EQ(integer.y, 60);
    const Letterbox fit = letterbox_for_mode(SCALE_FIT, 1920, 1080, 640, 480);
    EXPECT_EQ(fit.height, 1080);
}

// Clicks land on the pixel seen under them in both modes at every size.
TEST(SdlScaleModes, ClicksMapToTheDrawnPixelInBothModes) {
    for (int mode : {SCALE_INTEGER, SCALE_FIT}) {
        for (auto [w, h] : many_sizes()) {
            const Letterbox box = letterbox_for_mode(mode, w, h, 640, 480);
            if (box.width < 640) {
                continue;  // scaled down: several frame pixels share one window pixel
            }
            for (int frame_x = 0; frame_x < 640; frame_x += 37) {
                const int frame_y = frame_x * 479 / 639;
                const int window_x = box.x + (2 * frame_x + 1) * box.width / (2 * 640);
                const int window_y = box.y + (2 * frame_y + 1) * box.height / (2 * 480);
                int x = -1, y = -1;
                ASSERT_EQ(letterbox_to_frame(box, window_x, window_y, &x, &y), 1);
                ASSERT_EQ(x, frame_x) << mode << " " << w << "x" << h;
                ASSERT_EQ(y, frame_y) << mode << " " << w << "x" << h;
            }
        }
    }
}

}  // namespace
