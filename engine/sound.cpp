// The game's sounds: effects from their files, tunes from their note data, events and music
// handed to the platform's audio service.
#include "engine/sound.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/synth.h"
#include "engine/tunes.h"
#include "engine/wav.h"
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
// Whether events and tunes are held back (sound_set_quiet), and the tune the platform was
// last asked for, which differs from music_now after quiet passes or a restore.
bool quiet;
MusicId music_heard = MUSIC_NONE;
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
    if (std::FILE* file = std::fopen(name, "rb")) {
        long size = -1;
        if (std::fseek(file, 0, SEEK_END) == 0)
            size = std::ftell(file);
        std::rewind(file);
        // A file longer than the room left cannot fit; it is not read at all.
        if (size > 0 && static_cast<size_t>(size) <= wav_file_size(room) + 4096) {
            uint8_t* bytes = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(size)));
            if (bytes && std::fread(bytes, 1, static_cast<size_t>(size), file) ==
                             static_cast<size_t>(size)) {
                frames = wav_read(bytes, static_cast<size_t>(size), effect_samples + effect_used,
                                  room, &rate);
            }
            std::free(bytes);
        }
        std::fclose(file);
    }
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

// After quiet passes or a restore: the tune the game asks for, when the platform was asked
// for another.
void ask_for_music() {
    if (!quiet && music_heard != music_now) {
        music_heard = music_now;
        platform_play_music(music_now);
    }
}

int music_allowed(const void* saved) {
    int id;
    std::memcpy(&id, saved, sizeof id);
    return id >= MUSIC_NONE && id < MUSIC_COUNT;
}

const StateBlock state_blocks[] = {
    {"sound.cpp:music_now", STATE_BYTES, &music_now, sizeof music_now, music_allowed,
     ask_for_music},
};

}  // namespace

const StateBlockList sound_state = {state_blocks, 1};

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
    if (id >= 0 && id < SOUND_COUNT && !quiet)
        platform_play_sound(id);
}

void sound_update(MusicId music) {
    if (music != music_now) {
        music_now = music;
        if (!quiet) {
            music_heard = music;
            platform_play_music(music);
        }
    }
    // The first frame goes out at once; the tunes follow in the frames after it.
    if (audible && frames_shown > 0)
        render_next(music);
    ++frames_shown;
}

void sound_set_quiet(int on) {
    quiet = on != 0;
    ask_for_music();
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
    music_now = music_heard = MUSIC_NONE;
    quiet = false;
    frames_shown = 0;
    refused[0] = '\0';
}
