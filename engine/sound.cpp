// The game's sounds: effects from their files, tunes from their note data, events and music
// handed to the platform's audio service.
#include "engine/sound.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "engine/synth.h"
#include "engine/tunes.h"
#include "engine/wav.h"
#include "platform/file_read.h"
#include "platform/platform.h"

namespace {

// Room for every effect's samples: about twelve seconds, a little over what they need.
constexpr int64_t EFFECT_SAMPLES_MAX = int64_t{1} << 18;
// The order tunes are rendered in after start-up: the menu's first.
constexpr MusicId RENDER_ORDER[] = {MUSIC_TITLE, MUSIC_PLAY};

// Every effect's samples, one after the other, and where each starts and how long it is.
int16_t effect_samples[EFFECT_SAMPLES_MAX];
int64_t effect_used;
int64_t effect_start[SOUND_COUNT], effect_length[SOUND_COUNT];
// The rendered tunes (null until rendered, and when rendering failed) and whether each was
// tried: a tune is rendered once at most.
int16_t* tune_samples[MUSIC_COUNT];
bool tune_tried[MUSIC_COUNT];
// Whether the platform plays sounds; when it only takes note, no tune is rendered.
bool audible;
// The tune asked for last, and the frames shown since start-up.
MusicId music_now = MUSIC_NONE;
int frames_shown;
// The file name of the first sound file refused.
char refused[64];

// Reads sounds/NAME.wav into the effects' store; false when the file is missing, not 16-bit
// mono PCM at the game's rate, empty, or larger than the room left.
bool read_effect(SoundId id) {
    char name[sizeof refused];
    std::snprintf(name, sizeof name, "sounds/%s.wav", SOUND_NAMES[id]);
    const int64_t room = EFFECT_SAMPLES_MAX - effect_used;
    int64_t frames = -1;
    int rate = 0;
    // A regular file only (a FIFO or a device would block or never end), and one longer than
    // the room left cannot fit: it is not read at all.
    int64_t size = 0;
    const int fd = file_open_input(name, &size, nullptr, 0);
    if (fd >= 0 && size > 0 && static_cast<uint64_t>(size) <= wav_file_size(room) + 4096) {
        uint8_t* bytes = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(size)));
        if (bytes && read(fd, bytes, static_cast<size_t>(size)) == size)
            frames = wav_read(bytes, static_cast<size_t>(size), effect_samples + effect_used, room,
                              &rate);
        std::free(bytes);
    }
    if (fd >= 0)
        close(fd);
    if (frames <= 0 || rate != SOUND_RATE) {
        std::snprintf(refused, sizeof refused, "%s", name);
        return false;
    }
    effect_start[id] = effect_used;
    effect_length[id] = frames;
    effect_used += frames;
    return true;
}

// Renders a tune through a 32-bit scratch mix that lives only as long as the rendering.
void render_tune(MusicId id) {
    tune_tried[id] = true;
    const Tune* tune = music_tune(id);
    const int64_t frames = tune ? tune_frames(*tune, SOUND_RATE) : -1;
    if (frames <= 0)
        return;
    const size_t count = static_cast<size_t>(frames);
    int32_t* mix = static_cast<int32_t*>(std::calloc(count, sizeof(int32_t)));
    int16_t* samples = static_cast<int16_t*>(std::malloc(count * sizeof(int16_t)));
    if (mix && samples && tune_render(*tune, SOUND_RATE, mix, frames)) {
        synth_narrow(mix, samples, frames);
        tune_samples[id] = samples;
        platform_music_load(id, samples, frames, tune->loops ? 1 : 0);
    } else {
        std::free(samples);
    }
    std::free(mix);
}

// The tune asked for now first, then the rest in their order; one a call.
void render_next(MusicId wanted) {
    if (wanted != MUSIC_NONE && !tune_tried[wanted]) {
        render_tune(wanted);
        return;
    }
    for (MusicId id : RENDER_ORDER) {
        if (!tune_tried[id]) {
            render_tune(id);
            return;
        }
    }
}

}  // namespace

int sound_init() {
    for (int id = 0; id < SOUND_COUNT; ++id) {
        if (!read_effect(static_cast<SoundId>(id)))
            return 0;
    }
    audible = platform_audio_open(SOUND_RATE) != 0;
    for (int id = 0; id < SOUND_COUNT; ++id)
        platform_sound_load(id, effect_samples + effect_start[id], effect_length[id]);
    return 1;
}

const char* sound_refused() {
    return refused;
}

void sound_event(SoundId id) {
    if (id >= 0 && id < SOUND_COUNT)
        platform_play_sound(id);
}

void sound_update(MusicId music) {
    if (music != music_now) {
        music_now = music;
        platform_play_music(music);
    }
    // The first frame goes out at once; the tunes follow in the frames after it.
    if (audible && frames_shown > 0)
        render_next(music);
    ++frames_shown;
}

void sound_shutdown() {
    platform_audio_close();
    for (int16_t*& samples : tune_samples) {
        std::free(samples);
        samples = nullptr;
    }
    for (bool& tried : tune_tried)
        tried = false;
    effect_used = 0;
    for (int id = 0; id < SOUND_COUNT; ++id)
        effect_start[id] = effect_length[id] = 0;
    audible = false;
    music_now = MUSIC_NONE;
    frames_shown = 0;
    refused[0] = '\0';
}
