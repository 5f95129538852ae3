// The headless runner as a user runs it: a script from the title menu into play and back,
// one JSON line per pass with the modes and the exact countdown, frames as PNG files that
// hold what was presented, and the failures it must report.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/runner_support.h"
#include "tests/test_support.h"

namespace {

// Plays the script on the made-up pictures of test_write_fake_assets.
void play_on_fake_assets(RunnerRun& run, const std::string& script, const std::string& options) {
    test_write_fake_assets(run.dir);
    run.play(script, "--assets " + run.dir + " " + options);
}

TEST(Runner, PlaysAScriptAndPrintsEveryPass) {
    RunnerRun run;
    play_on_fake_assets(run,
                        "# into play, back to the menu, down one entry\n"
                        "key 0 S\n"
                        "key 40 ESCAPE\n"
                        "key 41 DOWN   # queued behind nothing\n"
                        "key 41 0x28   # the same key by number, taken a pass later\n"
                        "hold 2 5 RIGHT C\n",
                        "--passes 45");
    EXPECT_EQ(run.status, 0) << run.errors;
    const auto& lines = run.states;
    ASSERT_EQ(lines.size(), 45u);
    EXPECT_EQ(num(lines[0], "/pass"), 0);
    EXPECT_EQ(num(lines[0], "/game_mode"), 0);
    EXPECT_EQ(lines[0].value("cursor_visible", true), false);
    EXPECT_EQ(num(lines[1], "/tick"), num(lines[0], "/tick") + 30);
    // The countdown loses 0.03 a played frame in float, and the line gives the exact float.
    float expected = 400.0f;
    for (int pass = 0; pass < 40; ++pass) {
        expected = static_cast<float>(static_cast<double>(expected) - 0.03);
        ASSERT_EQ(static_cast<float>(num(lines[pass], "/time_left")), expected) << pass;
    }
    EXPECT_EQ(num(lines[40], "/game_mode"), -1);
    EXPECT_EQ(lines[40].value("cursor_visible", false), true);
    EXPECT_EQ(num(lines[41], "/menu_selection"), 1);
    EXPECT_EQ(num(lines[42], "/menu_selection"), 2);
    EXPECT_EQ(num(lines[44], "/time_left"), num(lines[39], "/time_left"));
}

// Every pixel of a frame in one colour.
bool all_pixels(const std::vector<uint8_t>& rgb, uint8_t red, uint8_t green, uint8_t blue) {
    for (size_t i = 0; i + 2 < rgb.size(); i += 3) {
        if (rgb[i] != red || rgb[i + 1] != green || rgb[i + 2] != blue)
            return false;
    }
    return !rgb.empty();
}

TEST(Runner, EndsOnAQuitAndWritesEveryKthFrameAsPresented) {
    RunnerRun run;
    play_on_fake_assets(run, "key 3 H\nkey 5 ESCAPE\nkey 6 ESCAPE\n",
                        "--frames-out " + run.dir + "/frames --every 2 --frame-digests " + run.dir +
                            "/digests.txt");
    EXPECT_EQ(run.status, 0) << run.errors;
    // Pass 6 posts the quit request; pass 7 takes the destroy, pass 8 the quit.
    ASSERT_EQ(run.states.size(), 8u);
    EXPECT_EQ(num(run.states[3], "/game_mode"), 1);
    EXPECT_FALSE(std::filesystem::exists(run.dir + "/frames/000001.png"));
    // Written compressed.
    EXPECT_LT(std::filesystem::file_size(run.dir + "/frames/000000.png"), 640u * 480u * 3u / 20);

    // The menu picture is index 10, the first information picture 20, and the last palette
    // read maps index k to (k, 255 - k, k / 2).
    const uint8_t shown[4] = {10, 10, 20, 10};
    std::istringstream digests(read_text_file(run.dir + "/digests.txt"));
    for (int pass = 0; pass <= 6; ++pass) {
        int digest_pass = -1;
        std::string digest;
        ASSERT_TRUE(digests >> digest_pass >> digest);
        ASSERT_EQ(digest_pass, pass);
        if (pass % 2)
            continue;
        int width = 0, height = 0;
        const std::vector<uint8_t> rgb = run.frame(pass, &width, &height);
        ASSERT_EQ(width, 640) << pass;
        ASSERT_EQ(height, 480) << pass;
        const uint8_t k = shown[pass / 2];
        EXPECT_TRUE(all_pixels(rgb, k, static_cast<uint8_t>(255 - k), k / 2)) << pass;
        char hex[17];
        std::snprintf(hex, sizeof(hex), "%016llx",
                      static_cast<unsigned long long>(fnv1a(rgb.data(), rgb.size())));
        EXPECT_EQ(digest, hex) << pass;
    }
}

// The parser's own tests try every kind of bad line; here, that the runner names it and stops.
TEST(Runner, RefusesAScriptItCannotRead) {
    RunnerRun run;
    play_on_fake_assets(run, "key 0 S\njump 3 LEFT\n", "--passes 3");
    EXPECT_NE(run.status, 0);
    EXPECT_TRUE(run.states.empty());
    EXPECT_NE(run.errors.find("script.txt:2:"), std::string::npos) << run.errors;
}

TEST(Runner, FailsWhenItCannotWriteAFrame) {
    RunnerRun run;
    // A file where the frames folder should be.
    std::ofstream(run.dir + "/frames") << "in the way\n";
    play_on_fake_assets(run, "", "--passes 2 --frames-out " + run.dir + "/frames");
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.errors.find("cannot write"), std::string::npos) << run.errors;
}

}  // namespace
