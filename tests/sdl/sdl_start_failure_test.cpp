// The desktop game as a user starts it where no window can be opened, or with a folder for a
// replay: it says why and exits with status 1, not 0; a data folder that is not there is a
// mistake on the command line (status 2), even when another folder holds the pictures.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
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
        {"SDL_VIDEODRIVER=dummy", "--replay /tmp", "Quellaro 2005: cannot read the script /tmp", 1},
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
