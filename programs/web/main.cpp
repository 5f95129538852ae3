// The game's entry point in the browser: start the program, then run its passes from the
// browser's animation-frame callbacks, about one every 30 ms, none while paused.
#include <cstdio>

#include "platform/web/pacing.h"
#include "platform/web/web_program.h"
#include "shell/app.h"
#include "shell/game_state.h"

// The page's side (page_calls.js): the program has ended with this exit code, after a quit
// (started 1) or without ever starting (started 0).
extern "C" void page_ended(int exit_code, int started);

namespace {

// When the next passes are due.
Pacer pacer;
// Passes run so far, for the page's status.
int passes_run;

int on_animation_frame(double now_ms) {
    if (web_paused()) {
        pacer_reset(&pacer);  // no rush of passes to catch up after the pause
        return 1;
    }
    for (int due = pacer_passes_due(&pacer, now_ms); due > 0; due--) {
        InputRecord record;
        input_take_live(&record);
        if (!app_run_pass(&record)) {
            page_ended(app_finish(), 1);
            return 0;
        }
        passes_run++;
    }
    return 1;
}

}  // namespace

// For the page and its tests: passes run, the pause, and the game's mode and HUD numbers.
WEB_EXPORT const char* web_status() {
    static char line[128];
    std::snprintf(line, sizeof(line),
                  "{\"passes\":%d,\"game_mode\":%d,\"paused\":%d,\"score\":%d,"
                  "\"time_left\":%.9g}",
                  passes_run, game_mode, web_paused(), score, static_cast<double>(time_left));
    return line;
}

int main() {
    if (!app_start(nullptr)) {
        const int exit_code = app_finish();
        page_ended(exit_code, 0);
        return exit_code;
    }
    pacer_reset(&pacer);
    web_run_frames(on_animation_frame);
    // The program lives on in the callbacks.
    return 0;
}
