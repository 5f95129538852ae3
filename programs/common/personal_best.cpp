// The personal best as text, and what a run beats.
#include "programs/common/personal_best.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// A figure from 0 to a day of passes, at p; p moves past it. false when there is none.
bool figure(const char** p, const char* end, int* out) {
    while (*p < end && **p == ' ')
        ++*p;
    long value = 0;
    const char* start = *p;
    while (*p < end && **p >= '0' && **p <= '9' && value <= REPLAY_PASSES_MAX)
        value = value * 10 + (*(*p)++ - '0');
    if (*p == start || value > REPLAY_PASSES_MAX)
        return false;
    *out = static_cast<int>(value);
    return true;
}

bool starts(const char* p, const char* end, const char* word) {
    const size_t n = std::strlen(word);
    return static_cast<size_t>(end - p) > n && std::memcmp(p, word, n) == 0 && p[n] == ' ';
}

}  // namespace

void personal_best_text(const PersonalBest& best, char* out, size_t size) {
    int n = std::snprintf(out, size, "time %d\nsplits", best.time);
    for (int i = 0; i < RUN_SPLITS && n > 0 && static_cast<size_t>(n) < size; ++i)
        n += std::snprintf(out + n, size - static_cast<size_t>(n), " %d", best.splits[i]);
    if (n > 0 && static_cast<size_t>(n) < size && best.score >= 0)
        std::snprintf(out + n, size - static_cast<size_t>(n), "\nscore %d\n", best.score);
    else if (n > 0 && static_cast<size_t>(n) < size)
        std::snprintf(out + n, size - static_cast<size_t>(n), "\n");
}

bool personal_best_parse(const char* text, size_t length, PersonalBest* out) {
    PersonalBest best = PERSONAL_BEST_NONE;
    const char* p = text;
    const char* const end = text + length;
    bool ok = length <= PERSONAL_BEST_TEXT_MAX;
    while (ok && p < end) {
        const char* eol = static_cast<const char*>(std::memchr(p, '\n', end - p));
        const char* line_end = eol != nullptr ? eol : end;
        if (starts(p, line_end, "time")) {
            p += 4;
            ok = figure(&p, line_end, &best.time);
        } else if (starts(p, line_end, "splits")) {
            p += 6;
            for (int i = 0; i < RUN_SPLITS && ok; ++i)
                ok = figure(&p, line_end, &best.splits[i]);
        } else if (starts(p, line_end, "score")) {
            p += 5;
            ok = figure(&p, line_end, &best.score);
        }
        p = eol != nullptr ? eol + 1 : end;
    }
    // A time without its splits' order is not a win's.
    for (int i = 0; ok && best.time > 0 && i < RUN_SPLITS; ++i)
        ok = best.splits[i] <= best.time;
    *out = ok ? best : PERSONAL_BEST_NONE;
    return ok;
}

int personal_best_beaten(const PersonalBest& best, const Replay& run) {
    if ((run.flags & (REPLAY_PRACTISED | REPLAY_CONTINUED)) != 0 || run.outcome == OUTCOME_OPEN)
        return 0;
    int beaten = 0;
    const int time = static_cast<int>(run.timer_end.passes);
    if (run.outcome == OUTCOME_WON && time > 0 && (best.time == 0 || time < best.time))
        beaten |= BEAT_TIME;
    if (run.score > best.score && run.score > 0)
        beaten |= BEAT_SCORE;
    return beaten;
}

void personal_best_take(PersonalBest* best, const Replay& run, int beaten) {
    if (beaten & BEAT_TIME) {
        best->time = static_cast<int>(run.timer_end.passes);
        for (int i = 0; i < RUN_SPLITS; ++i)
            best->splits[i] =
                i < run.timer_end.split_count ? static_cast<int>(run.timer_end.splits[i]) : 0;
    }
    if (beaten & BEAT_SCORE)
        best->score = run.score;
}
