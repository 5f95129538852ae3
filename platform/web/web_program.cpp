// The browser program's start, the browser's animation frames (or timer) for it, the scaling and
// the settings it changes, and its notices to the player.
#include "platform/web/web_program.h"

#include <emscripten/emscripten.h>
#include <emscripten/eventloop.h>
#include <emscripten/html5.h>

#include <cmath>

#include "platform/web/web_backend.h"

// The page's side (page_calls.js, display_calls.js): a short notice beside the game; whether
// passes wait for the display's refresh; the frame of this wake sent to the drawing worker,
// which hands its buffer back after wait_ms and so wakes the page (1), or nothing to send (0).
extern "C" {
void page_notice(const char* text);
int page_display_wants_animation_frames();
int page_display_send_waking(double wait_ms);
}

namespace {

// The program's work for each animation frame.
double (*frame_work)(double now_ms);

// Shorter waits than this ask for the next refresh at once: a timer is not that precise.
constexpr double LEAST_WAIT_MS = 4.0;

EM_BOOL on_animation_frame(double now_ms, void*);
void on_wake(void*);

// A browser's timer drops the fraction of a millisecond: rounded down, it would wake the page
// just before the pass is due, to find nothing to do and wait again.
void wake_after(double wait_ms) {
    emscripten_set_timeout(on_wake, std::ceil(wait_ms), nullptr);
}

void on_wake(void*) {
    if (page_display_wants_animation_frames()) {
        emscripten_request_animation_frame(on_animation_frame, nullptr);
    } else {
        on_animation_frame(0.0, nullptr);
    }
}

EM_BOOL on_animation_frame(double, void*) {
    // The clock now, not the frame's timestamp: that is when the refresh began, often before
    // the timer that asked for this frame fired, and a pass due at the timer would then wait
    // a whole further refresh (two frames drawn a pass instead of one).
    const double wait_ms = frame_work(emscripten_get_now());
    if (wait_ms < 0.0) {
        return EM_FALSE;
    }
    web_audio_feed();
    if (!page_display_wants_animation_frames()) {
        // A worker draws: the frame's buffer coming back wakes the page when the next pass is
        // due, so that a pass costs the page's thread one task, not a timer's as well. With no
        // frame to send (the pause on a hidden page, a frame unchanged), a timer wakes it; the
        // browser slows that further on a hidden page.
        if (!page_display_send_waking(wait_ms)) {
            wake_after(wait_ms);
        }
    } else if (wait_ms < LEAST_WAIT_MS) {
        emscripten_request_animation_frame(on_animation_frame, nullptr);
    } else {
        // The frame after the wait shows the pass: as late as a frame every refresh would.
        wake_after(wait_ms);
    }
    return EM_FALSE;
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

void web_run_frames(double (*frame)(double now_ms)) {
    frame_work = frame;
    on_wake(nullptr);
}

// For the page: the drawing worker handed back the frame sent to wake the page (or can no
// longer draw, and so will not).
WEB_EXPORT void web_display_woke() {
    on_wake(nullptr);
}

// For the page: the scaling in use, and another one (its name); the name of the one now in
// use, or null for a name that is no mode.
WEB_EXPORT const char* web_scale_name() {
    return web_scale_mode_name(web_scale);
}
