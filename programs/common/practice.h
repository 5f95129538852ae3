// The practice tools a program offers around the game: quick save and quick load of one
// slot, rewind, frame advance and slow motion, a short note on screen when one is used, and
// the practised mark of the current game. They choose which records the game gets and which
// state it goes on from; the game's own passes never change, so the state lines at any
// speed, after any rewind, are those of a game played straight through with the same records.
//
// Rewind keeps the last minute: a snapshot every few passes and the record of every pass.
// A step back puts the snapshot before the pass to show back and runs the passes up to it
// again, unseen and unheard; the last of them is shown.
#pragma once
#include <cstddef>
#include <cstdint>

#include "platform/input_record.h"

// How far rewind reaches, and how often it keeps a snapshot.
constexpr int REWIND_PASSES = 2000;  // a minute of 30 ms passes
constexpr int REWIND_KEYFRAME_PASSES = 8;

// Where the quick-save slot is kept (a file, the browser's storage).
struct PracticeSlot {
    // Keeps the saved form; 1, or 0 with why.
    int (*store)(const uint8_t* form, size_t size, char* why, size_t why_size);
    // The saved form into out; its length, or 0 with why ("" when the slot is empty).
    size_t (*fetch)(uint8_t* out, size_t room, char* why, size_t why_size);
};

// The tools for a game just started: an empty history, full speed, no note, not practised.
// slot may be null (no quick save). 0 when the history's memory cannot be had.
int practice_start(const PracticeSlot* slot);
// Frees the history. The speed assist is the player's option and stays.
void practice_stop();
// Quick load and rewind are off while a recording is made or a replay plays (going back would
// leave either meaningless); they then say so instead of acting. The rest stay.
void practice_allow_going_back(int allowed);

// A command from the backend: quick save and quick load (done before the next pass), slow
// motion (the next speed: 100, 50, 25 %), frame advance (noted; the program's pause runs the
// pass).
void practice_command(int command);
// The program's pass from the live record: a step back while rewind is held (the live record
// and any input waiting are dropped), else a quick save or load asked for, then the pass
// itself, kept for rewinding. 1 to go on, 0 once the game has ended.
int practice_pass(const InputRecord* record, int rewind_held);
// Restart level: whether the state as the current game began is kept (and going back is
// allowed, and a game is being played); putting it back (1), or saying why not (0). The
// history after it is forgotten, and the game counts as practised.
int practice_can_restart();
int practice_restart();
// A quick save or load asked for is done now rather than before the next pass (the game is
// held in a menu).
void practice_apply_now();
// Steps back passes passes at once (a menu's "rewind a second"); 0 once the game has ended.
int practice_rewind(int passes);
// Milliseconds between passes at the speed chosen: 30, 60 or 120. The game still sees 30 ms
// passes: only the time between them stretches.
uint32_t practice_pass_ms();
// The game-speed assist: 100, 90, 75 or 50 percent of the game's speed (anything else is
// 100). Only the time between passes changes; a game played with it below 100, for any
// part of it, counts as practised.
void practice_set_assist(int percent);
int practice_assist();
// The note to show at now_ms (null: none): "Saved", "Loaded", "Rewind", "0.5x", or why not.
const char* practice_note(uint32_t now_ms);
// Whether a tool was used on the current game; a new game from the title clears it.
int practice_practised();
// How many times the game was put back (quick loads, rewind steps, restarts) since the tools
// started: a change tells a recorder that its records no longer lead to the game as it is.
int practice_jumps();

// For the benchmark and tests: bytes the history holds, the room each snapshot has in it,
// the snapshots kept, and the passes it reaches back.
size_t practice_history_bytes();
size_t practice_keyframe_bytes();
int practice_keyframes();
int practice_reach();
