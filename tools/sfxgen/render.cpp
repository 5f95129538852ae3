// Rendering note data into 16-bit samples through the game's own player.
#include "tools/sfxgen/render.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "engine/synth.h"
#include "tools/sfxgen/effects.h"
#include "tools/sfxgen/loudness.h"

Rendered render_tune(const Tune& tune, int rate, int64_t frames) {
    Rendered r;
    r.channels = 2;
    const int64_t pass = tune_frames(tune, rate);
    if (pass <= 0)
        return r;
    if (frames < 0)
        frames = pass;
    TunePlayer player;
    if (!tune_player_start(&player, tune, rate))
        return r;
    std::vector<int32_t> mix(static_cast<size_t>(2 * frames), 0);
    int64_t done = 0;
    while (done < frames) {
        const int asked = static_cast<int>(std::min<int64_t>(4096, frames - done));
        const int got = tune_player_render(&player, mix.data() + 2 * done, asked);
        done += got;
        if (got < asked)
            break;
    }
    mix.resize(static_cast<size_t>(2 * done));
    r.samples.resize(mix.size());
    r.peak = synth_narrow(mix.data(), r.samples.data(), static_cast<int64_t>(mix.size()));
    r.ok = true;
    return r;
}

Rendered render_effect(SoundId id, int variant) {
    const Rendered stereo = render_tune(effect_tune(id, variant), SOUND_RATE);
    Rendered r;
    if (!stereo.ok)
        return r;
    // Played from the centre, both sides are the same: the left one is the effect.
    const size_t frames = stereo.samples.size() / 2;
    std::vector<int16_t> mono(frames);
    for (size_t i = 0; i < frames; ++i)
        mono[i] = stereo.samples[2 * i];
    // The gain, of 4096, that brings it to the loudness every effect shares: a ratio of mean
    // squares, so only a square root is needed, and every machine rounds it alike.
    const double now =
        loudness_mean_square_while_sounding(mono.data(), static_cast<int64_t>(frames), 1);
    if (now <= 0)
        return r;
    const int64_t gain = std::llround(4096 * std::sqrt(EFFECT_MEAN_SQUARE / now));
    r.samples.resize(frames);
    for (size_t i = 0; i < frames; ++i) {
        const int64_t v = (mono[i] * gain + 2048) >> 12;
        r.peak = std::max<int32_t>(r.peak, static_cast<int32_t>(v < 0 ? -v : v));
        r.samples[i] = static_cast<int16_t>(std::clamp<int64_t>(v, -32768, 32767));
    }
    r.ok = r.peak <= EFFECT_PEAK_MAX && stereo.peak < 32767;
    return r;
}
