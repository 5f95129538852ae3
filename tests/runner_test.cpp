// The headless runner as a user runs it: a script from the title menu into play and back,
// one JSON line per pass with the modes and the exact countdown, and frames as PNG files.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/png_read.h"
#include "tests/test_support.h"

namespace {

std::vector<std::string> run_runner(const std::string& dir, const std::string& script,
                                    const std::string& extra, int* status) {
    const std::string script_path = dir + "/script.txt";
    std::ofstream(script_path) << script;
    const std::string state = dir + "/state.jsonl";
    const std::string command = std::string(QUELLARO_RUNNER) + " --assets " + dir + " --script " +
                                script_path + " --state " + state + " " + extra + " 2>" + dir +
                                "/stderr.txt";
    *status = std::system(command.c_str());
    std::vector<std::string> lines;
    std::ifstream in(state);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::string field(const std::string& line, const std::string& name) {
    const std::string key = "\"" + name + "\":";
    const size_t at = line.find(key);
    if (at == std::string::npos)
        return "";
    const size_t start = at + key.size();
    return line.substr(start, line.find_first_of(",}", start) - start);
}

}  // namespace

TEST(Runner, PlaysAScriptAndPrintsEveryPass) {
    const std::string dir = test_temp_dir();
    test_write_fake_assets(dir);
    int status = 0;
    const auto lines = run_runner(dir,
                                  "# into play, back to the menu, down one entry\n"
                                  "key 0 S\n"
                                  "key 40 ESCAPE\n"
                                  "key 41 DOWN   # queued behind nothing\n"
                                  "key 41 0x28   # the same key by number, taken a pass later\n"
                                  "hold 2 5 RIGHT C\n",
                                  "--passes 45", &status);
    EXPECT_EQ(status, 0);
    ASSERT_EQ(lines.size(), 45u);
    EXPECT_EQ(field(lines[0], "pass"), "0");
    EXPECT_EQ(field(lines[0], "game_mode"), "0");
    EXPECT_EQ(field(lines[0], "cursor_visible"), "false");
    EXPECT_EQ(field(lines[1], "tick"), std::to_string(std::stoul(field(lines[0], "tick")) + 30));
    float expected = 400.0f;
    for (int pass = 0; pass < 40; ++pass) {
        expected = static_cast<float>(static_cast<double>(expected) - 0.03);
        char text[32];
        std::snprintf(text, sizeof(text), "%.9g", static_cast<double>(expected));
        ASSERT_EQ(field(lines[pass], "time_left"), text) << pass;
    }
    EXPECT_EQ(field(lines[40], "game_mode"), "-1");
    EXPECT_EQ(field(lines[40], "cursor_visible"), "true");
    EXPECT_EQ(field(lines[41], "menu_selection"), "1");
    EXPECT_EQ(field(lines[42], "menu_selection"), "2");
    EXPECT_EQ(field(lines[44], "time_left"), field(lines[39], "time_left"));
}

TEST(Runner, EndsOnAQuitAndWritesEveryKthFrame) {
    const std::string dir = test_temp_dir();
    test_write_fake_assets(dir);
    int status = 0;
    const auto lines = run_runner(dir, "key 3 H\nkey 5 ESCAPE\nkey 6 ESCAPE\n",
                                  "--frames-out " + dir + "/frames --every 2", &status);
    EXPECT_EQ(status, 0);
    // Pass 6 posts the quit request; pass 7 takes the destroy, pass 8 the quit.
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(field(lines[3], "game_mode"), "1");
    for (int pass : {0, 2, 4, 6}) {
        char name[32];
        std::snprintf(name, sizeof(name), "/frames/%06d.png", pass);
        EXPECT_TRUE(std::filesystem::exists(dir + name)) << name;
    }
    EXPECT_FALSE(std::filesystem::exists(dir + "/frames/000001.png"));
    // The title menu as shown: the first menu picture is all index 10, which the palette
    // makes (10, 245, 5); written compressed.
    PngPicture frame;
    ASSERT_TRUE(png_read(dir + "/frames/000000.png", &frame));
    ASSERT_EQ(frame.width, 640);
    ASSERT_EQ(frame.height, 480);
    EXPECT_EQ(frame.pixels[0], 10);
    EXPECT_EQ(frame.pixels[1], 245);
    EXPECT_EQ(frame.pixels[2], 5);
    EXPECT_LT(std::filesystem::file_size(dir + "/frames/000000.png"), 640u * 480u * 3u / 20);
}

TEST(Runner, RefusesAScriptItCannotRead) {
    const std::string dir = test_temp_dir();
    test_write_fake_assets(dir);
    int status = 0;
    run_runner(dir, "jump 3 LEFT\n", "--passes 3", &status);
    EXPECT_NE(status, 0);
    std::ifstream err(dir + "/stderr.txt");
    std::string text((std::istreambuf_iterator<char>(err)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("script.txt:1"), std::string::npos) << text;
}
