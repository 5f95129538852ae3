// The personal best: the fastest win (its time and splits) and the best score of any run,
// kept as a few lines of text so that a player can read it. The run timer's differences and
// the results card both read this one record.
#pragma once
#include <cstddef>

#include "programs/common/replay_format.h"
#include "programs/common/run_timer.h"

struct PersonalBest {
    int time;                // passes of the fastest win; 0: no win yet
    int splits[RUN_SPLITS];  // that win's splits
    int score;               // the best score of any run; -1: none yet
};
constexpr PersonalBest PERSONAL_BEST_NONE = {0, {}, -1};
// A best file over this is not ours.
constexpr size_t PERSONAL_BEST_TEXT_MAX = 1024;

// What a finished run beat.
enum : int { BEAT_TIME = 1, BEAT_SCORE = 2 };

// "time 1234\nsplits 300 900 1100 1234\nscore 5400\n".
void personal_best_text(const PersonalBest& best, char* out, size_t size);
// From that text; lines it does not know are passed over. false (and *out none) when a
// known line's figures are not figures.
bool personal_best_parse(const char* text, size_t length, PersonalBest* out);
// What the finished run (its header) beat: a run marked practised or continued beats
// nothing, and only a win has a time.
int personal_best_beaten(const PersonalBest& best, const Replay& run);
// The best with what the run beat taken in.
void personal_best_take(PersonalBest* best, const Replay& run, int beaten);
