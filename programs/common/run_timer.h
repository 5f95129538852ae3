// The run timer: passes of play counted, never the HUD's countdown, so that the timer, a
// replay's header and the verifier agree to the pass (a pass is 30 ms: 3 hundredths). It
// watches the game after each pass: a new game from the title starts it from 0; each pass
// that ran the play (the countdown moved) with the hero alive counts; the hero passing a few
// fixed points of the level, and the win, are the splits. It also tells when a run starts
// and how it ends, which the run keeper and the results card follow.
#pragma once
#include <cstddef>
#include <cstdint>

#include "programs/common/replay_format.h"

// The splits: where the hero's left edge passes these world positions (the last, the win).
constexpr int RUN_SPLITS = 4;
struct RunSplitPoint {
    const char* name;
    int world_x;  // 0: the win
};
extern const RunSplitPoint run_split_points[RUN_SPLITS];
constexpr int RUN_LEVEL_END = 6600;

// What the timer reads of the game after a pass.
struct RunView {
    int game_mode;
    int level_won;
    int hero_dying;
    int world_x;  // the hero's left edge in the level
    float time_left;
    int score, coins;
};
RunView run_view_now();

// What a pass did, as bits.
enum : int {
    RUN_STARTED = 1,  // a new game from the title began (the timer went back to 0)
    RUN_ENTERED = 2,  // play began again in a game under way (from the menu)
    RUN_COUNTED = 4,  // a pass of play
    RUN_SPLIT = 8,    // a split was reached
    RUN_WON = 16,     // the level was won
    RUN_DIED = 32,    // the hero died
    RUN_LEFT = 64,    // play was left (the menu; after a death, the title came back)
};

struct RunTimer {
    int passes;              // passes of play counted
    int splits[RUN_SPLITS];  // the figure when each was reached; 0: not yet
    int furthest;            // the hero's furthest world position in this run
    int outcome;             // OUTCOME_*, of the current run
    RunView last;            // the game after the pass before
};

// The timer from its figure and splits (zero: a run from the title), and the game as it is.
void run_timer_start(RunTimer* timer, const ReplayTimes& from);
// After each pass: what it did (RUN_* bits).
int run_timer_pass(RunTimer* timer);
// The timer for the game as it is now: a pass's frame is shown while the pass runs, before
// the timer has seen it, and this counts that pass (its figure and splits) as run_timer_pass
// will; the timer itself is left as it is. Seen again after the pass, it is the timer itself.
RunTimer run_timer_now(const RunTimer& timer);
int run_timer_figure_now(const RunTimer& timer);
// The figure and splits, as a replay's header keeps them.
ReplayTimes run_timer_times(const RunTimer& timer);

// passes of 30 ms as m:ss.cc ("1:02.37"); a difference with its sign ("+0.42", "-1:00.03").
void run_timer_text(int passes, char* out, size_t size);
void run_timer_difference(int passes, char* out, size_t size);
// How far through the level a world position is, in percent (0 to 100).
int run_timer_percent(int world_x);
