// The program's entry: the window set-up, the frame loop and the shutdown.
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

// Why start-up failed, in one line naming the picture and its folder (the line the program
// prints on standard error), for a backend that also shows it in a message box.
void app_describe_failed_start(char* out, size_t size);

// Registers the window class, opens the window, starts the game and runs the frame loop
// until a quit; returns the quit's exit code (0), 0 when the window cannot be made, and 1
// when start-up fails (after saying which picture could not be read, and where).
int app_main(void* instance, void* previous, const char* command_line, int show);
