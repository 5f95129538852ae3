// Every committed play script replayed by the headless runner must give the state lines and
// the frames recorded in tests/scripts/digests.txt: the guard that keeps work on speed,
// structure and the platform from changing a single rule or pixel. The state lines' sounds
// field came after the digests and is left out of them: sound changes no rule.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "tests/test_support.h"

namespace {
const std::string SCRIPTS = std::string(QUELLARO_SOURCE_DIR) + "/tests/scripts/";

uint64_t fnv1a(const std::string& bytes) {
    uint64_t hash = 14695981039346656037ull;
    for (unsigned char byte : bytes) {
        hash ^= byte;
        hash *= 1099511628211ull;
    }
    return hash;
}

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

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

std::string hex(uint64_t value) {
    char text[17];
    std::snprintf(text, sizeof(text), "%016llx", static_cast<unsigned long long>(value));
    return text;
}

TEST(ScriptDigests, EveryCommittedScriptGivesTheRecordedStateAndFrames) {
    std::ifstream table(SCRIPTS + "digests.txt");
    ASSERT_TRUE(table.good());
    int scripts = 0;
    for (std::string line; std::getline(table, line);) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        std::string name, states, frames;
        int passes = 0;
        ASSERT_TRUE(fields >> name >> passes >> states >> frames) << line;
        const std::string dir = test_temp_dir();
        const std::string command = std::string(QUELLARO_RUNNER) + " --assets " +
                                    QUELLARO_SOURCE_DIR + "/assets --script " + SCRIPTS + name +
                                    ".txt --passes " + std::to_string(passes) + " --state " + dir +
                                    "/state.jsonl --frame-digests " + dir + "/frames.txt";
        ASSERT_EQ(std::system(command.c_str()), 0) << name;
        const std::string lines = read_file(dir + "/state.jsonl");
        EXPECT_NE(lines.find(",\"sounds\":["), std::string::npos) << name;
        EXPECT_EQ(hex(fnv1a(without_sounds(lines))), states) << name << ": state lines";
        EXPECT_EQ(hex(fnv1a(read_file(dir + "/frames.txt"))), frames) << name << ": frames";
        ++scripts;
    }
    EXPECT_EQ(scripts, 6);
}
}  // namespace
