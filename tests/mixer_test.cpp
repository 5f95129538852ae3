// The mixer fed known sounds: sums and pans, volumes, voices ending at their last sample, the
// oldest voice giving way, tunes rendered as they play and faded into one another, pause and
// mute, and the limiter: transparent below its ceiling, never past it above.
#include "platform/common/mixer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

constexpr int RATE = 44100;
constexpr int DELAY = MIXER_LOOKAHEAD - 1;  // the limiter's
constexpr int FADE_FRAMES = RATE * MIXER_MUSIC_FADE_MS / 1000;

std::vector<int16_t> constant(int16_t value, size_t n) {
    return std::vector<int16_t>(n, value);
}

std::vector<int16_t> mix(Mixer& m, int frames) {
    std::vector<int16_t> out(2 * static_cast<size_t>(frames), 12345);
    mixer_mix(m, out.data(), frames);
    return out;
}

// What the next frames sound like, without the limiter's delay: a copy of the mixer plays on
// past them to bring them out, and the mixer itself moves on by frames.
std::vector<int16_t> heard(Mixer& m, int frames) {
    static Mixer ahead;
    ahead = m;
    std::vector<int16_t> out = mix(ahead, frames + DELAY);
    mix(m, frames);
    return {out.begin() + 2 * DELAY, out.end()};
}

// A tune of one value on both sides, forever or for length frames; it counts its starts.
struct Steady {
    int16_t value;
    int64_t length;  // -1: loops
    int starts;
};
struct SteadyState {
    const Steady* tune;
    int64_t played;
};
void steady_start(void* state, const void* data) {
    auto* s = static_cast<SteadyState*>(state);
    s->tune = static_cast<const Steady*>(data);
    s->played = 0;
    ++const_cast<Steady*>(s->tune)->starts;
}
int steady_render(void* state, int16_t* out, int frames) {
    auto* s = static_cast<SteadyState*>(state);
    int n = frames;
    if (s->tune->length >= 0)
        n = static_cast<int>(std::min<int64_t>(frames, s->tune->length - s->played));
    std::fill(out, out + 2 * n, s->tune->value);
    s->played += n;
    return n;
}

struct MixerTest : ::testing::Test {
    Mixer m;
    void SetUp() override { mixer_reset(m, RATE); }
};

}  // namespace

TEST_F(MixerTest, VoicesSumPanAndEndExactlyAtTheirLastSample) {
    const std::vector<int16_t> a = constant(1000, 5), b = {1, 2, 3};
    EXPECT_EQ(mixer_play(m, a.data(), 5, MIXER_UNITY, 0), 0);
    EXPECT_EQ(mixer_play(m, b.data(), 3, MIXER_UNITY, 0), 1);
    EXPECT_EQ(mixer_voices_playing(m), 2);
    // Centred sounds pass unchanged to both sides.
    EXPECT_EQ(heard(m, 4), (std::vector<int16_t>{1001, 1001, 1002, 1002, 1003, 1003, 1000, 1000}));
    EXPECT_EQ(mixer_voices_playing(m), 1);
    // The rest of a over a buffer boundary, then silence; its voice is free again.
    EXPECT_EQ(heard(m, 3), (std::vector<int16_t>{1000, 1000, 0, 0, 0, 0}));
    EXPECT_EQ(mixer_voices_playing(m), 0);
    EXPECT_EQ(mixer_play(m, b.data(), 3, MIXER_UNITY, 0), 0);
    heard(m, 3);
    // Nothing to play is refused.
    EXPECT_EQ(mixer_play(m, nullptr, 3, MIXER_UNITY, 0), -1);
    EXPECT_EQ(mixer_play(m, b.data(), 0, MIXER_UNITY, 0), -1);

    // Hard left and right: one side only, at the power of both; any pan keeps the power.
    const std::vector<int16_t> tone = constant(10000, 1);
    mixer_play(m, tone.data(), 1, MIXER_UNITY, -MIXER_PAN_MAX);
    std::vector<int16_t> out = heard(m, 1);
    EXPECT_NEAR(out[0], 14142, 2);
    EXPECT_EQ(out[1], 0);
    mixer_play(m, tone.data(), 1, MIXER_UNITY, 5 * MIXER_PAN_MAX);  // held to the right
    out = heard(m, 1);
    EXPECT_EQ(out[0], 0);
    EXPECT_NEAR(out[1], 14142, 2);
    for (int pan = -MIXER_PAN_MAX; pan <= MIXER_PAN_MAX; pan += 7) {
        mixer_play(m, tone.data(), 1, MIXER_UNITY, pan);
        out = heard(m, 1);
        EXPECT_NEAR(out[0] * out[0] + out[1] * out[1], 2e8, 2e8 * 0.002) << pan;
        EXPECT_EQ(out[0] > out[1], pan < 0) << pan;
    }
}

TEST_F(MixerTest, LongMixesRunPastTheInnerChunk) {
    std::vector<int16_t> ramp(1000);
    for (size_t i = 0; i < ramp.size(); ++i)
        ramp[i] = static_cast<int16_t>(i);
    mixer_play(m, ramp.data(), 1000, MIXER_UNITY, 0);
    const std::vector<int16_t> out = heard(m, 1100);
    for (size_t i = 0; i < 1100; ++i) {
        EXPECT_EQ(out[2 * i], i < 1000 ? ramp[i] : 0) << i;
        EXPECT_EQ(out[2 * i + 1], out[2 * i]) << i;
    }
}

TEST_F(MixerTest, ASoundStartedTwiceBeforeAMixPlaysOnceAtTheLouderVolume) {
    const std::vector<int16_t> s = constant(1000, 4);
    EXPECT_EQ(mixer_play(m, s.data(), 4, MIXER_UNITY / 4, 0), 0);
    EXPECT_EQ(mixer_play(m, s.data(), 4, MIXER_UNITY / 2, 0), 0);
    EXPECT_EQ(mixer_play(m, s.data(), 4, MIXER_UNITY / 4, 0), 0);
    EXPECT_EQ(mixer_voices_playing(m), 1);
    EXPECT_EQ(heard(m, 1)[0], 500);
    // Once it has begun, the same sound again is a second voice.
    EXPECT_EQ(mixer_play(m, s.data(), 4, MIXER_UNITY, 0), 1);
    EXPECT_EQ(heard(m, 1)[0], 500 + 1000);
}

TEST_F(MixerTest, VoiceEffectsMusicAndMasterVolumesMultiply) {
    const std::vector<int16_t> s = constant(1000, 4);
    Steady tune = {2000, -1, 0};
    const PlatformMusic music = {steady_start, steady_render, &tune};
    mixer_play(m, s.data(), 4, MIXER_UNITY / 2, 0);
    mixer_set_music(m, &music);
    mixer_set_volumes(m, MIXER_UNITY, MIXER_UNITY / 2, MIXER_UNITY / 4);
    EXPECT_EQ(heard(m, 1)[0], 250 + 500);
    mixer_set_volumes(m, MIXER_UNITY / 2, MIXER_UNITY, MIXER_UNITY);
    EXPECT_EQ(heard(m, 1)[0], (500 + 2000) / 2);
    // Volumes are held to [0, 1].
    mixer_set_volumes(m, 5 * MIXER_UNITY, -3, MIXER_UNITY);
    EXPECT_EQ(heard(m, 1)[0], 2000);
}

TEST_F(MixerTest, TheOldestVoiceGivesWayAndFadesOut) {
    std::vector<std::vector<int16_t>> sounds;
    sounds.reserve(MIXER_VOICES + 2);
    for (int i = 0; i < MIXER_VOICES + 2; ++i)
        sounds.push_back(constant(static_cast<int16_t>(100 * (i + 1)), 1000));
    for (int i = 0; i < MIXER_VOICES; ++i)
        EXPECT_EQ(mixer_play(m, sounds[i].data(), 1000, MIXER_UNITY, 0), i);
    const int all = 100 * MIXER_VOICES * (MIXER_VOICES + 1) / 2;
    EXPECT_EQ(heard(m, 1)[0], all);
    // All busy: voice 0 was started first, then voice 1 (voice 0 is the newest now).
    EXPECT_EQ(mixer_play(m, sounds[8].data(), 1000, MIXER_UNITY, 0), 0);
    EXPECT_EQ(mixer_voices_playing(m), MIXER_VOICES);
    // The stolen sound fades out over MIXER_FADE_SAMPLES.
    const std::vector<int16_t> out = heard(m, MIXER_FADE_SAMPLES + 2);
    const int replaced = all - 100 + 900;
    EXPECT_EQ(out[0], replaced + 100);  // the fade starts at the stolen voice's level
    for (int i = 1; i < MIXER_FADE_SAMPLES; ++i)
        EXPECT_LE(out[2 * i], out[2 * i - 2]) << i;
    EXPECT_EQ(out[2 * MIXER_FADE_SAMPLES], replaced);
    EXPECT_EQ(mixer_play(m, sounds[9].data(), 1000, MIXER_UNITY, 0), 1);
}

TEST_F(MixerTest, TunesAreRenderedAsTheyPlayAndAskingAgainDoesNotRestartThem) {
    Steady tune = {300, 5, 0};
    const PlatformMusic music = {steady_start, steady_render, &tune};
    mixer_set_music(m, &music);
    EXPECT_TRUE(mixer_music_playing(m));
    // Out of silence a tune starts at once, at full volume.
    EXPECT_EQ(heard(m, 3), constant(300, 6));
    mixer_set_music(m, &music);
    EXPECT_EQ(tune.starts, 1);
    // A tune that does not loop ends after its last frame, and its slot is free again.
    EXPECT_EQ(heard(m, 3), (std::vector<int16_t>{300, 300, 300, 300, 0, 0}));
    EXPECT_FALSE(mixer_music_playing(m));
    mixer_set_music(m, &music);
    EXPECT_EQ(tune.starts, 2);
    EXPECT_EQ(heard(m, 1), constant(300, 2));
}

TEST_F(MixerTest, AChangeOfTuneFadesOneOutAndTheOtherIn) {
    Steady a = {1000, -1, 0}, b = {2000, -1, 0};
    const PlatformMusic first = {steady_start, steady_render, &a};
    const PlatformMusic second = {steady_start, steady_render, &b};
    mixer_set_music(m, &first);
    heard(m, 100);
    mixer_set_music(m, &second);
    std::vector<int16_t> out = heard(m, FADE_FRAMES + 100);
    // The sum slides from the first tune's level to the second's, without a step.
    EXPECT_NEAR(out[0], 1000, 2);
    for (int i = 1; i < FADE_FRAMES + 100; ++i) {
        EXPECT_GE(out[2 * i], out[2 * i - 2] - 1) << i;
        EXPECT_LE(out[2 * i] - out[2 * i - 2], 2) << i;
    }
    EXPECT_NEAR(out[2 * FADE_FRAMES], 2000, 2);
    EXPECT_EQ(out[2 * (FADE_FRAMES + 99)], 2000);

    // Back to the first in the middle of a fade: it comes back from where it was, not from
    // its beginning; silence fades the tune out.
    mixer_set_music(m, &first);
    heard(m, FADE_FRAMES / 2);
    mixer_set_music(m, &second);
    out = heard(m, 1);
    EXPECT_GT(out[0], 1000);
    EXPECT_LT(out[0], 2000);
    EXPECT_EQ(a.starts, 2);
    EXPECT_EQ(b.starts, 1);
    heard(m, FADE_FRAMES);
    mixer_set_music(m, nullptr);
    EXPECT_FALSE(mixer_music_playing(m));
    out = heard(m, FADE_FRAMES + 1);
    EXPECT_NEAR(out[FADE_FRAMES / 2 * 2], 1000, 5);
    EXPECT_EQ(out[2 * FADE_FRAMES], 0);
}

TEST_F(MixerTest, PauseHoldsEverySoundWhereItIsAndMutePlaysOnUnheard) {
    const std::vector<int16_t> s = {1, 2, 3, 4, 5, 6};
    Steady tune = {100, -1, 0};
    const PlatformMusic music = {steady_start, steady_render, &tune};
    mixer_play(m, s.data(), 6, MIXER_UNITY, 0);
    mixer_set_music(m, &music);
    EXPECT_EQ(heard(m, 1)[0], 101);
    mixer_set_paused(m, true);
    EXPECT_EQ(heard(m, 3), constant(0, 6));
    mixer_set_paused(m, false);
    EXPECT_EQ(heard(m, 1)[0], 102);
    mixer_set_muted(m, true);
    EXPECT_EQ(heard(m, 2), constant(0, 4));
    mixer_set_muted(m, false);
    EXPECT_EQ(heard(m, 2), (std::vector<int16_t>{105, 105, 106, 106}));
}

// Everything the mixer allows at once at its loudest: eight voices of full-scale squares,
// all hard to one side, one more fading out, and two tunes at full scale on both sides.
TEST_F(MixerTest, TheWorstCaseNeverPassesTheCeilingAndKeepsItsShape) {
    ASSERT_LT(MIXER_CEILING, 32768 * std::pow(10.0, -1 / 20.0));  // under -1 dBFS
    std::vector<int16_t> square(RATE);
    for (size_t i = 0; i < square.size(); ++i)
        square[i] = (i / 50) % 2 ? -32768 : 32767;
    Steady loud = {32767, -1, 0}, louder = {-32768, -1, 0};
    const PlatformMusic first = {steady_start, steady_render, &loud};
    const PlatformMusic second = {steady_start, steady_render, &louder};
    mixer_set_music(m, &first);
    heard(m, 10);
    mixer_set_music(m, &second);
    // Separate copies: the same samples started twice would play once.
    std::vector<std::vector<int16_t>> copies(MIXER_VOICES + 1, square);
    for (auto& copy : copies)
        mixer_play(m, copy.data(), RATE, MIXER_UNITY, -MIXER_PAN_MAX);
    int32_t peak = 0;
    for (int i = 0; i < 20; ++i) {
        for (int16_t v : heard(m, 997))
            peak = std::max<int32_t>(peak, std::abs(v));
    }
    EXPECT_LE(peak, MIXER_CEILING);
    EXPECT_GT(peak, MIXER_CEILING * 9 / 10);

    // A sine far over the ceiling comes out a smaller sine, not a clipped one: after the
    // gain has settled, output and input keep one ratio.
    mixer_reset(m, RATE);
    std::vector<int16_t> sine(RATE);
    for (size_t i = 0; i < sine.size(); ++i)
        sine[i] = static_cast<int16_t>(32000 * std::sin(i * 0.05));
    std::vector<std::vector<int16_t>> sines(4, sine);
    for (auto& copy : sines)
        mixer_play(m, copy.data(), RATE, MIXER_UNITY, 0);
    const std::vector<int16_t> out = heard(m, RATE / 2);
    for (int i = RATE / 4; i < RATE / 2; i += 7) {
        const int in = 4 * sine[static_cast<size_t>(i)];
        if (std::abs(in) > 20000) {
            EXPECT_NEAR(static_cast<double>(out[2 * i]) / in, 27500.0 / 128000, 0.002) << i;
        }
    }

    // Under the ceiling it changes nothing, even just after it had to act.
    mixer_reset(m, RATE);
    const std::vector<int16_t> spike = constant(32000, 1);
    mixer_play(m, spike.data(), 1, MIXER_UNITY, -MIXER_PAN_MAX);
    heard(m, RATE);  // it lets go within a second
    const std::vector<int16_t> quiet = {27500, -27500, 1, -1, 0};
    mixer_play(m, quiet.data(), 5, MIXER_UNITY, 0);
    EXPECT_EQ(heard(m, 5),
              (std::vector<int16_t>{27500, 27500, -27500, -27500, 1, 1, -1, -1, 0, 0}));
}
