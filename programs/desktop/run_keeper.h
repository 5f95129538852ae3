// The desktop game's runs as they are played: the run timer, each finished run (a win, a
// death, or leaving play for the menu) kept as a replay in the data folder, the personal
// best taken in, and what the results card shows. It records every pass in memory from the
// start; a run is written once it ends, and the next replay begins there. A quick load or a
// rewind starts the replay again from the game as it then is, marked practised. No SDL here.
#pragma once
#include <cstddef>
#include <cstdint>

#include "platform/input_record.h"
#include "programs/common/personal_best.h"
#include "programs/common/run_timer.h"

// How a finished run went, for the results card.
struct RunResult {
    int outcome;  // OUTCOME_WON or OUTCOME_DIED
    int passes;   // the run's time
    int score, coins;
    int percent;  // how far through the level the hero got
    int beaten;   // BEAT_* bits
    bool practised;
    bool keeping;  // runs are kept (not while a replay plays)
    bool kept;     // its replay was written
};

// The best is read from folder (null: there is none), and runs are kept there when keep
// (not while a replay plays: its runs are not the player's). The best win's replay there is
// the ghost. Call once the game has started.
void run_keeper_begin(const char* folder, bool keep);
// Where a program without a runs folder (the browser) keeps the best and the best win's
// replay, by name: get copies the bytes stored under name into out and gives their length
// (0: none, -1: they cannot be read or do not fit); put stores them whole (false: refused).
struct BestStore {
    int (*get)(const char* name, uint8_t* out, int room);
    bool (*put)(const char* name, const uint8_t* bytes, int size);
};
// As run_keeper_begin, the best and its win kept in store rather than in a folder, and no
// run kept but the last one, in memory.
void run_keeper_begin_stored(const BestStore* store, bool keep);
// The runs from here on are not the player's (a replay plays them): none becomes the best.
void run_keeper_disown();
// The replay has ended and the game is the player's again: the run under way is kept as one
// continued from here (never a best), and the next new game can be the best again.
void run_keeper_own();
// After each pass the loop ran (going: the game goes on).
void run_keeper_after(const InputRecord& record, int going);
// Frees what it holds.
void run_keeper_end();

const RunTimer& run_keeper_timer();
// The best as it stood when the current run began, for the timer's differences.
const PersonalBest& run_keeper_best();
// The last finished run's replay (no field digests), or null before any run has finished or
// when it could not be encoded; also where runs are not kept (the browser's copied links).
const uint8_t* run_keeper_last_run(size_t* size);
// The card to show now, or null: after a win until play is left, after a death until play
// starts again.
const RunResult* run_keeper_result();
