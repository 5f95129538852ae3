// The program's entry: the window set-up, the frame loop and the shutdown.
#pragma once

// Observers of the frame loop for the headless runner and tests: before_pass runs at the top
// of each pass, before its message step, and ends the loop when it returns nonzero;
// after_frame runs after each pass's game_frame. Either may be null.
struct AppLoopHooks {
    int (*before_pass)(int pass);
    void (*after_frame)(int pass);
};
void app_set_loop_hooks(const AppLoopHooks* hooks);

// The frame loop one pass at a time, for a caller that paces the passes itself (the
// browser's animation-frame callback): app_start, then app_pass about every 30 ms until it
// returns 0, then app_finish. app_main is exactly that with its own pacing.
//
// Registers the window class, opens the window and starts the game; 1 when passes may run.
// 0 when they may not, with *exit_code 0 when the window cannot be made and 1 when start-up
// failed (after saying which picture could not be read, and where).
int app_start(void* instance, int* exit_code);
// One pass without its pacing: the before_pass hook, at most one message, game_frame, the
// after_frame hook. 0 when the loop is over (a quit was taken or a hook said stop).
int app_pass();
// Shuts the game down and closes the window; returns the quit's exit code.
int app_finish();

// Registers the window class, opens the window, starts the game and runs the frame loop
// until a quit; returns the quit's exit code (0), 0 when the window cannot be made, and 1
// when start-up fails (after saying which picture could not be read, and where).
int app_main(void* instance, void* previous, const char* command_line, int show);
