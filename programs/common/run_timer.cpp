// The run timer: passes of play, the splits, and how a run starts and ends.
#include "programs/common/run_timer.h"

#include <cstdio>
#include <cstdlib>

#include "shell/game_state.h"
#include "world/level.h"
#include "world/objects.h"
#include "world/world_state.h"

// The first pipe (64 wide), the first pit (its far edge), the staircases with the pit between
// them, and the end of the level.
const RunSplitPoint run_split_points[RUN_SPLITS] = {
    {"Pipe", 960 + 64},
    {"Pit", 2434},
    {"Stairs", 5422 + 32},
    {"Goal", 0},
};
static_assert(RUN_SPLITS <= REPLAY_SPLITS_MAX, "a replay keeps every split");
static_assert(RUN_LEVEL_END == LEVEL_END, "the level's end");

namespace {

constexpr int MS_PER_PASS = 30;

}  // namespace

RunView run_view_now() {
    RunView view = {game_mode, level_won, 0, 0, time_left, score, coins};
    if (hero != nullptr) {
        view.hero_dying = hero->state == HERO_DYING;
        view.world_x = static_cast<int>(hero->x) + scroll_total;
    }
    return view;
}

void run_timer_start(RunTimer* timer, const ReplayTimes& from) {
    *timer = RunTimer{};
    timer->passes = static_cast<int>(from.passes);
    for (int i = 0; i < RUN_SPLITS && i < from.split_count; ++i)
        timer->splits[i] = static_cast<int>(from.splits[i]);
    timer->last = run_view_now();
    timer->furthest = timer->last.world_x;
}

int run_timer_pass(RunTimer* timer) {
    const RunView now = run_view_now();
    const RunView was = timer->last;
    int what = 0;
    const bool entering = was.game_mode != MODE_PLAYING && now.game_mode == MODE_PLAYING;
    if (entering && was.time_left == TIME_AT_START && !was.level_won) {
        run_timer_start(timer, ReplayTimes{});
        timer->outcome = OUTCOME_OPEN;
        what |= RUN_STARTED;
    } else if (entering) {
        what |= RUN_ENTERED;
    }
    // The countdown moves in every pass of play, the dying hero's fall included.
    if (now.game_mode == MODE_PLAYING && now.time_left != was.time_left && !was.hero_dying &&
        !was.level_won) {
        ++timer->passes;
        what |= RUN_COUNTED;
        timer->furthest = now.world_x > timer->furthest ? now.world_x : timer->furthest;
        for (int i = 0; i < RUN_SPLITS; ++i) {
            const bool passed = run_split_points[i].world_x > 0
                                    ? now.world_x > run_split_points[i].world_x
                                    : now.level_won != 0;
            if (passed && timer->splits[i] == 0) {
                timer->splits[i] = timer->passes;
                what |= RUN_SPLIT;
            }
        }
    }
    if (now.level_won && !was.level_won) {
        timer->outcome = OUTCOME_WON;
        what |= RUN_WON;
    }
    if (now.hero_dying && !was.hero_dying) {
        timer->outcome = OUTCOME_DIED;
        what |= RUN_DIED;
    }
    if (was.game_mode == MODE_PLAYING && now.game_mode != MODE_PLAYING) {
        if (timer->outcome == OUTCOME_OPEN)
            timer->outcome = OUTCOME_LEFT;
        what |= RUN_LEFT;
    }
    timer->last = now;
    return what;
}

RunTimer run_timer_now(const RunTimer& timer) {
    RunTimer ahead = timer;
    run_timer_pass(&ahead);
    return ahead;
}

int run_timer_figure_now(const RunTimer& timer) {
    return run_timer_now(timer).passes;
}

ReplayTimes run_timer_times(const RunTimer& timer) {
    ReplayTimes times = {static_cast<uint32_t>(timer.passes), RUN_SPLITS, {}};
    for (int i = 0; i < RUN_SPLITS; ++i)
        times.splits[i] = static_cast<uint32_t>(timer.splits[i]);
    return times;
}

void run_timer_text(int passes, char* out, size_t size) {
    const long long ms = static_cast<long long>(passes < 0 ? -passes : passes) * MS_PER_PASS;
    std::snprintf(out, size, "%s%lld:%02lld.%02lld", passes < 0 ? "-" : "", ms / 60000,
                  ms / 1000 % 60, ms / 10 % 100);
}

void run_timer_difference(int passes, char* out, size_t size) {
    const long long ms = static_cast<long long>(std::abs(passes)) * MS_PER_PASS;
    const char sign = passes < 0 ? '-' : '+';
    if (ms < 60000) {
        std::snprintf(out, size, "%c%lld.%02lld", sign, ms / 1000, ms / 10 % 100);
    } else {
        std::snprintf(out, size, "%c%lld:%02lld.%02lld", sign, ms / 60000, ms / 1000 % 60,
                      ms / 10 % 100);
    }
}

int run_timer_percent(int world_x) {
    const int percent = world_x <= 0 ? 0 : world_x * 100 / RUN_LEVEL_END;
    return percent > 100 ? 100 : percent;
}
