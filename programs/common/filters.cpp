// The filters, the vision simulation and the contrast measure, in linear light.
#include "programs/common/filters.h"

#include <cmath>

namespace {

using Matrix = double[3][3];

// Machado et al. 2009, severity 1.0, on linear RGB.
const Matrix SIMULATION[VISION_COUNT] = {
    {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}},
    {{0.152286, 1.052583, -0.204868},
     {0.114503, 0.786281, 0.099216},
     {-0.003882, -0.048116, 1.051998}},
    {{0.367322, 0.860646, -0.227968},
     {0.280085, 0.672501, 0.047413},
     {-0.011820, 0.042940, 0.968881}},
    {{1.255528, -0.076749, -0.178779},
     {-0.078411, 0.930809, 0.147602},
     {0.004733, 0.691367, 0.303900}},
};

// Where each filter moves the lost part: red-green loss into green and blue, blue-yellow
// loss into red and green.
const Matrix SHIFT_RED_GREEN = {{0, 0, 0}, {0.7, 1, 0}, {0.7, 0, 1}};
const Matrix SHIFT_BLUE_YELLOW = {{1, 0, 0.7}, {0, 1, 0.7}, {0, 0, 0}};
// High contrast: away from the middle in lightness, each channel stretched.
constexpr double CONTRAST_GAIN = 1.6;

int chosen = FILTER_NONE;

double to_linear(uint8_t v) {
    const double c = v / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

uint8_t to_srgb(double c) {
    c = c < 0 ? 0 : c > 1 ? 1 : c;
    const double s = c <= 0.0031308 ? c * 12.92 : 1.055 * std::pow(c, 1 / 2.4) - 0.055;
    return static_cast<uint8_t>(std::lround(s * 255.0));
}

void apply(const Matrix& m, const double in[3], double out[3]) {
    for (int r = 0; r < 3; ++r)
        out[r] = m[r][0] * in[0] + m[r][1] * in[1] + m[r][2] * in[2];
}

void linear_of(PaletteEntry c, double out[3]) {
    out[0] = to_linear(c.red);
    out[1] = to_linear(c.green);
    out[2] = to_linear(c.blue);
}

PaletteEntry entry_of(const double c[3], uint8_t flags) {
    return PaletteEntry{to_srgb(c[0]), to_srgb(c[1]), to_srgb(c[2]), flags};
}

PaletteEntry daltonise(PaletteEntry colour, int vision, const Matrix& shift) {
    double c[3], seen[3], lost[3], moved[3];
    linear_of(colour, c);
    apply(SIMULATION[vision], c, seen);
    for (int i = 0; i < 3; ++i)
        lost[i] = c[i] - seen[i];
    apply(shift, lost, moved);
    for (int i = 0; i < 3; ++i)
        c[i] += moved[i];
    return entry_of(c, colour.flags);
}

PaletteEntry high_contrast(PaletteEntry colour) {
    auto stretch = [](uint8_t v) {
        const double s = (v / 255.0 - 0.5) * CONTRAST_GAIN + 0.5;
        return static_cast<uint8_t>(std::lround((s < 0 ? 0 : s > 1 ? 1 : s) * 255.0));
    };
    return PaletteEntry{stretch(colour.red), stretch(colour.green), stretch(colour.blue),
                        colour.flags};
}

}  // namespace

const char* filter_name(int filter) {
    static const char* const names[FILTER_COUNT] = {"None", "Red-green", "Blue-yellow",
                                                    "High contrast"};
    return filter >= 0 && filter < FILTER_COUNT ? names[filter] : "None";
}

void filter_colours(int filter, const PaletteEntry* in, PaletteEntry* out, int count) {
    for (int i = 0; i < count; ++i) {
        const PaletteEntry c = in[i];
        switch (filter) {
            case FILTER_RED_GREEN:
                out[i] = daltonise(c, VISION_DEUTAN, SHIFT_RED_GREEN);
                break;
            case FILTER_BLUE_YELLOW:
                out[i] = daltonise(c, VISION_TRITAN, SHIFT_BLUE_YELLOW);
                break;
            case FILTER_HIGH_CONTRAST:
                out[i] = high_contrast(c);
                break;
            default:
                out[i] = c;
                break;
        }
    }
}

int filter_current() {
    return chosen;
}

void filter_choose(int filter) {
    chosen = filter >= 0 && filter < FILTER_COUNT ? filter : FILTER_NONE;
}

PaletteEntry vision_simulate(int vision, PaletteEntry colour) {
    if (vision <= VISION_TYPICAL || vision >= VISION_COUNT)
        return colour;
    double c[3], seen[3];
    linear_of(colour, c);
    apply(SIMULATION[vision], c, seen);
    return entry_of(seen, colour.flags);
}

double relative_luminance(PaletteEntry colour) {
    return 0.2126 * to_linear(colour.red) + 0.7152 * to_linear(colour.green) +
           0.0722 * to_linear(colour.blue);
}

double contrast_ratio(double a, double b) {
    const double hi = a > b ? a : b, lo = a > b ? b : a;
    return (hi + 0.05) / (lo + 0.05);
}
