// The mixer fed known sounds: sums, volumes, clamping, voices ending at their last sample,
// the oldest voice giving way, music looping and pausing, mute.
#include "platform/common/mixer.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<int16_t> constant(int16_t value, size_t n) {
    return std::vector<int16_t>(n, value);
}

std::vector<int16_t> mix(Mixer& m, int frames) {
    std::vector<int16_t> out(static_cast<size_t>(frames), 12345);
    mixer_mix(m, out.data(), frames);
    return out;
}

struct MixerTest : ::testing::Test {
    Mixer m;
    void SetUp() override { mixer_reset(m); }
};

}  // namespace

TEST_F(MixerTest, VoicesSumAndEndExactlyAtTheirLastSample) {
    const std::vector<int16_t> a = constant(1000, 5), b = {1, 2, 3};
    EXPECT_EQ(mixer_play(m, a.data(), 5, MIXER_UNITY), 0);
    EXPECT_EQ(mixer_play(m, b.data(), 3, MIXER_UNITY), 1);
    EXPECT_EQ(mixer_voices_playing(m), 2);
    EXPECT_EQ(mix(m, 4), (std::vector<int16_t>{1001, 1002, 1003, 1000}));
    EXPECT_EQ(mixer_voices_playing(m), 1);
    // The rest of a over a buffer boundary, then silence; its voice is free again.
    EXPECT_EQ(mix(m, 3), (std::vector<int16_t>{1000, 0, 0}));
    EXPECT_EQ(mixer_voices_playing(m), 0);
    EXPECT_EQ(mixer_play(m, b.data(), 3, MIXER_UNITY), 0);
    // Nothing to play is refused.
    EXPECT_EQ(mixer_play(m, nullptr, 3, MIXER_UNITY), -1);
    EXPECT_EQ(mixer_play(m, b.data(), 0, MIXER_UNITY), -1);
}

TEST_F(MixerTest, LongMixesRunPastTheInnerChunk) {
    std::vector<int16_t> ramp(1000);
    for (size_t i = 0; i < ramp.size(); ++i)
        ramp[i] = static_cast<int16_t>(i);
    mixer_play(m, ramp.data(), 1000, MIXER_UNITY);
    std::vector<int16_t> expected = ramp;
    expected.resize(1100, 0);
    EXPECT_EQ(mix(m, 1100), expected);
}

TEST_F(MixerTest, SumsClampToSixteenBits) {
    // Separate buffers: the same sound started twice before a mix plays once.
    const std::vector<int16_t> high = constant(30000, 2), high2 = constant(30000, 2);
    const std::vector<int16_t> low = constant(-30000, 2), low2 = constant(-30000, 2);
    mixer_play(m, high.data(), 2, MIXER_UNITY);
    mixer_play(m, high2.data(), 2, MIXER_UNITY);
    mixer_play(m, low.data(), 1, MIXER_UNITY);
    // 30000 + 30000 - 30000, then 60000 clamped.
    EXPECT_EQ(mix(m, 2), (std::vector<int16_t>{30000, 32767}));
    mixer_play(m, low.data(), 2, MIXER_UNITY);
    mixer_play(m, low2.data(), 2, MIXER_UNITY);
    EXPECT_EQ(mix(m, 1), (std::vector<int16_t>{-32768}));
}

TEST_F(MixerTest, ASoundStartedTwiceBeforeAMixPlaysOnceAtTheLouderVolume) {
    const std::vector<int16_t> s = constant(1000, 4);
    EXPECT_EQ(mixer_play(m, s.data(), 4, MIXER_UNITY / 4), 0);
    EXPECT_EQ(mixer_play(m, s.data(), 4, MIXER_UNITY / 2), 0);
    EXPECT_EQ(mixer_play(m, s.data(), 4, MIXER_UNITY / 4), 0);
    EXPECT_EQ(mixer_voices_playing(m), 1);
    EXPECT_EQ(mix(m, 1)[0], 500);
    // Once it has begun, the same sound again is a second voice.
    EXPECT_EQ(mixer_play(m, s.data(), 4, MIXER_UNITY), 1);
    EXPECT_EQ(mix(m, 1)[0], 500 + 1000);
}

TEST_F(MixerTest, VoiceEffectsMusicAndMasterVolumesMultiply) {
    const std::vector<int16_t> s = constant(1000, 4), music = constant(2000, 4);
    mixer_play(m, s.data(), 4, MIXER_UNITY / 2);
    mixer_set_music(m, music.data(), 4, false);
    mixer_set_volumes(m, MIXER_UNITY, MIXER_UNITY / 2, MIXER_UNITY / 4);
    EXPECT_EQ(mix(m, 1)[0], 250 + 500);
    mixer_set_volumes(m, MIXER_UNITY / 2, MIXER_UNITY, MIXER_UNITY);
    EXPECT_EQ(mix(m, 1)[0], (500 + 2000) / 2);
    // Volumes are held to [0, 1].
    mixer_set_volumes(m, 5 * MIXER_UNITY, -3, MIXER_UNITY);
    EXPECT_EQ(mix(m, 1)[0], 2000);
}

TEST_F(MixerTest, TheOldestVoiceGivesWayAndFadesOut) {
    std::vector<std::vector<int16_t>> sounds;
    sounds.reserve(MIXER_VOICES + 2);
    for (int i = 0; i < MIXER_VOICES + 2; ++i)
        sounds.push_back(constant(static_cast<int16_t>(100 * (i + 1)), 1000));
    for (int i = 0; i < MIXER_VOICES; ++i)
        EXPECT_EQ(mixer_play(m, sounds[i].data(), 1000, MIXER_UNITY), i);
    mix(m, 10);
    // All busy: voice 0 was started first, then voice 1 (voice 0 is the newest now).
    EXPECT_EQ(mixer_play(m, sounds[8].data(), 1000, MIXER_UNITY), 0);
    EXPECT_EQ(mixer_play(m, sounds[9].data(), 1000, MIXER_UNITY), 1);
    EXPECT_EQ(mixer_voices_playing(m), MIXER_VOICES);

    // Start anew and check the sum: the stolen sound fades out over MIXER_FADE_SAMPLES.
    mixer_reset(m);
    for (int i = 0; i < MIXER_VOICES; ++i)
        mixer_play(m, sounds[i].data(), 1000, MIXER_UNITY);
    const int all = 100 * MIXER_VOICES * (MIXER_VOICES + 1) / 2;
    EXPECT_EQ(mix(m, 1)[0], all);
    EXPECT_EQ(mixer_play(m, sounds[9].data(), 1000, MIXER_UNITY), 0);
    const std::vector<int16_t> out = mix(m, MIXER_FADE_SAMPLES + 2);
    const int replaced = all - 100 + 1000;
    EXPECT_EQ(out[0], replaced + 100);  // the fade starts at the stolen voice's level
    for (int i = 1; i < MIXER_FADE_SAMPLES; ++i)
        EXPECT_LE(out[i], out[i - 1]) << i;
    EXPECT_EQ(out[MIXER_FADE_SAMPLES], replaced);
    EXPECT_EQ(out[MIXER_FADE_SAMPLES + 1], replaced);
}

TEST_F(MixerTest, MusicLoopsOrEndsAndAskingAgainDoesNotRestartIt) {
    const std::vector<int16_t> tune = {10, 20, 30};
    mixer_set_music(m, tune.data(), 3, true);
    EXPECT_EQ(mix(m, 4), (std::vector<int16_t>{10, 20, 30, 10}));
    mixer_set_music(m, tune.data(), 3, true);
    EXPECT_EQ(mix(m, 3), (std::vector<int16_t>{20, 30, 10}));
    // A tune played once ends after its last sample; another starts from its beginning.
    mixer_set_music(m, tune.data(), 3, false);
    EXPECT_EQ(mix(m, 3), (std::vector<int16_t>{20, 30, 0}));
    const std::vector<int16_t> other = {-5, -6};
    mixer_set_music(m, other.data(), 2, true);
    EXPECT_EQ(mix(m, 3), (std::vector<int16_t>{-5, -6, -5}));
}

TEST_F(MixerTest, StoppingTheMusicFadesItOut) {
    const std::vector<int16_t> tune = constant(1000, 10);
    mixer_set_music(m, tune.data(), 10, true);
    mix(m, 5);
    mixer_set_music(m, nullptr, 0, false);
    const std::vector<int16_t> out = mix(m, MIXER_FADE_SAMPLES + 1);
    EXPECT_EQ(out[0], 1000);
    EXPECT_GT(out[MIXER_FADE_SAMPLES / 2], 0);
    EXPECT_LT(out[MIXER_FADE_SAMPLES / 2], 1000);
    EXPECT_EQ(out[MIXER_FADE_SAMPLES], 0);
}

TEST_F(MixerTest, PauseHoldsEverySoundWhereItIsAndMutePlaysOnUnheard) {
    const std::vector<int16_t> s = {1, 2, 3, 4, 5, 6};
    const std::vector<int16_t> tune = {100, 200, 300};
    mixer_play(m, s.data(), 6, MIXER_UNITY);
    mixer_set_music(m, tune.data(), 3, true);
    EXPECT_EQ(mix(m, 1)[0], 101);
    mixer_set_paused(m, true);
    EXPECT_EQ(mix(m, 3), constant(0, 3));
    mixer_set_paused(m, false);
    EXPECT_EQ(mix(m, 1)[0], 202);
    mixer_set_muted(m, true);
    EXPECT_EQ(mix(m, 2), constant(0, 2));
    mixer_set_muted(m, false);
    EXPECT_EQ(mix(m, 2), (std::vector<int16_t>{205, 306}));
}
