// The committed sound files and the tunes: what sfxgen renders now, byte for byte, in range
// and shaped for the events they mark. The tests run with assets/ as the working directory.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "engine/sound_ids.h"
#include "engine/tunes.h"
#include "engine/wav.h"
#include "tools/sfxgen/effects.h"
#include "tools/sfxgen/render.h"

namespace {

std::vector<uint8_t> read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<uint8_t> as_wav(const std::vector<int16_t>& samples) {
    std::vector<uint8_t> bytes(wav_file_size(static_cast<int64_t>(samples.size())));
    wav_write(samples.data(), static_cast<int64_t>(samples.size()), SOUND_RATE, bytes.data());
    return bytes;
}

double rms(const std::vector<int16_t>& s) {
    double sum = 0;
    for (int16_t v : s)
        sum += static_cast<double>(v) * v;
    return std::sqrt(sum / static_cast<double>(s.size()));
}

// Upward zero crossings in [from, to): a measure of pitch that every compiler agrees on.
int rising_crossings(const std::vector<int16_t>& s, size_t from, size_t to) {
    int n = 0;
    for (size_t i = from + 1; i < to && i < s.size(); ++i)
        n += s[i - 1] < 0 && s[i] >= 0;
    return n;
}

Rendered effect(SoundId id) {
    return render_tune(effect_tune(id), SOUND_RATE);
}

}  // namespace

TEST(SoundFiles, EveryEffectIsCommittedAsSfxgenRendersIt) {
    for (int id = 0; id < SOUND_COUNT; ++id) {
        SCOPED_TRACE(SOUND_NAMES[id]);
        const Rendered r = effect(static_cast<SoundId>(id));
        ASSERT_TRUE(r.ok);
        const std::vector<uint8_t> file =
            read_file(std::string("sounds/") + SOUND_NAMES[id] + ".wav");
        ASSERT_FALSE(file.empty());
        EXPECT_TRUE(file == as_wav(r.samples)) << "regenerate with sfxgen";
        // A second rendering in the same process: no state leaks from one note to the next.
        EXPECT_TRUE(effect(static_cast<SoundId>(id)).samples == r.samples);
        WavInfo info;
        ASSERT_TRUE(wav_parse(file.data(), file.size(), &info));
        EXPECT_EQ(info.rate, SOUND_RATE);
    }
}

TEST(SoundFiles, EffectsAreAudibleUnclippedShortAndEndInSilence) {
    for (int id = 0; id < SOUND_COUNT; ++id) {
        SCOPED_TRACE(SOUND_NAMES[id]);
        const Rendered r = effect(static_cast<SoundId>(id));
        EXPECT_LT(r.peak, 32767 * 9 / 10);  // headroom for the mix
        EXPECT_GT(r.peak, 32767 / 8);
        EXPECT_GT(rms(r.samples), 32767 * 0.1);
        EXPECT_LT(r.samples.size(), static_cast<size_t>(SOUND_RATE) * 3);
        // The last few samples are the end of a release: no click when a voice ends.
        for (size_t i = r.samples.size() - 4; i < r.samples.size(); ++i)
            EXPECT_LT(std::abs(r.samples[i]), 400) << i;
    }
}

TEST(SoundFiles, StompsRiseAlongAChainAndLongChainsRepeatTheTop) {
    int previous = 0;
    for (int chain = 1; chain <= 4; ++chain) {
        // The pitched voice alone (the first channel): the click over it has no pitch.
        const Tune& tune = effect_tune(sound_stomp(chain));
        const Tune voice = {tune.step_ms, 0, false, 1, tune.channels};
        const Rendered r = render_tune(voice, SOUND_RATE);
        const int crossings = rising_crossings(r.samples, 0, SOUND_RATE * 40 / 1000);
        EXPECT_GT(crossings, previous + previous / 5) << chain;
        previous = crossings;
    }
    EXPECT_EQ(sound_stomp(0), SOUND_STOMP_1);
    EXPECT_EQ(sound_stomp(9), SOUND_STOMP_4);
    // The awards double along a chain: 100, 200, 400, 800, 1600.
    EXPECT_EQ(sound_stomp_chain(100), 1);
    EXPECT_EQ(sound_stomp_chain(200), 2);
    EXPECT_EQ(sound_stomp_chain(400), 3);
    EXPECT_EQ(sound_stomp_chain(800), 4);
    EXPECT_EQ(sound_stomp_chain(1600), 4);
}

TEST(SoundFiles, JumpsOfTheTwoFormsDiffer) {
    const Rendered small = effect(SOUND_JUMP_SMALL);
    const Rendered large = effect(SOUND_JUMP_LARGE);
    const size_t window = SOUND_RATE / 10;
    EXPECT_GT(rising_crossings(small.samples, 0, window),
              rising_crossings(large.samples, 0, window) * 3 / 2);
}

TEST(Tunes, RenderAndStayBelowTheEffects) {
    double quietest_effect = 1e9;
    for (int id = 0; id < SOUND_COUNT; ++id)
        quietest_effect = std::min(quietest_effect, rms(effect(static_cast<SoundId>(id)).samples));
    EXPECT_EQ(music_tune(MUSIC_NONE), nullptr);
    for (int id = MUSIC_PLAY; id < MUSIC_COUNT; ++id) {
        SCOPED_TRACE(MUSIC_NAMES[id]);
        const Tune* tune = music_tune(static_cast<MusicId>(id));
        ASSERT_NE(tune, nullptr);
        const Rendered r = render_tune(*tune, SOUND_RATE);
        ASSERT_TRUE(r.ok);
        EXPECT_LT(rms(r.samples), quietest_effect);
        EXPECT_LT(r.peak, 32767 / 2);
    }
    EXPECT_TRUE(music_tune(MUSIC_PLAY)->loops);
    EXPECT_FALSE(music_tune(MUSIC_TITLE)->loops);
}
