// The recording format: what the recorder writes, the headless runner plays exactly like
// the same input written by hand.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/sdl/recording.h"
#include "shell/window.h"
#include "tests/test_support.h"

namespace {

std::string run(const std::string& script) {
    const std::string state = script + ".state";
    const std::string command = std::string(QUELLARO_RUNNER) +
                                " --assets " QUELLARO_SOURCE_DIR "/assets --script " + script +
                                " --passes 120 --state " + state;
    if (std::system(command.c_str()) != 0)
        return "runner failed";
    std::ifstream in(state);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(SdlRecording, TheRunnerPlaysARecordingLikeTheSameInputWrittenByHand) {
    const std::string dir = test_temp_dir();
    Recorder recorder;
    ASSERT_EQ(recorder_open(&recorder, (dir + "/recorded.txt").c_str()), 1);
    uint8_t held[256] = {};
    for (int pass = 0; pass < 100; pass++) {
        if (pass == 0)
            recorder_key(&recorder, pass, KEY_S);
        if (pass == 3)
            recorder_key(&recorder, pass, 0x90);  // a key the game ignores, by number
        held[KEY_RIGHT] = held[KEY_D] = pass >= 1 && pass <= 40;
        held[KEY_NEXT] = (pass >= 10 && pass <= 20) || pass == 30;
        held[KEY_DELETE] = pass >= 35;  // still down when the recording ends
        if (pass == 60)
            recorder_key(&recorder, pass, KEY_ESCAPE);
        if (pass == 61)
            recorder_click(&recorder, pass, 300, 280, 0);
        if (pass == 62)
            recorder_click(&recorder, pass, 300, 280, 1);
        if (pass == 80)
            recorder_key(&recorder, pass, KEY_DOWN);
        recorder_held(&recorder, pass, held);
    }
    recorder_close_request(&recorder, 99);
    ASSERT_EQ(recorder_finish(&recorder, "the end"), 1);

    std::ofstream(dir + "/by_hand.txt") << "key 0 S\nkey 3 144\nhold 1 40 RIGHT D\n"
                                           "hold 10 20 NEXT\nhold 30 30 NEXT\nhold 35 99 DELETE\n"
                                           "key 60 ESCAPE\nclick 61 300 280\n"
                                           "dblclick 62 300 280\nkey 80 DOWN\nclose 99\n";
    const std::string recorded = run(dir + "/recorded.txt");
    ASSERT_GT(recorded.size(), 1000u) << recorded;
    EXPECT_EQ(recorded, run(dir + "/by_hand.txt"));
}

TEST(SdlRecording, KeyNamesAreTheRunnersAndAFailedOpenSaysSo) {
    char name[8];
    const std::pair<int, const char*> names[] = {
        {KEY_RETURN, "RETURN"}, {KEY_NEXT, "NEXT"}, {KEY_DELETE, "DELETE"}, {'Q', "Q"}, {'0', "0"},
        {0x90, "0x90"},         {0, "0x00"},        {255, "0xff"},
    };
    for (const auto& [key, expected] : names) {
        recorder_key_name(key, name);
        EXPECT_STREQ(name, expected);
    }
    Recorder recorder;
    EXPECT_EQ(recorder_open(&recorder, "/no/such/folder/rec.txt"), 0);
    EXPECT_EQ(recorder_finish(&recorder, nullptr), 0);
}

}  // namespace
