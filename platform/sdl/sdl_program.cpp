// The program's SDL services: taking SDL into use and letting it go, the folder the program
// runs from, the window's presence and message boxes.
#include <SDL.h>

#include <cstdio>

#include "platform/sdl/sdl_backend.h"

void sdl_program_start() {
    // Our own main, on every platform: SDL need not wrap it.
    SDL_SetMainReady();
}

void sdl_program_end() {
    SDL_Quit();
}

int sdl_base_path(char* out, size_t size) {
    char* base = SDL_GetBasePath();
    const int known =
        base != nullptr && std::snprintf(out, size, "%s", base) < static_cast<int>(size);
    SDL_free(base);
    if (!known && size > 0) {
        out[0] = '\0';
    }
    return known ? 1 : 0;
}

int sdl_window_open() {
    return sdl_window != nullptr ? 1 : 0;
}

void sdl_show_message(const char* text) {
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "Quellaro 2005", text, nullptr);
}
