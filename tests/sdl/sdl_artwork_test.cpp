// The desktop game's own pictures (the cursor and the window's icon) and the cursor's hot-spot
// file, spoiled as the fault matrix spoils the game's files: each fault is told, naming the
// file and why, and the game plays on with the system's cursor or icon; nothing waits.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/temp_dir.h"

namespace fs = std::filesystem;

namespace {

const fs::path ASSETS = fs::path(QUELLARO_SOURCE_DIR) / "assets";

enum class Spoil { missing, garbage, other_size, fifo, loop, nul, outside };

struct Case {
    const char* file;
    Spoil spoil;
    const char* told;  // what the message says after the file's name
};

// A data folder of links to the game's files, with one of them spoiled.
std::string spoiled_data(const Case& c) {
    std::string dir = make_temp_dir("quellaro-artwork");
    for (const auto& entry : fs::directory_iterator(ASSETS))
        fs::create_symlink(entry.path(), fs::path(dir) / entry.path().filename());
    const fs::path file = fs::path(dir) / c.file;
    fs::remove(file);
    switch (c.spoil) {
        case Spoil::missing:
            break;
        case Spoil::garbage:
            std::ofstream(file) << "BM and then nothing a picture holds";
            break;
        case Spoil::other_size:
            fs::copy_file(ASSETS / "brick.bmp", file);
            break;
        case Spoil::fifo:
            mkfifo(file.c_str(), 0600);
            break;
        case Spoil::loop:
            fs::create_symlink(file.filename(), file);
            break;
        case Spoil::nul:
            std::ofstream(file, std::ios::binary) << std::string("0 0\0 9 9\n", 9);
            break;
        case Spoil::outside:
            std::ofstream(file) << "40 3\n";
            break;
    }
    return dir;
}

TEST(SdlArtwork, EveryFaultOfTheCursorIconOrHotSpotIsToldAndTheGamePlaysOn) {
    const Case cases[] = {
        {"cursor.bmp", Spoil::missing, "cannot be opened (No such file or directory)"},
        {"cursor.bmp", Spoil::garbage, "is not a picture file the game reads"},
        {"cursor.bmp", Spoil::other_size, "is 100 x 34 pixels, not 32 x 32"},
        {"cursor.bmp", Spoil::fifo, "cannot be opened (a FIFO, not a regular file)"},
        {"icon32.bmp", Spoil::loop, "cannot be opened (Too many levels of symbolic links)"},
        {"icon32.bmp", Spoil::other_size, "is 100 x 34 pixels, not 32 x 32"},
        {"icon32.bmp", Spoil::garbage, "is not a picture file the game reads"},
        {"cursor_hotspot.txt", Spoil::loop, "cannot be opened (Too many levels of symbolic links)"},
        {"cursor_hotspot.txt", Spoil::fifo, "cannot be opened (a FIFO, not a regular file)"},
        {"cursor_hotspot.txt", Spoil::nul, "does not hold a hot spot"},
        {"cursor_hotspot.txt", Spoil::outside, "does not hold a hot spot"},
    };
    const std::string work = make_temp_dir("quellaro-artwork-run");
    std::ofstream(work + "/quit.txt") << "close 3\n";
    for (const Case& c : cases) {
        const std::string data = spoiled_data(c);
        // No settings file, no sound, the dummy display; a close request ends the run.
        std::string command = "env -u DISPLAY HOME=" + work;
        command += " XDG_CONFIG_HOME= SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy timeout 20 ";
        command += std::string(QUELLARO_GAME) + " --mute --data " + data;
        command.append(" --replay ").append(work).append("/quit.txt 2>").append(work);
        command += "/err.txt";
        const int status = std::system(command.c_str());
        std::ifstream in(work + "/err.txt");
        const std::string err{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << c.file << "\n" << err;
        std::string told = "\"";
        told.append(c.file).append("\" ").append(c.told);
        EXPECT_NE(err.find(told), std::string::npos) << c.file << ": " << c.told << "\n" << err;
    }
}

}  // namespace
