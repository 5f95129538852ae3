// The recording format: what the recorder writes reads back as the same script, held keys
// joined into the stretches they were held for.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <tuple>

#include "platform/script.h"
#include "platform/types.h"
#include "programs/desktop/recording.h"
#include "tests/test_support.h"

namespace {

Script read_script(const std::string& path, int* bad) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    Script script;
    *bad = script_parse(text.str(), &script);
    return script;
}

// Holds one key each, sorted, so two scripts compare whatever order they were written in.
std::vector<std::tuple<int, int, int>> holds_of(const Script& script) {
    std::vector<std::tuple<int, int, int>> holds;
    for (const ScriptHold& hold : script.holds)
        for (int key : hold.keys)
            holds.emplace_back(key, hold.first, hold.last);
    std::sort(holds.begin(), holds.end());
    return holds;
}

std::vector<std::tuple<int, int, int, int>> events_of(const Script& script) {
    std::vector<std::tuple<int, int, int, int>> events;
    for (const ScriptEvent& e : script.events)
        events.emplace_back(e.pass, static_cast<int>(e.command), e.a, e.b);
    return events;
}

TEST(SdlRecording, WhatIsRecordedReadsBackAsTheSameInput) {
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
        held[255] = pass == 0;          // down from the first pass, for one pass
        if (pass == 60)
            recorder_key(&recorder, pass, KEY_ESCAPE);
        if (pass == 61)
            recorder_click(&recorder, pass, 300, 280, 0);
        if (pass == 62)
            recorder_click(&recorder, pass, 300, 280, 1);
        recorder_held(&recorder, pass, held);
    }
    recorder_close_request(&recorder, 99);
    ASSERT_EQ(recorder_finish(&recorder, "the end"), 1);

    std::ofstream(dir + "/by_hand.txt") << "key 0 S\nkey 3 144\nhold 1 40 RIGHT D\n"
                                           "hold 10 20 NEXT\nhold 30 30 NEXT\nhold 35 99 DELETE\n"
                                           "hold 0 0 255\nkey 60 ESCAPE\nclick 61 300 280\n"
                                           "dblclick 62 300 280\nclose 99\n";
    int bad_recorded = -1, bad_by_hand = -1;
    const Script recorded = read_script(dir + "/recorded.txt", &bad_recorded);
    const Script by_hand = read_script(dir + "/by_hand.txt", &bad_by_hand);
    EXPECT_EQ(bad_recorded, 0);
    EXPECT_EQ(bad_by_hand, 0);
    EXPECT_EQ(events_of(recorded), events_of(by_hand));
    EXPECT_EQ(holds_of(recorded), holds_of(by_hand));
}

TEST(SdlRecording, AFailedOpenSaysSo) {
    Recorder recorder;
    EXPECT_EQ(recorder_open(&recorder, "/no/such/folder/rec.txt"), 0);
    EXPECT_EQ(recorder_finish(&recorder, nullptr), 0);
}

}  // namespace
