// The synthesizer: one note at a time, added into a 32-bit mix.
#include "engine/synth.h"

#include <algorithm>

namespace {

// 8.1758 Hz (the lowest MIDI note) as a phase step at one sample a second, of 2^32 per cycle.
constexpr uint64_t PHASE_STEP_AT_1HZ_RATE = 35114788961ull;

// 2^(f / 65536) for f in [0, 65536), of 65536: a cubic within 0.2 cents, in integers so
// that every build tunes alike.
uint64_t exp2_fraction(uint64_t f) {
    uint64_t t = 5206;
    t = 14712 + (t * f >> 16);
    t = 45617 + (t * f >> 16);
    return 65536 + (t * f >> 16);
}

int64_t ms_to_samples(int ms, int rate) {
    return static_cast<int64_t>(ms) * rate / 1000;
}

// The level while held, before any release.
int32_t held_level(const SynthPatch& p, int rate, int64_t n) {
    const int64_t attack = ms_to_samples(p.attack, rate);
    const int64_t decay = ms_to_samples(p.decay, rate);
    const int64_t sustain = p.sustain * 65536 / 255;
    if (n < attack)
        return static_cast<int32_t>(n * 65536 / attack);
    if (n < attack + decay)
        return static_cast<int32_t>(65536 - (65536 - sustain) * (n - attack) / decay);
    return static_cast<int32_t>(sustain);
}

// Triangle between -depth and depth, starting at 0 and rising.
int vibrato_offset(const SynthPatch& p, int rate, int64_t n) {
    const int64_t period = ms_to_samples(p.vibrato_time, rate);
    if (p.vibrato == 0 || period < 4)
        return 0;
    const int64_t q = (n + period / 4) % period;
    const int64_t depth = p.vibrato;
    if (q < period / 2)
        return static_cast<int>(-depth + 4 * depth * q / period);
    return static_cast<int>(3 * depth - 4 * depth * q / period);
}

int arpeggio_offset(const SynthPatch& p, int rate, int64_t n) {
    const int64_t step = ms_to_samples(p.arp_time, rate);
    if (step <= 0 || p.arp_steps == 0)
        return 0;
    const int steps = std::min<int>(p.arp_steps, 4);
    return p.arp[(n / step) % steps] * 100;
}

// The correction, of 32768, that rounds off a square's jump from -1 to +1 at phase 0 over
// the step either side of it (a polynomial band-limited step). Without it the jumps fold
// harmonics above half the rate back into the audible range as whistles that move
// against the pitch.
int32_t edge_correction(uint32_t phase, uint32_t step) {
    if (step == 0)
        return 0;
    if (phase < step) {
        const int64_t x = (static_cast<int64_t>(phase) << 15) / step;
        return static_cast<int32_t>(2 * x - (x * x >> 15) - 32768);
    }
    const uint32_t before = 0u - phase;  // distance to the next jump
    if (before <= step) {
        const int64_t x = -((static_cast<int64_t>(before) << 15) / step);
        return static_cast<int32_t>((x * x >> 15) + 2 * x + 32768);
    }
    return 0;
}

int32_t square_wave(uint32_t phase, uint32_t step, uint32_t duty) {
    const uint32_t fall = duty << 28;
    const int32_t v = (phase < fall ? 32767 : -32767) + edge_correction(phase, step) -
                      edge_correction(phase - fall, step);
    return std::clamp(v, -32767, 32767);
}

}  // namespace

uint32_t synth_phase_step(int pitch, int rate) {
    pitch = std::clamp(pitch, SYNTH_PITCH_MIN, SYNTH_PITCH_MAX);
    const uint64_t octave = static_cast<uint64_t>(pitch / 1200);
    const uint64_t fraction = static_cast<uint64_t>(pitch % 1200) * 65536 / 1200;
    const uint64_t step =
        ((PHASE_STEP_AT_1HZ_RATE * exp2_fraction(fraction)) >> 16 << octave) / rate;
    // Above half the rate a wave only aliases; hold it there.
    return static_cast<uint32_t>(std::min<uint64_t>(step, 0x7FFFFFFF));
}

int32_t synth_envelope(const SynthPatch& patch, int rate, int64_t n, int64_t gate) {
    if (n < 0)
        return 0;
    if (n < gate)
        return held_level(patch, rate, n);
    const int64_t release = ms_to_samples(patch.release, rate);
    if (n >= gate + release)
        return 0;
    return static_cast<int32_t>(held_level(patch, rate, gate) * (gate + release - n) / release);
}

int64_t synth_note_length(const SynthPatch& patch, int rate, int64_t gate) {
    return gate + ms_to_samples(patch.release, rate);
}

void synth_add_note(int32_t* mix, int64_t frames, int rate, const SynthPatch& patch, int pitch,
                    int64_t start, int64_t gate, bool wrap) {
    if (frames <= 0 || gate <= 0 || start < 0 || rate <= 0)
        return;
    const int64_t length = synth_note_length(patch, rate, gate);
    const uint32_t duty = patch.duty == 0 ? 8 : std::min<uint32_t>(patch.duty, 15);
    uint32_t phase = 0;
    uint64_t noise_clock = 0;
    uint32_t noise = 0x5A5A;  // any non-zero 15-bit seed; the same for every note
    int last_cents = -1;
    uint32_t step = 0;
    for (int64_t n = 0; n < length; ++n) {
        int64_t at = start + n;
        if (at >= frames) {
            if (!wrap)
                break;
            at %= frames;
        }
        const int64_t cents64 = pitch + patch.detune + arpeggio_offset(patch, rate, n) +
                                vibrato_offset(patch, rate, n) + patch.slide * n / rate;
        const int cents =
            static_cast<int>(std::clamp<int64_t>(cents64, SYNTH_PITCH_MIN, SYNTH_PITCH_MAX));
        if (cents != last_cents) {
            step = synth_phase_step(cents, rate);
            last_cents = cents;
        }
        int32_t wave = 0;
        switch (patch.wave) {
            case WAVE_SQUARE:
                wave = square_wave(phase, step, duty);
                break;
            case WAVE_TRIANGLE: {
                const int32_t t = static_cast<int32_t>(phase >> 16);
                wave = t < 32768 ? 2 * t - 32767 : 98303 - 2 * t;
                break;
            }
            case WAVE_NOISE:
                // The noise register moves sixteen times per period of the note's pitch.
                noise_clock += static_cast<uint64_t>(step) << 4;
                while (noise_clock >= (1ull << 32)) {
                    noise_clock -= 1ull << 32;
                    const uint32_t bit = (noise ^ (noise >> 1)) & 1;
                    noise = (noise >> 1) | (bit << 14);
                }
                wave = (noise & 1) ? 32767 : -32767;
                break;
        }
        const int64_t env = synth_envelope(patch, rate, n, gate);
        mix[at] += static_cast<int32_t>(static_cast<int64_t>(wave) * patch.level * env >> 31);
        phase += step;
    }
}

int32_t synth_narrow(const int32_t* mix, int16_t* out, int64_t frames) {
    int32_t peak = 0;
    for (int64_t i = 0; i < frames; ++i) {
        const int32_t v = mix[i];
        peak = std::max(peak, v < 0 ? -v : v);
        out[i] = static_cast<int16_t>(std::clamp(v, -32768, 32767));
    }
    return peak;
}
