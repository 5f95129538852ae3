// The include-layer check: the tree as committed passes, and each kind of planted fault in a
// small tree of its own fails it with the file named.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/test_support.h"

namespace {

const std::string CHECK = std::string(QUELLARO_SOURCE_DIR) + "/tools/check-layers.sh";

// Runs the check over dir; its exit status, and what it said in *said.
int check(const std::string& dir, std::string* said = nullptr) {
    const std::string out = test_temp_dir() + "/said.txt";
    const int status = std::system((CHECK + " " + dir + " 2>" + out).c_str());
    if (said) {
        std::ifstream in(out);
        said->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return WEXITSTATUS(status);
}

void write(const std::string& dir, const std::string& file, const std::string& text) {
    const std::filesystem::path path = std::filesystem::path(dir) / file;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path) << text;
}

// A tree that keeps every rule: each layer including the ones below it, a program's entry.
std::string clean_tree() {
    std::string dir = test_temp_dir();
    write(dir, "platform/types.h", "#pragma once\n");
    write(dir, "platform/sdl/sdl_input.cpp", "#include <SDL.h>\n#include \"platform/types.h\"\n");
    write(dir, "programs/desktop/main.cpp",
          "#include \"platform/sdl/sdl_program.h\"\n#include \"shell/app.h\"\n"
          "#include \"tools/support/options.h\"\n");
    write(dir, "tests/sdl/sdl_backend_test.cpp", "#include <SDL.h>\n#include \"shell/app.h\"\n");
    write(dir, "engine/display.h", "#pragma once\n#include \"platform/types.h\"\n");
    write(dir, "world/hero.cpp", "#include \"engine/display.h\"\n#include \"shell/game.h\"\n");
    write(dir, "shell/game.h", "#pragma once\n#include \"engine/display.h\"\n");
    write(dir, "tools/runner_main.cpp", "#include \"world/hero.h\"\n");
    write(dir, "bench/frame_bench.cpp", "#include <SDL.h>\n#include \"shell/game.h\"\n");
    return dir;
}

}  // namespace

TEST(LayerCheck, TheCommittedTreeKeepsItsLayers) {
    std::string said;
    EXPECT_EQ(check(QUELLARO_SOURCE_DIR, &said), 0) << said;
}

TEST(LayerCheck, EachPlantedFaultFailsItWithTheFileNamed) {
    EXPECT_EQ(check(clean_tree()), 0);
    struct Fault {
        const char* file;
        const char* text;
        const char* named;
    };
    const Fault faults[] = {
        {"engine/gfx.cpp", "#include \"shell/window.h\"\n", "engine/gfx.cpp:1"},
        {"platform/sdl/sdl_input.cpp", "#include \"shell/window.h\"\n", "sdl_input.cpp:1"},
        {"world/load.cpp", "  # include \"tools/support/png.h\"\n", "world/load.cpp:1"},
        {"menu/menu.cpp", "#include \"world/level.h\"\n", "menu/menu.cpp:1"},
        {"world/hero.cpp", "#include <SDL2/SDL.h>\n", "SDL is included outside"},
        {"tests/world_test.cpp", "#include <SDL.h>\n", "SDL is included outside"},
        {"platform/sdl/sdl_video.cpp", "#include \"engine/clock.h\"\n", "sdl_video.cpp:1"},
        {"shell/app.cpp", "#include <emscripten.h>\n", "Emscripten is included outside"},
        {"engine/display.h", "#pragma once\n#include \"engine/gfx.h\"\n", "include circle"},
        // The ground floor holds no entry point: a backend's main reaching up fails too.
        {"platform/sdl/main.cpp", "#include \"shell/app.h\"\n", "platform/sdl/main.cpp:1"},
        {"programs/desktop/main.cpp", "#include <SDL.h>\n", "SDL is included outside"},
        {"programs/web/main.cpp", "#include <emscripten.h>\n", "Emscripten is included outside"},
        {"tools/runner_main.cpp", "#include \"programs/desktop/options.h\"\n",
         "tools/runner_main.cpp:1"},
    };
    for (const Fault& fault : faults) {
        const std::string dir = clean_tree();
        write(dir, "engine/gfx.h", "#pragma once\n");
        if (std::string(fault.named) == "include circle")
            write(dir, "engine/gfx.h", "#pragma once\n#include \"engine/display.h\"\n");
        write(dir, fault.file, fault.text);
        std::string said;
        EXPECT_EQ(check(dir, &said), 1) << fault.file;
        EXPECT_NE(said.find(fault.named), std::string::npos) << said;
    }
}
