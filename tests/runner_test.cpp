// The headless runner as a user runs it: a script from the title menu into play and back,
// one JSON line per pass with the modes and the exact countdown, frames as PNG files that
// hold what was presented, and the failures it must report: a bad command line or script
// refused with what is wrong (status 2), outputs that cannot be written ending the run (1).
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "platform/input_record.h"
#include "platform/script.h"
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
        {"--frames-out /proc/self/frames", "cannot write frames to /proc/self/frames"},
        {"--save-state 3", "--save-state: needs two values"},
        {"--save-state x $DIR/s.sav", "--save-state x: not a number from 0"},
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
    for (const char* args :
         {"--state /dev/full", "--frame-digests /dev/full", "--audio /dev/full"}) {
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

TEST(Runner, FailsWhenItCannotWriteAFrame) {
    RunnerRun run;
    // A file where the frames folder should be.
    std::ofstream(run.dir + "/frames") << "in the way\n";
    play_on_fake_assets(run, "", "--passes 2 --frames-out " + run.dir + "/frames");
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.errors.find("cannot write"), std::string::npos) << run.errors;
}

}  // namespace

namespace {

// The record of each pass of a script as step mode reads it: held keys by number, then the
// message.
std::string records_of(const std::string& script_text, int passes) {
    Script script;
    EXPECT_EQ(script_parse(script_text, &script), 0);
    std::string lines;
    for (int pass = 0; pass < passes; ++pass) {
        InputRecord record;
        script_record(script, pass, &record);
        for (int key = 0; key < INPUT_KEYS; ++key) {
            if (input_held(record, key))
                lines += std::to_string(key) + " ";
        }
        if (record.message == INPUT_KEY)
            lines += "key " + std::to_string(record.key);
        else if (record.message == INPUT_CLICK || record.message == INPUT_DOUBLE_CLICK)
            lines += std::string(record.message == INPUT_CLICK ? "click " : "dblclick ") +
                     std::to_string(record.x) + " " + std::to_string(record.y);
        else if (record.message == INPUT_CLOSE)
            lines += "close";
        lines += "  # pass " + std::to_string(pass) + "\n";
    }
    input_queue_clear();
    return lines;
}

}  // namespace

TEST(Runner, StepModePlaysOneRecordALineAsTheScriptWouldFromAFileOrStandardInput) {
    for (const char* name : {"power_up_brick", "menus"}) {
        SCOPED_TRACE(name);
        const std::string script = read_text_file(scripts_dir() + "/" + name + ".txt");
        RunnerRun scripted;
        scripted.play(script, "--passes 260");
        ASSERT_EQ(scripted.status, 0) << scripted.errors;
        RunnerRun stepped;
        const std::string records = stepped.dir + "/records.txt";
        std::ofstream(records) << records_of(script, 260);
        stepped.play("", "--records " + records);
        EXPECT_EQ(stepped.status, 0) << stepped.errors;
        EXPECT_EQ(stepped.state_text, scripted.state_text);
        // On standard input, the state lines on standard output.
        const std::string out = stepped.dir + "/out.jsonl";
        std::string command = QUELLARO_RUNNER;
        command.append(" --records - <").append(records).append(" >").append(out);
        command.append(" 2>/dev/null");
        EXPECT_EQ(std::system(command.c_str()), 0);
        EXPECT_EQ(read_text_file(out), scripted.state_text);
    }
}

TEST(Runner, StepModeEndsAtARecordLineItCannotReadNamingIt) {
    const Outcome o = run_with("--records $DIR/records.txt");
    EXPECT_EQ(o.status, 2);  // no such file
    EXPECT_TRUE(has(o.err, "cannot read the records")) << o.err;
    RunnerRun run;
    std::ofstream(run.dir + "/records.txt") << "RIGHT\nkey S\nRIGHT click 5 900\nRIGHT\n";
    run.play("", "--records " + run.dir + "/records.txt");
    EXPECT_EQ(WEXITSTATUS(run.status), 2);
    EXPECT_EQ(run.states.size(), 2u);
    EXPECT_TRUE(has(run.errors, "record line 3: \"900\": not a y inside the frame")) << run.errors;
}
