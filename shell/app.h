// The program's entry: the window set-up, the frame loop and the shutdown. The loop comes in
// pieces that a program drives one pass at a time, each pass from one input record, whatever
// made it (live keys, a script, a replay, a bot); app_main puts them together as the
// blocking loop on the platform's live input:
//
//     if (app_start(instance)) {
//         for (;;) {
//             clock_start();
//             InputRecord record;
//             input_take_live(&record);
//             if (!app_run_pass(&record))
//                 break;
//             clock_wait(30);
//         }
//     }
//     return app_finish();
#pragma once
#include <cstddef>

#include "engine/state.h"
#include "platform/input_record.h"

// Why the last start-up failed, in one line naming the picture or sound file and its folder
// (the line the program printed on standard error), for a backend that also shows it in a
// message box; "" when it did not fail. It outlives app_finish.
void app_describe_failed_start(char* out, size_t size);

// Registers the window class, opens the window and starts the game. 1 when the frame loop
// may run; 0 when it may not: no window could be made, or start-up failed, which has been
// reported (the picture that could not be read, and where) and undone.
int app_start(void* instance);
// One pass of the frame loop from its record, without its pacing: the record's keys and
// message to the window service, at most one message taken (a quit ends the loop before the
// pass's frame), then game_frame. 1 to go on, 0 once the loop is over.
int app_run_pass(const InputRecord* record);
// The number of the pass app_run_pass runs next, from 0 at start-up. A snapshot keeps it, so
// that a game restored goes on counting from where it was.
int app_next_pass();
extern const StateBlockList app_state;
// Shuts the game down and closes the window if the loop ran, returns the program to its
// state at load, and gives the exit code: the quit's (0), 0 when no window could be made,
// 1 when start-up failed.
int app_finish();

// The Win32-shaped entry: app_start, the paced passes on live input, app_finish. Only the
// instance is used.
int app_main(void* instance, void* previous, const char* command_line, int show);
