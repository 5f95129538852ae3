// The run's panels: splits ahead of the best in green and behind in red (in either pixel
// order), the card telling what the run beat, and a look that changes with what is shown.
#include "programs/common/run_overlay.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr int W = 640, H = 480;
constexpr uint32_t GREEN = 0xFF40E040u, RED = 0xFFFF5040u, RED_LOW = 0xFF4050FFu;

int count(const std::vector<uint32_t>& pixels, uint32_t value) {
    int n = 0;
    for (const uint32_t p : pixels)
        n += p == value;
    return n;
}

TEST(RunOverlay, SplitsAheadAreGreenAndBehindRedInEitherPixelOrder) {
    RunTimer timer = {};
    timer.passes = 300;
    timer.splits[0] = 90;   // behind the best's 80
    timer.splits[1] = 200;  // ahead of its 220
    const PersonalBest best = {600, {80, 220, 400, 600}, 1000};
    for (const bool low : {false, true}) {
        run_overlay_red_low(low);
        std::vector<uint32_t> pixels(W * H, 0xFF808080u);
        run_overlay_timer(pixels.data(), W, W, H, timer, best);
        EXPECT_GT(count(pixels, GREEN), 0) << low;
        EXPECT_GT(count(pixels, low ? RED_LOW : RED), 0) << low;
        EXPECT_EQ(count(pixels, low ? RED : RED_LOW), 0) << low;
    }
    run_overlay_red_low(false);
    // With no best there is nothing to be ahead of or behind.
    std::vector<uint32_t> pixels(W * H, 0xFF808080u);
    run_overlay_timer(pixels.data(), W, W, H, timer, PERSONAL_BEST_NONE);
    EXPECT_EQ(count(pixels, GREEN) + count(pixels, RED), 0);
}

TEST(RunOverlay, TheCardSaysWhatTheRunBeatAndALookChangesWithWhatIsShown) {
    RunCard card = {OUTCOME_WON, 500, 1200, 3, 100, BEAT_TIME, false, 1, "S", "Escape"};
    std::vector<uint32_t> beat(W * H, 0xFF808080u), not_beat(W * H, 0xFF808080u);
    run_overlay_card(beat.data(), W, W, H, card);
    EXPECT_GT(count(beat, GREEN), 0);
    card.beaten = 0;
    card.kept = 0;  // a run that could not be saved says so, in red
    run_overlay_card(not_beat.data(), W, W, H, card);
    EXPECT_EQ(count(not_beat, GREEN), 0);
    EXPECT_GT(count(not_beat, RED), 0);

    EXPECT_EQ(run_overlay_look(nullptr, nullptr), 0);
    RunTimer timer = {};
    timer.passes = 10;
    const int at_ten = run_overlay_look(&timer, nullptr);
    EXPECT_NE(at_ten, 0);
    timer.passes = 11;
    EXPECT_NE(run_overlay_look(&timer, nullptr), at_ten);
    EXPECT_NE(run_overlay_look(&timer, &card), run_overlay_look(&timer, nullptr));
}

}  // namespace
