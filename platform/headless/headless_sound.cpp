// The headless backend's audio: nothing is mixed; every effect started and every tune asked
// for is kept, in order, for the runner and the tests.
#include "platform/headless/headless.h"
#include "platform/platform.h"

namespace {

constexpr int MAX_TUNES = 8;

// The events since the last clearing; the count goes on past the kept ones.
HeadlessSound events[HEADLESS_SOUNDS_MAX];
int event_count;
// What the audio's opening answers: 1 when a test wants the tunes handed over.
int audible;
// The tunes handed over, by number.
const int16_t* tune_samples[MAX_TUNES];
int64_t tune_length[MAX_TUNES];

void note(int music, int id) {
    if (event_count < HEADLESS_SOUNDS_MAX)
        events[event_count] = {music, id};
    ++event_count;
}

}  // namespace

int platform_audio_open(int) {
    return audible;
}

void platform_audio_close() {
    for (int id = 0; id < MAX_TUNES; ++id) {
        tune_samples[id] = nullptr;
        tune_length[id] = 0;
    }
}

void platform_sound_load(int, const int16_t*, int64_t) {}

void platform_music_load(int id, const int16_t* samples, int64_t length, int) {
    if (id >= 0 && id < MAX_TUNES) {
        tune_samples[id] = samples;
        tune_length[id] = length;
    }
}

void platform_play_sound(int id) {
    note(0, id);
}

void platform_play_music(int id) {
    note(1, id);
}

int headless_sound_count() {
    return event_count;
}

HeadlessSound headless_sound(int index) {
    return index >= 0 && index < event_count && index < HEADLESS_SOUNDS_MAX ? events[index]
                                                                            : HeadlessSound{};
}

void headless_clear_sounds() {
    event_count = 0;
}

void headless_set_audible(int on) {
    audible = on ? 1 : 0;
}

int64_t headless_tune(int id, const int16_t** samples) {
    if (id < 0 || id >= MAX_TUNES)
        return 0;
    *samples = tune_samples[id];
    return tune_length[id];
}
