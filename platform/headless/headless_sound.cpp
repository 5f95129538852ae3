// The headless backend's audio: nothing is mixed; every effect started and every tune asked
// for is kept, in order, for the runner and the tests.
#include "platform/headless/headless.h"
#include "platform/platform.h"

namespace {

// The events since the last clearing; count goes on past the kept ones.
HeadlessSound events[HEADLESS_SOUNDS_MAX];
int event_count;
int audio_open;
int music_asked;

void note(int music, int id) {
    if (event_count < HEADLESS_SOUNDS_MAX)
        events[event_count] = {music, id};
    ++event_count;
}

}  // namespace

int platform_audio_open(int) {
    audio_open = 1;
    return 0;
}

void platform_audio_close() {
    audio_open = 0;
    music_asked = 0;
}

void platform_sound_load(int, const int16_t*, int64_t) {}
void platform_music_load(int, const int16_t*, int64_t, int) {}

void platform_play_sound(int id) {
    note(0, id);
}

void platform_play_music(int id) {
    music_asked = id;
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

int headless_audio_open() {
    return audio_open;
}

int headless_music() {
    return music_asked;
}
