// The browser's sound: the same mixer as the desktop's, limiter and all, run when the page's
// Web Audio side (audio_calls.js) wants the next frames, so the page plays the same stereo
// mix at the same rate, the music rendered a chunk at a time as it plays and no pass waiting
// for it. M mutes and unmutes; the pause holds every sound where it is.
#include <emscripten/emscripten.h>

#include "platform/common/audio_out.h"
#include "platform/platform.h"
#include "platform/web/web_backend.h"

// The page's side (audio_calls.js).
extern "C" {
void page_audio_open(int rate);
void page_audio_close();
void page_audio_music(int id);
void page_audio_pause(int paused);
void page_audio_mute(int muted);
void page_audio_feed();
}

namespace {

// The most frames the page asks for at once.
constexpr int MAX_FRAMES = 4096;

// What the page's sound mixes; the browser runs it between passes, never during one.
AudioOut audio;
// The mixed frames handed to the page, left and right.
int16_t mixed[2 * MAX_FRAMES];
// Whether the page has started mixing (after a gesture): effects raised before are not kept
// to burst out all at once then.
bool mixing;
// Whether the page was last told the sound is off.
int page_muted = -1;

// The settings' volumes and mute to the mixer (held to its range, which the settings then
// keep) and the page.
void apply_levels() {
    audio_out_set_levels(audio, web_settings.effects_volume, web_settings.music_volume,
                         web_settings.muted != 0);
    web_settings.effects_volume = audio.effects_volume;
    web_settings.music_volume = audio.music_volume;
    if (page_muted != (web_settings.muted != 0)) {
        page_muted = web_settings.muted != 0;
        page_audio_mute(page_muted);
    }
}

}  // namespace

int platform_audio_open(int rate) {
    audio_out_reset(audio, rate);
    mixing = false;
    page_audio_open(rate);
    page_muted = -1;
    apply_levels();
    page_audio_pause(web_paused());
    return 1;
}

void platform_audio_close() {
    page_audio_close();
    audio_out_reset(audio, 1);
    mixing = false;
}

void platform_sound_load(int id, int variant, const int16_t* samples, int64_t length) {
    audio_out_sound_load(audio, id, variant, samples, length);
}

void platform_music_load(int id, const PlatformMusic* music) {
    audio_out_music_load(audio, id, music);
}

void platform_play_sound(int id, int variant, int pan) {
    if (mixing)
        audio_out_play_sound(audio, id, variant, pan);
}

void platform_play_music(int id) {
    audio_out_play_music(audio, id);
    page_audio_music(id);
}

void web_audio_feed() {
    page_audio_feed();
}

void web_audio_set_paused(int paused) {
    page_audio_pause(paused);
}

void web_audio_set_levels(int effects, int music, int mute) {
    web_settings.effects_volume = effects;
    web_settings.music_volume = music;
    web_settings.muted = mute != 0;
    apply_levels();
    web_settings_keep();
}

void web_audio_levels(int* effects, int* music, int* mute) {
    *effects = web_settings.effects_volume;
    *music = web_settings.music_volume;
    *mute = web_settings.muted ? 1 : 0;
}

void web_audio_toggle_mute() {
    web_audio_set_levels(web_settings.effects_volume, web_settings.music_volume,
                         !web_settings.muted);
}

// From the page's sound button.
extern "C" EMSCRIPTEN_KEEPALIVE void web_toggle_mute() {
    web_audio_toggle_mute();
}

// From the page's sound: the next frames of the mix (at most MAX_FRAMES), left and
// right, in memory the page reads before its next call.
extern "C" EMSCRIPTEN_KEEPALIVE const int16_t* web_audio_mix(int frames) {
    mixing = true;
    frames = frames < 0 ? 0 : frames > MAX_FRAMES ? MAX_FRAMES : frames;
    audio_out_mix(audio, mixed, frames);
    return mixed;
}

// For the page's tests: effects started since the audio opened, and whether a tune plays.
extern "C" EMSCRIPTEN_KEEPALIVE int web_audio_effects_started() {
    return static_cast<int>(audio.mixer.next_start);
}

extern "C" EMSCRIPTEN_KEEPALIVE int web_audio_music_playing() {
    return mixer_music_playing(audio.mixer) ? 1 : 0;
}
