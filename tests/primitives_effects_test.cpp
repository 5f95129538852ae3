// Tests of the palette effects (rotation, blinking, fades and tints) and of the curtain and
// dissolve transitions.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "engine/bitmap.h"
#include "engine/display.h"
#include "engine/gfx.h"
#include "engine/primitives.h"
#include "platform/headless/headless.h"
#include "tests/primitives_guard.h"
#include "tests/test_support.h"

namespace {

PaletteEntry rgb(int r, int g, int b) {
    return {static_cast<uint8_t>(r), static_cast<uint8_t>(g), static_cast<uint8_t>(b), 0};
}

bool same(const PaletteEntry& a, const PaletteEntry& b) {
    return a.red == b.red && a.green == b.green && a.blue == b.blue;
}

// A display palette with entry i = (i, 255 - i, i / 2).
void ramp_palette() {
    PaletteEntry ramp[256];
    for (int i = 0; i < 256; ++i)
        ramp[i] = rgb(i, 255 - i, i / 2);
    palette_set_all(ramp);
}

TEST(PaletteRotate, ShiftsTheRangeUpByOneAndWrapsTheLastEntry) {
    test_display_up();
    ramp_palette();
    ASSERT_EQ(palette_rotate(10, 14), 1);
    PaletteEntry shown[256];
    gfx_palette_get_entries(display_palette, 0, 256, shown);
    EXPECT_EQ(shown[10].red, 14);
    for (int i = 11; i <= 14; ++i)
        EXPECT_EQ(shown[i].red, i - 1) << i;
    EXPECT_EQ(shown[9].red, 9);
    EXPECT_EQ(shown[15].red, 15);
    for (int i = 0; i < 256; ++i)
        EXPECT_TRUE(same(shadow_palette[i], shown[i])) << i;

    // Five turns of a five-entry range bring it back.
    for (int k = 0; k < 4; ++k)
        palette_rotate(10, 14);
    gfx_palette_get_entries(display_palette, 0, 256, shown);
    for (int i = 10; i <= 14; ++i)
        EXPECT_EQ(shown[i].red, i) << i;

    // Ranges outside the palette, or backwards, change nothing.
    EXPECT_EQ(palette_rotate(250, 256), 0);
    EXPECT_EQ(palette_rotate(-1, 3), 0);
    EXPECT_EQ(palette_rotate(20, 19), 0);
    gfx_palette_get_entries(display_palette, 0, 256, shown);
    EXPECT_EQ(shown[255].red, 255);
    EXPECT_EQ(shown[0].red, 0);
}

TEST(PaletteBlink, SlotsTurnOnAndOffOnTheirTimes) {
    test_display_up();
    const PaletteEntry on = rgb(255, 0, 0), off = rgb(0, 0, 255);
    BlinkRecord light{};
    light.index = 50;
    light.color_on = on;
    light.color_off = off;
    light.on_time = 2;
    light.off_time = 3;
    light.state = 1;  // ignored: a new light starts off
    ASSERT_EQ(palette_blink(BLINK_ADD, &light, 0), 0);
    EXPECT_TRUE(same(shadow_palette[50], off));

    light.index = 51;
    ASSERT_EQ(palette_blink(BLINK_ADD, &light, 0), 1);

    // Off for three frames, on for two, off again.
    const bool expected_on[] = {false, false, true, true, false, false, false, true};
    for (bool lit : expected_on) {
        palette_blink(BLINK_RUN, nullptr, 0);
        EXPECT_TRUE(same(shadow_palette[50], lit ? on : off));
    }

    // New colours show at once, in the current state (on).
    BlinkRecord change = light;
    change.color_on = rgb(0, 255, 0);
    change.color_off = rgb(9, 9, 9);
    EXPECT_EQ(palette_blink(BLINK_UPDATE, &change, 0), 1);
    EXPECT_TRUE(same(shadow_palette[50], rgb(0, 255, 0)));
    EXPECT_TRUE(same(shadow_palette[51], on));  // the other light keeps its colours

    // Freeing: once, then the slot is free and the next light takes it.
    EXPECT_EQ(palette_blink(BLINK_DELETE, nullptr, 0), 1);
    EXPECT_EQ(palette_blink(BLINK_DELETE, nullptr, 0), -1);
    EXPECT_EQ(palette_blink(BLINK_UPDATE, &change, 0), -1);
    palette_blink(BLINK_RUN, nullptr, 0);
    EXPECT_TRUE(same(shadow_palette[50], rgb(0, 255, 0)));  // a free slot does not blink
    light.index = 52;
    EXPECT_EQ(palette_blink(BLINK_ADD, &light, 0), 0);

    // Bad slots, bad palette indices and a full table are refused.
    EXPECT_EQ(palette_blink(BLINK_DELETE, nullptr, 256), -1);
    EXPECT_EQ(palette_blink(BLINK_UPDATE, &change, -1), -1);
    light.index = 300;
    EXPECT_EQ(palette_blink(BLINK_ADD, &light, 0), -1);
    light.index = 60;
    for (int slot = 2; slot < BLINK_SLOTS; ++slot) {
        ASSERT_EQ(palette_blink(BLINK_ADD, &light, 0), slot);
    }
    EXPECT_EQ(palette_blink(BLINK_ADD, &light, 0), -1);
}

TEST(PaletteTransitions, FadeToBlackLeavesEntryZeroAlone) {
    test_display_up();
    ramp_palette();
    PaletteEntry first = rgb(200, 100, 50);
    palette_set_entry(0, &first);
    const uint32_t start = headless_time();
    EXPECT_EQ(screen_transition(TRANSITION_FADE_BLACK, nullptr, 0), 1);
    EXPECT_GE(headless_time() - start, 80u * 12u);  // each step waits on the frame clock
    EXPECT_TRUE(same(shadow_palette[0], first));
    // 80 steps of 3: up to 240 is lost, small components go to 0 at 4 or less.
    EXPECT_TRUE(same(shadow_palette[100], rgb(0, 0, 0)));
    EXPECT_TRUE(same(shadow_palette[255], rgb(15, 0, 0)));
    EXPECT_TRUE(same(shadow_palette[1], rgb(0, 14, 0)));
    PaletteEntry shown[256];
    gfx_palette_get_entries(display_palette, 0, 256, shown);
    EXPECT_TRUE(same(shown[255], rgb(15, 0, 0)));
}

TEST(PaletteTransitions, FadeToWhiteAndTintsSaturate) {
    test_display_up();
    ramp_palette();
    screen_transition(TRANSITION_FADE_WHITE, nullptr, 0);
    for (int i = 0; i < 256; ++i)
        EXPECT_TRUE(same(shadow_palette[i], rgb(255, 255, 255))) << i;

    const struct {
        int effect;
        PaletteEntry result;
    } tints[] = {{TRANSITION_TINT_BLUE, rgb(0, 0, 255)},
                 {TRANSITION_TINT_RED, rgb(255, 0, 0)},
                 {TRANSITION_TINT_GREEN, rgb(0, 255, 0)}};
    for (const auto& tint : tints) {
        ramp_palette();
        EXPECT_EQ(screen_transition(tint.effect, nullptr, 0), 1);
        for (int i = 0; i < 256; ++i)
            EXPECT_TRUE(same(shadow_palette[i], tint.result)) << i;
    }
    // An unknown effect does nothing and says so.
    EXPECT_EQ(screen_transition(9, nullptr, 0), 0);
}

// Runs effect into a screen-sized guarded buffer whose clip bounds lie inside it.
void expect_cleared_inside_clip(int effect, int bytes) {
    SCOPED_TRACE(testing::Message() << "effect " << effect << ", " << bytes * 8 << " bits");
    screen_width = 200;
    screen_height = 150;
    screen_bpp = bytes * 8;
    GuardedBuffer b(200, 150, bytes, 7);
    set_clip(13, 186, 9, 140);
    EXPECT_EQ(screen_transition(effect, b.pixels(), b.pitch), 1);
    EXPECT_TRUE(b.intact());
    const int background = bytes == 2 ? 0x0707 : 7;
    EXPECT_TRUE(clean_outside_clip(b, background));
    int left = 0;
    for (int y = clip_min_y; y <= clip_max_y; ++y) {
        for (int x = clip_min_x; x <= clip_max_x; ++x)
            left += b.value(x, y) != 0;
    }
    const int area = (clip_max_x - clip_min_x + 1) * (clip_max_y - clip_min_y + 1);
    if (effect == TRANSITION_DISSOLVE) {
        EXPECT_LT(left, area / 20);  // 4 x width x height random hits miss about 2 %
    } else {
        EXPECT_EQ(left, 0);
    }
}

TEST(ScreenTransitions, CurtainsAndDissolveStayInsideTheClipBounds) {
    for (int bytes = 1; bytes <= 2; ++bytes) {
        expect_cleared_inside_clip(TRANSITION_CURTAIN_VERTICAL, bytes);
        expect_cleared_inside_clip(TRANSITION_CURTAIN_HORIZONTAL, bytes);
        expect_cleared_inside_clip(TRANSITION_CURTAIN_ALL, bytes);
        expect_cleared_inside_clip(TRANSITION_DISSOLVE, bytes);
    }
}

TEST(ScreenTransitions, CurtainsCloseFromTheEdgesAndDissolveRepeats) {
    // A screen narrower than the buffer: the vertical curtains meet in its middle.
    screen_width = 20;
    screen_height = 10;
    screen_bpp = 8;
    set_clip(0, 29, 0, 9);
    GuardedBuffer b(30, 10, 1, 7);
    screen_transition(TRANSITION_CURTAIN_VERTICAL, b.pixels(), b.pitch);
    for (int x = 0; x < 30; ++x)
        EXPECT_EQ(b.at(x, 5) == 0, x < 20) << x;

    // The same dissolve gives the same picture.
    screen_width = 64;
    screen_height = 48;
    set_clip(0, 63, 0, 47);
    GuardedBuffer first(64, 48, 1, 7), second(64, 48, 1, 7);
    screen_transition(TRANSITION_DISSOLVE, first.pixels(), first.pitch);
    screen_transition(TRANSITION_DISSOLVE, second.pixels(), second.pitch);
    EXPECT_EQ(std::memcmp(first.pixels(), second.pixels(), first.memory.size() - 2 * 256), 0);
}

}  // namespace
