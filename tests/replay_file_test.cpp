// A recording's file keeps the run when the program dies: the runner killed mid-run leaves a
// journal that reads back with every pass it had played but perhaps the last, and plays
// back the same; a run that ends leaves the finished replay in its place.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "programs/common/replay_format.h"
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

std::vector<InputRecord> records_of(const Replay& replay) {
    std::vector<InputRecord> records;
    ReplayCursor cursor;
    replay_cursor_start(&cursor, &replay);
    InputRecord record;
    while (replay_cursor_next(&cursor, &record))
        records.push_back(record);
    return records;
}

int run_runner(const std::string& options) {
    const int raw = std::system((std::string(QUELLARO_RUNNER) + " " + options + " 2>&1").c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
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
    std::vector<InputRecord> kept = records_of(journal), all = records_of(whole);
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

}  // namespace
