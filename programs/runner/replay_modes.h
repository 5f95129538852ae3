// The runner's work with replays: recording the run it plays as a replay (--replay-out),
// verifying a replay (--verify), the first difference between two replays or two files of
// state lines (--diff), and a replay's link (--link).
#pragma once
#include "platform/input_record.h"

// Exit statuses of the replay modes: a replay that matches, one that differs, and a file
// that cannot be read (or a replay this game cannot play).
enum : int { REPLAY_EXIT_OK = 0, REPLAY_EXIT_DIFFERS = 1, REPLAY_EXIT_UNREADABLE = 2 };

// Reads the replay to verify; false (exit REPLAY_EXIT_UNREADABLE) after saying why.
bool runner_verify_read(const char* path);
// Once the game started (before any pass): the state it started in is kept, and the replay's
// start state taken; false after saying why.
bool runner_replay_started();
// The recording of the run (--replay-out): begins once the game is in its first state.
bool runner_record_begin(const char* path);
// Verifying: the record of the next pass (false once the replay has run out).
bool runner_verify_record(InputRecord* record);
// After each pass (going: what app_run_pass gave); true to go on.
bool runner_replay_after(const InputRecord& record, int going);
// At the end of the run: the verdict printed, or the replay written; the exit status
// (0 when nothing was asked).
int runner_replay_finish();
bool runner_verifying();

// --diff A B and --link FILE, which play nothing: their exit status.
int runner_diff(const char* a, const char* b);
int runner_link(const char* path);
