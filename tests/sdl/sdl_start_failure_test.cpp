// The desktop game as a user starts it where no window can be opened, with a folder for a
// replay, or with files it cannot use: it says why and exits with status 1 (2 for a replay it
// cannot read, as the runner's --verify), not 0; a data folder that is not there is a mistake
// on the command line (status 2), even when another folder holds the pictures.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/temp_dir.h"

TEST(SdlStartFailure, NoVideoNoDisplayAFolderToReplayOrNoDataFolderEndsWithAMessage) {
    struct Start {
        const char* environment;
        const char* arguments;
        const char* told;
        int status;
    };
    const Start starts[] = {
        {"SDL_VIDEODRIVER=no_such_driver", "", "Quellaro 2005: no display to open a window on", 1},
        {"SDL_VIDEODRIVER=x11 DISPLAY=:7919", "", "Quellaro 2005: no display to open a window on",
         1},
        {"SDL_VIDEODRIVER=dummy", "--replay /tmp", "Quellaro 2005: the replay /tmp: cannot read it",
         2},
        {"SDL_VIDEODRIVER=dummy", "--data /tmp/quellaro-no-such-folder",
         "quellaro: --data /tmp/quellaro-no-such-folder: No such file or directory", 2},
        {"SDL_VIDEODRIVER=dummy", "--data /dev/null", "quellaro: --data /dev/null: not a folder",
         2},
    };
    const std::string dir = make_temp_dir("quellaro-start");
    const std::string err = dir + "/err.txt";
    for (const Start& start : starts) {
        // No settings file, no session's display.
        std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY HOME=" + dir;
        command += std::string(" XDG_CONFIG_HOME= ") + start.environment + " timeout 20 ";
        command += std::string(QUELLARO_GAME) + " " + start.arguments + " 2>" + err;
        const int status = std::system(command.c_str());
        ASSERT_TRUE(WIFEXITED(status)) << command;
        EXPECT_EQ(WEXITSTATUS(status), start.status) << command;
        std::ifstream in(err);
        const std::string text{std::istreambuf_iterator<char>(in),
                               std::istreambuf_iterator<char>()};
        EXPECT_NE(text.find(start.told), std::string::npos) << command << "\n" << text;
    }
}

namespace {

std::string read_all(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

// The entry's messages name files by their paths, escaped as a terminal may show them, with
// the reason: a settings file it cannot read (which it leaves as it is), a script to replay or
// a recording it cannot write.
TEST(SdlStartFailure, TheEntrysMessagesGiveTheReasonAndEscapeThePaths) {
    const std::string dir = make_temp_dir("quellaro-start");
    const std::string home = dir + "/\x1b[7mhome";
    std::filesystem::create_directories(home + "/.config/quellaro");
    const std::string settings = home + "/.config/quellaro/settings.ini";
    std::ofstream(settings) << "[sound]\n# " << std::string(70000, '-') << "\n";
    std::ofstream(home + "/script.txt") << "key 1 S\n"
                                        << "key 2 \x1b]0;title\x07\n";
    struct Start {
        std::string arguments;
        std::string told;
        int status;  // a replay or script that cannot be read: 2, as the runner's --verify
    };
    const std::string shown_home = dir + "/\\x1b[7mhome";
    const Start starts[] = {
        {"--replay '" + home + "/script.txt'",
         shown_home + "/script.txt:2: \"\\x1b]0;title\\x07\": ", 2},
        {"--replay '" + home + "/none.txt'",
         "Quellaro 2005: the replay " + shown_home + "/none.txt: cannot read it: No such file", 2},
        {"--record '" + home + "/no/such/folder.txt'",
         "Quellaro 2005: cannot write the recording " + shown_home +
             "/no/such/folder.txt: No such file",
         1},
    };
    const std::string err = dir + "/err.txt";
    for (const Start& start : starts) {
        std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY HOME='" + home + "'";
        command += " XDG_CONFIG_HOME= SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy timeout 20 ";
        command += std::string(QUELLARO_GAME) + " " + start.arguments + " 2>" + err;
        const int status = std::system(command.c_str());
        ASSERT_TRUE(WIFEXITED(status)) << command;
        EXPECT_EQ(WEXITSTATUS(status), start.status) << command;
        const std::string text = read_all(err);
        EXPECT_NE(text.find(start.told), std::string::npos) << text;
        EXPECT_NE(text.find(shown_home + "/.config/quellaro/settings.ini: over the size limit of "
                                         "64 KiB (70011 bytes); the game uses the defaults and "
                                         "leaves the file as it is"),
                  std::string::npos)
            << text;
        EXPECT_EQ(text.find('\x1b'), std::string::npos) << text;
    }
    EXPECT_EQ(std::filesystem::file_size(settings), 70011u);
}
