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
    ASSERT_EQ(gfx_palette_get_entries(display_palette, 0, 256, shown), GFX_OK);
    const int reds[] = {9, 14, 10, 11, 12, 13, 15};  // entries 9..15
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(shown[9 + i].red, reds[i]) << 9 + i;
    for (int i = 0; i < 256; ++i)
        EXPECT_TRUE(same(shadow_palette[i], shown[i])) << i;

    // Ranges outside the palette, or backwards, change nothing.
    EXPECT_EQ(palette_rotate(250, 256), 0);
    EXPECT_EQ(palette_rotate(-1, 3), 0);
    EXPECT_EQ(palette_rotate(20, 19), 0);
    ASSERT_EQ(gfx_palette_get_entries(display_palette, 0, 256, shown), GFX_OK);
    EXPECT_EQ(shown[255].red, 255);
    EXPECT_EQ(shown[0].red, 0);
}

TEST(PaletteBlink, SlotsTurnOnAndOffOnTheirTimes) {
    test_display_up();
    const PaletteEntry on = rgb(255, 0, 0), off = rgb(0, 0, 255), green = rgb(0, 255, 0);
    BlinkRecord light{50, on, off, 2, 3, 0, 1};  // the given state is ignored: lights start off
    ASSERT_EQ(palette_blink(BLINK_ADD, &light, 0), 0);
    EXPECT_TRUE(same(shadow_palette[50], off));
    light.index = 51;
    ASSERT_EQ(palette_blink(BLINK_ADD, &light, 0), 1);

    // Off for three frames, on for two, off again.
    const bool lit[] = {false, false, true, true, false, false, false, true};
    for (bool expected : lit) {
        palette_blink(BLINK_RUN, nullptr, 0);
        EXPECT_TRUE(same(shadow_palette[50], expected ? on : off));
    }

    // New colours show at once in the current state; the other light keeps its own.
    BlinkRecord change{0, green, rgb(9, 9, 9), 2, 3, 0, 0};
    EXPECT_EQ(palette_blink(BLINK_UPDATE, &change, 0), 1);
    EXPECT_TRUE(same(shadow_palette[50], green));
    EXPECT_TRUE(same(shadow_palette[51], on));

    // A freed slot stops blinking and is the next one taken.
    EXPECT_EQ(palette_blink(BLINK_DELETE, nullptr, 0), 1);
    EXPECT_EQ(palette_blink(BLINK_DELETE, nullptr, 0), -1);
    EXPECT_EQ(palette_blink(BLINK_UPDATE, &change, 0), -1);
    palette_blink(BLINK_RUN, nullptr, 0);
    EXPECT_TRUE(same(shadow_palette[50], green));
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
    const PaletteEntry first = rgb(200, 100, 50);
    palette_set_entry(0, &first);
    const uint32_t start = headless_time();
    EXPECT_EQ(screen_transition(TRANSITION_FADE_BLACK, nullptr, 0), 1);
    EXPECT_GE(headless_time() - start, 80u * 12u);  // every step waits on the frame clock
    EXPECT_TRUE(same(shadow_palette[0], first));
    // 80 steps of 3 take off at most 240; components at 4 or less go to 0.
    EXPECT_TRUE(same(shadow_palette[100], rgb(0, 0, 0)));
    EXPECT_TRUE(same(shadow_palette[255], rgb(15, 0, 0)));
    EXPECT_TRUE(same(shadow_palette[1], rgb(0, 14, 0)));
    PaletteEntry shown[256];
    ASSERT_EQ(gfx_palette_get_entries(display_palette, 0, 256, shown), GFX_OK);
    EXPECT_TRUE(same(shown[255], rgb(15, 0, 0)));
}

TEST(PaletteTransitions, FadeToWhiteAndTintsSaturate) {
    test_display_up();
    const struct {
        int effect;
        PaletteEntry result;
    } cases[] = {{TRANSITION_FADE_WHITE, rgb(255, 255, 255)},
                 {TRANSITION_TINT_BLUE, rgb(0, 0, 255)},
                 {TRANSITION_TINT_RED, rgb(255, 0, 0)},
                 {TRANSITION_TINT_GREEN, rgb(0, 255, 0)}};
    for (const auto& c : cases) {
        ramp_palette();
        EXPECT_EQ(screen_transition(c.effect, nullptr, 0), 1);
        for (int i = 0; i < 256; ++i)
            EXPECT_TRUE(same(shadow_palette[i], c.result)) << i;
    }
    EXPECT_EQ(screen_transition(9, nullptr, 0), 0);  // no such effect
}

// Runs effect into a guarded buffer whose clip bounds lie inside it, at 8 or 16 bits.
void expect_cleared_inside_clip(int effect, int bytes) {
    SCOPED_TRACE(testing::Message() << "effect " << effect << ", " << bytes * 8 << " bits");
    screen_width = 200;
    screen_height = 150;
    screen_bpp = bytes * 8;
    GuardedBuffer b(200, 150, bytes, 7);
    set_clip(13, 186, 9, 140);
    EXPECT_EQ(screen_transition(effect, b.pixels(), b.pitch), 1);
    EXPECT_TRUE(b.intact());
    EXPECT_TRUE(clean_outside_clip(b, bytes == 2 ? 0x0707 : 7));
    const int area = 174 * 132;
    const int left = area - b.count(0);
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

TEST(ScreenTransitions, CurtainsMeetInTheMiddleAndDissolveRepeats) {
    // A screen narrower than the buffer: the vertical curtains close its 20 columns only.
    screen_width = 20;
    screen_height = 10;
    screen_bpp = 8;
    set_clip(0, 29, 0, 9);
    GuardedBuffer b(30, 10, 1, 7);
    screen_transition(TRANSITION_CURTAIN_VERTICAL, b.pixels(), b.pitch);
    for (int x = 0; x < 30; ++x)
        EXPECT_EQ(b.at(x, 5) == 0, x < 20) << x;

    screen_width = 64;
    screen_height = 48;
    set_clip(0, 63, 0, 47);
    GuardedBuffer first(64, 48, 1, 7), second(64, 48, 1, 7);
    screen_transition(TRANSITION_DISSOLVE, first.pixels(), first.pitch);
    screen_transition(TRANSITION_DISSOLVE, second.pixels(), second.pitch);
    EXPECT_TRUE(first.memory == second.memory);
}

}  // namespace
