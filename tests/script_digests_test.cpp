// Every committed play script replayed by the headless runner must give the state lines and
// the frames recorded in tests/scripts/digests.txt: the guard that keeps work on speed,
// structure and the platform from changing a single rule or pixel.
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
        EXPECT_EQ(hex(fnv1a(read_file(dir + "/state.jsonl"))), states) << name << ": state lines";
        EXPECT_EQ(hex(fnv1a(read_file(dir + "/frames.txt"))), frames) << name << ": frames";
        ++scripts;
    }
    EXPECT_EQ(scripts, 6);
}
}  // namespace
