// The headless runner as a user runs it: a script from the title menu into play and back,
// one JSON line per pass with the modes and the exact countdown, and frames as PNG files;
// a bad command line or script refused with what is wrong (status 2), and outputs that
// cannot be written ending the run with a failure.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
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

namespace {

struct Outcome {
    int status;
    std::string out, err;
};

std::string read_all(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The runner with these arguments, on the fake pictures of a new folder ($DIR in args).
Outcome run_with(std::string args) {
    const std::string dir = test_temp_dir();
    test_write_fake_assets(dir);
    for (size_t at; (at = args.find("$DIR")) != std::string::npos;)
        args.replace(at, 4, dir);
    const std::string command = std::string(QUELLARO_RUNNER) + " --assets " + dir + " " + args +
                                " >" + dir + "/out.txt 2>" + dir + "/err.txt";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status),
            read_all(dir + "/out.txt"), read_all(dir + "/err.txt")};
}

bool has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

}  // namespace

TEST(Runner, ABadCommandLineIsNamedAndRefusedWithStatus2) {
    struct Bad {
        const char* args;
        const char* told;
    };
    const Bad bad[] = {
        {"--every 4294967296 --frames-out $DIR/f", "--every 4294967296: not a number from 1"},
        {"--every 0", "--every 0: not a number from 1"},
        {"--passes -1", "--passes -1: not a number from 0"},
        {"--passes 12x", "--passes 12x: not a number"},
        {"--pases 3", "--pases: not an option"},
        {"--state", "--state: needs a value"},
        {"--script $DIR", "cannot read the script"},
        {"--script $DIR/none.txt", "cannot read the script"},
        {"--state $DIR/no/such/folder.jsonl", "cannot write"},
        {"--frames-out /proc/self/frames", "cannot make the frames folder"},
    };
    for (const Bad& b : bad) {
        // A runner that took the bad value would still stop after a few passes.
        const Outcome o = run_with(std::string("--passes 5 ") + b.args);
        EXPECT_EQ(o.status, 2) << b.args << "\n" << o.err;
        EXPECT_TRUE(has(o.err, b.told)) << b.args << "\n" << o.err;
    }
}

TEST(Runner, HelpPrintsTheUsageAndSucceeds) {
    const Outcome o = run_with("--help");
    EXPECT_EQ(o.status, 0);
    EXPECT_TRUE(has(o.out, "usage: quellaro-headless")) << o.out;
    EXPECT_TRUE(o.err.empty()) << o.err;
}

TEST(Runner, AScriptLineItCannotReadIsNamedByFileLineWordAndWhy) {
    const std::string dir = test_temp_dir();
    std::ofstream(dir + "/s.txt") << "key 1 S\n# " << std::string(2000, '-') << " key 0 Q\n"
                                  << "key 4294967296 S\n";
    const Outcome o = run_with("--passes 3 --script " + dir + "/s.txt");
    EXPECT_EQ(o.status, 2);
    EXPECT_TRUE(has(o.err, dir + "/s.txt:3: \"4294967296\": not a pass")) << o.err;
    EXPECT_FALSE(has(o.err, ":2:")) << o.err;  // the long comment is one line, all comment
}

TEST(Runner, AnOutputThatCannotBeWrittenEndsTheRunWithAFailure) {
    for (const char* args : {"--state /dev/full", "--frame-digests /dev/full"}) {
        const Outcome o = run_with(std::string("--passes 2000 ") + args);
        EXPECT_EQ(o.status, 1) << args;
        EXPECT_TRUE(has(o.err, "cannot write /dev/full")) << args << "\n" << o.err;
    }
    // Frames into a folder that takes no files: the run stops at the first frame.
    const std::string dir = test_temp_dir();
    const Outcome o =
        run_with("--passes 50 --state " + dir + "/state.jsonl --frames-out /sys/kernel");
    EXPECT_EQ(o.status, 1);
    EXPECT_TRUE(has(o.err, "cannot write /sys/kernel/000000.png")) << o.err;
    const std::string state = read_all(dir + "/state.jsonl");
    EXPECT_EQ(std::count(state.begin(), state.end(), '\n'), 1);
}

TEST(Runner, ARandomPlayerNeverQuitsAndPlaysTheSameForTheSameSeed) {
    const Outcome first = run_with("--random-play 7 --passes 600 --state -");
    const Outcome again = run_with("--random-play 7 --passes 600 --state -");
    const Outcome other = run_with("--random-play 8 --passes 600 --state -");
    EXPECT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(std::count(first.out.begin(), first.out.end(), '\n'), 600);
    EXPECT_TRUE(has(first.out, "\"game_mode\":0,")) << "never played";
    EXPECT_EQ(first.out, again.out);
    EXPECT_NE(first.out, other.out);
}
