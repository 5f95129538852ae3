// The synthesizer: band-limited waves from tables, one voice a note, added into a 32-bit
// stereo mix.
#include "engine/synth.h"

#include <algorithm>

namespace {

// 8.1758 Hz (the lowest MIDI note) as a phase step at one sample a second, of 2^32 per cycle.
constexpr uint64_t PHASE_STEP_AT_1HZ_RATE = 35114788961ull;

// The waves come from tables of one cycle, read with straight lines between entries.
constexpr int TABLE_BITS = 11;
constexpr int TABLE_SIZE = 1 << TABLE_BITS;
constexpr int FRACTION_BITS = 32 - TABLE_BITS;
// Each table holds the harmonics up to its count, half an octave apart: a note reads the
// richest whose harmonics all stay under CUTOFF, so none folds back below half the rate as
// a whistle that moves against the pitch.
constexpr int TABLE_HARMONICS[] = {1023, 723, 511, 361, 255, 180, 127, 90, 63, 45,
                                   31,   22,  15,  11,  7,   5,   3,   2,  1};
constexpr int TABLES = sizeof TABLE_HARMONICS / sizeof TABLE_HARMONICS[0];
// 0.45 of the rate, of 2^32: 19.8 kHz at 44.1 kHz.
constexpr uint64_t CUTOFF = 1932735283;
// A sawtooth of these many units makes a square of duty 8 swing 32767 either way (2/pi of
// 32767), and a triangle's harmonics these many (8/pi^2 of 32767).
constexpr int64_t SAW_UNITS = 20860;
constexpr int64_t TRIANGLE_UNITS = 26561;
// sin(x) of 2^24 over a quarter cycle; pi/2 of 2^30.
constexpr int SINE_BITS = 24;
constexpr int64_t HALF_PI_Q30 = 1686629713;

struct Waves {
    int32_t sine[TABLE_SIZE + 1];  // of 2^24
    // A falling sawtooth (two make a pulse of any duty, with no DC) and a triangle, for
    // every harmonic count; one more entry closes each cycle.
    int32_t saw[TABLES][TABLE_SIZE + 1];
    int32_t triangle[TABLES][TABLE_SIZE + 1];
};

// sin(q quarter-table steps) of 2^30, q from 0 to TABLE_SIZE / 4, by its Taylor series.
int64_t quarter_sine(int q) {
    const int64_t x = q * HALF_PI_Q30 / (TABLE_SIZE / 4);
    const int64_t x2 = x * x >> 30;
    int64_t term = x, sum = x;
    for (int k = 1; k <= 9; ++k) {
        term = -(term * x2 >> 30) / ((2 * k) * (2 * k + 1));
        sum += term;
    }
    return sum;
}

void build(Waves& w) {
    constexpr int quarter = TABLE_SIZE / 4;
    for (int i = 0; i <= quarter; ++i) {
        const int32_t s = static_cast<int32_t>((quarter_sine(i) + 32) >> (30 - SINE_BITS));
        w.sine[i] = w.sine[2 * quarter - i] = s;
        w.sine[(2 * quarter + i) % TABLE_SIZE] = -s;
        w.sine[(4 * quarter - i) % TABLE_SIZE] = -s;
    }
    w.sine[TABLE_SIZE] = w.sine[0];
    // The sums grow a harmonic at a time; each table is taken when its count is reached.
    static int64_t saw[TABLE_SIZE], triangle[TABLE_SIZE];
    std::fill(saw, saw + TABLE_SIZE, 0);
    std::fill(triangle, triangle + TABLE_SIZE, 0);
    int table = TABLES - 1;
    for (int h = 1; table >= 0; ++h) {
        const int64_t saw_gain = (SAW_UNITS << 20) / h;
        const int64_t triangle_gain =
            h % 2 == 0 ? 0 : (h % 4 == 1 ? 1 : -1) * (TRIANGLE_UNITS << 20) / (int64_t{h} * h);
        for (int i = 0; i < TABLE_SIZE; ++i) {
            const int64_t s = w.sine[(h * i) & (TABLE_SIZE - 1)];
            saw[i] += s * saw_gain;
            triangle[i] += s * triangle_gain;
        }
        for (; table >= 0 && TABLE_HARMONICS[table] == h; --table) {
            constexpr int shift = SINE_BITS + 20;
            for (int i = 0; i < TABLE_SIZE; ++i) {
                w.saw[table][i] =
                    static_cast<int32_t>((saw[i] + (int64_t{1} << (shift - 1))) >> shift);
                w.triangle[table][i] =
                    static_cast<int32_t>((triangle[i] + (int64_t{1} << (shift - 1))) >> shift);
            }
            w.saw[table][TABLE_SIZE] = w.saw[table][0];
            w.triangle[table][TABLE_SIZE] = w.triangle[table][0];
        }
    }
}

// Built on first use, once, whichever thread comes first.
const Waves& waves() {
    static Waves w;
    static const bool built = (build(w), true);
    static_cast<void>(built);
    return w;
}

int table_for(uint32_t step) {
    const uint64_t allowed = step == 0 ? CUTOFF : CUTOFF / step;
    for (int k = 0; k < TABLES; ++k) {
        if (TABLE_HARMONICS[k] <= static_cast<int64_t>(allowed))
            return k;
    }
    return TABLES - 1;
}

int32_t lookup(const int32_t* table, uint32_t phase) {
    const uint32_t i = phase >> FRACTION_BITS;
    const int64_t f = (phase >> (FRACTION_BITS - 15)) & 0x7FFF;
    return table[i] + static_cast<int32_t>((table[i + 1] - table[i]) * f >> 15);
}

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

// At a control point: the pitch and its table, and the envelope's line to the next point.
void control(SynthVoice* v, int rate) {
    const SynthPatch& p = *v->patch;
    const int64_t cents = v->pitch + p.detune + arpeggio_offset(p, rate, v->n) +
                          vibrato_offset(p, rate, v->n) + p.slide * v->n / rate;
    v->step = synth_phase_step(
        static_cast<int>(std::clamp<int64_t>(cents, SYNTH_PITCH_MIN, SYNTH_PITCH_MAX)), rate);
    v->table = table_for(v->step);
    const int64_t next = std::min(v->n + SYNTH_CONTROL, v->length);
    v->env = synth_envelope(p, rate, v->n, v->gate);
    v->env_step =
        static_cast<int32_t>((synth_envelope(p, rate, next, v->gate) - v->env) / (next - v->n));
}

// Adds one sample of wave w at the voice's envelope and gains, and moves the envelope on.
inline void put(SynthVoice* v, int32_t* out, int32_t w) {
    const int64_t a = static_cast<int64_t>(w) * v->env >> 16;
    out[0] += static_cast<int32_t>(a * v->gain_left >> 15);
    out[1] += static_cast<int32_t>(a * v->gain_right >> 15);
    v->env += v->env_step;
}

void run(SynthVoice* v, int32_t* out, int count) {
    const Waves& w = waves();
    switch (v->patch->wave) {
        case WAVE_SQUARE: {
            const int32_t* saw = w.saw[v->table];
            const uint32_t duty = v->patch->duty == 0 ? 8 : std::min<uint32_t>(v->patch->duty, 15);
            const uint32_t offset = duty << 28;
            for (int i = 0; i < count; ++i, out += 2) {
                put(v, out, lookup(saw, v->phase) - lookup(saw, v->phase - offset));
                v->phase += v->step;
            }
            break;
        }
        case WAVE_TRIANGLE: {
            const int32_t* triangle = w.triangle[v->table];
            for (int i = 0; i < count; ++i, out += 2) {
                put(v, out, lookup(triangle, v->phase));
                v->phase += v->step;
            }
            break;
        }
        case WAVE_NOISE:
            for (int i = 0; i < count; ++i, out += 2) {
                // The noise register moves sixteen times per period of the note's pitch.
                v->noise_clock += static_cast<uint64_t>(v->step) << 4;
                while (v->noise_clock >= (1ull << 32)) {
                    v->noise_clock -= 1ull << 32;
                    const uint32_t bit = (v->noise ^ (v->noise >> 1)) & 1;
                    v->noise = (v->noise >> 1) | (bit << 14);
                }
                put(v, out, (v->noise & 1) ? 32767 : -32767);
            }
            break;
    }
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

void synth_pan_gains(int pan, int32_t* left, int32_t* right) {
    // sqrt(2) times the cosine and sine of an angle from 0 (left) to a quarter turn (right).
    const int32_t* sine = waves().sine;
    const int at =
        (std::clamp(pan, -SYNTH_PAN_MAX, SYNTH_PAN_MAX) + SYNTH_PAN_MAX) * (TABLE_SIZE / 4);
    auto sine_at = [sine](int position) {
        const int i = position / (2 * SYNTH_PAN_MAX), f = position % (2 * SYNTH_PAN_MAX);
        return sine[i] + static_cast<int64_t>(sine[i + 1] - sine[i]) * f / (2 * SYNTH_PAN_MAX);
    };
    constexpr int64_t ROOT_TWO = 46341;  // of 32768
    *left = static_cast<int32_t>(
        (sine_at(TABLE_SIZE / 4 * 2 * SYNTH_PAN_MAX - at) * ROOT_TWO + (1 << 23)) >> SINE_BITS);
    *right = static_cast<int32_t>((sine_at(at) * ROOT_TWO + (1 << 23)) >> SINE_BITS);
}

void synth_voice_start(SynthVoice* voice, const SynthPatch* patch, int pitch, int64_t gate,
                       int velocity, int pan, int rate) {
    *voice = SynthVoice{};
    if (!patch || gate <= 0 || rate <= 0)
        return;
    voice->patch = patch;
    voice->pitch = pitch;
    voice->gate = gate;
    voice->length = synth_note_length(*patch, rate, gate);
    int32_t left, right;
    synth_pan_gains(pan, &left, &right);
    const int64_t amplitude =
        int64_t{patch->level} * std::clamp(velocity, 0, SYNTH_VELOCITY_MAX) / SYNTH_VELOCITY_MAX;
    voice->gain_left = static_cast<int32_t>(amplitude * left >> 15);
    voice->gain_right = static_cast<int32_t>(amplitude * right >> 15);
    voice->noise = 0x5A5A;  // any non-zero 15-bit seed; the same for every note
}

int synth_voice_add(SynthVoice* voice, int32_t* mix, int frames, int rate) {
    int done = 0;
    while (voice->patch && done < frames && voice->n < voice->length) {
        if (voice->n % SYNTH_CONTROL == 0)
            control(voice, rate);
        const int64_t boundary =
            std::min((voice->n / SYNTH_CONTROL + 1) * SYNTH_CONTROL, voice->length);
        const int count = static_cast<int>(std::min<int64_t>(frames - done, boundary - voice->n));
        run(voice, mix + 2 * static_cast<int64_t>(done), count);
        voice->n += count;
        done += count;
    }
    if (voice->patch && voice->n >= voice->length)
        voice->patch = nullptr;
    return done;
}

int32_t synth_narrow(const int32_t* mix, int16_t* out, int64_t count) {
    int32_t peak = 0;
    for (int64_t i = 0; i < count; ++i) {
        const int32_t v = mix[i];
        peak = std::max(peak, v < 0 ? -v : v);
        out[i] = static_cast<int16_t>(std::clamp(v, -32768, 32767));
    }
    return peak;
}
