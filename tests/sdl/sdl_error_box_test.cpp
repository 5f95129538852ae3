// The message box of a failed start names what standard error names: every file of assets/
// spoiled in each way the fault matrix spoils it, the desktop game started on it through the
// SDL backend, and the box's text compared with the line the game printed.
#include <SDL.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/sdl/sdl_backend.h"
#include "programs/desktop/desktop_loop.h"
#include "tests/temp_dir.h"

namespace fs = std::filesystem;

namespace {

const fs::path ASSETS = fs::path(QUELLARO_SOURCE_DIR) / "assets";

std::string read_all(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void write_all(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

void put32(std::string* out, size_t at, uint32_t value) {
    for (int i = 0; i < 4; i++)
        (*out)[at + i] = static_cast<char>(value >> (8 * i));
}

// An uncompressed picture of width x height at 8 bits (a grey palette) or 24.
std::string bmp(int width, int height, int bits) {
    const int row = (width * bits / 8 + 3) & ~3;
    const int colours = bits == 8 ? 256 : 0;
    const int offset = 54 + 4 * colours;
    std::string out(static_cast<size_t>(offset + row * height), '\0');
    out[0] = 'B';
    out[1] = 'M';
    put32(&out, 2, static_cast<uint32_t>(out.size()));
    put32(&out, 10, static_cast<uint32_t>(offset));
    put32(&out, 14, 40);
    put32(&out, 18, static_cast<uint32_t>(width));
    put32(&out, 22, static_cast<uint32_t>(height));
    out[26] = 1;
    out[28] = static_cast<char>(bits);
    put32(&out, 46, static_cast<uint32_t>(colours));
    for (int i = 0; i < colours; i++)
        out[54 + 4 * i] = out[55 + 4 * i] = out[56 + 4 * i] = static_cast<char>(i);
    return out;
}

std::pair<uint32_t, uint32_t> size_of(const std::string& bytes) {
    if (bytes.size() < 26 || bytes[0] != 'B' || bytes[1] != 'M')
        return {0, 0};
    uint32_t w = 0, h = 0;
    std::copy(bytes.begin() + 18, bytes.begin() + 22, reinterpret_cast<char*>(&w));
    std::copy(bytes.begin() + 22, bytes.begin() + 26, reinterpret_cast<char*>(&h));
    return {w, h};
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

const char* const FAULTS[] = {"missing", "empty",      "truncated", "garbage",   "1x1",
                              "24-bit",  "other-size", "FIFO",      "link-loop", "over-cap"};

// In dir, a copy of the set (links to it), name spoiled by fault in it.
void spoil(const fs::path& dir, const std::vector<std::string>& names, const std::string& name,
           const std::string& fault) {
    const fs::path file = dir / name;
    const std::string original = read_all(ASSETS / name);
    fs::remove(file);
    const auto size = size_of(original);
    if (fault == "empty") {
        write_all(file, "");
    } else if (fault == "truncated") {
        write_all(file, original.substr(0, original.size() / 2));
    } else if (fault == "garbage") {
        std::string bytes(original.size(), '\0');
        uint32_t state = 2463534242u;
        for (char& b : bytes) {
            state ^= state << 13;
            state ^= state >> 17;
            state ^= state << 5;
            b = static_cast<char>(state);
        }
        write_all(file, bytes);
    } else if (fault == "1x1") {
        write_all(file, bmp(1, 1, 8));
    } else if (fault == "24-bit") {
        write_all(file, bmp(size.first ? size.first : 16, size.first ? size.second : 16, 24));
    } else if (fault == "other-size") {
        for (const std::string& other : names) {
            const std::string bytes = read_all(ASSETS / other);
            if (size_of(bytes).first > 0 && size_of(bytes) != size) {
                write_all(file, bytes);
                break;
            }
        }
    } else if (fault == "FIFO") {
        mkfifo(file.c_str(), 0600);
    } else if (fault == "link-loop") {
        fs::create_symlink(file.filename(), file);
    } else if (fault == "over-cap") {
        write_all(file, original);
        EXPECT_EQ(truncate(file.c_str(), off_t{1} << 40), 0);
    }
}

// Asks the window to close, again and again (the window's opening drops what came before).
Uint32 close_again(Uint32 interval, void*) {
    SDL_Event close{};
    close.type = SDL_QUIT;
    SDL_PushEvent(&close);
    return interval;
}

// The desktop game's run from start-up, in dir; a start that succeeds is closed at once.
std::string start_in(const fs::path& dir) {
    const fs::path back = fs::current_path();
    fs::current_path(dir);
    const SDL_TimerID closing = SDL_AddTimer(10, close_again, nullptr);
    desktop_run();
    SDL_RemoveTimer(closing);
    desktop_reset();
    fs::current_path(back);
    return sdl_message_shown();
}

}  // namespace

TEST(SdlErrorBox, AFailedStartShowsTheLineThatNamesTheFileAndWhy) {
    settings_default(&sdl_settings);
    sdl_settings.fullscreen = 0;
    sdl_settings.window_width = 640;
    sdl_settings.window_height = 480;
    sdl_settings_path[0] = '\0';
    ASSERT_EQ(sdl_video_start(), 1);
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_TIMER), 0);
    const std::vector<std::string> names = asset_files();
    ASSERT_GT(names.size(), 40u);
    const fs::path dir = make_temp_dir("quellaro-box");
    fs::create_directories(dir / "sounds");
    for (const std::string& each : names)
        fs::create_symlink(ASSETS / each, dir / each);
    int failed_starts = 0;
    for (const std::string& name : names) {
        for (const char* fault : FAULTS) {
            spoil(dir, names, name, fault);
            sdl_note_message("");
            testing::internal::CaptureStderr();
            const std::string box = start_in(dir);
            const std::string said = testing::internal::GetCapturedStderr();
            fs::remove(dir / name);
            fs::create_symlink(ASSETS / name, dir / name);
            if (box.empty())
                continue;  // it started: a file it can do without, told on standard error
            ++failed_starts;
            const std::string what = name + " " + fault;
            // Named as the game names it: "sounds/coin.wav" or "coin.bmp", in quotes.
            EXPECT_NE(box.find("\"" + name + "\""), std::string::npos) << what << ": " << box;
            EXPECT_EQ(box.find("display memory"), std::string::npos) << what << ": " << box;
            EXPECT_NE(said.find(box + "\n"), std::string::npos)
                << what << ": the box differs from standard error\n"
                << box << "\n"
                << said;
        }
    }
    // Every picture and sound the game needs stops it in most of the ways.
    EXPECT_GT(failed_starts, static_cast<int>(names.size()) * 5) << failed_starts;
}
