// Where the browser places the frame and how it scales it, for each scaling mode: whole steps
// only where they are crisp and large enough, else a sharp box that fills the area.
#include <gtest/gtest.h>

#include "platform/web/layout.h"

namespace {

struct Box {
    int x, y, width, height, sharp, prescale;
};

Box place(int mode, int width, int height) {
    const WebPlacement p = web_place(mode, width, height);
    return {p.x, p.y, p.width, p.height, p.sharp, p.prescale};
}

void expect_box(const Box& got, const Box& want, const char* what) {
    EXPECT_EQ(got.x, want.x) << what;
    EXPECT_EQ(got.y, want.y) << what;
    EXPECT_EQ(got.width, want.width) << what;
    EXPECT_EQ(got.height, want.height) << what;
    EXPECT_EQ(got.sharp, want.sharp) << what;
    if (want.sharp) {
        EXPECT_EQ(got.prescale, want.prescale) << what;
    }
}

TEST(WebLayout, AutoIsCrispWholeStepsFromTwiceUpAndSharpBelow) {
    // A 1366 x 768 laptop's page area: 1.5x does not make even pixels, so sharp fills it.
    expect_box(place(WEB_SCALE_AUTO, 1366, 700), {216, 0, 933, 700, 1, 2}, "laptop");
    // Twice fits: 2x, centred, nearest neighbour.
    expect_box(place(WEB_SCALE_AUTO, 1300, 980), {10, 10, 1280, 960, 0, 0}, "2x");
    // Four times on a 4K screen, though 4.4x would fit.
    expect_box(place(WEB_SCALE_AUTO, 3840, 2100), {640, 90, 2560, 1920, 0, 0}, "4K");
    // A phone: smaller than the frame, shrunk smoothly.
    expect_box(place(WEB_SCALE_AUTO, 1170, 877), {0, 0, 1169, 877, 1, 2}, "phone");
    expect_box(place(WEB_SCALE_AUTO, 390, 292), {0, 0, 389, 292, 1, 1}, "small phone");
}

TEST(WebLayout, EachChosenModeKeepsItsPromise) {
    // Integer shows whole steps even at 1x, however much room is left...
    expect_box(place(WEB_SCALE_INTEGER, 1366, 700), {363, 110, 640, 480, 0, 0}, "integer 1x");
    // ...but never drops columns: below 1x it shrinks smoothly like sharp.
    expect_box(place(WEB_SCALE_INTEGER, 600, 450), {0, 0, 600, 450, 1, 1}, "integer below 1x");
    // Fit fills the area with nearest neighbour.
    expect_box(place(WEB_SCALE_FIT, 1366, 700), {216, 0, 933, 700, 0, 0}, "fit");
    // Sharp fills it too, from the smallest whole step at least as large.
    expect_box(place(WEB_SCALE_SHARP, 1366, 700), {216, 0, 933, 700, 1, 2}, "sharp");
    expect_box(place(WEB_SCALE_SHARP, 1280, 960), {0, 0, 1280, 960, 1, 2}, "sharp at 2x");
    expect_box(place(WEB_SCALE_SHARP, 2000, 1500), {0, 0, 2000, 1500, 1, 4}, "sharp at 3.1x");
}

TEST(WebLayout, AnEmptyAreaGetsAnEmptyBox) {
    for (const int mode : {WEB_SCALE_AUTO, WEB_SCALE_INTEGER, WEB_SCALE_FIT, WEB_SCALE_SHARP}) {
        EXPECT_EQ(place(mode, 0, 700).width, 0);
        EXPECT_EQ(place(mode, 900, -1).height, 0);
    }
}

TEST(WebLayout, ModesByName) {
    for (int mode = 0; mode < WEB_SCALE_MODES; mode++) {
        EXPECT_EQ(web_scale_mode_from_name(web_scale_mode_name(mode)), mode);
    }
    EXPECT_STREQ(web_scale_mode_name(WEB_SCALE_SHARP), "sharp");
    EXPECT_EQ(web_scale_mode_name(WEB_SCALE_MODES), nullptr);
    EXPECT_EQ(web_scale_mode_name(-1), nullptr);
    EXPECT_EQ(web_scale_mode_from_name("Sharp"), -1);
    EXPECT_EQ(web_scale_mode_from_name(""), -1);
    EXPECT_EQ(web_scale_mode_from_name(nullptr), -1);
}

}  // namespace
