// The synthesizer behind every effect and tune: pulse, triangle and noise notes with volume
// and pitch envelopes, vibrato and arpeggios, played by voices that can stop after any sample
// and go on later (the music is rendered while it plays). Integer maths only, so a note gives
// the same samples on every machine and compiler.
#pragma once
#include <cstdint>

enum SynthWave : uint8_t { WAVE_SQUARE, WAVE_TRIANGLE, WAVE_NOISE };

// How one instrument sounds. Times are in milliseconds, pitches in cents (1/100 semitone);
// fields left out are 0.
struct SynthPatch {
    SynthWave wave = WAVE_SQUARE;
    uint8_t duty = 0;      // square: sixteenths of the period spent high, 1-15 (0: 8)
    uint16_t level = 0;    // amplitude, of 32767: a square of duty 8 swings this far either way
    uint16_t attack = 0;   // rise from silence to the peak
    uint16_t decay = 0;    // fall from the peak to the sustain level
    uint8_t sustain = 0;   // level held until the note is let go, of 255
    uint8_t gate = 0;      // percent of a tracked note's length before it is let go (0 means 100)
    uint16_t release = 0;  // fall to silence after the note is let go
    int32_t slide = 0;     // pitch glide, cents per second
    int16_t detune = 0;    // cents added to every note
    uint16_t vibrato = 0;  // depth, cents either side
    uint16_t vibrato_time = 0;  // one vibrato cycle
    uint16_t arp_time = 0;      // time on each arpeggio step (0: no arpeggio)
    int8_t arp[4]{};            // semitones over the note, cycled; unused steps are 0
    uint8_t arp_steps = 0;
};

// Lowest and highest pitch a note can reach (cents over the lowest MIDI note, 8.18 Hz):
// pitches glide and wobble inside this range.
constexpr int SYNTH_PITCH_MIN = 0;
constexpr int SYNTH_PITCH_MAX = 12000;
// Pitch, vibrato and the envelope's corners are worked out every this many samples; the
// envelope runs straight between them. Under a millisecond at the game's rate: no ear
// hears the steps, and the samples between cost a multiply each.
constexpr int SYNTH_CONTROL = 32;
// The loudest a note may be asked for (percent of its patch's level), and the widest pan.
constexpr int SYNTH_VELOCITY_MAX = 100;
constexpr int SYNTH_PAN_MAX = 100;

// One note sounding: plain data, so that whatever holds voices copies as bytes.
struct SynthVoice {
    const SynthPatch* patch;        // null: the voice is free
    int pitch;                      // cents
    int64_t n;                      // samples played so far
    int64_t gate, length;           // samples held, and in all with the release
    int32_t gain_left, gain_right;  // of 32768: level, velocity and pan together
    uint32_t phase, step;           // of 2^32 a cycle
    int table;                      // the band-limited table for the pitch now
    int32_t env, env_step;          // envelope (of 65536) now, and its change a sample
    uint64_t noise_clock;
    uint32_t noise;
};

// Phase step per sample, of 2^32 per cycle, for a pitch in cents at rate samples a second.
uint32_t synth_phase_step(int pitch, int rate);
// Envelope level, of 65536, at sample n of a note held for gate samples.
int32_t synth_envelope(const SynthPatch& patch, int rate, int64_t n, int64_t gate);
// Samples a note held for gate samples lasts, its release included.
int64_t synth_note_length(const SynthPatch& patch, int rate, int64_t gate);
// Readies a voice for one note: pitch in cents, held for gate samples, velocity of
// SYNTH_VELOCITY_MAX, pan from -SYNTH_PAN_MAX (left) to SYNTH_PAN_MAX (right), the power kept
// as it moves (the centre plays the patch's level on both sides). The patch is borrowed.
void synth_voice_start(SynthVoice* voice, const SynthPatch* patch, int pitch, int64_t gate,
                       int velocity, int pan, int rate);
// Adds the voice's next samples into mix, frames pairs of left and right; returns how many it
// played: fewer once the note is over, and the voice is then free.
int synth_voice_add(SynthVoice* voice, int32_t* mix, int frames, int rate);
// The gains, of 32768, that place a sound at pan (as synth_voice_start does).
void synth_pan_gains(int pan, int32_t* left, int32_t* right);
// Narrows a mix to 16 bits, clamping; returns the largest magnitude before clamping.
int32_t synth_narrow(const int32_t* mix, int16_t* out, int64_t count);
