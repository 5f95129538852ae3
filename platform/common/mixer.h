// The sound mixer the desktop and browser backends share: eight voices of 16-bit PCM
// effects and one music stream, summed into 16-bit mono. It allocates nothing and holds
// no lock: it runs inside the audio callback, and the backend keeps the game thread's
// calls from overlapping a mix (SDL: by locking the audio device around them).
// The samples it plays are borrowed: they must outlive their playing.
#pragma once
#include <cstdint>

constexpr int MIXER_VOICES = 8;
constexpr int MIXER_UNITY = 256;        // volume 1: samples pass unchanged
constexpr int MIXER_FADE_SAMPLES = 64;  // a sound cut off early fades out over this many
constexpr int MIXER_CHUNK = 256;        // samples summed per pass of the mixing loop

struct MixerStream {
    const int16_t* samples;  // null when not playing
    int64_t length;
    int64_t position;  // next sample to play
    bool loops;
};

struct MixerVoice {
    MixerStream stream;
    uint32_t started;  // start order, for stealing the oldest voice
    int volume;        // of MIXER_UNITY
};

// A sound being cut off: it plays on for fade_left samples, falling from gain to nothing.
// One at a time: a second cut-off ends the first fade at once, a click quiet enough to keep.
struct MixerFade {
    MixerStream stream;
    int gain;  // of MIXER_UNITY, at the start of the fade
    int fade_left;
};

struct Mixer {
    MixerVoice voices[MIXER_VOICES];
    MixerStream music;
    MixerFade fade;
    uint32_t next_start;
    int master, effects_volume, music_volume;  // of MIXER_UNITY
    bool muted;                                // silent, while every sound plays on unheard
    bool paused;                               // silent, with every sound held where it is
    int32_t sum[MIXER_CHUNK];
};

// Back to silence: no sounds, every volume at MIXER_UNITY, neither muted nor paused.
void mixer_reset(Mixer& mixer);
// Starts a sound on a free voice, or else on the one started longest ago, which fades out.
// volume is of MIXER_UNITY. A sound started again before the next mix plays once, at the
// louder volume: two at the same sample would only sound louder, and could clip. Returns the
// voice, or -1 for an empty sound.
int mixer_play(Mixer& mixer, const int16_t* samples, int64_t length, int volume);
// Starts a music stream from its first sample (null stops the music). The stream playing
// already is left to go on. A stream that does not loop ends after its last sample.
void mixer_set_music(Mixer& mixer, const int16_t* samples, int64_t length, bool loops);
// Volumes of MIXER_UNITY, each held to [0, MIXER_UNITY].
void mixer_set_volumes(Mixer& mixer, int master, int effects, int music);
void mixer_set_muted(Mixer& mixer, bool muted);
void mixer_set_paused(Mixer& mixer, bool paused);
// Fills out with the next frames samples of the mix.
void mixer_mix(Mixer& mixer, int16_t* out, int frames);
// Voices playing now (the music and fades not counted).
int mixer_voices_playing(const Mixer& mixer);
