// Frame-interval statistics for the QUELLARO_FRAME_STATS diagnostic.
#include "platform/sdl/frame_stats.h"

#include <cinttypes>

void frame_stats_reset(FrameStats* stats) {
    *stats = FrameStats{};
    stats->last_us = -1;
}

void frame_stats_add(FrameStats* stats, int64_t now_us) {
    if (stats->last_us >= 0) {
        frame_stats_add_span(stats, now_us - stats->last_us);
    }
    stats->last_us = now_us;
}

void frame_stats_add_span(FrameStats* stats, int64_t interval) {
    {
        if (stats->count == 0 || interval < stats->min_us) {
            stats->min_us = interval;
        }
        if (stats->count == 0 || interval > stats->max_us) {
            stats->max_us = interval;
        }
        stats->count++;
        stats->sum_us += interval;
        int64_t bucket = interval / 1000;
        if (bucket < 0) {
            bucket = 0;
        }
        if (bucket >= FRAME_STATS_BUCKETS) {
            bucket = FRAME_STATS_BUCKETS - 1;
        }
        stats->buckets[bucket]++;
    }
}

double frame_stats_share(const FrameStats* stats, int from_ms, int to_ms) {
    if (stats->count == 0) {
        return 0;
    }
    int64_t inside = 0;
    for (int i = from_ms < 0 ? 0 : from_ms; i < to_ms && i < FRAME_STATS_BUCKETS; i++) {
        inside += stats->buckets[i];
    }
    return static_cast<double>(inside) / static_cast<double>(stats->count);
}

void frame_stats_print(const FrameStats* stats, FILE* out) {
    if (stats->count == 0) {
        std::fprintf(out, "none\n");
        return;
    }
    std::fprintf(out, "%" PRId64 " times, min %.3f ms, mean %.3f ms, max %.3f ms\n", stats->count,
                 stats->min_us / 1000.0,
                 static_cast<double>(stats->sum_us) / static_cast<double>(stats->count) / 1000.0,
                 stats->max_us / 1000.0);
    for (int i = 0; i < FRAME_STATS_BUCKETS; i++) {
        if (stats->buckets[i] != 0) {
            if (i == FRAME_STATS_BUCKETS - 1) {
                std::fprintf(out, "  %d ms or more: %" PRId64 "\n", i, stats->buckets[i]);
            } else {
                std::fprintf(out, "  %d to %d ms: %" PRId64 "\n", i, i + 1, stats->buckets[i]);
            }
        }
    }
}
