// The game's sounds: effects from their files, tunes as note data the audio renders, events
// and music handed to the platform's audio service.
#include "engine/sound.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "engine/sprite.h"
#include "engine/synth.h"
#include "engine/tunes.h"
#include "engine/wav.h"
#include "platform/file_read.h"
#include "platform/platform.h"

namespace {

// Room for every effect's samples: about 24 seconds, a little over what they need.
constexpr int64_t EFFECT_SAMPLES_MAX = int64_t{1} << 20;
// The screen the positions are on, and the widest pan a position gives.
constexpr int SCREEN_WIDTH = 640;
constexpr int PAN_MAX = 60;

// A tune's player fits the audio's room, with some to spare for a backend that keeps a note of
// its own beside it (the headless recording does).
static_assert(sizeof(TunePlayer) <= PLATFORM_MUSIC_STATE - 256);

// Every effect's samples, one after the other, and where each variant starts and how long
// it is.
int16_t effect_samples[EFFECT_SAMPLES_MAX];
int64_t effect_used;
int64_t effect_start[SOUND_COUNT][SOUND_VARIANTS_MAX];
int64_t effect_length[SOUND_COUNT][SOUND_VARIANTS_MAX];
// The variant each effect plays next.
int next_variant[SOUND_COUNT];
// The tune asked for last.
MusicId music_now = MUSIC_NONE;
// Whether events and tunes are held back (sound_set_quiet), and the tune the platform was
// last asked for, which differs from music_now after quiet passes or a restore.
bool quiet;
MusicId music_heard = MUSIC_NONE;
// The file name of the first sound file refused, and why.
char refused[64];
char refused_why[128];

// What the audio plays a tune with: a player in the audio's room, rendering at the game's
// rate, narrowed to 16 bits a piece at a time.
void music_start(void* state, const void* data) {
    auto* player = new (state) TunePlayer;
    tune_player_start(player, *static_cast<const Tune*>(data), SOUND_RATE);
}

int music_render(void* state, int16_t* out, int frames) {
    constexpr int PIECE = 256;
    int32_t mix[2 * PIECE];
    int done = 0;
    while (done < frames) {
        const int asked = std::min(PIECE, frames - done);
        const int got = tune_player_render(static_cast<TunePlayer*>(state), mix, asked);
        synth_narrow(mix, out + 2 * static_cast<int64_t>(done), 2 * static_cast<int64_t>(got));
        done += got;
        if (got < asked)
            break;
    }
    return done;
}

// The tunes as the platform's audio sees them; their data is constant, so they live as long
// as the program.
PlatformMusic tune_music[MUSIC_COUNT];

// Keeps the first file refused and why; false.
bool refuse(const char* name, const char* why) {
    if (refused[0] == '\0') {
        std::snprintf(refused, sizeof refused, "%s", name);
        std::snprintf(refused_why, sizeof refused_why, "%s", why);
    }
    return false;
}

// Reads sounds/NAME.wav (or NAME-V.wav for a later variant) into the effects' store; false,
// with the reason kept, when the file is missing, not 16-bit mono PCM at the game's rate,
// empty, or larger than the room left.
bool read_effect(SoundId id, int variant) {
    char stem[48], name[sizeof refused];
    sound_file_stem(id, variant, stem, sizeof stem);
    std::snprintf(name, sizeof name, "sounds/%s.wav", stem);
    const int64_t room = EFFECT_SAMPLES_MAX - effect_used;
    // A regular file only (a FIFO or a device would block or never end), and one longer than
    // the room left cannot fit: it is not read at all.
    int64_t size = 0;
    char why[sizeof refused_why - 32];
    const int fd = file_open_input(name, &size, why, sizeof why);
    if (fd < 0) {
        char reason[sizeof refused_why];
        std::snprintf(reason, sizeof reason, "cannot be opened (%s)", why);
        return refuse(name, reason);
    }
    const char* wrong = nullptr;
    uint8_t* bytes = nullptr;
    WavInfo info{};
    if (size == 0) {
        wrong = "is empty";
    } else if (static_cast<uint64_t>(size) > wav_file_size(room) + 4096) {
        wrong = "is larger than any sound the game has room for";
    } else if ((bytes = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(size)))) == nullptr) {
        wrong = "cannot be read (out of memory)";
    } else if (read(fd, bytes, static_cast<size_t>(size)) != size) {
        wrong = "cannot be read to its end";
    } else if (!wav_parse(bytes, static_cast<size_t>(size), &info)) {
        wrong = "is not a 16-bit mono PCM WAVE file";
    } else if (info.frames == 0) {
        wrong = "holds no sound";
    } else if (info.frames > room) {
        wrong = "is longer than the room the game keeps for its sounds";
    } else if (info.rate != SOUND_RATE) {
        std::snprintf(why, sizeof why, "is at %d samples a second, not %d", info.rate, SOUND_RATE);
        wrong = why;
    }
    close(fd);
    if (wrong == nullptr) {
        static_cast<void>(wav_read(bytes, static_cast<size_t>(size), effect_samples + effect_used,
                                   room, nullptr));
    }
    std::free(bytes);
    if (wrong != nullptr)
        return refuse(name, wrong);
    effect_start[id][variant] = effect_used;
    effect_length[id][variant] = info.frames;
    effect_used += info.frames;
    return true;
}

// The turn of the variants goes on unheard too: it is the game's, and a pass run again must
// leave it as the pass did.
void play(SoundId id, int pan) {
    if (id < 0 || id >= SOUND_COUNT)
        return;
    const int variant = next_variant[id];
    next_variant[id] = (variant + 1) % sound_variants(id);
    if (!quiet)
        platform_play_sound(id, variant, pan);
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

int variants_allowed(const void* saved) {
    int variants[SOUND_COUNT];
    std::memcpy(variants, saved, sizeof variants);
    for (int id = 0; id < SOUND_COUNT; ++id) {
        if (variants[id] < 0 || variants[id] >= sound_variants(id))
            return 0;
    }
    return 1;
}

const StateBlock state_blocks[] = {
    {"sound.cpp:music_now", STATE_BYTES, &music_now, sizeof music_now, music_allowed,
     ask_for_music},
    {"sound.cpp:next_variant", STATE_BYTES, next_variant, sizeof next_variant, variants_allowed},
};

}  // namespace

const StateBlockList sound_state = {state_blocks, 2};

int sound_init() {
    for (int id = 0; id < SOUND_COUNT; ++id) {
        for (int variant = 0; variant < sound_variants(id); ++variant) {
            if (!read_effect(static_cast<SoundId>(id), variant))
                return 0;
        }
    }
    platform_audio_open(SOUND_RATE);
    for (int id = 0; id < SOUND_COUNT; ++id) {
        for (int variant = 0; variant < sound_variants(id); ++variant) {
            platform_sound_load(id, variant, effect_samples + effect_start[id][variant],
                                effect_length[id][variant]);
        }
    }
    for (int id = MUSIC_NONE + 1; id < MUSIC_COUNT; ++id) {
        tune_music[id] = {music_start, music_render, music_tune(static_cast<MusicId>(id))};
        platform_music_load(id, &tune_music[id]);
    }
    return 1;
}

const char* sound_refused() {
    return refused;
}

const char* sound_refused_why() {
    return refused_why;
}

int sound_pan_at(int x) {
    const int from_centre = std::clamp(x, 0, SCREEN_WIDTH) - SCREEN_WIDTH / 2;
    return from_centre * PAN_MAX / (SCREEN_WIDTH / 2);
}

void sound_event(SoundId id) {
    play(id, 0);
}

void sound_event_from(SoundId id, const SpriteObject* source) {
    if (!source) {
        play(id, 0);
        return;
    }
    // Held to a range an int takes, wherever the sprite has flown off to.
    const float x = std::clamp(source->x, -1e6f, 1e6f);
    play(id, sound_pan_at(static_cast<int>(x) + source->width / 2));
}

void sound_update(MusicId music) {
    if (music != music_now) {
        music_now = music;
        if (!quiet) {
            music_heard = music;
            platform_play_music(music);
        }
    }
}

void sound_set_quiet(int on) {
    quiet = on != 0;
    ask_for_music();
}

void sound_shutdown() {
    platform_audio_close();
    effect_used = 0;
    for (int id = 0; id < SOUND_COUNT; ++id) {
        next_variant[id] = 0;
        for (int variant = 0; variant < SOUND_VARIANTS_MAX; ++variant)
            effect_start[id][variant] = effect_length[id][variant] = 0;
    }
    music_now = music_heard = MUSIC_NONE;
    quiet = false;
    refused[0] = '\0';
    refused_why[0] = '\0';
}
