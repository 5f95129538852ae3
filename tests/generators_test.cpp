// The asset generators make the committed files again, byte for byte: an upside-down picture
// or a missing sound shows on a developer's own test run. On a disk that fills they name the
// file and leave none of it half written.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "tests/test_support.h"

namespace fs = std::filesystem;

namespace {

const fs::path ASSETS = fs::path(QUELLARO_SOURCE_DIR) / "assets";

std::string read_all(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The files directly in dir, by name.
std::set<std::string> files_in(const fs::path& dir) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) {
        if (entry.is_regular_file())
            names.insert(entry.path().filename().string());
    }
    return names;
}

// Runs a shell command line; its exit status.
int run(const std::string& command) {
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

TEST(Generators, WriteTheCommittedPicturesAndSoundsAgainByteForByte) {
    const fs::path out = test_temp_dir();
    const struct {
        const char* program;
        fs::path committed;
    } generators[] = {{QUELLARO_ARTGEN, ASSETS}, {QUELLARO_SFXGEN, ASSETS / "sounds"}};
    for (const auto& g : generators) {
        const fs::path dir = out / fs::path(g.program).filename();
        ASSERT_EQ(run(std::string(g.program) + " --out " + dir.string()), 0) << g.program;
        EXPECT_EQ(files_in(dir), files_in(g.committed)) << g.program;
        for (const std::string& name : files_in(g.committed))
            EXPECT_TRUE(read_all(dir / name) == read_all(g.committed / name)) << name;
    }
}

TEST(Generators, OnAFullDiskNameTheFileAndLeaveNoPartOfOne) {
    const fs::path dir = test_temp_dir();
    const fs::path err = dir / "err.txt";
    // 16 KiB at most a file: the small pictures fit, the backdrops do not. The limit's signal
    // is ignored, so that the write fails instead of killing the program.
    const std::string command = "trap '' XFSZ; ulimit -f 16; " + std::string(QUELLARO_ARTGEN) +
                                " --out " + (dir / "out").string() + " 2>" + err.string();
    EXPECT_EQ(run("sh -c \"" + command + "\""), 1);
    const std::string told = read_all(err);
    EXPECT_NE(told.find("artgen: cannot write " + (dir / "out" / "dorvo1.bmp").string() +
                        ": File too large"),
              std::string::npos)
        << told;
    int whole = 0;
    for (const std::string& name : files_in(dir / "out")) {
        EXPECT_EQ(read_all(dir / "out" / name), read_all(ASSETS / name)) << name;
        whole += 1;
    }
    EXPECT_GT(whole, 3);
}

}  // namespace
