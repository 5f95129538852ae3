// The desktop's replays: the run recorded as a replay (--record), each pass reaching the
// file as it runs; and a replay played back (--replay) with its progress shown, checked at
// every checkpoint and judged at its end, after which the game is the player's. Old play
// scripts still replay, through the loop's script path. No SDL in here.
#pragma once
#include <cstddef>

#include "platform/input_record.h"

enum : int {
    DESKTOP_REPLAY_NOT_ONE = 0,  // not a replay (an old play script, perhaps)
    DESKTOP_REPLAY_READ = 1,
    DESKTOP_REPLAY_BAD = 2,  // a replay this game cannot read; why says so
};
// Reads the file (a replay, or a link's text), or a link given as it is (anything with
// "#replay=" that names no file), to play once the game starts.
int desktop_replay_read(const char* path, char* why, size_t why_size);
// Records the run into path once the game starts.
void desktop_record_to(const char* path);

// The loop's hooks. Once the game has started: the recording's file made, the replay's start
// state taken; false (and the game not run) after saying why on standard error.
bool desktop_replays_begin();
bool desktop_replaying();
bool desktop_recording();
// The replay's record of the next pass; false once it has run out (its verdict is then
// printed and the game goes on live).
bool desktop_replay_next(InputRecord* record);
// The player stopped the replay (closed the window): judged as far as it went.
void desktop_replay_stop();
// After each pass: recorded, and compared.
void desktop_replays_after(const InputRecord& record, int going);
// "Replay 120 / 640" while a replay plays, else null.
const char* desktop_replay_progress();
// At the end, while the game still exists: the recording finished and written, the verdict
// of a replay still playing. The exit status: 0, 1 when the replay differed (or stopped
// early) or the recording is not whole, 2 when the replay could not be played here.
int desktop_replays_finish();
void desktop_replays_reset();
