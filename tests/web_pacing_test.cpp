// Passes from the browser's animation-frame callbacks: about one every 30 ms at any display
// rate, never faster on average, and only a few at once after a stall.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>

#include "platform/web/pacing.h"

namespace {

// Calls back every interval_ms for duration_ms; returns the passes run and the most in
// one callback.
struct PacedRun {
    int passes;
    int most;
};
PacedRun run_at(double interval_ms, double duration_ms) {
    Pacer pacer;
    pacer_reset(&pacer);
    PacedRun run{0, 0};
    for (double t = 1000.0; t <= 1000.0 + duration_ms + 1e-9; t += interval_ms) {
        const int due = pacer_passes_due(&pacer, t);
        run.passes += due;
        run.most = due > run.most ? due : run.most;
    }
    return run;
}

TEST(WebPacing, OnePassEvery30MsAtCommonDisplayRates) {
    for (double hz : {50.0, 60.0, 75.0, 120.0, 144.0, 240.0}) {
        const PacedRun run = run_at(1000.0 / hz, 3000.0);
        // The first pass at once, then 100 in three seconds.
        EXPECT_GE(run.passes, 100) << hz << " Hz";
        EXPECT_LE(run.passes, 101) << hz << " Hz";
        EXPECT_EQ(run.most, 1) << hz << " Hz";
    }
    // A display slower than the game runs two passes in some callbacks to keep its speed.
    for (double hz : {20.0, 30.0}) {
        const PacedRun slow = run_at(1000.0 / hz, 3000.0);
        EXPECT_GE(slow.passes, 100) << hz << " Hz";
        EXPECT_LE(slow.passes, 101) << hz << " Hz";
        EXPECT_EQ(slow.most, 2) << hz << " Hz";
    }
}

TEST(WebPacing, AStallRunsAFewPassesThenCarriesOnWithoutRushing) {
    Pacer pacer;
    pacer_reset(&pacer);
    EXPECT_EQ(pacer_passes_due(&pacer, 0.0), 1);
    EXPECT_EQ(pacer_passes_due(&pacer, 5000.0), MAX_PASSES_PER_CALLBACK);
    EXPECT_EQ(pacer_passes_due(&pacer, 5016.0), 0);
    EXPECT_EQ(pacer_passes_due(&pacer, 5032.0), 1);
    // A clock that steps back owes nothing, and leaves no debt that would hold passes back.
    EXPECT_EQ(pacer_passes_due(&pacer, 100.0), 0);
    EXPECT_EQ(pacer_passes_due(&pacer, 130.0), 1);
    // After a reset (a pause) the next callback runs a pass at once, owing nothing older.
    pacer_reset(&pacer);
    EXPECT_EQ(pacer_passes_due(&pacer, 99999.0), 1);
    EXPECT_EQ(pacer_passes_due(&pacer, 100010.0), 0);
}

TEST(WebPacing, NeverFasterThan30MsOnAverageWhateverTheCallbacks) {
    std::mt19937 random(2005);
    std::uniform_real_distribution<double> gap(0.0, 100.0);
    Pacer pacer;
    pacer_reset(&pacer);
    double t = 0.0;
    int64_t passes = pacer_passes_due(&pacer, t);
    for (int i = 0; i < 20000; i++) {
        t += gap(random);
        passes += pacer_passes_due(&pacer, t);
        // The first pass comes at once; every further one needs 30 ms of its own.
        ASSERT_LE((passes - 1) * PASS_MS, t) << "callback " << i;
    }
    // And with callbacks never much more than 30 ms apart, it keeps up.
    EXPECT_GE(passes * PASS_MS, t - 3 * PASS_MS);
}

// The loop that sleeps until a pass is due: woken by a timer (up to 2 ms late), it shows the
// pass at the display's next refresh. The game keeps its speed with about one callback a
// pass, where a callback every refresh would take two at 60 Hz and four at 120 Hz.
TEST(WebPacing, SleepingUntilAPassIsDueKeepsTheSpeedWithAboutOneCallbackAPass) {
    for (double hz : {60.0, 120.0, 144.0}) {
        const double refresh_ms = 1000.0 / hz;
        Pacer pacer;
        pacer_reset(&pacer);
        std::mt19937 late(7);
        std::uniform_real_distribution<double> timer_late(0.0, 2.0);
        int passes = 0;
        int callbacks = 0;
        for (double t = 1000.0; t < 4000.0;) {
            passes += pacer_passes_due(&pacer, t);
            callbacks++;
            const double wait = pacer_ms_until_due(&pacer);
            const double woken = t + (wait < 4.0 ? 0.0 : wait + timer_late(late));
            // The next refresh after waking.
            t = (static_cast<int64_t>(woken / refresh_ms) + 1) * refresh_ms;
        }
        EXPECT_GE(passes, 99) << hz << " Hz";
        EXPECT_LE(passes, 101) << hz << " Hz";
        EXPECT_LE(callbacks, passes * 11 / 10) << hz << " Hz";
    }
}

}  // namespace

TEST(WebPacing, SlowMotionStretchesTheTimeBetweenPassesAndKeepsItAcrossAPause) {
    Pacer pacer;
    pacer_reset(&pacer);
    pacer_set_pass_ms(&pacer, 2 * PASS_MS);
    EXPECT_EQ(pacer_passes_due(&pacer, 0.0), 1);
    int passes = 0;
    for (double t = 16.0; t <= 6000.0; t += 16.0)
        passes += pacer_passes_due(&pacer, t);
    EXPECT_NEAR(passes, 100, 1);  // half as many as at full speed
    pacer_reset(&pacer);
    EXPECT_EQ(pacer.pass_ms, 2 * PASS_MS);
    pacer_set_pass_ms(&pacer, 0.0);  // nonsense is full speed
    EXPECT_EQ(pacer.pass_ms, PASS_MS);
}
