// The sound of whole games, recorded as the desktop mixes it while every committed script
// plays: each effect stands out of the music in its first 200 ms, and nothing reaches the
// ceiling.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/sound_ids.h"
#include "platform/common/mixer.h"
#include "platform/headless/headless.h"
#include "tests/test_support.h"
#include "tools/sfxgen/loudness.h"

namespace {

const std::string SCRIPTS = std::string(QUELLARO_SOURCE_DIR) + "/tests/scripts/";

// The effects the script sounded.
std::vector<HeadlessSound> effects;

void keep_effects(int) {
    for (int i = 0; i < headless_sound_count(); ++i) {
        if (!headless_sound(i).music)
            effects.push_back(headless_sound(i));
    }
    headless_clear_sounds();
}

struct Recording {
    std::vector<int16_t> stems[3];
    int64_t frames;
};

// Plays a committed script with the sound recorded.
Recording record(const std::string& name, int passes) {
    std::ifstream in(SCRIPTS + name + ".txt");
    std::stringstream text;
    text << in.rdbuf();
    effects.clear();
    headless_clear_sounds();
    headless_record_audio(1);
    EXPECT_EQ(test_run_program(text.str(), passes, keep_effects), 0);
    Recording r{};
    for (int s = 0; s < 3; ++s) {
        const int16_t* samples = nullptr;
        r.frames = headless_recording(s, &samples);
        r.stems[s].assign(samples, samples + 2 * r.frames);
    }
    headless_record_audio(0);
    return r;
}

std::vector<std::pair<std::string, int>> committed_scripts() {
    std::vector<std::pair<std::string, int>> scripts;
    std::ifstream table(SCRIPTS + "digests.txt");
    for (std::string line; std::getline(table, line);) {
        if (!line.empty() && line[0] != '#') {
            const std::string name = line.substr(0, line.find(' '));
            scripts.emplace_back(name, std::atoi(line.c_str() + name.size()));
        }
    }
    return scripts;
}

}  // namespace

// Loudness (K-weighted power) of all the effects against the music over each effect's first
// 200 ms; a stomp of 80 ms counts the silence after it too.
TEST(SoundMix, EveryEffectStandsOutOfTheMusicAndNothingReachesTheCeiling) {
    const int64_t window = SOUND_RATE / 5;
    for (const auto& [name, passes] : committed_scripts()) {
        std::vector<double> margins;
        SCOPED_TRACE(name);
        const Recording r = record(name, passes);
        ASSERT_GT(r.frames, 0);
        std::vector<double> fx(static_cast<size_t>(r.frames)), music(fx.size());
        loudness_weighted_power(r.stems[HEADLESS_EFFECTS].data(), r.frames, 2, fx.data());
        loudness_weighted_power(r.stems[HEADLESS_MUSIC].data(), r.frames, 2, music.data());
        for (const HeadlessSound& e : effects) {
            if (e.at + window > r.frames)
                continue;
            double fx_sum = 0, music_sum = 0;
            for (int64_t i = e.at; i < e.at + window; ++i) {
                fx_sum += fx[static_cast<size_t>(i)];
                music_sum += music[static_cast<size_t>(i)];
            }
            const double margin = 10 * std::log10(fx_sum / std::max(music_sum, 1e-12));
            EXPECT_GE(margin, 6) << SOUND_NAMES[e.id] << " at frame " << e.at;
            margins.push_back(margin);
        }
        int32_t peak = 0;
        for (int16_t v : r.stems[HEADLESS_MIX])
            peak = std::max(peak, std::abs(int32_t{v}));
        EXPECT_LE(peak, MIXER_CEILING);
        std::sort(margins.begin(), margins.end());
        if (!margins.empty()) {
            std::printf(
                "%s: %zu effects over the music by %.1f dB at least, %.1f dB in the median;"
                " peak %.2f dBFS\n",
                name.c_str(), margins.size(), margins.front(), margins[margins.size() / 2],
                20 * std::log10(peak / 32768.0));
        }
    }
}
