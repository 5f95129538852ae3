// The game's sound service on the headless backend: the effect files read at start-up (a
// missing or wrong one stops it, named like a picture); the tunes handed over as note data
// that the audio renders while it plays, so that no pass waits for them and the menu is never
// silent; the title's tune asked for by each start.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/sound_ids.h"
#include "engine/tracker.h"
#include "engine/tunes.h"
#include "engine/wav.h"
#include "platform/headless/headless.h"
#include "platform/script.h"
#include "shell/app.h"
#include "shell/window.h"
#include "tests/test_support.h"
#include "tools/sfxgen/render.h"

namespace {

// Runs the program and returns its exit code and what it said on standard error.
int run_quietly(int passes, std::string* said) {
    testing::internal::CaptureStderr();
    const int code = test_run_program("", passes);
    *said = testing::internal::GetCapturedStderr();
    return code;
}

}  // namespace

TEST(SoundService, AMissingOrWrongEffectFileStopsTheStartNamingIt) {
    const std::string dir = test_enter_fake_assets();
    std::string said;
    EXPECT_EQ(run_quietly(3, &said), 0);
    EXPECT_EQ(said, "");

    // Each named with its folder and what is wrong with it.
    const auto refused = [&](const std::string& told) {
        EXPECT_EQ(run_quietly(3, &said), 1);
        EXPECT_NE(said.find("the sound " + told), std::string::npos) << said;
    };
    std::filesystem::remove(dir + "/sounds/coin.wav");
    refused("\"sounds/coin.wav\" in the folder " + dir +
            " cannot be opened (No such file or directory)");

    // Sounds at another rate would play at the wrong pitch.
    std::vector<int16_t> samples(64, 1000);
    std::vector<uint8_t> bytes(wav_file_size(64));
    wav_write(samples.data(), 64, SOUND_RATE / 2, bytes.data());
    test_write_file(dir + "/sounds/coin.wav", bytes);
    refused("\"sounds/coin.wav\" in the folder " + dir +
            " is at 22050 samples a second, not 44100");

    // An empty file, one cut short, one with no samples and a variant's file missing are
    // refused alike.
    wav_write(samples.data(), 64, SOUND_RATE, bytes.data());
    test_write_file(dir + "/sounds/coin.wav", bytes);
    test_write_file(dir + "/sounds/win.wav", {bytes.begin(), bytes.end() - 2});
    refused("\"sounds/win.wav\" in the folder " + dir + " is not a 16-bit mono PCM WAVE file");
    std::ofstream(dir + "/sounds/win.wav", std::ios::trunc).close();
    refused("\"sounds/win.wav\" in the folder " + dir + " is empty");
    std::vector<uint8_t> silent(wav_file_size(0));
    wav_write(samples.data(), 0, SOUND_RATE, silent.data());
    test_write_file(dir + "/sounds/win.wav", silent);
    refused("\"sounds/win.wav\" in the folder " + dir + " holds no sound");
    test_write_file(dir + "/sounds/win.wav", bytes);
    std::filesystem::remove(dir + "/sounds/stomp_2-3.wav");
    refused("\"sounds/stomp_2-3.wav\"");

    // A folder whose name the terminal would take as its commands is shown escaped.
    const std::string odd = dir + "/\x1b[7mgame";
    std::filesystem::create_directories(odd);
    test_write_fake_assets(odd);
    std::filesystem::current_path(odd);
    std::filesystem::remove(odd + "/sounds/coin.wav");
    refused("\"sounds/coin.wav\" in the folder " + dir + "/\\x1b[7mgame cannot be opened");
    EXPECT_EQ(said.find('\x1b'), std::string::npos) << said;
    std::filesystem::current_path(dir);
}

namespace {

// A run with the sound recorded: the menu for MENU_PASSES, then S, then play.
constexpr int MENU_PASSES = 700;  // 21 s: longer than the title's tune once through
// Tune samples rendered before each pass began, and the passes in which any were rendered;
// the frames recorded when the pass that takes S began.
int64_t rendered_before;
std::vector<int> passes_that_rendered;
int64_t recorded_before_s;

void before_pass(int pass) {
    rendered_before = tune_frames_rendered();
    if (pass == MENU_PASSES) {
        const int16_t* samples = nullptr;
        recorded_before_s = headless_recording(HEADLESS_MIX, &samples);
    }
}

void after_frame(int pass) {
    if (tune_frames_rendered() != rendered_before)
        passes_that_rendered.push_back(pass);
}

double rms(const int16_t* stereo, int64_t frames) {
    double sum = 0;
    for (int64_t i = 0; i < 2 * frames; ++i)
        sum += static_cast<double>(stereo[i]) * stereo[i];
    return std::sqrt(sum / static_cast<double>(2 * frames));
}

}  // namespace

// The desktop renders the music on its audio thread and the browser in its audio callback,
// as the headless recording does between passes: no pass of the game ever renders any, and a
// tune asked for is heard from the next frame the audio mixes.
TEST(SoundService, NoPassWaitsForTheMusicAndTheMenuIsNeverSilent) {
    headless_record_audio(1);
    passes_that_rendered.clear();
    ASSERT_EQ(test_run_program("key " + std::to_string(MENU_PASSES) + " S\n", MENU_PASSES + 60,
                               after_frame, before_pass),
              0);
    EXPECT_TRUE(passes_that_rendered.empty()) << "pass " << passes_that_rendered.front();

    const int16_t* music = nullptr;
    const int64_t frames = headless_recording(HEADLESS_MUSIC, &music);
    ASSERT_GT(frames, (MENU_PASSES + 50) * SOUND_RATE * 30 / 1000);
    // Every half second of the menu holds the title's tune, long past its first pass through.
    const int64_t half_second = SOUND_RATE / 2;
    const int64_t menu_end = recorded_before_s;
    ASSERT_GT(menu_end, int64_t{MENU_PASSES} * 29 * SOUND_RATE / 1000);
    for (int64_t at = 0; at + half_second <= menu_end; at += half_second)
        EXPECT_GT(rms(music + 2 * at, half_second), 100) << "at " << at / SOUND_RATE << " s";
    EXPECT_EQ(headless_music_first_heard(MUSIC_TITLE), 0);
    // The game asked for play's tune in the pass that took S; the audio played it from the
    // first frame it mixed after that pass, well within one buffer of the desktop's.
    int64_t asked = -1;
    for (int i = 0; i < headless_sound_count(); ++i) {
        const HeadlessSound s = headless_sound(i);
        if (s.music && s.id == MUSIC_PLAY)
            asked = s.at;
    }
    EXPECT_EQ(asked, menu_end);
    EXPECT_GE(headless_music_first_heard(MUSIC_PLAY), asked);
    EXPECT_LE(headless_music_first_heard(MUSIC_PLAY), asked + 1024);
    headless_record_audio(0);
}

// What the game hands the audio is what sfxgen renders from the same note data.
TEST(SoundService, TheAudioPlaysTheTunesSfxgenRenders) {
    static bool same[MUSIC_COUNT];
    test_run_program("", 2, [](int) {
        for (MusicId id : {MUSIC_TITLE, MUSIC_PLAY}) {
            const PlatformMusic* music = headless_music(id);
            ASSERT_NE(music, nullptr);
            alignas(std::max_align_t) static unsigned char state[PLATFORM_MUSIC_STATE];
            const int frames = SOUND_RATE * 3;
            std::vector<int16_t> out(2 * static_cast<size_t>(frames));
            music->start(state, music->data);
            ASSERT_EQ(music->render(state, out.data(), frames), frames);
            const Rendered r = render_tune(*music_tune(id), SOUND_RATE, frames);
            same[id] = r.samples == out;
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
