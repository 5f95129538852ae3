// The browser program's start, the browser's animation frames for it, the scaling and the
// settings it changes, and its notices to the player.
#include "platform/web/web_program.h"

#include <emscripten/html5.h>

#include "platform/web/web_backend.h"

// The page's side (page_calls.js): a short notice beside the game.
extern "C" void page_notice(const char* text);

namespace {

// The program's work for each animation frame.
int (*frame_work)(double now_ms);

EM_BOOL on_animation_frame(double now_ms, void*) {
    return frame_work(now_ms) ? EM_TRUE : EM_FALSE;
}

}  // namespace

void web_program_start() {
    web_settings_load();
}

int web_settings_changed() {
    web_audio_set_levels(web_settings.effects_volume, web_settings.music_volume,
                         web_settings.muted);
    web_display_place_again();
    return web_settings_keep();
}

void web_set_scale_mode(int mode) {
    if (web_scale_mode_name(mode) == nullptr) {
        return;
    }
    web_scale = mode;
    web_display_place_again();
    web_settings_keep();
}

void web_notice(const char* text) {
    page_notice(text);
}

void web_run_frames(int (*frame)(double now_ms)) {
    frame_work = frame;
    emscripten_request_animation_frame_loop(on_animation_frame, nullptr);
}

// For the page: the scaling in use, and another one (its name); the name of the one now in
// use, or null for a name that is no mode.
WEB_EXPORT const char* web_scale_name() {
    return web_scale_mode_name(web_scale);
}
