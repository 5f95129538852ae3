// The program's entry: the window set-up, the frame loop and the shutdown. The loop comes in
// pieces that a caller can drive one pass at a time (the browser, a paused desktop game);
// app_main puts them together as the blocking loop:
//
//     if (app_start(instance)) {
//         for (;;) {
//             clock_start();
//             if (!app_pass())
//                 break;
//             clock_wait(30);
//         }
//     }
//     return app_finish();
#pragma once
#include <cstddef>

// Observers of the frame loop for the headless runner and tests: before_pass runs at the top
// of each pass, before its message step, and ends the loop when it returns nonzero;
// after_frame runs after each pass's game_frame. Either may be null.
struct AppLoopHooks {
    int (*before_pass)(int pass);
    void (*after_frame)(int pass);
};
void app_set_loop_hooks(const AppLoopHooks* hooks);

// Why start-up failed, in one line naming the picture or sound file and its folder (the line
// the program prints on standard error), for a backend that also shows it in a message box.
void app_describe_failed_start(char* out, size_t size);

// Registers the window class, opens the window and starts the game. 1 when the frame loop
// may run; 0 when it may not: no window could be made, or start-up failed, which has been
// reported (the picture that could not be read, and where) and undone.
int app_start(void* instance);
// One pass of the frame loop without its pacing: the before_pass hook, at most one message
// (a quit ends the loop before the pass's frame), game_frame, the after_frame hook. 1 to go
// on, 0 once the loop is over.
int app_pass();
// Shuts the game down and closes the window if the loop ran, returns the program to its
// state at load, and gives the exit code: the quit's (0), 0 when no window could be made,
// 1 when start-up failed.
int app_finish();

// The Win32-shaped entry: app_start, the paced passes, app_finish. Only the instance is used.
int app_main(void* instance, void* previous, const char* command_line, int show);
