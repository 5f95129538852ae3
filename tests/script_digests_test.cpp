// Every committed play script replayed by the headless runner must give the state lines and
// the frames recorded in tests/scripts/digests.txt: the guard that keeps work on speed,
// structure and the platform from changing a single rule or pixel. The state lines' sounds
// field came after the digests and is left out of them: sound changes no rule.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <sstream>
#include <string>

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
        EXPECT_NE(run.state_text.find(",\"sounds\":["), std::string::npos) << name;
        EXPECT_EQ(hex_digest(without_sounds(run.state_text)), states) << name << ": state lines";
        EXPECT_EQ(hex_digest(read_text_file(run.dir + "/frames.txt")), frames)
            << name << ": frames";
        ++scripts;
    }
    EXPECT_EQ(scripts, 6);
}

}  // namespace
