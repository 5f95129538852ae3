// A recording's file keeps the run when the program dies: the runner killed mid-run leaves a
// journal that reads back with every pass it had played but perhaps the last, and plays
// back the same; a run that ends leaves the finished replay in its place.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "programs/common/replay_format.h"
#include "tests/replay_support.h"
#include "tests/runner_support.h"
#include "tests/test_support.h"

namespace {

bool read_replay(const std::string& path, Replay* replay, std::string* why_out) {
    const std::string bytes = read_text_file(path);
    char why[REPLAY_WHY_MAX] = "";
    const bool read = replay_decode(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(),
                                    replay, why, sizeof why);
    *why_out = why;
    return read;
}

// The runner's exit status, and what it printed (both streams) in *out when asked.
int run_runner(const std::string& options, std::string* out = nullptr) {
    const std::string command = std::string(QUELLARO_RUNNER) + " " + options + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return -1;
    std::string text;
    char chunk[512];
    for (size_t got; (got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;)
        text.append(chunk, got);
    const int raw = pclose(pipe);
    if (out != nullptr)
        *out = text;
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

void write_bytes(const std::string& path, const void* data, size_t size) {
    FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(std::fwrite(data, 1, size, file), size);
    ASSERT_EQ(std::fclose(file), 0);
}

TEST(ReplayFile, ARunnerKilledMidRunLeavesEveryPassButTheLast) {
    const std::string dir = test_temp_dir();
    const std::string killed = dir + "/killed.qrp";
    const std::string assets = assets_dir();
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        execl(QUELLARO_RUNNER, QUELLARO_RUNNER, "--assets", assets.c_str(), "--random-play", "11",
              "--passes", "100000000", "--state", "/dev/null", "--replay-out", killed.c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    // Killed once the journal holds a good few checkpoints' worth of passes.
    struct stat info = {};
    while (stat(killed.c_str(), &info) != 0 || info.st_size < 20000) {
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, WNOHANG), 0) << "the runner ended by itself";
        usleep(2000);
    }
    kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));

    Replay journal, whole;
    std::string why;
    ASSERT_TRUE(read_replay(killed, &journal, &why)) << why;
    EXPECT_EQ(journal.kind, REPLAY_JOURNAL);
    ASSERT_GT(journal.passes, 300);
    // The same player again, a pass further than the journal kept: the journal holds exactly
    // its first passes.
    const std::string reference = dir + "/reference.qrp";
    ASSERT_EQ(run_runner("--assets " + assets + " --random-play 11 --passes " +
                         std::to_string(journal.passes + 1) + " --state /dev/null --replay-out " +
                         reference),
              0);
    ASSERT_TRUE(read_replay(reference, &whole, &why)) << why;
    EXPECT_EQ(whole.kind, REPLAY_FINISHED);
    ASSERT_EQ(whole.passes, journal.passes + 1);
    std::vector<InputRecord> kept = replay_records(journal), all = replay_records(whole);
    all.pop_back();
    ASSERT_EQ(kept.size(), all.size());
    EXPECT_EQ(std::memcmp(kept.data(), all.data(), kept.size() * sizeof kept[0]), 0);
    for (int pass = 0; pass < journal.passes; ++pass)
        ASSERT_EQ(std::memcmp(replay_detail_of(journal, pass), replay_detail_of(whole, pass),
                              STATE_LINE_FIELDS),
                  0)
            << pass;
    // And the journal plays back as it was recorded.
    EXPECT_EQ(run_runner("--assets " + assets + " --verify " + killed), 0);
    replay_free(&journal);
    replay_free(&whole);
    std::filesystem::remove_all(dir);
}

// An altered replay is named at the pass and field where its state lines first part (as
// --diff of the state lines finds them, independently of the digests); damaged, foreign and
// unreadable replays exit 2 with a reason and no verdict.
TEST(ReplayFile, VerifyNamesTheFirstPassAndFieldThatDifferAndExitsByTheResult) {
    const std::string dir = test_temp_dir();
    const std::string assets = " --assets " + assets_dir();
    const std::string recorded = dir + "/win.qrp";
    ASSERT_EQ(run_runner(assets + " --script " + scripts_dir() + "win_level.txt --passes 640" +
                         " --state /dev/null --replay-out " + recorded),
              0);
    std::string out;
    EXPECT_EQ(run_runner(assets + " --verify " + recorded, &out), 0) << out;
    EXPECT_NE(out.find(": OK: 640 passes"), std::string::npos) << out;

    // The run key let go of for one stretch in the middle of the level.
    Replay replay;
    std::string why;
    ASSERT_TRUE(read_replay(recorded, &replay, &why)) << why;
    int at = 0, op = 0;
    while (op < replay.ops.count && at + replay.ops.items[op].passes <= 300)
        at += replay.ops.items[op++].passes;
    ASSERT_LT(op, replay.ops.count);
    std::memset(replay.ops.items[op].record.held, 0, sizeof replay.ops.items[op].record.held);
    ReplayBytes bytes;
    ASSERT_TRUE(replay_encode(replay, true, &bytes));
    const std::string altered = dir + "/altered.qrp";
    write_bytes(altered, bytes.items, static_cast<size_t>(bytes.count));
    bytes.release();
    replay_free(&replay);

    EXPECT_EQ(
        run_runner(assets + " --verify " + altered + " --state " + dir + "/altered.jsonl", &out),
        1);
    ASSERT_EQ(run_runner(assets + " --verify " + recorded + " --state " + dir + "/win.jsonl"), 0);
    std::string parted;
    EXPECT_EQ(run_runner("--diff " + dir + "/win.jsonl " + dir + "/altered.jsonl", &parted), 1);
    // "pass 258: hero/vx: 12 / 10" against "DIFFERS at pass 258, first in hero (...)".
    const std::string pass = parted.substr(0, parted.find(':'));
    const std::string field = parted.substr(
        pass.size() + 2, parted.find_first_of("/:", pass.size() + 2) - pass.size() - 2);
    EXPECT_NE(out.find("DIFFERS at " + pass + ", first in " + field + " "), std::string::npos)
        << out << parted;

    // Cut short, not a replay, a folder: 2, with the reason and no verdict.
    const std::string whole = read_text_file(recorded);
    write_bytes(dir + "/cut.qrp", whole.data(), whole.size() / 2);
    const std::string table = scripts_dir() + "digests.txt";
    for (const std::string& bad : {dir + "/cut.qrp", table, dir}) {
        EXPECT_EQ(run_runner(std::string(assets).append(" --verify ").append(bad), &out), 2) << bad;
        EXPECT_EQ(out.find("OK"), std::string::npos) << out;
        EXPECT_EQ(out.find("NOT CHECKED"), std::string::npos) << out;
    }
    std::filesystem::remove_all(dir);
}

}  // namespace
