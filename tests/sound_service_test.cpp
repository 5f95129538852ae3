// The game's sound service on the headless backend: the effect files read at start-up (a
// missing or wrong one stops it, named like a picture), the tunes rendered after the first
// frame and only for a backend that plays them, and the title's tune asked for by each start.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/sound_ids.h"
#include "engine/tunes.h"
#include "engine/wav.h"
#include "platform/headless/headless.h"
#include "tests/test_support.h"
#include "tools/sfxgen/render.h"

namespace {

struct Loaded {
    int64_t title, play;
};
std::vector<Loaded> loaded;

void note_tunes(int) {
    const int16_t* samples = nullptr;
    loaded.push_back({headless_tune(MUSIC_TITLE, &samples), headless_tune(MUSIC_PLAY, &samples)});
}

// Runs the program and returns its exit code and what it said on standard error.
int run_quietly(int passes, std::string* said) {
    loaded.clear();
    testing::internal::CaptureStderr();
    const int code = test_run_program("", passes, note_tunes);
    *said = testing::internal::GetCapturedStderr();
    return code;
}

}  // namespace

TEST(SoundService, AMissingOrWrongEffectFileStopsTheStartNamingIt) {
    const std::string dir = test_enter_fake_assets();
    std::string said;
    EXPECT_EQ(run_quietly(3, &said), 0);
    EXPECT_EQ(said, "");

    std::filesystem::remove(dir + "/sounds/coin.wav");
    EXPECT_EQ(run_quietly(3, &said), 1);
    EXPECT_NE(said.find("cannot read the sound \"sounds/coin.wav\" in the folder " + dir),
              std::string::npos)
        << said;
    EXPECT_TRUE(loaded.empty());

    // Sounds at another rate would play at the wrong pitch.
    std::vector<int16_t> samples(64, 1000);
    std::vector<uint8_t> bytes(wav_file_size(64));
    wav_write(samples.data(), 64, SOUND_RATE * 2, bytes.data());
    test_write_file(dir + "/sounds/coin.wav", bytes);
    EXPECT_EQ(run_quietly(3, &said), 1);
    EXPECT_NE(said.find("\"sounds/coin.wav\""), std::string::npos) << said;

    // An empty file, and one cut short, are refused alike.
    wav_write(samples.data(), 64, SOUND_RATE, bytes.data());
    test_write_file(dir + "/sounds/coin.wav", bytes);
    test_write_file(dir + "/sounds/win.wav", {bytes.begin(), bytes.end() - 2});
    EXPECT_EQ(run_quietly(3, &said), 1);
    EXPECT_NE(said.find("\"sounds/win.wav\""), std::string::npos) << said;
    std::ofstream(dir + "/sounds/win.wav", std::ios::trunc).close();
    EXPECT_EQ(run_quietly(3, &said), 1);
    EXPECT_NE(said.find("\"sounds/win.wav\""), std::string::npos) << said;
}

TEST(SoundService, TunesAreRenderedAfterTheFirstFrameOneAFrameForABackendThatPlays) {
    test_enter_fake_assets();
    std::string said;
    ASSERT_EQ(run_quietly(4, &said), 0);
    for (const Loaded& l : loaded) {
        EXPECT_EQ(l.title, 0);  // a backend that only takes note gets no tunes
        EXPECT_EQ(l.play, 0);
    }

    headless_set_audible(1);
    ASSERT_EQ(run_quietly(4, &said), 0);
    ASSERT_EQ(loaded.size(), 4u);
    // Nothing holds up the first frame; then the title's tune (the menu shows), then play's.
    EXPECT_EQ(loaded[0].title, 0);
    EXPECT_EQ(loaded[0].play, 0);
    EXPECT_GT(loaded[1].title, 0);
    EXPECT_EQ(loaded[1].play, 0);
    EXPECT_GT(loaded[2].play, 0);
    // What the game rendered is what sfxgen renders from the same note data. The samples
    // are read while the program runs: they go with its shutdown.
    static bool same[MUSIC_COUNT];
    headless_set_audible(1);
    test_run_program("", 3, [](int pass) {
        for (MusicId id : {MUSIC_TITLE, MUSIC_PLAY}) {
            const int16_t* s = nullptr;
            const int64_t n = headless_tune(id, &s);
            const Rendered r = render_tune(*music_tune(id), SOUND_RATE);
            same[id] = pass == 2 && n == static_cast<int64_t>(r.samples.size()) &&
                       std::equal(r.samples.begin(), r.samples.end(), s);
        }
    });
    EXPECT_TRUE(same[MUSIC_TITLE]);
    EXPECT_TRUE(same[MUSIC_PLAY]);
}

// A program started again in the same process (as the browser does) asks for the title's
// tune again: the tune in force went with the shutdown.
TEST(SoundService, EachStartAsksForTheTitlesTuneOnItsFirstFrame) {
    test_enter_fake_assets();
    for (int start = 0; start < 2; ++start) {
        headless_clear_sounds();
        std::string said;
        ASSERT_EQ(run_quietly(1, &said), 0);
        int title_asked = 0;
        for (int i = 0; i < headless_sound_count(); ++i) {
            const HeadlessSound s = headless_sound(i);
            title_asked += s.music && s.id == MUSIC_TITLE;
        }
        EXPECT_EQ(title_asked, 1) << "start " << start;
    }
}
