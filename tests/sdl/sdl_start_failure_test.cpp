// The desktop game as a user starts it where no window can be opened: it says why and exits
// with status 1, not 0.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

TEST(SdlStartFailure, NoVideoOrNoDisplayEndsWithAMessageAndStatusOne) {
    const char* environments[] = {
        "SDL_VIDEODRIVER=no_such_driver",
        "SDL_VIDEODRIVER=x11 DISPLAY=:7919",  // no X server there
    };
    char dir[] = "/tmp/quellaro-start-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string err = std::string(dir) + "/err.txt";
    for (const char* environment : environments) {
        // The game's own data folder, no settings file, no session's display.
        const std::string command = std::string("env -u DISPLAY -u WAYLAND_DISPLAY HOME=") + dir +
                                    " XDG_CONFIG_HOME= " + environment + " timeout 20 " +
                                    QUELLARO_GAME + " 2>" + err;
        const int status = std::system(command.c_str());
        ASSERT_TRUE(WIFEXITED(status)) << environment;
        EXPECT_EQ(WEXITSTATUS(status), 1) << environment;
        std::ifstream in(err);
        const std::string text{std::istreambuf_iterator<char>(in),
                               std::istreambuf_iterator<char>()};
        EXPECT_NE(text.find("Quellaro 2005: "), std::string::npos) << environment << "\n" << text;
    }
}
