// The audio the desktop and browser backends play, and the headless one records on request:
// the game's effects and tunes by number, the tune asked for, the player's volumes and mute,
// and the mixer they all go through. The backend keeps calls from overlapping a mix.
#pragma once
#include <cstdint>

#include "platform/common/mixer.h"
#include "platform/platform.h"

// Effect and tune numbers the game may give, and variants of an effect.
constexpr int AUDIO_IDS = 64;
constexpr int AUDIO_VARIANTS = 4;

struct AudioOut {
    struct Effect {
        const int16_t* samples;
        int64_t length;
    };
    Effect effects[AUDIO_IDS][AUDIO_VARIANTS];
    const PlatformMusic* tunes[AUDIO_IDS];
    int music_asked;                   // 0: none
    int effects_volume, music_volume;  // percent
    bool muted;
    Mixer mixer;
};

// Forgets every sound: silence at rate frames a second, both volumes at 100 %, not muted.
void audio_out_reset(AudioOut& audio, int rate);
void audio_out_sound_load(AudioOut& audio, int id, int variant, const int16_t* samples,
                          int64_t length);
// A tune that was asked for before it came starts now.
void audio_out_music_load(AudioOut& audio, int id, const PlatformMusic* music);
// Starts an effect (1), or does nothing for one it does not have (0).
int audio_out_play_sound(AudioOut& audio, int id, int variant, int pan);
// Starts tune id (0: none), the one before it fading out; 1 when a tune it has starts.
int audio_out_play_music(AudioOut& audio, int id);
// What the player chose: the effects' and the music's volumes in percent (held to 0-100),
// and whether the sound is off. The mix follows at once.
void audio_out_set_levels(AudioOut& audio, int effects_percent, int music_percent, bool muted);
// The next frames pairs of left and right samples.
void audio_out_mix(AudioOut& audio, int16_t* out, int frames);
