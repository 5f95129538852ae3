// Rendering note data into 16-bit samples, as sfxgen writes them and the tests check them.
#pragma once
#include <cstdint>
#include <vector>

#include "engine/sound_ids.h"
#include "engine/tracker.h"

struct Rendered {
    bool ok = false;  // false for malformed notes
    int channels = 1;
    std::vector<int16_t> samples;  // interleaved when stereo
    int32_t peak = 0;              // largest magnitude before narrowing to 16 bits
};

// A tune in stereo as the game plays it, frames long (-1: one pass, or all of a tune that
// does not loop).
Rendered render_tune(const Tune& tune, int rate, int64_t frames = -1);
// The loudness (LUFS, one channel, over the part that sounds) every effect file is brought
// to, and the ceiling its samples must stay under.
constexpr double EFFECT_LOUDNESS = -18.0;
// The K-weighted mean square that is: 10^((EFFECT_LOUDNESS + 0.691) / 10).
constexpr double EFFECT_MEAN_SQUARE = 0.01858232279629327;
constexpr int EFFECT_PEAK_MAX = 29000;
// One variant of an effect as its file holds it: mono, at the game's rate, brought to
// EFFECT_LOUDNESS; not ok when its notes are malformed or it would pass EFFECT_PEAK_MAX.
Rendered render_effect(SoundId id, int variant);
