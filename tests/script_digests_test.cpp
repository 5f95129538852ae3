// Every committed play script replayed by the headless runner must give the state lines and
// the frames recorded in tests/scripts/digests.txt: the guard that keeps work on speed,
// structure and the platform from changing a single rule or pixel.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <sstream>
#include <string>

#include "tests/runner_support.h"

namespace {

std::string hex_digest(const std::string& bytes) {
    char text[17];
    std::snprintf(text, sizeof(text), "%016llx",
                  static_cast<unsigned long long>(
                      fnv1a(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size())));
    return text;
}

TEST(ScriptDigests, EveryCommittedScriptGivesTheRecordedStateAndFrames) {
    std::istringstream table(read_text_file(scripts_dir() + "digests.txt"));
    int scripts = 0;
    for (std::string line; std::getline(table, line);) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        std::string name, states, frames;
        int passes = 0;
        ASSERT_TRUE(fields >> name >> passes >> states >> frames) << line;
        RunnerRun run;
        run.play(read_text_file(scripts_dir() + name + ".txt"),
                 "--assets " + assets_dir() + " --passes " + std::to_string(passes) +
                     " --frame-digests " + run.dir + "/frames.txt");
        ASSERT_EQ(run.status, 0) << name << "\n" << run.errors;
        EXPECT_EQ(hex_digest(run.state_text), states) << name << ": state lines";
        EXPECT_EQ(hex_digest(read_text_file(run.dir + "/frames.txt")), frames)
            << name << ": frames";
        ++scripts;
    }
    EXPECT_EQ(scripts, 6);
}

}  // namespace
