// SDL events handed to the game's input: key presses as virtual-key codes, left-button presses
// in frame pixels, the close request; and the held-key query from SDL's keyboard state.
#include <SDL.h>

#include "platform/platform.h"
#include "platform/sdl/keymap.h"
#include "platform/sdl/letterbox.h"
#include "platform/sdl/sdl_backend.h"

// The key table carries SDL's key code values without including SDL; keep them in step.
static_assert(KEYCODE_RETURN == SDLK_RETURN && KEYCODE_ESCAPE == SDLK_ESCAPE &&
              KEYCODE_DELETE == SDLK_DELETE && KEYCODE_0 == SDLK_0 && KEYCODE_A == SDLK_a &&
              KEYCODE_PAGEDOWN == SDLK_PAGEDOWN && KEYCODE_RIGHT == SDLK_RIGHT &&
              KEYCODE_LEFT == SDLK_LEFT && KEYCODE_DOWN == SDLK_DOWN && KEYCODE_UP == SDLK_UP &&
              KEYCODE_KP_ENTER == SDLK_KP_ENTER && SDLK_z - SDLK_a == 25 && SDLK_9 - SDLK_0 == 9);

namespace {

// A left-button press, in frame pixels. Presses on the letterbox bars are dropped: no frame
// pixel is there, and nothing on the frame could answer them.
void button_down(const SDL_MouseButtonEvent& press, const PlatformInput* input) {
    SDL_Window* window = SDL_GetWindowFromID(press.windowID);
    if (window == nullptr) {
        return;
    }
    int width = 0, height = 0;
    SDL_GetWindowSize(window, &width, &height);
    Letterbox box = letterbox_fit(width, height, sdl_frame_width, sdl_frame_height);
    int x, y;
    if (!letterbox_to_frame(box, press.x, press.y, &x, &y)) {
        return;
    }
    // SDL counts the presses of a quick series; as on the desktop of old, every second one
    // is a double click (a triple click is a double click and then a plain press).
    int double_click = press.clicks >= 2 && press.clicks % 2 == 0;
    input->button_down(x, y, double_click);
}

}  // namespace

void platform_pump_events(const PlatformInput* input) {
    sdl_note_pump();
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        if (event.type == SDL_KEYDOWN) {
            // Auto-repeated presses come through too: holding Down cycles the menu.
            int key = key_from_keycode(event.key.keysym.sym);
            if (key != 0) {
                input->key_down(key);
            }
        } else if (event.type == SDL_MOUSEBUTTONDOWN && event.button.button == SDL_BUTTON_LEFT) {
            button_down(event.button, input);
        } else if (event.type == SDL_QUIT) {
            input->close();
        }
    }
}

int platform_key_held(int key) {
    int32_t keycodes[4];
    int count = keycodes_for_key(key, keycodes, 4);
    int states = 0;
    const Uint8* state = SDL_GetKeyboardState(&states);
    for (int i = 0; i < count; i++) {
        SDL_Scancode scancode = SDL_GetScancodeFromKey(keycodes[i]);
        if (scancode > SDL_SCANCODE_UNKNOWN && scancode < states && state[scancode]) {
            return 1;
        }
    }
    return 0;
}
