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

namespace {

// The last box's text, as sdl_message_shown gives it.
char message_shown[2048];

}  // namespace

void sdl_note_message(const char* text) {
    std::snprintf(message_shown, sizeof message_shown, "%s", text);
}

const char* sdl_message_shown() {
    return message_shown;
}

void sdl_show_message(const char* text) {
    sdl_note_message(text);
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "Quellaro 2005", text, nullptr);
}
