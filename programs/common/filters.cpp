// The filters, the vision simulation and the contrast measure, in linear light.
#include "programs/common/filters.h"

#include <algorithm>
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

// What a palette entry paints in the game's one palette. Hue alone cannot keep the scenery
// apart for every eye (the ground, the bricks and the staircase sit within 2.5:1 of what is
// behind them), but lightness can: each filter lifts the backdrop, holds the solid scenery
// in a darker band and keeps the pit darkest, by index, since only the index says which
// is which.
enum Role { ROLE_FIGURE, ROLE_SKY, ROLE_BACKDROP, ROLE_SOLID, ROLE_PIT };

Role role_of(int index) {
    if (index >= 16 && index <= 31)
        return ROLE_SKY;
    if (index >= 32 && index <= 55)  // clouds, mountains, foliage, hills
        return ROLE_BACKDROP;
    if ((index >= 56 && index <= 84) || (index >= 156 && index <= 175))
        return ROLE_SOLID;
    if (index == 91)  // a pit's opening
        return ROLE_PIT;
    return ROLE_FIGURE;
}

// The luminance each solid material's curve takes as its middle, near the ramp's own: the
// curve brings it to the same dark band, so earth and sandstone both land there with their
// shading. Earth's is set lower, to keep the ground light enough beside a pit.
struct Material {
    int first, last;
    double middle;
};
const Material SOLIDS[] = {
    {56, 61, 0.09},    // wood: tree trunks
    {62, 71, 0.05},    // earth and its pebbles
    {72, 77, 0.25},    // turf
    {78, 84, 0.21},    // sandstone: the staircase
    {156, 163, 0.14},  // slate: the bricks
    {164, 171, 0.18},  // copper: the pipes
    {172, 175, 0.23},  // patina
};

double middle_of(int index) {
    for (const Material& m : SOLIDS)
        if (index >= m.first && index <= m.last)
            return m.middle;
    return 1;
}

// A lightness curve, luminance out = scale * (luminance in / reference) ^ power, the
// reference 1 but for the solids (their material's middle): black stays black, so a fade
// still ends in black, and the order of a ramp's shades is kept. Chroma below 1 softens
// the colour toward its grey, so a lifted backdrop stays pastel rather than garish.
struct Curve {
    double scale, power, chroma;
};

// Per filter: the sky's curve (keeping its fall from zenith to horizon, so the white score
// line at the top still reads), the rest of the backdrop's, the solid scenery's, the pit's.
struct Lightness {
    Curve sky, backdrop, solid, pit;
};

// Measured against the frames of play: the backdrop from about 0.5 up, the scenery's middle
// near 0.13, the pit under 0.01 (in relative luminance).
const Lightness LIGHTNESS[FILTER_COUNT] = {
    {{1, 1, 1}, {1, 1, 1}, {1, 1, 1}, {1, 1, 1}},
    {{0.9, 0.45, 0.8}, {0.95, 0.16, 0.6}, {0.13, 0.35, 0.7}, {0.2, 1, 1}},
    {{0.9, 0.45, 0.8}, {0.95, 0.16, 0.6}, {0.13, 0.35, 0.7}, {0.2, 1, 1}},
    {{0.9, 0.45, 0.8}, {0.97, 0.12, 0.6}, {0.13, 0.30, 0.7}, {0.2, 1, 1}},
};

// The filter the player chose; the programs keep it in their settings.
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

double luminance_of(const double c[3]) {
    return 0.2126 * c[0] + 0.7152 * c[1] + 0.0722 * c[2];
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

// The colour moved to the curve's luminance with its hue kept: scaled, and where scaling
// would clip, mixed with white instead.
PaletteEntry relight(PaletteEntry colour, const Curve& curve, double reference) {
    double c[3];
    linear_of(colour, c);
    const double l = luminance_of(c);
    if (l <= 0)
        return colour;
    const double target = std::min(1.0, curve.scale * std::pow(l / reference, curve.power));
    for (double& v : c)
        v = l + (v - l) * curve.chroma;
    const double top = std::max({c[0], c[1], c[2]});
    double gain = target / l, white = 0;
    if (top * gain > 1) {
        gain = top > l ? (1 - target) / (top - l) : 0;
        white = target - gain * l;
    }
    for (double& v : c)
        v = v * gain + white;
    return entry_of(c, colour.flags);
}

PaletteEntry figure_colour(int filter, PaletteEntry c) {
    switch (filter) {
        case FILTER_RED_GREEN:
            return daltonise(c, VISION_DEUTAN, SHIFT_RED_GREEN);
        case FILTER_BLUE_YELLOW:
            return daltonise(c, VISION_TRITAN, SHIFT_BLUE_YELLOW);
        case FILTER_HIGH_CONTRAST:
            return high_contrast(c);
        default:
            return c;
    }
}

}  // namespace

const char* filter_name(int filter) {
    static const char* const names[FILTER_COUNT] = {"None", "Red-green", "Blue-yellow",
                                                    "High contrast"};
    return filter >= 0 && filter < FILTER_COUNT ? names[filter] : "None";
}

void filter_colours(int filter, const PaletteEntry* in, PaletteEntry* out, int count) {
    if (filter <= FILTER_NONE || filter >= FILTER_COUNT) {
        for (int i = 0; i < count; ++i)
            out[i] = in[i];
        return;
    }
    const Lightness& l = LIGHTNESS[filter];
    for (int i = 0; i < count; ++i) {
        switch (role_of(i)) {
            case ROLE_SKY:
                out[i] = relight(in[i], l.sky, 1);
                break;
            case ROLE_BACKDROP:
                out[i] = relight(in[i], l.backdrop, 1);
                break;
            case ROLE_SOLID:
                out[i] = relight(in[i], l.solid, middle_of(i));
                break;
            case ROLE_PIT:
                out[i] = relight(in[i], l.pit, 1);
                break;
            default:
                out[i] = figure_colour(filter, in[i]);
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
    double c[3];
    linear_of(colour, c);
    return luminance_of(c);
}

double contrast_ratio(double a, double b) {
    const double hi = a > b ? a : b, lo = a > b ? b : a;
    return (hi + 0.05) / (lo + 0.05);
}
