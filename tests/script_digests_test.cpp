// Every committed play script replayed by the headless runner must give the state lines and
// the frames recorded in tests/scripts/digests.txt: the guard that keeps work on speed,
// structure and the platform from changing a single rule or pixel. The state lines' sounds
// field came after the digests and is left out of them: sound changes no rule.
//
// Beside the table, tests/scripts/expected/ keeps each script's run as a replay (every pass's
// field digests) and its frames' digests, so that a failure names the first pass and field
// that differ. After a change meant to change play, `make regenerate-digests` writes the
// table and those files again from the runner as it now plays.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "platform/file_write.h"
#include "tests/runner_support.h"

namespace {

// The state lines without their sounds field.
std::string without_sounds(const std::string& lines) {
    std::string kept;
    const std::string field = ",\"sounds\":[";
    size_t at = 0;
    for (size_t cut; (cut = lines.find(field, at)) != std::string::npos;) {
        kept.append(lines, at, cut - at);
        at = lines.find(']', cut);
        at = at == std::string::npos ? lines.size() : at + 1;
    }
    kept.append(lines, at, std::string::npos);
    return kept;
}

std::string hex_digest(const std::string& bytes) {
    char text[17];
    std::snprintf(text, sizeof(text), "%016llx",
                  static_cast<unsigned long long>(
                      fnv1a(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size())));
    return text;
}

std::string expected_dir() {
    return scripts_dir() + "expected/";
}

// What `quellaro-headless --diff a b` prints, and its exit status.
std::string runner_diff(const std::string& a, const std::string& b, int* status) {
    const std::string command = std::string(QUELLARO_RUNNER) + " --diff " + a + " " + b + " 2>&1";
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return "(the runner did not start)";
    char chunk[512];
    for (size_t got; (got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;)
        out.append(chunk, got);
    const int raw = pclose(pipe);
    *status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return out;
}

// The first line where two lists of frame digests part, as "pass N: A / B", or "".
std::string first_frame_difference(const std::string& expected, const std::string& now) {
    std::istringstream a(expected), b(now);
    std::string la, lb;
    for (int line = 0;; ++line) {
        const bool more_a = static_cast<bool>(std::getline(a, la));
        const bool more_b = static_cast<bool>(std::getline(b, lb));
        if (!more_a && !more_b)
            return "";
        if (more_a != more_b)
            return "after line " + std::to_string(line) + ": one list ends";
        if (la != lb)
            return "pass " + la.substr(0, la.find(' ')).append(": ").append(la).append(" / ") + lb;
    }
}

bool write_file(const std::string& path, const std::string& bytes) {
    char why[256] = "";
    const bool written =
        file_write_whole(path.c_str(), bytes.data(), bytes.size(), why, sizeof why);
    EXPECT_TRUE(written) << path << ": " << why;
    return written;
}

TEST(ScriptDigests, EveryCommittedScriptGivesTheRecordedStateAndFrames) {
    // make regenerate-digests: the table and the expected runs written again, not compared.
    const bool regenerate = std::getenv("QUELLARO_REGENERATE_DIGESTS") != nullptr;
    std::istringstream table(read_text_file(scripts_dir() + "digests.txt"));
    std::string new_table;
    int scripts = 0;
    for (std::string line; std::getline(table, line);) {
        if (line.empty() || line[0] == '#') {
            new_table += line + "\n";
            continue;
        }
        std::istringstream fields(line);
        std::string name, states, frames;
        int passes = 0;
        ASSERT_TRUE(fields >> name >> passes >> states >> frames) << line;
        RunnerRun run;
        run.play(read_text_file(scripts_dir() + name + ".txt"),
                 "--assets " + assets_dir() + " --passes " + std::to_string(passes) +
                     " --frame-digests " + run.dir + "/frames.txt --replay-out " + run.dir +
                     "/run.qrp");
        ASSERT_EQ(run.status, 0) << name << "\n" << run.errors;
        EXPECT_NE(run.state_text.find(",\"sounds\":["), std::string::npos) << name;
        const std::string frame_list = read_text_file(run.dir + "/frames.txt");
        const std::string states_now = hex_digest(without_sounds(run.state_text));
        const std::string frames_now = hex_digest(frame_list);
        ++scripts;
        if (regenerate) {
            std::filesystem::create_directories(expected_dir());
            write_file(expected_dir() + name + ".qrp", read_text_file(run.dir + "/run.qrp"));
            write_file(expected_dir() + name + ".frames", frame_list);
            new_table.append(name).append(" ").append(std::to_string(passes)).append(" ");
            new_table.append(states_now).append(" ").append(frames_now).append("\n");
            continue;
        }
        // Where the run parts from the expected one, by pass and field.
        int status = -1;
        const std::string parted =
            runner_diff(expected_dir() + name + ".qrp", run.dir + "/run.qrp", &status);
        EXPECT_EQ(status, 0) << name << ": " << parted;
        EXPECT_EQ(states_now, states) << name << ": state lines; where they part: " << parted;
        EXPECT_EQ(
            first_frame_difference(read_text_file(expected_dir() + name + ".frames"), frame_list),
            "")
            << name << ": frames";
        EXPECT_EQ(frames_now, frames) << name << ": frames";
    }
    EXPECT_EQ(scripts, 6);
    if (regenerate)
        write_file(scripts_dir() + "digests.txt", new_table);
}

}  // namespace
