// How long sound takes in the audio callback, each as a share of one core at the game's rate:
// the tunes rendered while they play, the mixer with nothing to play (the limiter's own work),
// and a buffer with every voice and a tune busy, against copying as many streams as the
// floor.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "bench/figures.h"
#include "engine/sound_ids.h"
#include "engine/tracker.h"
#include "engine/tunes.h"
#include "platform/common/mixer.h"

namespace {

// Frames in a buffer of the desktop's audio device: about 23 ms at the sounds' rate.
constexpr int BUFFER = 1024;
constexpr double BUFFER_NS = 1e9 * BUFFER / SOUND_RATE;

// The mean time of an iteration, as a share (percent) of the real time it stands for.
void report_share(const std::string& name, double start_ns, int64_t iterations, double real_ns) {
    const double each =
        (cpu_ns() - start_ns) / static_cast<double>(std::max<int64_t>(1, iterations));
    figure_set(name + ": share of one core (%)", 100 * each / real_ns);
}

void BM_TuneRenderedWhilePlaying(benchmark::State& state) {
    const MusicId id = static_cast<MusicId>(state.range(0));
    static TunePlayer player;
    tune_player_start(&player, *music_tune(id), SOUND_RATE);
    std::vector<int32_t> out(2 * BUFFER);
    const double start = cpu_ns();
    for (auto _ : state) {
        tune_player_render(&player, out.data(), BUFFER);
        benchmark::DoNotOptimize(out.data());
    }
    report_share(std::string("rendering the ") + MUSIC_NAMES[id] + " tune", start,
                 static_cast<int64_t>(state.iterations()), BUFFER_NS);
}
BENCHMARK(BM_TuneRenderedWhilePlaying)->Arg(MUSIC_PLAY)->Arg(MUSIC_TITLE);

// Nothing plays: what is left is clearing the sums, the master volume and the limiter.
void BM_MixSilentBuffer(benchmark::State& state) {
    static Mixer mixer;
    mixer_reset(mixer, SOUND_RATE);
    std::vector<int16_t> out(2 * BUFFER);
    const double start = cpu_ns();
    for (auto _ : state) {
        mixer_mix(mixer, out.data(), BUFFER);
        benchmark::DoNotOptimize(out.data());
    }
    report_share("a buffer with nothing playing (the limiter)", start,
                 static_cast<int64_t>(state.iterations()), BUFFER_NS);
}
BENCHMARK(BM_MixSilentBuffer);

// Every voice busy with loud sounds that keep the limiter at work, and a constant tune.
void loud_start(void*, const void*) {}
int loud_render(void*, int16_t* out, int frames) {
    std::fill(out, out + 2 * frames, int16_t{20000});
    return frames;
}

double busy_ns;

void BM_MixBusyBuffer(benchmark::State& state) {
    static std::vector<int16_t> sound(SOUND_RATE, 12000);
    static Mixer mixer;
    static const PlatformMusic tune = {loud_start, loud_render, nullptr};
    mixer_reset(mixer, SOUND_RATE);
    mixer_set_music(mixer, &tune);
    std::vector<int16_t> out(2 * BUFFER);
    std::vector<std::vector<int16_t>> copies(MIXER_VOICES, sound);
    const double start = cpu_ns();
    for (auto _ : state) {
        // Keep every voice busy: restart any that ended.
        if (mixer_voices_playing(mixer) < MIXER_VOICES)
            for (int i = 0; i < MIXER_VOICES; ++i)
                mixer_play(mixer, copies[static_cast<size_t>(i)].data(), SOUND_RATE, MIXER_UNITY,
                           i * 25 - 100);
        mixer_mix(mixer, out.data(), BUFFER);
        benchmark::DoNotOptimize(out.data());
    }
    busy_ns = (cpu_ns() - start) / static_cast<double>(std::max<int64_t>(1, state.iterations()));
    report_share("a buffer with every voice and a tune busy", start,
                 static_cast<int64_t>(state.iterations()), BUFFER_NS);
}
BENCHMARK(BM_MixBusyBuffer);

// The floor: nine streams copied into the stereo buffer, with no sums, volumes or pans.
void BM_CopyNineStreams(benchmark::State& state) {
    std::vector<int16_t> sound(2 * SOUND_RATE, 1000);
    std::vector<int16_t> out(2 * BUFFER);
    const double start = cpu_ns();
    for (auto _ : state) {
        for (int i = 0; i < MIXER_VOICES + 1; ++i)
            std::memcpy(out.data(), sound.data() + 2 * i * BUFFER, 2 * BUFFER * sizeof(int16_t));
        benchmark::DoNotOptimize(out.data());
    }
    const double floor_ns =
        (cpu_ns() - start) / static_cast<double>(std::max<int64_t>(1, state.iterations()));
    if (busy_ns > 0 && floor_ns > 0)
        figure_set("a busy buffer against copying nine streams (ratio)", busy_ns / floor_ns);
}
BENCHMARK(BM_CopyNineStreams);

}  // namespace
