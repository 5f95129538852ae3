// The committed sound files and the tunes: what sfxgen renders now, byte for byte; every
// effect as loud as the others while it sounds, unclipped, free of DC and rumble, and shaped
// for the event it marks; the variants apart; the tunes looping, under the effects, and long
// before they repeat. The tests run with assets/ as the working directory.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "engine/sound_ids.h"
#include "engine/tunes.h"
#include "engine/wav.h"
#include "tools/sfxgen/effects.h"
#include "tools/sfxgen/loudness.h"
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

std::string stem(int id, int variant) {
    char name[48];
    sound_file_stem(id, variant, name, sizeof name);
    return name;
}

// Upward zero crossings of channel (of channels) in frames [from, to): a measure of pitch
// that every compiler agrees on.
int rising_crossings(const std::vector<int16_t>& s, size_t from, size_t to, int channels = 1,
                     int channel = 0) {
    int n = 0;
    for (size_t i = from + 1; i < to && i * channels < s.size(); ++i)
        n += s[(i - 1) * channels + channel] < 0 && s[i * channels + channel] >= 0;
    return n;
}

// The share of a sound's energy under hz: its spectrum over a second (zero-padded), by
// Parseval, from the bins under hz (each by Goertzel's recurrence).
double energy_under(const std::vector<int16_t>& s, double hz) {
    const size_t n = std::max<size_t>(s.size(), SOUND_RATE);
    double total = 0, low = 0;
    for (int16_t v : s)
        total += static_cast<double>(v) * v;
    for (int k = 0; k < hz * static_cast<double>(n) / SOUND_RATE; ++k) {
        const double c = 2 * std::cos(2 * M_PI * k / static_cast<double>(n));
        double s1 = 0, s2 = 0;
        for (int16_t v : s) {
            const double s0 = v + c * s1 - s2;
            s2 = s1;
            s1 = s0;
        }
        low += (k == 0 ? 1 : 2) * (s1 * s1 + s2 * s2 - c * s1 * s2) / static_cast<double>(n);
    }
    return total > 0 ? low / total : 0;
}

}  // namespace

TEST(SoundFiles, EveryEffectIsCommittedAsSfxgenRendersIt) {
    for (int id = 0; id < SOUND_COUNT; ++id) {
        for (int variant = 0; variant < sound_variants(id); ++variant) {
            SCOPED_TRACE(stem(id, variant));
            const Rendered r = render_effect(static_cast<SoundId>(id), variant);
            ASSERT_TRUE(r.ok);
            const std::vector<uint8_t> file = read_file("sounds/" + stem(id, variant) + ".wav");
            ASSERT_FALSE(file.empty());
            EXPECT_TRUE(file == as_wav(r.samples)) << "regenerate with sfxgen";
            // A second rendering in the same process: no state leaks from one note to the next.
            EXPECT_TRUE(render_effect(static_cast<SoundId>(id), variant).samples == r.samples);
        }
    }
    // No file of a variant the game does not play.
    EXPECT_TRUE(read_file("sounds/" + stem(SOUND_COIN, 1) + ".wav").empty());
}

// Measured as the game's note says: loudness over the part that sounds.
TEST(SoundFiles, EffectsAreEquallyLoudUnclippedShortFreeOfDcAndEndInSilence) {
    double softest = 0, loudest = -100;
    for (int id = 0; id < SOUND_COUNT; ++id) {
        for (int variant = 0; variant < sound_variants(id); ++variant) {
            SCOPED_TRACE(stem(id, variant));
            const std::vector<int16_t> s = render_effect(static_cast<SoundId>(id), variant).samples;
            const int64_t n = static_cast<int64_t>(s.size());
            const double lufs = loudness_while_sounding(s.data(), n, 1);
            softest = std::min(softest, lufs);
            loudest = std::max(loudest, lufs);
            int32_t peak = 0;
            double sum = 0;
            for (int16_t v : s) {
                peak = std::max(peak, std::abs(int32_t{v}));
                sum += v;
            }
            EXPECT_LE(peak, EFFECT_PEAK_MAX);
            EXPECT_GT(peak, 32767 / 8);
            EXPECT_LT(s.size(), static_cast<size_t>(SOUND_RATE) * 3);
            EXPECT_LT(std::abs(sum / static_cast<double>(n)), 0.01 * peak);
            EXPECT_LT(energy_under(s, 40), 0.02);
            // The last few samples are the end of a release: no click when a voice ends.
            for (size_t i = s.size() - 4; i < s.size(); ++i)
                EXPECT_LT(std::abs(s[i]), 200) << i;
        }
    }
    EXPECT_LE(loudest - softest, 3.0);
    EXPECT_NEAR(loudest, EFFECT_LOUDNESS, 1.5);
}

TEST(SoundFiles, VariantsDifferButKeepTheirSoundAndLoudness) {
    for (int id = 0; id < SOUND_COUNT; ++id) {
        const Rendered first = render_effect(static_cast<SoundId>(id), 0);
        const int pitch = rising_crossings(first.samples, 0, SOUND_RATE / 20);
        for (int variant = 1; variant < sound_variants(id); ++variant) {
            SCOPED_TRACE(stem(id, variant));
            const Rendered r = render_effect(static_cast<SoundId>(id), variant);
            EXPECT_NE(r.samples, first.samples);
            EXPECT_NEAR(static_cast<double>(r.samples.size()),
                        static_cast<double>(first.samples.size()), first.samples.size() / 10.0);
            EXPECT_NEAR(rising_crossings(r.samples, 0, SOUND_RATE / 20), pitch, pitch / 8 + 2);
        }
    }
    EXPECT_EQ(sound_variants(SOUND_JUMP_SMALL), SOUND_VARIANTS_MAX);
    EXPECT_EQ(sound_variants(SOUND_STOMP_1), SOUND_VARIANTS_MAX);
    EXPECT_EQ(sound_variants(SOUND_WIN), 1);
}

TEST(SoundFiles, StompsRiseAlongAChainAndLongChainsRepeatTheTop) {
    int previous = 0;
    for (int chain = 1; chain <= 4; ++chain) {
        // The pitched voice alone (the first channel): the click over it has no pitch.
        const Tune& tune = effect_tune(sound_stomp(chain));
        const Tune voice = {tune.step_ms, 0, false, 1, tune.channels};
        const Rendered r = render_tune(voice, SOUND_RATE);
        const int crossings = rising_crossings(r.samples, 0, SOUND_RATE * 40 / 1000, 2);
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
    const Rendered small = render_effect(SOUND_JUMP_SMALL, 0);
    const Rendered large = render_effect(SOUND_JUMP_LARGE, 0);
    const size_t window = SOUND_RATE / 10;
    EXPECT_GT(rising_crossings(small.samples, 0, window),
              rising_crossings(large.samples, 0, window) * 3 / 2);
}

TEST(Tunes, LoopUnclippedUnderTheEffectsAndTheirSidesDiffer) {
    EXPECT_EQ(music_tune(MUSIC_NONE), nullptr);
    for (int id = MUSIC_PLAY; id < MUSIC_COUNT; ++id) {
        SCOPED_TRACE(MUSIC_NAMES[id]);
        const Tune* tune = music_tune(static_cast<MusicId>(id));
        ASSERT_NE(tune, nullptr);
        EXPECT_TRUE(tune->loops);
        // Twice through: the seam is heard too.
        const int64_t pass = tune_frames(*tune, SOUND_RATE);
        const Rendered r = render_tune(*tune, SOUND_RATE, 2 * pass);
        ASSERT_TRUE(r.ok);
        EXPECT_LT(r.peak, 32767 / 2);
        const int64_t frames = static_cast<int64_t>(r.samples.size()) / 2;
        EXPECT_EQ(frames, 2 * pass);
        // The music plays at most 70 % by default, the effects' loudness is that of one side
        // of their centred sound, whose two sides add 3 dB.
        const double music = loudness_lufs(r.samples.data(), frames, 2) + 20 * std::log10(0.7);
        EXPECT_LT(music, EFFECT_LOUDNESS + 3 - 8);
        // A little width: what differs between the sides, against what they share, is neither
        // nothing nor as much.
        double side = 0, mid = 0;
        for (int64_t i = 0; i < frames; ++i) {
            const double l = r.samples[2 * i], rr = r.samples[2 * i + 1];
            side += (l - rr) * (l - rr);
            mid += (l + rr) * (l + rr);
        }
        EXPECT_GT(10 * std::log10(side / mid), -25);
        EXPECT_LT(10 * std::log10(side / mid), -8);
    }
}

TEST(Tunes, PlayRunsHalfAMinuteAndMoreBeforeItRepeatsWithDrumsThatChange) {
    const Tune& play = *music_tune(MUSIC_PLAY);
    const int64_t pass = tune_frames(play, SOUND_RATE);
    EXPECT_GT(pass, 45 * SOUND_RATE);
    // The drums alone (the last three channels): the second half is not the first again.
    const Tune drums = {play.step_ms, play.bar_steps, true, 3, play.channels + 3};
    const Rendered r = render_tune(drums, SOUND_RATE, pass);
    const std::vector<int16_t> first(r.samples.begin(), r.samples.begin() + pass);
    const std::vector<int16_t> second(r.samples.begin() + pass, r.samples.end());
    EXPECT_NE(first, second);
    // Every note finds a voice.
    TunePlayer player;
    ASSERT_EQ(tune_player_start(&player, play, SOUND_RATE), 1);
    std::vector<int32_t> piece(2 * 4096);
    for (int64_t done = 0; done < pass; done += 4096)
        tune_player_render(&player, piece.data(), 4096);
    EXPECT_EQ(player.stolen, 0);
}
