// Every file of assets/ spoiled in ten ways (missing, empty, cut in half, garbage, a valid 1 x 1
// picture, a 24-bit picture of its size, another valid picture of the set of another size, a
// FIFO, a symbolic link to itself, and the file grown past every size limit), one runner
// process for each: the runner either plays the start of the game with the very frames of the
// pristine set, or stops at start-up naming the file with status 1. Never a sanitizer report,
// never a wrong frame shown, never a wait. A file the game reads that spoils nothing must still
// be told about.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/test_support.h"

namespace fs = std::filesystem;

namespace {

const fs::path ASSETS = fs::path(QUELLARO_SOURCE_DIR) / "assets";

// Through every page of the title menu and both information screens, then into play: a
// walk right with a jump.
const char* const SCRIPT =
    "key 1 DOWN\nkey 2 DOWN\nkey 3 DOWN\nkey 4 DOWN\nkey 5 H\nkey 6 ESCAPE\nkey 7 A\n"
    "key 8 ESCAPE\nkey 9 S\nhold 10 39 RIGHT\nhold 14 24 C\n";
constexpr int PASSES = 40;

// Files only the desktop game reads (the window's icon and cursor): the runner plays on
// without a word.
bool runner_never_reads(const std::string& name) {
    return name == "cursor.bmp" || name == "cursor_hotspot.txt" || name == "icon16.bmp" ||
           name == "icon32.bmp";
}

std::vector<std::string> asset_files() {
    std::vector<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(ASSETS)) {
        if (entry.is_regular_file())
            names.push_back(fs::relative(entry.path(), ASSETS).string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string read_all(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

enum class Fault {
    missing,
    empty,
    truncated,
    garbage,
    one_pixel,
    deep,
    other_size,
    fifo,
    loop,
    over_cap,
};
const Fault faults[] = {Fault::missing,   Fault::empty,   Fault::truncated,  Fault::garbage,
                        Fault::one_pixel, Fault::deep,    Fault::other_size, Fault::fifo,
                        Fault::loop,      Fault::over_cap};
const char* const fault_names[] = {"missing", "empty",      "truncated", "garbage",   "1x1",
                                   "24-bit",  "other-size", "FIFO",      "link-loop", "over-cap"};

// A picture's width and height from its header; 0 x 0 for any other file.
std::pair<int32_t, int32_t> picture_size(const std::string& bytes) {
    int32_t width = 0, height = 0;
    if (bytes.size() >= 26 && bytes[0] == 'B' && bytes[1] == 'M') {
        std::copy(bytes.begin() + 18, bytes.begin() + 22, reinterpret_cast<char*>(&width));
        std::copy(bytes.begin() + 22, bytes.begin() + 26, reinterpret_cast<char*>(&height));
    }
    return {width, height < 0 ? -height : height};
}

// The next picture of the set after name whose size differs from name's (a brick sheet in the
// place of the block): valid, and a larger one lets every cell be cut, from the wrong places.
std::vector<uint8_t> other_picture(const std::string& name) {
    const std::vector<std::string> all = asset_files();
    const auto own = picture_size(read_all(ASSETS / name));
    const size_t at = static_cast<size_t>(std::find(all.begin(), all.end(), name) - all.begin());
    for (size_t i = 1; i <= all.size(); ++i) {
        const std::string bytes = read_all(ASSETS / all[(at + i) % all.size()]);
        const auto size = picture_size(bytes);
        if (size.first > 0 && size != own)
            return std::vector<uint8_t>(bytes.begin(), bytes.end());
    }
    return {};
}

// The spoiled bytes of a file (for every fault but missing).
std::vector<uint8_t> spoiled(const std::string& original, Fault fault, const std::string& name) {
    TestBmp bmp;
    switch (fault) {
        case Fault::empty:
            return {};
        case Fault::truncated:
            return std::vector<uint8_t>(original.begin(), original.begin() + original.size() / 2);
        case Fault::garbage: {
            std::vector<uint8_t> bytes(original.size());
            uint32_t state = 2166136261u;
            for (char c : name)
                state = (state ^ static_cast<uint8_t>(c)) * 16777619u;
            for (uint8_t& b : bytes) {
                state ^= state << 13;
                state ^= state >> 17;
                state ^= state << 5;
                b = static_cast<uint8_t>(state);
            }
            return bytes;
        }
        case Fault::one_pixel:
            bmp.width = bmp.height = 1;
            break;
        case Fault::deep: {
            // The picture's own size; other files get a small picture.
            const auto size = picture_size(original);
            bmp.width = size.first > 0 ? size.first : 16;
            bmp.height = size.first > 0 ? size.second : 16;
            bmp.bits = 24;
            break;
        }
        case Fault::other_size:
            return other_picture(name);
        default:
            break;
    }
    return test_bmp_bytes(bmp);
}

// A folder of links to the pristine files, with name spoiled (or left out).
fs::path spoiled_folder(const std::string& name, const Fault* fault) {
    fs::path dir = test_temp_dir();
    for (const auto& entry : fs::directory_iterator(ASSETS)) {
        const std::string top = entry.path().filename().string();
        if (entry.is_directory() && name.rfind(top + "/", 0) == 0) {
            fs::create_directory(dir / top);
            for (const auto& inner : fs::directory_iterator(entry.path()))
                fs::create_symlink(inner.path(), dir / top / inner.path().filename());
        } else {
            fs::create_symlink(entry.path(), dir / top);
        }
    }
    if (fault) {
        const fs::path file = dir / name;
        fs::remove(file);
        if (*fault == Fault::fifo) {
            mkfifo(file.c_str(), 0600);  // nothing writes to it: a plain open waits for ever
        } else if (*fault == Fault::loop) {
            fs::create_symlink(file.filename(), file);
        } else if (*fault == Fault::over_cap) {
            // The file as it was, then a terabyte that takes no room: no reader may go on
            // into it, and none may read it all.
            fs::copy_file(ASSETS / name, file);
            EXPECT_EQ(truncate(file.c_str(), off_t{1} << 40), 0) << file;
        } else if (*fault != Fault::missing) {
            test_write_file(file, spoiled(read_all(ASSETS / name), *fault, name));
        }
    }
    return dir;
}

struct Outcome {
    int status;
    std::string digests, err;
};

Outcome run_runner(const fs::path& assets) {
    const fs::path out = test_temp_dir();
    std::ofstream(out / "script.txt") << SCRIPT;
    // A runner that waits (on a FIFO) fails its case instead of stalling the run.
    const std::string command = "timeout 60 " + std::string(QUELLARO_RUNNER) + " --assets " +
                                assets.string() + " --script " + (out / "script.txt").string() +
                                " --passes " + std::to_string(PASSES) + " --frame-digests " +
                                (out / "digests.txt").string() + " 2>" + (out / "err.txt").string();
    const int status = std::system(command.c_str());
    Outcome run{WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status),
                read_all(out / "digests.txt"), read_all(out / "err.txt")};
    fs::remove_all(out);
    return run;
}

const Outcome& pristine() {
    static const Outcome run = run_runner(spoiled_folder("", nullptr));
    return run;
}

class FaultMatrix : public ::testing::TestWithParam<std::string> {};

}  // namespace

TEST_P(FaultMatrix, PlaysTheSameOrStopsAtStartUpNamingTheFile) {
    const std::string name = GetParam();
    ASSERT_EQ(pristine().status, 0) << pristine().err;
    ASSERT_EQ(std::count(pristine().digests.begin(), pristine().digests.end(), '\n'), PASSES);
    std::string outcomes;
    for (size_t i = 0; i < std::size(faults); ++i) {
        const fs::path dir = spoiled_folder(name, &faults[i]);
        const Outcome run = run_runner(dir);
        fs::remove_all(dir);
        const std::string what = name + " " + fault_names[i];
        EXPECT_EQ(run.err.find("Sanitizer"), std::string::npos) << what << "\n" << run.err;
        EXPECT_EQ(run.err.find("runtime error"), std::string::npos) << what << "\n" << run.err;
        // Named with its folder ("sounds/coin.wav") or without.
        const bool named =
            run.err.find(fs::path(name).filename().string() + "\"") != std::string::npos;
        if (run.status == 0) {
            EXPECT_EQ(run.digests, pristine().digests) << what << ": played, but not the same";
            EXPECT_TRUE(named || runner_never_reads(name)) << what << ": not told\n" << run.err;
            outcomes += std::string(" ") + fault_names[i] + (named ? ":plays,told" : ":plays");
        } else {
            EXPECT_EQ(run.status, 1) << what << "\n" << run.err;
            EXPECT_TRUE(named) << what << ": the failure does not name it\n" << run.err;
            EXPECT_TRUE(run.digests.empty()) << what << ": frames were shown before it stopped";
            // 124: stopped by the time limit, waiting.
            outcomes += std::string(" ") + fault_names[i] +
                        (run.status == 1     ? ":stops"
                         : run.status == 124 ? ":waits"
                                             : ":status-" + std::to_string(run.status));
        }
    }
    std::printf("fault matrix: %s%s\n", name.c_str(), outcomes.c_str());
}

INSTANTIATE_TEST_SUITE_P(EveryAssetFile, FaultMatrix, ::testing::ValuesIn(asset_files()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             std::string id = info.param;
                             for (char& c : id) {
                                 if (!std::isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             }
                             return id;
                         });
