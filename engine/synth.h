// The synthesizer behind every effect and tune: square, triangle and noise notes with
// volume and pitch envelopes, vibrato and arpeggios. Integer maths only, so a note gives
// the same samples on every machine and compiler.
#pragma once
#include <cstdint>

enum SynthWave : uint8_t { WAVE_SQUARE, WAVE_TRIANGLE, WAVE_NOISE };

// How one instrument sounds. Times are in milliseconds, pitches in cents (1/100 semitone);
// fields left out are 0.
struct SynthPatch {
    SynthWave wave = WAVE_SQUARE;
    uint8_t duty = 0;      // square: sixteenths of the period spent high, 1-15 (0: 8)
    uint16_t level = 0;    // peak amplitude, of 32767
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

// Phase step per sample, of 2^32 per cycle, for a pitch in cents at rate samples a second.
uint32_t synth_phase_step(int pitch, int rate);
// Envelope level, of 65536, at sample n of a note held for gate samples.
int32_t synth_envelope(const SynthPatch& patch, int rate, int64_t n, int64_t gate);
// Samples a note held for gate samples lasts, its release included.
int64_t synth_note_length(const SynthPatch& patch, int rate, int64_t gate);
// Adds one note at pitch (cents), starting at sample start and held for gate samples, into
// mix[0, frames). With wrap, samples past the end go round to the front (looping tunes).
void synth_add_note(int32_t* mix, int64_t frames, int rate, const SynthPatch& patch, int pitch,
                    int64_t start, int64_t gate, bool wrap);
// Narrows a mix to 16 bits, clamping; returns the largest magnitude before clamping.
int32_t synth_narrow(const int32_t* mix, int16_t* out, int64_t frames);
