// The browser's animation frames for the program.
#include "platform/web/web_program.h"

#include <emscripten/html5.h>

namespace {

// The program's work for each animation frame.
int (*frame_work)(double now_ms);

EM_BOOL on_animation_frame(double now_ms, void*) {
    return frame_work(now_ms) ? EM_TRUE : EM_FALSE;
}

}  // namespace

void web_run_frames(int (*frame)(double now_ms)) {
    frame_work = frame;
    emscripten_request_animation_frame_loop(on_animation_frame, nullptr);
}
