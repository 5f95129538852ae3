// Diagnostics for frame pacing: the intervals between presented frames and the processor
// time used, summed without allocation and printed once at the end. No SDL in here.
#pragma once
#include <cstdint>
#include <cstdio>

// Counts of frame intervals by whole milliseconds; the last bucket holds everything longer.
constexpr int FRAME_STATS_BUCKETS = 64;

struct FrameStats {
    int64_t last_us;  // time of the previous frame; -1 before the first
    int64_t count, sum_us, min_us, max_us;
    int64_t buckets[FRAME_STATS_BUCKETS];
};

// Forgets every frame.
void frame_stats_reset(FrameStats* stats);
// Notes a frame presented at now_us (microseconds from any fixed start).
void frame_stats_add(FrameStats* stats, int64_t now_us);
// Notes a span of time (how long one call took) instead of an interval between frames.
void frame_stats_add_span(FrameStats* stats, int64_t span_us);
// The share (0 to 1) of intervals from from_ms up to (not including) to_ms; 0 when none.
double frame_stats_share(const FrameStats* stats, int from_ms, int to_ms);
// Prints the count, the shortest, mean and longest interval and the histogram.
void frame_stats_print(const FrameStats* stats, FILE* out);
