// Rendering note data into 16-bit samples.
#include "tools/sfxgen/render.h"

#include <cstddef>

#include "engine/synth.h"

Rendered render_tune(const Tune& tune, int rate) {
    Rendered r;
    const int64_t frames = tune_frames(tune, rate);
    if (frames <= 0)
        return r;
    std::vector<int32_t> mix(static_cast<std::size_t>(frames), 0);
    if (!tune_render(tune, rate, mix.data(), frames))
        return r;
    r.samples.resize(mix.size());
    r.peak = synth_narrow(mix.data(), r.samples.data(), frames);
    r.ok = true;
    return r;
}
