// Every fuzz target's seed corpus and past findings, replayed through the same functions the
// fuzzers drive: a finding stays fixed, and the seeds keep meaning what they were made for.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "fuzz/fuzz_targets.h"

namespace {

struct Target {
    const char* name;
    int (*run)(const uint8_t* data, size_t size);
};

const Target targets[] = {
    {"bitmap", fuzz_bitmap},
    {"palette", fuzz_palette},
    {"script", fuzz_script},
    {"hotspot", fuzz_hotspot},
    {"wav", fuzz_wav},
    {"settings", fuzz_settings},
    {"options", fuzz_options},
    {"user_dirs", fuzz_user_dirs},
    {"png", fuzz_png},
    {"savestate", fuzz_savestate},
    {"game_options", fuzz_game_options},
    {"replay", fuzz_replay},
};

// Every file under fuzz/corpus/NAME and fuzz/regressions/NAME.
std::vector<std::filesystem::path> inputs_of(const std::string& name) {
    std::vector<std::filesystem::path> files;
    for (const char* folder : {"/fuzz/corpus/", "/fuzz/regressions/"}) {
        const std::filesystem::path dir = std::string(QUELLARO_SOURCE_DIR) + folder + name;
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(dir, error)) {
            if (entry.is_regular_file())
                files.push_back(entry.path());
        }
    }
    return files;
}

}  // namespace

TEST(FuzzReplay, EveryTargetTakesItsSeedsAndPastFindings) {
    for (const Target& target : targets) {
        const auto files = inputs_of(target.name);
        EXPECT_GE(files.size(), 4u) << target.name << ": a seed corpus of a few files";
        for (const auto& path : files) {
            std::ifstream in(path, std::ios::binary);
            // Exactly the file's bytes on the heap, as the fuzzer gives them.
            const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                             std::istreambuf_iterator<char>()};
            const std::unique_ptr<uint8_t[]> copy(new uint8_t[bytes.size() + 1]);
            std::copy(bytes.begin(), bytes.end(), copy.get());
            EXPECT_EQ(target.run(copy.get(), bytes.size()), 0) << path;
        }
    }
}
