// How long sound takes: rendering the tunes (at start-up), and one audio buffer of the
// mixer with every voice and the music busy, against copying the same buffer as the floor.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "engine/sound_ids.h"
#include "engine/tunes.h"
#include "platform/common/mixer.h"

namespace {

// Samples a buffer of the audio device holds: about 23 ms at the sounds' rate.
constexpr int BUFFER = 512;

void BM_RenderTune(benchmark::State& state) {
    const Tune& tune = *music_tune(static_cast<MusicId>(state.range(0)));
    const int64_t frames = tune_frames(tune, SOUND_RATE);
    std::vector<int32_t> mix(static_cast<size_t>(frames));
    for (auto _ : state) {
        std::fill(mix.begin(), mix.end(), 0);
        tune_render(tune, SOUND_RATE, mix.data(), frames);
        benchmark::DoNotOptimize(mix.data());
    }
}
BENCHMARK(BM_RenderTune)->Arg(MUSIC_PLAY)->Arg(MUSIC_TITLE)->Unit(benchmark::kMillisecond);

void BM_MixBusyBuffer(benchmark::State& state) {
    static std::vector<int16_t> sound(SOUND_RATE, 1000);
    static Mixer mixer;
    mixer_reset(mixer);
    std::vector<int16_t> out(BUFFER);
    for (auto _ : state) {
        // Keep every voice busy: restart any that ended.
        if (mixer_voices_playing(mixer) < MIXER_VOICES)
            for (int i = 0; i < MIXER_VOICES; ++i)
                mixer_play(mixer, sound.data(), SOUND_RATE, MIXER_UNITY / 2);
        mixer_set_music(mixer, sound.data(), SOUND_RATE, true);
        mixer_mix(mixer, out.data(), BUFFER);
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_MixBusyBuffer);

// The floor: nine streams copied into the buffer, with no sums or volumes.
void BM_CopyNineStreams(benchmark::State& state) {
    std::vector<int16_t> sound(SOUND_RATE, 1000);
    std::vector<int16_t> out(BUFFER);
    for (auto _ : state) {
        for (int i = 0; i < MIXER_VOICES + 1; ++i)
            std::memcpy(out.data(), sound.data() + i * BUFFER, BUFFER * sizeof(int16_t));
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_CopyNineStreams);

}  // namespace
