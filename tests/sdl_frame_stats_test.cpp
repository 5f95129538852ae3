// The frame-pacing statistics: intervals into whole-millisecond buckets, the longest ones
// kept together, spans counted alike, and the share inside a range.
#include <gtest/gtest.h>

#include "platform/sdl/frame_stats.h"

namespace {

TEST(SdlFrameStats, IntervalsFallIntoTheirMillisecondAndTheShareCountsARange) {
    FrameStats stats;
    frame_stats_reset(&stats);
    int64_t now = 5'000'000;
    frame_stats_add(&stats, now);  // the first frame: no interval yet
    EXPECT_EQ(stats.count, 0);
    for (int64_t step : {29'000, 29'999, 30'000, 30'999, 31'000, 28'999}) {
        now += step;
        frame_stats_add(&stats, now);
    }
    frame_stats_add_span(&stats, 500'000);  // far beyond the last bucket
    frame_stats_add_span(&stats, -5);       // a clock step back counts as 0
    EXPECT_EQ(stats.count, 8);
    EXPECT_EQ(stats.buckets[28], 1);
    EXPECT_EQ(stats.buckets[29], 2);
    EXPECT_EQ(stats.buckets[30], 2);
    EXPECT_EQ(stats.buckets[31], 1);
    EXPECT_EQ(stats.buckets[FRAME_STATS_BUCKETS - 1], 1);
    EXPECT_EQ(stats.buckets[0], 1);
    EXPECT_EQ(stats.min_us, -5);
    EXPECT_EQ(stats.max_us, 500'000);
    EXPECT_DOUBLE_EQ(frame_stats_share(&stats, 29, 31), 4.0 / 8.0);
    EXPECT_DOUBLE_EQ(frame_stats_share(&stats, -3, 1000), 1.0);
    frame_stats_reset(&stats);
    EXPECT_EQ(frame_stats_share(&stats, 29, 31), 0.0);
}

}  // namespace
