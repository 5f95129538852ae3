// The sound mixer the backends share: eight voices of 16-bit mono effects, each placed
// between the speakers, and the music, which the mixer renders as it goes; summed into
// 16-bit stereo through a look-ahead limiter that keeps every sample within MIXER_CEILING
// however many sounds meet. A change of tune fades the old one out and the new one in. It
// allocates nothing and holds no lock: it runs inside the audio callback, and the backend
// keeps the game thread's calls from overlapping a mix (SDL: by locking the audio device
// around them). The samples and tunes it plays are borrowed: they must outlive their playing.
#pragma once
#include <cstddef>
#include <cstdint>

#include "platform/platform.h"

constexpr int MIXER_VOICES = 8;
constexpr int MIXER_UNITY = 256;        // volume 1: samples pass unchanged
constexpr int MIXER_FADE_SAMPLES = 64;  // an effect cut off early fades out over this many
constexpr int MIXER_CHUNK = 256;        // frames summed per pass of the mixing loop
constexpr int MIXER_PAN_MAX = 100;      // pans run from -100 (left) to 100 (right)
// A change of tune: the old one fades out, and the new one in, over this long.
constexpr int MIXER_MUSIC_FADE_MS = 200;
constexpr int MIXER_MUSIC_SLOTS = 2;  // the tune playing and the one fading out
// No output sample goes past this (-1.5 dBFS): the limiter turns the mix down, smoothly and
// ahead of time, where it would. It delays the mix by MIXER_LOOKAHEAD - 1 frames (1.4 ms at
// 44.1 kHz) to see that far ahead, and lets go again over about a tenth of a second.
constexpr int MIXER_CEILING = 27500;
constexpr int MIXER_LOOKAHEAD = 64;

struct MixerStream {
    const int16_t* samples;  // null when not playing
    int64_t length;
    int64_t position;  // next sample to play
};

struct MixerVoice {
    MixerStream stream;
    uint32_t started;  // start order, for stealing the oldest voice
    int volume;        // of MIXER_UNITY
    int pan;
};

// An effect being cut off: it plays on for fade_left samples, falling from its gains to
// nothing. One at a time: a second cut-off ends the first fade at once, a click quiet enough
// to keep.
struct MixerFade {
    MixerStream stream;
    int gain_left, gain_right;  // of 4096, at the start of the fade
    int fade_left;
};

// A tune playing or fading: the mixer renders it into its state as it goes.
struct MixerMusic {
    const PlatformMusic* music;  // null when the slot is free
    int32_t gain, target;        // of 2^24; the gain moves towards the target
    alignas(std::max_align_t) unsigned char state[PLATFORM_MUSIC_STATE];
};

// The limiter: the gain each frame needs to stay within the ceiling, the least of them over
// the look-ahead (a queue of rising needs), that least eased back up after a peak, and then
// averaged over the look-ahead, so the gain is already down when a peak comes out of the
// delay. Gains are of 65536.
struct MixerLimiter {
    int32_t delay[2 * MIXER_LOOKAHEAD];  // the last frames in, left and right, a ring
    int64_t queue_frame[MIXER_LOOKAHEAD];
    int32_t queue_need[MIXER_LOOKAHEAD];
    int queue_head, queue_count;
    int32_t eased;
    int32_t eased_ring[MIXER_LOOKAHEAD];
    int64_t eased_sum;
    int64_t frame;    // frames through it
    int64_t limited;  // frames it turned down, for diagnostics
};

struct Mixer {
    MixerVoice voices[MIXER_VOICES];
    MixerFade fade;
    MixerMusic music[MIXER_MUSIC_SLOTS];
    int32_t music_fade_step;  // of 2^24 a frame
    uint32_t next_start;
    int master, effects_volume, music_volume;  // of MIXER_UNITY
    bool muted;                                // silent, while every sound plays on unheard
    bool paused;                               // silent, with every sound held where it is
    MixerLimiter limiter;
    int64_t sum[2 * MIXER_CHUNK];
    int16_t music_piece[2 * MIXER_CHUNK];
};

// Back to silence at rate frames a second: no sounds, every volume at MIXER_UNITY, neither
// muted nor paused.
void mixer_reset(Mixer& mixer, int rate);
// Starts a sound on a free voice, or else on the one started longest ago, which fades out.
// volume is of MIXER_UNITY, pan from -MIXER_PAN_MAX to MIXER_PAN_MAX (held there); the power
// stays the same wherever a sound is placed. A sound started again before the next mix
// plays once, at the louder volume: two at the same sample would only sound louder. Returns
// the voice, or -1 for an empty sound.
int mixer_play(Mixer& mixer, const int16_t* samples, int64_t length, int volume, int pan);
// Starts a tune from its beginning (null: no music), fading the one playing out; the tune
// playing already goes on (and one fading out comes back). A tune that does not loop ends
// after its last sample.
void mixer_set_music(Mixer& mixer, const PlatformMusic* music);
// Volumes of MIXER_UNITY, each held to [0, MIXER_UNITY].
void mixer_set_volumes(Mixer& mixer, int master, int effects, int music);
void mixer_set_muted(Mixer& mixer, bool muted);
void mixer_set_paused(Mixer& mixer, bool paused);
// Fills out with the next frames pairs of left and right samples.
void mixer_mix(Mixer& mixer, int16_t* out, int frames);
// Voices playing now (the music and fades not counted).
int mixer_voices_playing(const Mixer& mixer);
// Whether a tune plays now, not counting one fading out.
bool mixer_music_playing(const Mixer& mixer);
