// The game's entry point on the SDL backend: find the pictures, then run the program.
#define SDL_MAIN_HANDLED  // our own main, on every platform
#include <SDL.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "shell/app.h"

namespace {

// The game reads its pictures from the working directory. Started from elsewhere, it works
// from its executable's folder, where the build copies the pictures. If they are not there
// either, the shell says which file it could not read.
void find_pictures() {
    if (std::FILE* probe = std::fopen("menubackground1.bmp", "rb")) {
        std::fclose(probe);
        return;
    }
    char* base = SDL_GetBasePath();
    if (base == nullptr) {
        return;
    }
    std::error_code error;
    std::filesystem::current_path(base, error);
    SDL_free(base);
}

// The arguments joined by blanks, as the program of old received them (it ignores them).
char command_line[1024];

void join_arguments(int argc, char** argv) {
    size_t used = 0;
    for (int i = 1; i < argc; i++) {
        size_t length = std::strlen(argv[i]);
        if (used + length + 2 > sizeof command_line) {
            break;
        }
        if (used > 0) {
            command_line[used++] = ' ';
        }
        std::memcpy(command_line + used, argv[i], length);
        used += length;
    }
    command_line[used] = '\0';
}

}  // namespace

int main(int argc, char** argv) {
    SDL_SetMainReady();
    find_pictures();
    join_arguments(argc, argv);
    constexpr int SHOW_NORMAL = 1;
    return app_main(nullptr, nullptr, command_line, SHOW_NORMAL);
}
