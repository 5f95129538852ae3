// The browser's sound: the game's effects and tunes handed to the page's Web Audio side
// (audio_calls.js), which plays them from buffers on the browser's own audio thread. M mutes
// and unmutes; the pause holds every sound.
#include <emscripten/emscripten.h>

#include "platform/platform.h"
#include "platform/web/web_backend.h"

// The page's side (audio_calls.js).
extern "C" {
void page_audio_open(int rate);
void page_audio_close();
void page_audio_load(int is_tune, int id, const int16_t* samples, int length, int loops);
void page_audio_play(int id);
void page_audio_music(int id);
void page_audio_pause(int paused);
void page_audio_mute(int muted);
}

namespace {

// Whether the player turned the sound off (M, or the page's button); kept across games.
int muted;

}  // namespace

int platform_audio_open(int rate) {
    page_audio_open(rate);
    page_audio_mute(muted);
    page_audio_pause(web_paused());
    return 1;
}

void platform_audio_close() {
    page_audio_close();
}

// Sounds are seconds long: their lengths fit the page's numbers.
void platform_sound_load(int id, const int16_t* samples, int64_t length) {
    page_audio_load(0, id, samples, static_cast<int>(length), 0);
}

void platform_music_load(int id, const int16_t* samples, int64_t length, int loops) {
    page_audio_load(1, id, samples, static_cast<int>(length), loops);
}

void platform_play_sound(int id) {
    page_audio_play(id);
}

void platform_play_music(int id) {
    page_audio_music(id);
}

void web_audio_set_paused(int paused) {
    page_audio_pause(paused);
}

void web_audio_toggle_mute() {
    muted = !muted;
    page_audio_mute(muted);
}

// From the page's sound button.
extern "C" EMSCRIPTEN_KEEPALIVE void web_toggle_mute() {
    web_audio_toggle_mute();
}
