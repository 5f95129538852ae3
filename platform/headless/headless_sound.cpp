// The headless backend's audio: every effect started and every tune asked for is kept, in
// order, for the runner and the tests; on request the sound is also mixed as the desktop
// mixes it, following the virtual clock, and recorded.
#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "platform/common/audio_out.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"

namespace {

constexpr int MAX_TUNES = 8;
constexpr int STEMS = 3;
// The desktop's default volumes, in percent.
constexpr int EFFECTS_PERCENT = 100, MUSIC_PERCENT = 70;

// The events since the last clearing; the count goes on past the kept ones.
HeadlessSound events[HEADLESS_SOUNDS_MAX];
int event_count;
// The tunes handed over, by number.
const PlatformMusic* tunes[MAX_TUNES];
// Recording: whether it was asked for, whether the audio is open and recording, its rate and
// the virtual time it opened at; the mix and each part alone, and what they recorded.
bool record_asked;
bool recording;
int record_rate;
uint32_t opened_at;
AudioOut outs[STEMS];
int16_t* recorded[STEMS];
int64_t recorded_frames, recorded_capacity;
// Whether the recording stopped short for want of memory.
bool recording_lost;
// The whole mix plays each tune through a wrapper that notes the recording's frame where
// the tune was first heard (-1: not yet). The wrapper keeps the tune's number at the front of
// the state, and the tune's own state after it.
constexpr size_t WATCH_HEADER = alignof(std::max_align_t);
static_assert(sizeof(int) <= WATCH_HEADER);
int watched[MAX_TUNES];
PlatformMusic watching[MAX_TUNES];
int64_t first_heard[MAX_TUNES];
// The recording's frame the mix is at.
int64_t mixing_at;

void watched_start(void* state, const void* data) {
    const int id = *static_cast<const int*>(data);
    std::memcpy(state, &id, sizeof id);
    tunes[id]->start(static_cast<unsigned char*>(state) + WATCH_HEADER, tunes[id]->data);
}

int watched_render(void* state, int16_t* out, int frames) {
    int id = 0;
    std::memcpy(&id, state, sizeof id);
    const int got =
        tunes[id]->render(static_cast<unsigned char*>(state) + WATCH_HEADER, out, frames);
    if (got > 0 && first_heard[id] < 0)
        first_heard[id] = mixing_at;
    return got;
}

void note(int music, int id, int variant, int pan) {
    if (event_count < HEADLESS_SOUNDS_MAX)
        events[event_count] = {music, id, variant, pan, recorded_frames};
    ++event_count;
}

void forget_recording() {
    for (int16_t*& samples : recorded) {
        std::free(samples);
        samples = nullptr;
    }
    recorded_frames = recorded_capacity = 0;
    recording_lost = false;
}

// Room for frames more; false (and the recording stopped) when there is none.
bool make_room(int64_t frames) {
    if (recorded_frames + frames <= recorded_capacity)
        return true;
    const int64_t capacity = std::max(2 * recorded_capacity, recorded_frames + frames + 65536);
    for (int16_t*& samples : recorded) {
        auto* grown = static_cast<int16_t*>(
            std::realloc(samples, static_cast<size_t>(capacity) * 2 * sizeof(int16_t)));
        if (!grown) {
            recording = false;
            recording_lost = true;
            return false;
        }
        samples = grown;
    }
    recorded_capacity = capacity;
    return true;
}

}  // namespace

int platform_audio_open(int rate) {
    recording = record_asked && rate > 0;
    if (!recording)
        return 0;
    forget_recording();
    for (int64_t& frame : first_heard)
        frame = -1;
    record_rate = rate;
    opened_at = headless_time();
    const int levels[STEMS][2] = {
        {EFFECTS_PERCENT, MUSIC_PERCENT}, {EFFECTS_PERCENT, 0}, {0, MUSIC_PERCENT}};
    for (int s = 0; s < STEMS; ++s) {
        audio_out_reset(outs[s], rate);
        audio_out_set_levels(outs[s], levels[s][0], levels[s][1], false);
    }
    return 1;
}

void platform_audio_close() {
    // What was recorded stays to be read; the borrowed sounds go.
    recording = false;
    for (AudioOut& out : outs)
        audio_out_reset(out, 1);
    for (const PlatformMusic*& tune : tunes)
        tune = nullptr;
}

void platform_sound_load(int id, int variant, const int16_t* samples, int64_t length) {
    for (AudioOut& out : outs)
        audio_out_sound_load(out, id, variant, samples, length);
}

void platform_music_load(int id, const PlatformMusic* music) {
    if (id < 0 || id >= MAX_TUNES)
        return;
    tunes[id] = music;
    watched[id] = id;
    watching[id] = {watched_start, watched_render, &watched[id]};
    audio_out_music_load(outs[HEADLESS_MIX], id, music ? &watching[id] : nullptr);
    audio_out_music_load(outs[HEADLESS_EFFECTS], id, music);
    audio_out_music_load(outs[HEADLESS_MUSIC], id, music);
}

void platform_play_sound(int id, int variant, int pan) {
    note(0, id, variant, pan);
    if (recording) {
        for (AudioOut& out : outs)
            audio_out_play_sound(out, id, variant, pan);
    }
}

void platform_play_music(int id) {
    note(1, id, 0, 0);
    for (AudioOut& out : outs)
        audio_out_play_music(out, id);
}

void headless_audio_catch_up() {
    if (!recording)
        return;
    const int64_t due = static_cast<int64_t>(headless_time() - opened_at) * record_rate / 1000;
    if (due <= recorded_frames || !make_room(due - recorded_frames))
        return;
    mixing_at = recorded_frames;
    for (int s = 0; s < STEMS; ++s) {
        audio_out_mix(outs[s], recorded[s] + 2 * recorded_frames,
                      static_cast<int>(due - recorded_frames));
    }
    recorded_frames = due;
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

void headless_record_audio(int on) {
    record_asked = on != 0;
    if (!record_asked) {
        recording = false;
        forget_recording();
    }
}

int64_t headless_recording(int stem, const int16_t** samples) {
    if (recording_lost)
        return -1;
    if (stem < 0 || stem >= STEMS || !recorded[stem])
        return 0;
    *samples = recorded[stem];
    return recorded_frames;
}

int64_t headless_music_first_heard(int id) {
    return id >= 0 && id < MAX_TUNES ? first_heard[id] : -1;
}

const PlatformMusic* headless_music(int id) {
    return id >= 0 && id < MAX_TUNES ? tunes[id] : nullptr;
}
