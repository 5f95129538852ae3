// The K-weighting filters at 44.1 kHz (a shelf of +4 dB above about 1.7 kHz, then a
// high-pass near 38 Hz), as the recommendation gives them, and sums of their output. Only
// + - * / (a logarithm only for the figure in LUFS): the same sums on every machine.
#include "tools/sfxgen/loudness.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace {

struct Biquad {
    double b0, b1, b2, a1, a2;
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    double step(double x) {
        const double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        return y;
    }
};

// The two stages' coefficients at 44100 samples a second.
Biquad shelf() {
    return {1.5308412300503478, -2.6509799951547297, 1.169079079921587, -1.6636551132560204,
            0.7125954280732254};
}
Biquad high_pass() {
    return {1.0, -2.0, 1.0, -1.989169673629796, 0.9891990357870393};
}

}  // namespace

void loudness_weighted_power(const int16_t* samples, int64_t count, int channels, double* power) {
    std::fill(power, power + count, 0.0);
    for (int c = 0; c < channels; ++c) {
        Biquad a = shelf(), b = high_pass();
        for (int64_t i = 0; i < count; ++i) {
            const double y = b.step(a.step(samples[i * channels + c] / 32768.0));
            power[i] += y * y;
        }
    }
}

namespace {

double mean_square(const int16_t* samples, int64_t count, int channels) {
    if (count <= 0)
        return 0;
    std::vector<double> power(static_cast<size_t>(count));
    loudness_weighted_power(samples, count, channels, power.data());
    double sum = 0;
    for (double p : power)
        sum += p;
    return sum / static_cast<double>(count);
}

}  // namespace

double loudness_lufs(const int16_t* samples, int64_t count, int channels) {
    const double ms = mean_square(samples, count, channels);
    return ms > 0 ? -0.691 + 10 * std::log10(ms) : -std::numeric_limits<double>::infinity();
}

int64_t loudness_sounding_frames(const int16_t* samples, int64_t count, int channels) {
    constexpr int64_t BLOCK = 441;  // 10 ms
    const int64_t blocks = count / BLOCK;
    if (blocks == 0)
        return count;
    std::vector<double> energy(static_cast<size_t>(blocks), 0.0);
    for (int64_t b = 0; b < blocks; ++b) {
        for (int64_t i = b * BLOCK * channels; i < (b + 1) * BLOCK * channels; ++i)
            energy[static_cast<size_t>(b)] += static_cast<double>(samples[i]) * samples[i];
    }
    const double loudest = *std::max_element(energy.begin(), energy.end());
    int64_t last = 0;
    for (int64_t b = 0; b < blocks; ++b) {
        if (energy[static_cast<size_t>(b)] >= loudest * 1e-3)
            last = b;
    }
    return (last + 1) * BLOCK;
}

double loudness_while_sounding(const int16_t* samples, int64_t count, int channels) {
    return loudness_lufs(samples, loudness_sounding_frames(samples, count, channels), channels);
}

double loudness_mean_square_while_sounding(const int16_t* samples, int64_t count, int channels) {
    return mean_square(samples, loudness_sounding_frames(samples, count, channels), channels);
}
