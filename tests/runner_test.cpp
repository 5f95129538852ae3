// The headless runner as a user runs it: a script from the title menu into play and back,
// one JSON line per pass with the modes and the exact countdown, frames as PNG files that
// hold what was presented, and the failures it must report: a bad command line or script
// refused with what is wrong (status 2), outputs that cannot be written ending the run (1).
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "platform/input_record.h"
#include "platform/script.h"
#include "tests/png_read.h"
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

// The runner with these arguments, on the fake pictures of a folder ($DIR in args; a new one
// unless given), after the shell's commands in before ("ulimit -f 8;").
Outcome run_with(std::string args, std::string dir = "", const std::string& before = "") {
    if (dir.empty())
        dir = test_temp_dir();
    test_write_fake_assets(dir);
    for (size_t at; (at = args.find("$DIR")) != std::string::npos;)
        args.replace(at, 4, dir);
    const std::string command = before + "timeout 60 " + std::string(QUELLARO_RUNNER) +
                                " --assets " + dir + " " + args + " >" + dir + "/out.txt 2>" + dir +
                                "/err.txt";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status),
            read_all(dir + "/out.txt"), read_all(dir + "/err.txt")};
}

bool has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

}  // namespace

TEST(Runner, ABadCommandLineIsNamedAndRefusedWithStatus2) {
    const struct {
        const char* args;
        std::string told;
    } bad[] = {
        {"--every 4294967296 --frames-out $DIR/f", "--every 4294967296: not a number from 1"},
        {"--every 0", "--every 0: not a number from 1"},
        {"--passes -1", "--passes -1: not a number from 0"},
        {"--passes 12x", "--passes 12x: not a number"},
        {"--pases 3", "--pases: not an option"},
        {"--state", "--state: needs a value"},
        {"--script $DIR", "cannot read the script"},
        {"--script $DIR/none.txt", "cannot read the script"},
        {"--script /dev/zero", "cannot read the script /dev/zero: a device, not a regular file"},
        {"--records /dev/zero", "record line 1 is longer than 64 KiB"},
        {"--records $DIR", "cannot read the records " + std::string("$DIR") + ": a folder"},
        {"--save-state 3", "--save-state: needs two values"},
        {"--save-state x $DIR/s.sav", "--save-state x: not a number from 0"},
    };
    for (const auto& b : bad) {
        // A runner that took the bad value would still stop after a few passes.
        const std::string dir = test_temp_dir();
        std::string told = b.told;
        if (told.find("$DIR") != std::string::npos)
            told.replace(told.find("$DIR"), 4, dir);
        const Outcome o = run_with(std::string("--passes 5 ") + b.args, dir);
        EXPECT_EQ(o.status, 2) << b.args << "\n" << o.err;
        EXPECT_TRUE(has(o.err, told)) << b.args << "\n" << o.err;
    }
}

TEST(Runner, HelpPrintsTheUsageAndSucceeds) {
    const Outcome o = run_with("--help");
    EXPECT_EQ(o.status, 0);
    EXPECT_TRUE(has(o.out, "usage: quellaro-headless")) << o.out;
    // The statuses the tests below check, as a caller reads them.
    EXPECT_TRUE(has(o.out,
                    "or an output could not be made or written (a full disk,\na "
                    "file-size limit); 2 for a bad command line (an output naming an input"))
        << o.out;
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

// Outputs that name the same file (by its path, through a link, or standard output twice into
// one file), or a file the run reads, or a frame's name: refused before anything is written.
TEST(Runner, AnOutputNamingAnInputOrAnotherOutputIsRefusedAndNothingWritten) {
    const char* const clashes[] = {
        "--script walk.txt --state walk.txt",
        "--script walk.txt --frame-digests link.txt",
        "--state o.jsonl --frame-digests sub/../o.jsonl",
        "--load-state s.sav --save-state 3 ./s.sav",
        "--audio o.wav --state link-to-o.wav",
        "--script frames/000003.png --frames-out frames",
        "--state - --frame-digests -",  // both into the one file standard output is
    };
    for (const char* args : clashes) {
        const std::string dir = test_temp_dir();
        std::ofstream(dir + "/walk.txt") << "key 0 S\n";
        std::filesystem::create_symlink("walk.txt", dir + "/link.txt");
        std::filesystem::create_symlink("o.wav", dir + "/link-to-o.wav");
        std::filesystem::create_directories(dir + "/sub");
        std::filesystem::create_directories(dir + "/frames");
        std::ofstream(dir + "/frames/000003.png") << "key 1 H\n";
        const std::string command =
            "cd " + dir + " && " + QUELLARO_RUNNER + " --passes 5 " + args + " >out.txt 2>err.txt";
        const int status = std::system(command.c_str());
        EXPECT_EQ(WEXITSTATUS(status), 2) << args;
        const std::string err = read_all(dir + "/err.txt");
        EXPECT_TRUE(has(err, "name the same file")) << args << "\n" << err;
        EXPECT_EQ(read_all(dir + "/walk.txt"), "key 0 S\n") << args;
        EXPECT_EQ(read_all(dir + "/out.txt"), "") << args;
        for (const char* made : {"o.jsonl", "o.wav", "s.sav"})
            EXPECT_FALSE(std::filesystem::exists(dir + "/" + made)) << args;
    }
}

namespace {

// Runs body in a child process where it may mount its own file systems (as root) and returns
// its exit status; 0 also where it cannot (then nothing is tried).
int with_private_mounts(const std::function<int()>& body) {
    const pid_t pid = fork();
    if (pid == 0) {
        const bool mounts = geteuid() == 0 && unshare(CLONE_NEWNS) == 0 &&
                            mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
        _exit(mounts ? body() : 0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

int entries_in(const std::string& dir) {
    const auto entries = std::filesystem::directory_iterator(dir);
    return static_cast<int>(std::distance(entries, std::filesystem::directory_iterator()));
}

}  // namespace

// A full disk, a file-size limit (the signal it sends would end the run without a word), a
// read-only folder, a folder that is not there: the run ends with status 1 and the reason,
// and no part of the file is left; a frame that cannot be written stops the run there, the
// state lines of the passes run kept whole.
TEST(Runner, AnOutputThatCannotBeWrittenEndsTheRunWithStatus1AndTheReason) {
    for (const char* args :
         {"--state /dev/full", "--frame-digests /dev/full", "--audio /dev/full"}) {
        const Outcome o = run_with(std::string("--passes 2000 ") + args);
        EXPECT_EQ(o.status, 1) << args;
        EXPECT_TRUE(has(o.err, "cannot write /dev/full: No space left on device")) << args << "\n"
                                                                                   << o.err;
    }
    std::string dir = test_temp_dir();
    Outcome o = run_with("--passes 2000 --state $DIR/out/state.jsonl", dir,
                         "mkdir " + dir + "/out && ulimit -f 64 && ");
    EXPECT_EQ(o.status, 1) << o.err;
    EXPECT_TRUE(has(o.err, "cannot write " + dir + "/out/state.jsonl: File too large")) << o.err;
    EXPECT_EQ(entries_in(dir + "/out"), 0);

    o = run_with("--passes 5 --frame-digests $DIR/no/such/folder.txt");
    EXPECT_EQ(o.status, 1) << o.err;
    EXPECT_TRUE(has(o.err, "/no/such/folder.txt: No such file or directory")) << o.err;
    o = run_with("--passes 5 --frames-out /proc/self/frames");
    EXPECT_EQ(o.status, 1) << o.err;
    EXPECT_TRUE(has(o.err, "cannot write frames to /proc/self/frames")) << o.err;

    dir = test_temp_dir();
    EXPECT_EQ(with_private_mounts([&] {
                  const std::string locked = dir + "/locked";
                  std::filesystem::create_directory(locked);
                  mount("ro", locked.c_str(), "tmpfs", MS_RDONLY, "size=64k");
                  const Outcome ro = run_with("--passes 5 --state $DIR/locked/state.jsonl", dir);
                  return ro.status == 1 && has(ro.err, "Read-only file system") ? 0 : 1;
              }),
              0);
    if (geteuid() != 0) {  // a folder the user may not write to (root may)
        std::filesystem::create_directory(dir + "/mine");
        std::filesystem::permissions(
            dir + "/mine", std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
        o = run_with("--passes 5 --state $DIR/mine/state.jsonl", dir);
        EXPECT_EQ(o.status, 1) << o.err;
        EXPECT_TRUE(has(o.err, "/mine/state.jsonl: Permission denied")) << o.err;
    }

    // Frames into a folder that takes no files: the run stops at the first frame.
    dir = test_temp_dir();
    o = run_with("--passes 50 --state " + dir + "/state.jsonl --frames-out /sys/kernel");
    EXPECT_EQ(o.status, 1);
    EXPECT_TRUE(has(o.err, "cannot write /sys/kernel/000000.png: ")) << o.err;
    const std::string state = read_all(dir + "/state.jsonl");
    EXPECT_EQ(std::count(state.begin(), state.end(), '\n'), 1);
}

// Two runners writing the same state file and the same frames folder at once: each file is
// one run's whole file, never a mix or a torn picture; a state file that is a link stays one.
TEST(Runner, TwoRunnersAtOnceLeaveWholeFilesAndLinksStayLinks) {
    const std::string dir = test_temp_dir();
    test_write_fake_assets(dir);
    std::filesystem::create_directories(dir + "/kept");
    std::filesystem::create_symlink("kept/state.jsonl", dir + "/state.jsonl");
    // A runner's command for a seed, its state lines into state.
    const auto runner = [&](int seed, const std::string& state) {
        return std::string(QUELLARO_RUNNER) + " --assets " + dir + " --random-play " +
               std::to_string(seed + 1) + " --passes 120 --state " + state;
    };
    std::string alone[2];
    for (int seed = 0; seed < 2; ++seed) {
        const std::string out = dir + "/alone" + std::to_string(seed);
        ASSERT_EQ(std::system((runner(seed, out) + " 2>/dev/null").c_str()), 0);
        alone[seed] = read_all(out);
    }
    const std::string into_frames = " --frames-out " + dir + "/frames --every 7 2>/dev/null & ";
    std::string both;
    for (int seed = 0; seed < 2; ++seed) {
        both += runner(seed, dir + "/state.jsonl");
        both += into_frames;
    }
    ASSERT_EQ(std::system((both + "wait").c_str()), 0);
    EXPECT_TRUE(std::filesystem::is_symlink(dir + "/state.jsonl"));
    const std::string state = read_all(dir + "/kept/state.jsonl");
    EXPECT_TRUE(state == alone[0] || state == alone[1]);
    EXPECT_EQ(entries_in(dir + "/kept"), 1);
    int frames = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir + "/frames")) {
        PngPicture picture;
        EXPECT_TRUE(png_read(entry.path().string(), &picture)) << entry.path();
        ++frames;
    }
    EXPECT_EQ(frames, 18);  // 120 passes, every 7th; no temporary file left
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
