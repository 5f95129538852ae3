// Playing a replay back and checking that the game plays it as it was recorded: the replay
// hands the record of each pass; after each, at every checkpoint, the state line's digest is
// compared. A checkpoint that differs shows the first difference within 30 passes; the
// verdict then narrows it down to the exact pass by playing again, unseen and unheard, from
// the last checkpoint that matched, comparing every field's digest (when the replay keeps
// them). At the end, the final state's digest and the timer's figure are compared with the
// header's.
#pragma once
#include <cstddef>
#include <cstdint>

#include "platform/input_record.h"
#include "programs/common/replay_format.h"
#include "programs/common/run_timer.h"

enum : int {
    VERDICT_MATCHES = 0,
    VERDICT_DIFFERS = 1,
    VERDICT_UNCHECKED = 2,  // stopped before its end, or nothing could be compared
};

struct ReplayVerdict {
    int result;             // VERDICT_*
    int passes;             // passes played
    uint64_t final_digest;  // of the state line after the last pass played
    ReplayTimes times;      // the timer's figure and splits then
    // Where it differs: the program's numbers of the first pass known to differ and, when it
    // could not be narrowed down to one, the last pass that can be the first (else the same);
    // the first field that differs there (-1: not known), and every field known to differ.
    int first, last;
    int field;
    uint32_t fields;
    // What differs besides the state, or why nothing was checked: a few words, or "".
    char note[128];
};

struct ReplayPlayer {
    const Replay* replay;
    ReplayCursor cursor;
    RunTimer timer;
    int played;  // passes run so far
    bool ended;  // the game ended (a quit) at the last pass played
    // The last checkpoint that matched (passes played then; 0: the start) and the game there; and
    // the first checkpoint that did not (-1: none yet).
    int good_passes;
    uint8_t* good_state;
    size_t good_length;
    int bad_checkpoint;
    uint32_t bad_fields;  // the fields whose digests differ at the bad checkpoint
};

// Puts the game into the replay's start state: checks the version and the data files it was
// made with, decodes the start state against base (the state the game started in) and
// restores it. false, with why in a line for the player, when it cannot be played here.
bool replay_play_begin(ReplayPlayer* player, const Replay* replay, const uint8_t* base,
                       size_t base_length, char* why, size_t why_size);
// The record of the next pass; false once every pass has been handed.
bool replay_play_next(ReplayPlayer* player, InputRecord* record);
// After the pass ran (going: what app_run_pass gave): the timer, and the checkpoint's
// comparison when one falls after it.
void replay_play_after(ReplayPlayer* player, int going);
// Whether a checkpoint has differed already (a verifier may stop there).
bool replay_play_differs(const ReplayPlayer& player);
// Passes played and passes in all, for the progress shown.
int replay_play_done(const ReplayPlayer& player);
// The verdict, once the replay has run out or stopped: the end compared; a difference
// narrowed down (which plays passes again, unseen: the game is then somewhere in the
// window). Frees the player.
void replay_play_verdict(ReplayPlayer* player, ReplayVerdict* verdict);
// The verdict of a replay the player watched, and its line (replay_verdict_text): the game
// is put back as the replay left it after the narrowing down, so that the player plays on
// from there. Frees the player.
void replay_play_judge(ReplayPlayer* player, ReplayVerdict* verdict, char* text, size_t size);
// Frees the player without a verdict.
void replay_play_stop(ReplayPlayer* player);

// The verdict as one line: "OK: 640 passes, time 0:17.34, final digest ...", or where it
// differs.
void replay_verdict_text(const ReplayVerdict& verdict, char* out, size_t size);
// The fields set in mask by name, comma-separated.
void replay_fields_text(uint32_t mask, char* out, size_t size);
