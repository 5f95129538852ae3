// SDL events handed to the game's input: key presses by their bindings, left-button presses
// in frame pixels, gamepads, the close request; the held-key query; and the port's own keys
// and window events (full screen, scale mode, screenshot, mute, pause, focus, resizing).
#include <SDL.h>

#include <cstdio>

#include "platform/common/key_presses.h"
#include "platform/platform.h"
#include "platform/sdl/gamepad.h"
#include "platform/sdl/keymap.h"
#include "platform/sdl/sdl_backend.h"

// The key table carries SDL's key code values without including SDL; keep them in step.
static_assert(KEYCODE_RETURN == SDLK_RETURN && KEYCODE_ESCAPE == SDLK_ESCAPE &&
              KEYCODE_SPACE == SDLK_SPACE && KEYCODE_DELETE == SDLK_DELETE && KEYCODE_A == SDLK_a &&
              KEYCODE_F10 == SDLK_F10 && KEYCODE_F11 == SDLK_F11 && KEYCODE_F12 == SDLK_F12 &&
              KEYCODE_PAGEDOWN == SDLK_PAGEDOWN && KEYCODE_RIGHT == SDLK_RIGHT &&
              KEYCODE_LEFT == SDLK_LEFT && KEYCODE_DOWN == SDLK_DOWN && KEYCODE_UP == SDLK_UP &&
              KEYCODE_KP_ENTER == SDLK_KP_ENTER);

int sdl_paused;
int sdl_game_cursor_visible = 1;
int sdl_pass;
int sdl_live_presses = 1;

namespace {

constexpr int MAX_PADS = 8;
// How long the pause waits for an event before it looks at the pads and the settings again.
constexpr int PAUSE_WAIT_MS = 100;

// Keys down now, by scan code, as the events told (SDL's own keyboard state is not moved by
// events pushed from outside, such as a test's).
uint8_t key_down[SDL_NUM_SCANCODES];
// Held roles whose key went down since the held keys were last read: a tap shorter than a
// pass is held for the next pass, so that it still counts.
uint32_t tapped_roles;
// Frame advance asked for while paused: the pause lets one pass run.
bool advance_asked;
SDL_GameController* pads[MAX_PADS];
bool pads_started;
PadMapper pad_mapper;
uint32_t pad_held_roles;
// The cursor as last given to SDL; -1 before the first call.
int cursor_shown = -1;
// Where the game takes its input, as the last pump gave it (a close request during a pause
// goes there too).
const PlatformInput* game_input;
// The program's menu over the held game, or null; where notes for the player go, or null.
const SdlMenu* menu;
void (*note)(const char* text);
// The window's close button was pressed: the quit that follows is the player's, and may be
// asked about; one without it (a signal, the session ending) is not asked about.
bool close_pressed;

bool menu_shown() {
    return menu != nullptr && menu->shown();
}

void show_cursor() {
    int shown = sdl_game_cursor_visible || sdl_paused ? 1 : 0;
    if (shown != cursor_shown) {
        SDL_ShowCursor(shown ? SDL_ENABLE : SDL_DISABLE);
        cursor_shown = shown;
    }
}

void post_key(int key) {
    if (game_input != nullptr) {
        game_input->key_down(key);
    }
}

void post_click(int x, int y, int double_click) {
    if (game_input != nullptr) {
        game_input->button_down(x, y, double_click);
    }
}

void post_close() {
    const bool insisted = !close_pressed;
    close_pressed = false;
    if (insisted && menu != nullptr) {
        menu->quit_now();
    } else if (game_input != nullptr) {
        game_input->close();
    }
    // The game must run to take the request; a pause would hold it forever.
    sdl_set_paused(0);
}

// True when live presses may reach the game: not paused, and the program takes them.
bool game_takes_input() {
    return !sdl_paused && sdl_live_presses;
}

// The program's commands go to it whatever the pause; frame advance in play pauses first,
// and while paused lets one pass run.
void give_command(int command) {
    // The program hears of frame advance before the pause it brings begins.
    if (game_input != nullptr && game_input->command != nullptr) {
        game_input->command(command);
    }
    if (command == COMMAND_FRAME_ADVANCE) {
        if (sdl_paused) {
            advance_asked = true;
        } else if (sdl_in_play()) {
            sdl_set_paused(1);
        }
    }
}

void press_role(int role) {
    if (role == ROLE_PAUSE) {
        if (sdl_in_play() || sdl_paused) {
            sdl_set_paused(!sdl_paused);
        }
    } else if (role == ROLE_FULLSCREEN) {
        sdl_toggle_fullscreen();
        sdl_say(sdl_settings.fullscreen ? "Full screen" : "Window");
    } else if (role == ROLE_SCALE) {
        sdl_toggle_scale();
        static const char* const modes[] = {"Scaling: auto", "Scaling: integer", "Scaling: fit"};
        const int mode = sdl_settings.scale_mode;
        sdl_say(mode >= SCALE_AUTO && mode <= SCALE_FIT ? modes[mode] : "Scaling");
    } else if (role == ROLE_SCREENSHOT) {
        sdl_say(sdl_save_screenshot() ? "Screenshot saved" : "Screenshot not saved");
    } else if (role == ROLE_MUTE) {
        sdl_audio_toggle_mute();
        sdl_say(sdl_settings.muted ? "Sound off" : "Sound on");
    } else if (role == ROLE_TIMER) {
        sdl_settings.show_timer = !sdl_settings.show_timer;
        sdl_settings_changed();
        sdl_present_again();
        sdl_say(sdl_settings.show_timer ? "Timer on" : "Timer off");
    } else if (role == ROLE_GHOST) {
        sdl_settings.show_ghost = !sdl_settings.show_ghost;
        sdl_settings_changed();
        sdl_present_again();
        sdl_say(sdl_settings.show_ghost ? "Ghost on" : "Ghost off");
    } else if (key_role_command(role) >= 0) {
        give_command(key_role_command(role));
    } else if (game_takes_input() && key_role_message(role) != 0) {
        post_key(key_role_message(role));
    }
}

void key_down_event(const SDL_KeyboardEvent& key) {
    if (key.keysym.scancode > SDL_SCANCODE_UNKNOWN && key.keysym.scancode < SDL_NUM_SCANCODES) {
        key_down[key.keysym.scancode] = 1;
    }
    const SDL_Keycode code = key.keysym.sym;
    if (menu_shown() && menu->key(code)) {
        return;
    }
    for (int role = 0; role < FIRST_PRESS_ROLE; role++) {
        if (key_has_role(&sdl_settings.keys, role, code)) {
            tapped_roles |= 1u << role;
        }
    }
    // Alt+Enter is the desktop's full-screen switch; it never reaches the game as Enter.
    if ((code == SDLK_RETURN || code == SDLK_KP_ENTER) && (key.keysym.mod & KMOD_ALT)) {
        if (!key.repeat) {
            sdl_toggle_fullscreen();
        }
        return;
    }
    for (int role = FIRST_PORT_ROLE; role < ROLE_COUNT; role++) {
        if (key_has_role(&sdl_settings.keys, role, code)) {
            if (!key.repeat) {
                press_role(role);
            }
            return;
        }
    }
    // Auto-repeated presses come through too: holding Down cycles the menu.
    int roles[ROLE_COUNT];
    const int count = key_press_roles(&sdl_settings.keys, code, roles);
    for (int i = 0; i < count; i++) {
        press_role(roles[i]);
    }
}

// A left-button press, in frame pixels. Presses on the bars are dropped: no frame pixel is
// there, and nothing on the frame could answer them. A menu takes them; while paused with no
// menu a click ends the pause.
void button_down(const SDL_MouseButtonEvent& press) {
    const bool to_menu = menu_shown();
    if (sdl_paused && !to_menu) {
        sdl_set_paused(0);
        return;
    }
    if ((!to_menu && !game_takes_input()) || sdl_window == nullptr) {
        return;
    }
    int output_width, output_height, window_width, window_height;
    const Letterbox box = sdl_frame_box(&output_width, &output_height);
    SDL_GetWindowSize(sdl_window, &window_width, &window_height);
    // Window coordinates into output pixels (they differ on high-density displays).
    int px = window_width > 0 ? static_cast<int>(int64_t{press.x} * output_width / window_width)
                              : press.x;
    int py = window_height > 0 ? static_cast<int>(int64_t{press.y} * output_height / window_height)
                               : press.y;
    int x, y;
    if (!letterbox_to_frame(box, px, py, &x, &y)) {
        return;
    }
    // SDL counts the presses of a quick series; as on the desktop of old, every second one
    // is a double click (a triple click is a double click and then a plain press).
    int double_click = press.clicks >= 2 && press.clicks % 2 == 0;
    if (to_menu) {
        menu->click(x, y);
        return;
    }
    post_click(x, y, double_click);
}

void window_event(const SDL_WindowEvent& event) {
    switch (event.event) {
        case SDL_WINDOWEVENT_FOCUS_LOST:
            // Keys released elsewhere would stay held; a game left running would go on
            // without its player.
            SDL_memset(key_down, 0, sizeof key_down);
            tapped_roles = 0;
            if (sdl_in_play()) {
                sdl_set_paused(1);
            }
            break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            if (sdl_window != nullptr &&
                !(SDL_GetWindowFlags(sdl_window) & SDL_WINDOW_FULLSCREEN) &&
                !(SDL_GetWindowFlags(sdl_window) & SDL_WINDOW_MAXIMIZED)) {
                sdl_settings.window_width = event.data1;
                sdl_settings.window_height = event.data2;
                sdl_run_only &= ~RUN_ONLY_WINDOW_SIZE;
                sdl_settings_changed();
            }
            sdl_present_again();
            break;
        case SDL_WINDOWEVENT_EXPOSED:
            sdl_present_again();
            break;
        case SDL_WINDOWEVENT_CLOSE:
            close_pressed = true;
            break;
        default:
            break;
    }
}

void open_pad(int device) {
    if (!SDL_IsGameController(device)) {
        return;
    }
    for (SDL_GameController*& pad : pads) {
        if (pad == nullptr) {
            pad = SDL_GameControllerOpen(device);
            return;
        }
    }
}

void close_pad(SDL_JoystickID id) {
    for (SDL_GameController*& pad : pads) {
        if (pad != nullptr && SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(pad)) == id) {
            SDL_GameControllerClose(pad);
            pad = nullptr;
        }
    }
}

void handle_event(const SDL_Event& event) {
    switch (event.type) {
        case SDL_KEYDOWN:
            key_down_event(event.key);
            break;
        case SDL_KEYUP:
            if (event.key.keysym.scancode < SDL_NUM_SCANCODES) {
                key_down[event.key.keysym.scancode] = 0;
            }
            break;
        case SDL_MOUSEBUTTONDOWN:
            if (event.button.button == SDL_BUTTON_LEFT) {
                button_down(event.button);
            }
            break;
        case SDL_WINDOWEVENT:
            window_event(event.window);
            break;
        case SDL_CONTROLLERDEVICEADDED:
            open_pad(event.cdevice.which);
            break;
        case SDL_CONTROLLERDEVICEREMOVED:
            close_pad(event.cdevice.which);
            break;
        case SDL_QUIT:
            post_close();
            break;
        default:
            break;
    }
}

// The pads' buttons and left stick, every pad together, into roles.
void poll_pads() {
    PadState state = {0, 0, 0};
    static const struct {
        SDL_GameControllerButton button;
        uint32_t bit;
    } buttons[] = {
        {SDL_CONTROLLER_BUTTON_A, PAD_SOUTH},
        {SDL_CONTROLLER_BUTTON_B, PAD_EAST},
        {SDL_CONTROLLER_BUTTON_X, PAD_WEST},
        {SDL_CONTROLLER_BUTTON_Y, PAD_NORTH},
        {SDL_CONTROLLER_BUTTON_BACK, PAD_BACK},
        {SDL_CONTROLLER_BUTTON_START, PAD_START},
        {SDL_CONTROLLER_BUTTON_DPAD_UP, PAD_UP},
        {SDL_CONTROLLER_BUTTON_DPAD_DOWN, PAD_DOWN},
        {SDL_CONTROLLER_BUTTON_DPAD_LEFT, PAD_LEFT},
        {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, PAD_RIGHT},
        {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, PAD_LEFT_SHOULDER},
        {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, PAD_RIGHT_SHOULDER},
    };
    for (SDL_GameController* pad : pads) {
        if (pad == nullptr) {
            continue;
        }
        for (const auto& b : buttons) {
            if (SDL_GameControllerGetButton(pad, b.button)) {
                state.buttons |= b.bit;
            }
        }
        int x = SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTX);
        int y = SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTY);
        // The pad pushed furthest decides.
        if (x * x + y * y > state.stick_x * state.stick_x + state.stick_y * state.stick_y) {
            state.stick_x = x;
            state.stick_y = y;
        }
    }
    // A menu takes the buttons newly pressed; the mapping still follows them, so that the
    // button that closes the menu does nothing more once it has.
    const uint32_t pressed = state.buttons & ~pad_mapper.last;
    PadOutput out;
    pad_map(&pad_mapper, &sdl_settings.pads, &state, sdl_in_play(), SDL_GetTicks(), &out);
    if (menu_shown()) {
        pad_held_roles = 0;
        if (pressed != 0) {
            menu->pad(pressed);
        }
        return;
    }
    pad_held_roles = out.held_roles;
    for (int i = 0; i < out.press_count; i++) {
        if (out.presses[i] == ROLE_PAUSE || key_role_command(out.presses[i]) >= 0 ||
            game_takes_input()) {
            press_role(out.presses[i]);
        }
    }
}

// Pads are started after the first frame: looking for them can take a while, and the
// title should not wait for it.
void start_pads() {
    if (pads_started || !sdl_settings.gamepad || sdl_pass < 1) {
        return;
    }
    pads_started = true;
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
        std::fprintf(stderr, "Quellaro 2005: gamepads cannot be used: %s\n", SDL_GetError());
    }
    pad_mapper_reset(&pad_mapper);
}

void stop_pads() {
    for (SDL_GameController*& pad : pads) {
        if (pad != nullptr) {
            SDL_GameControllerClose(pad);
            pad = nullptr;
        }
    }
    if (pads_started) {
        SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
        pads_started = false;
    }
    pad_held_roles = 0;
}

bool bound_key_down(int role) {
    for (int32_t keycode : sdl_settings.keys.keys[role]) {
        if (keycode != 0) {
            SDL_Scancode scancode = SDL_GetScancodeFromKey(keycode);
            if (scancode > SDL_SCANCODE_UNKNOWN && scancode < SDL_NUM_SCANCODES &&
                key_down[scancode]) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace

int sdl_in_play() {
    return !sdl_game_cursor_visible;
}

void sdl_set_paused(int paused) {
    paused = paused ? 1 : 0;
    if (paused == sdl_paused) {
        return;
    }
    sdl_paused = paused;
    sdl_audio_set_paused(paused);
    show_cursor();
    if (menu != nullptr) {
        menu->paused(paused);
    }
    sdl_present_again();
}

void sdl_say(const char* text) {
    if (note != nullptr) {
        note(text);
    }
}

void sdl_set_note(void (*say)(const char* text)) {
    note = say;
}

void sdl_set_menu(const SdlMenu* program_menu) {
    menu = program_menu;
}

void sdl_advance_once() {
    if (sdl_paused) {
        advance_asked = true;
    }
}

void platform_pump_events(const PlatformInput* input) {
    game_input = input;
    sdl_note_pump();
    start_pads();
    sdl_audio_start_when_due();
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        handle_event(event);
    }
    if (pads_started) {
        poll_pads();
    }
    sdl_settings_flush(0);
}

int sdl_wait_while_paused(const PlatformInput* input) {
    if (input != nullptr) {
        game_input = input;
    }
    while (sdl_paused && sdl_window != nullptr) {
        if (advance_asked) {
            advance_asked = false;
            return 1;
        }
        SDL_Event event;
        if (SDL_WaitEventTimeout(&event, PAUSE_WAIT_MS)) {
            handle_event(event);
            while (sdl_paused && SDL_PollEvent(&event)) {
                handle_event(event);
            }
        }
        if (pads_started) {
            poll_pads();
        }
        sdl_settings_flush(0);
        sdl_present_when_overlay_changed();
    }
    advance_asked = false;
    return 0;
}

void platform_read_held_keys(uint8_t held[INPUT_HELD_BYTES]) {
    SDL_memset(held, 0, INPUT_HELD_BYTES);
    for (int key = 0; key < INPUT_KEYS; key++) {
        const int role = key_role_held_by(key);
        const uint32_t bit = role >= 0 ? 1u << role : 0;
        if (bit != 0 && ((pad_held_roles & bit) || (tapped_roles & bit) || bound_key_down(role))) {
            held[key >> 3] = static_cast<uint8_t>(held[key >> 3] | 1 << (key & 7));
        }
    }
    tapped_roles = 0;
}

uint32_t platform_held_commands() {
    const uint32_t rewind = 1u << ROLE_REWIND;
    return (pad_held_roles & rewind) || bound_key_down(ROLE_REWIND) ? 1u << COMMAND_REWIND : 0;
}

void platform_set_cursor_visible(int visible) {
    sdl_game_cursor_visible = visible ? 1 : 0;
    show_cursor();
}

void sdl_input_stop() {
    stop_pads();
    SDL_memset(key_down, 0, sizeof key_down);
    tapped_roles = 0;
    advance_asked = false;
    cursor_shown = -1;
    game_input = nullptr;
    menu = nullptr;
    note = nullptr;
    sdl_paused = 0;
    sdl_game_cursor_visible = 1;
}
