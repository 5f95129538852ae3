// The page's input for the game: key presses by the player's bindings (auto-repeat
// included), left-button presses in frame pixels, the on-screen touch buttons and gamepads
// as held keys; the pause when the page is hidden or loses the focus, or on P; M, the
// sound's switch; F10, the scaling. The browser keeps its own F11 and F12.
#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <cstring>

#include "platform/common/key_presses.h"
#include "platform/platform.h"
#include "platform/web/gamepad.h"
#include "platform/web/keys.h"
#include "platform/web/pointer.h"
#include "platform/web/web_backend.h"

// The page's side (page_calls.js): its pause notice, and the canvas's left-button presses
// (which come back through web_mouse_down).
extern "C" {
void page_show_paused(int paused);
void page_listen_pointer();
void page_forget_pointer();
}

namespace {

constexpr int FRAME_WIDTH = 640;
constexpr int FRAME_HEIGHT = 480;
constexpr int MAX_PADS = 4;

// Keys held on the keyboard, by the physical key that holds each.
HeldKeys keyboard;
// Held roles whose key went down since the held keys were last read.
uint32_t tapped_roles;
// Keys held by the on-screen buttons: how many fingers hold each.
uint8_t touch_held[256];
// The pads mapped as on the desktop, through the player's pad bindings; the roles they hold,
// renewed at every pump.
PadMapper pad_mapper;
uint32_t pad_held_roles;
// Whether a pad is known: the browser told of one (it shows pads only once one is used, and
// says so), or an ask found one. Until then the pads are asked for only every PAD_ASK_EVERY
// passes, for a browser that does not tell: asking every pass cost the page's thread for
// nothing on the many machines with no pad.
bool pad_known;
int passes_unasked;
constexpr int PAD_ASK_EVERY = 30;
// Touch keys that went down since the held keys were last read: a tap shorter than a pass is
// held for the next pass, so that it still counts.
uint8_t tapped[256];
// Whether the page listens (between the window's opening and closing).
int listening;
// Paused: the page was hidden or lost the focus, or the player pressed P.
int paused;
// The program's menu over the held game, or null.
const WebMenu* menu;

bool menu_shown() {
    return menu != nullptr && menu->shown();
}

// The menu's key for a key pressed while it shows (0: none of its keys).
int menu_key_of(int32_t keycode) {
    const KeyBindings* keys = &web_settings.keys;
    if (keycode == KEYCODE_UP || key_has_role(keys, ROLE_UP, keycode)) {
        return KEY_UP;
    }
    if (keycode == KEYCODE_DOWN || key_has_role(keys, ROLE_DOWN, keycode)) {
        return KEY_DOWN;
    }
    if (keycode == KEYCODE_LEFT || key_has_role(keys, ROLE_LEFT, keycode)) {
        return KEY_LEFT;
    }
    if (keycode == KEYCODE_RIGHT || key_has_role(keys, ROLE_RIGHT, keycode)) {
        return KEY_RIGHT;
    }
    if (keycode == KEYCODE_RETURN || keycode == KEYCODE_KP_ENTER || keycode == KEYCODE_SPACE ||
        key_has_role(keys, ROLE_ENTER, keycode)) {
        return KEY_RETURN;
    }
    if (keycode == KEYCODE_ESCAPE || key_has_role(keys, ROLE_ESCAPE, keycode)) {
        return KEY_ESCAPE;
    }
    return 0;
}
// Frame advance asked for while paused (one pass may run), and whether one ran in this pause
// (the page then shows a smaller notice).
int advance_asked;
int stepping;
// The pads' practice commands held now.
uint32_t pad_commands;

// Presses that came between passes, handed over at the next pump in the order they came.
struct Press {
    int key;      // a key press, or 0 for a left-button press or a command
    int x, y;     // the button press in frame pixels
    int clicks;   // 1, or 2 for the second press of a double click
    int command;  // the program's command (PlatformCommand), or -1
};
constexpr int MAX_PRESSES = 64;
Press presses[MAX_PRESSES];
int press_count;

// Far more than a pass ever sees; beyond it, later presses are dropped.
void queue_press(const Press& press) {
    if (press_count < MAX_PRESSES) {
        presses[press_count++] = press;
    }
}

void release_everything() {
    held_clear(&keyboard);
    tapped_roles = 0;
    std::memset(touch_held, 0, sizeof(touch_held));
    pad_held_roles = 0;
    std::memset(tapped, 0, sizeof(tapped));
    press_count = 0;
    pad_commands = 0;
}

void set_paused(int pause) {
    pause = pause ? 1 : 0;
    if (pause == paused) {
        return;
    }
    paused = pause;
    stepping = advance_asked = 0;
    web_audio_set_paused(paused);
    // Releases are not seen while the page is away; nothing stays held across a pause.
    release_everything();
    if (menu != nullptr) {
        menu->paused(paused);
    }
    page_show_paused(paused && !menu_shown());
}

// The program's practice keys: their commands go to the program (F5 must not reload the page,
// nor Backspace go back a page); frame advance pauses, and while paused lets a pass run.
// Rewind works while held, and is read with the held keys.
void command_key(int command) {
    if (command == COMMAND_REWIND) {
        return;
    }
    if (command == COMMAND_FRAME_ADVANCE) {
        if (!paused) {
            set_paused(1);
        } else {
            advance_asked = 1;
            if (!stepping) {
                stepping = 1;
                page_show_paused(2);
            }
        }
    }
    queue_press({0, 0, 0, 0, command});
}

// The physical key of an event, or its name when the browser gives none (some on-screen
// keyboards).
const char* physical_key(const EmscriptenKeyboardEvent* event) {
    return event->code[0] ? event->code : event->key;
}

// Keys that would scroll the page although the game has no use for them.
bool scrolls_page(int32_t keycode) {
    return keycode == keycode_from_name("Space") || keycode == keycode_from_name("PageUp") ||
           keycode == keycode_from_name("Home") || keycode == keycode_from_name("End");
}

bool bound_key_down(int role) {
    for (int32_t keycode : web_settings.keys.keys[role]) {
        if (keycode != 0 && held_is_down(&keyboard, keycode)) {
            return true;
        }
    }
    return false;
}

// A role's key went down (not an auto-repeat for all but the game's presses). Returns
// whether the page must leave the key alone.
bool press_role(int role, bool repeat) {
    if (role == ROLE_FULLSCREEN || role == ROLE_SCREENSHOT) {
        return false;  // the browser's own full screen and tools
    }
    if (role == ROLE_PAUSE || role == ROLE_MUTE || role == ROLE_SCALE || role == ROLE_TIMER ||
        role == ROLE_GHOST || key_role_command(role) >= 0) {
        if (repeat) {
            return true;
        }
        if (role == ROLE_TIMER || role == ROLE_GHOST) {
            int* shown = role == ROLE_TIMER ? &web_settings.show_timer : &web_settings.show_ghost;
            *shown = !*shown;
            web_settings_keep();
        } else if (role == ROLE_PAUSE) {
            set_paused(!paused);
        } else if (role == ROLE_MUTE) {
            web_audio_toggle_mute();
        } else if (role == ROLE_SCALE) {
            web_set_scale_mode((web_scale + 1) % WEB_SCALE_MODES);
        } else {
            command_key(key_role_command(role));
        }
        return true;
    }
    if (!paused && key_role_message(role) != 0) {
        queue_press({key_role_message(role), 0, 0, 1, -1});
    }
    return true;
}

EM_BOOL on_key_down(int, const EmscriptenKeyboardEvent* event, void*) {
    // Shortcuts with Ctrl, Alt or Meta stay the browser's.
    if (event->ctrlKey || event->altKey || event->metaKey) {
        return EM_FALSE;
    }
    const int32_t keycode = keycode_from_dom(event->key, event->code);
    if (keycode == 0) {
        return EM_FALSE;
    }
    // A binding waiting for a key takes any key, even one of the port's, and nothing else
    // sees it.
    if (menu != nullptr && menu->bind != nullptr && menu->bind(keycode)) {
        return EM_TRUE;
    }
    if (!paused) {
        held_press(&keyboard, physical_key(event), keycode);
    }
    bool handled = false;
    // As on the desktop, a menu's own keys are the menu's even where a key of the port's is
    // the same; the port's other keys still act under it.
    const int menu_key = menu_shown() ? menu_key_of(keycode) : 0;
    if (menu_key != 0) {
        menu->key(menu_key);
        return EM_TRUE;
    }
    for (int role = FIRST_PORT_ROLE; role < ROLE_COUNT; role++) {
        if (key_has_role(&web_settings.keys, role, keycode)) {
            // A key of the port or the practice tools never reaches the game.
            return press_role(role, event->repeat != 0) ? EM_TRUE : EM_FALSE;
        }
    }
    if (menu_shown()) {
        return EM_TRUE;
    }
    for (int role = 0; role < FIRST_PRESS_ROLE; role++) {
        if (key_has_role(&web_settings.keys, role, keycode)) {
            tapped_roles |= paused ? 0 : 1u << role;
            handled = true;
        }
    }
    int roles[ROLE_COUNT];
    const int count = key_press_roles(&web_settings.keys, keycode, roles);
    for (int i = 0; i < count; i++) {
        handled = press_role(roles[i], event->repeat != 0) || handled;
    }
    // Handled: the arrows and Page Down must not scroll the page, nor Space, which the game
    // has no use for.
    return handled || scrolls_page(keycode) ? EM_TRUE : EM_FALSE;
}

EM_BOOL on_key_up(int, const EmscriptenKeyboardEvent* event, void*) {
    held_release(&keyboard, physical_key(event));
    return keycode_from_dom(event->key, event->code) != 0 ? EM_TRUE : EM_FALSE;
}

EM_BOOL on_blur(int, const EmscriptenFocusEvent*, void*) {
    set_paused(1);
    return EM_FALSE;
}

EM_BOOL on_visibility(int, const EmscriptenVisibilityChangeEvent* event, void*) {
    if (event->hidden) {
        set_paused(1);
    }
    return EM_FALSE;
}

EM_BOOL on_pad_connected(int, const EmscriptenGamepadEvent*, void*) {
    pad_known = true;
    return EM_FALSE;
}

void poll_gamepads() {
    pad_held_roles = 0;
    pad_commands = 0;
    if (!pad_known && ++passes_unasked < PAD_ASK_EVERY) {
        return;
    }
    passes_unasked = 0;
    if (!web_settings.gamepad || emscripten_sample_gamepad_data() != EMSCRIPTEN_RESULT_SUCCESS) {
        return;
    }
    PadState state{};
    const int count = emscripten_get_num_gamepads();
    for (int i = 0; i < count && i < MAX_PADS; i++) {
        EmscriptenGamepadEvent status;
        // Only pads in the standard layout: the button numbers mean nothing otherwise.
        if (emscripten_get_gamepad_status(i, &status) == EMSCRIPTEN_RESULT_SUCCESS &&
            status.connected && std::strcmp(status.mapping, "standard") == 0) {
            WebPadState pad{};
            for (int b = 0; b < WEB_PAD_BUTTONS && b < status.numButtons; b++) {
                pad.buttons[b] = status.digitalButton[b] != 0;
            }
            pad.stick_x = status.numAxes > 0 ? status.axis[0] : 0.0;
            pad.stick_y = status.numAxes > 1 ? status.axis[1] : 0.0;
            web_pad_add(pad, &state);
            pad_known = true;
        }
    }
    // A menu takes the buttons newly pressed; the mapping still follows them, so that the
    // button that closes the menu does nothing more once it has.
    const uint32_t pressed = state.buttons & ~pad_mapper.last;
    PadOutput out;
    pad_map(&pad_mapper, &web_settings.pads, &state, !web_game_cursor_visible,
            static_cast<uint32_t>(emscripten_get_now()), &out);
    if (menu_shown()) {
        if (pressed != 0 && menu->pad != nullptr) {
            menu->pad(pressed);
        }
        return;
    }
    if (paused) {
        // The pause's button goes on with the game; nothing else reaches it while paused.
        if (pressed & web_settings.pads.buttons[ROLE_PAUSE]) {
            set_paused(0);
        }
        return;
    }
    pad_held_roles = out.held_roles & ~(1u << ROLE_REWIND);
    pad_commands = (out.held_roles >> ROLE_REWIND & 1) ? 1u << COMMAND_REWIND : 0;
    for (int i = 0; i < out.press_count; i++) {
        press_role(out.presses[i], false);
    }
}

// Starts or stops every listener at once; a null callback removes a listener.
void listen(bool on) {
    const char* window_target = EMSCRIPTEN_EVENT_TARGET_WINDOW;
    emscripten_set_keydown_callback(window_target, nullptr, EM_TRUE, on ? on_key_down : nullptr);
    emscripten_set_keyup_callback(window_target, nullptr, EM_TRUE, on ? on_key_up : nullptr);
    // Not capturing: the page's own elements losing the focus is no reason to pause.
    emscripten_set_blur_callback(window_target, nullptr, EM_FALSE, on ? on_blur : nullptr);
    emscripten_set_visibilitychange_callback(nullptr, EM_TRUE, on ? on_visibility : nullptr);
    // Refused by a browser without pads; the asking now and then covers it.
    emscripten_set_gamepadconnected_callback(nullptr, EM_TRUE, on ? on_pad_connected : nullptr);
    if (on) {
        page_listen_pointer();
    } else {
        page_forget_pointer();
    }
    release_everything();
    listening = on ? 1 : 0;
}

}  // namespace

// From the page: a left-button press at (x, y) CSS pixels on the canvas shown at width x
// height CSS pixels; clicks is the browser's count of a quick series of presses.
extern "C" EMSCRIPTEN_KEEPALIVE void web_mouse_down(double x, double y, double width, double height,
                                                    int clicks) {
    if ((paused && !menu_shown()) || !listening) {
        return;
    }
    const int frame_x = frame_pixel_at(x, width, FRAME_WIDTH);
    const int frame_y = frame_pixel_at(y, height, FRAME_HEIGHT);
    if (frame_x < 0 || frame_y < 0) {
        return;
    }
    if (menu_shown()) {
        menu->click(frame_x, frame_y);
        return;
    }
    // As on the desktop of old, every second press of a series is a double click.
    queue_press({0, frame_x, frame_y, clicks >= 2 && clicks % 2 == 0 ? 2 : 1, -1});
}

// From the page's on-screen buttons: a finger came onto (held 1) or left (held 0) the button
// for this virtual key.
extern "C" EMSCRIPTEN_KEEPALIVE void web_touch_key(int key, int held) {
    if (key <= 0 || key >= 256 || paused) {
        return;
    }
    if (held) {
        tapped[key] = 1;
        if (touch_held[key] < 255) {
            touch_held[key]++;
        }
    } else if (touch_held[key] > 0) {
        touch_held[key]--;
    }
}

// From the page's on-screen menu button: one press of the key.
extern "C" EMSCRIPTEN_KEEPALIVE void web_touch_press(int key) {
    if (key > 0 && key < 256 && menu_shown()) {
        menu->key(key);
        return;
    }
    if (key > 0 && key < 256 && !paused && listening) {
        queue_press({key, 0, 0, 1, -1});
    }
}

// From the page: whether a menu of the program's shows over the held game, where the
// on-screen buttons press its keys as they do on the title.
extern "C" EMSCRIPTEN_KEEPALIVE int web_menu_shown() {
    return menu_shown() ? 1 : 0;
}

// From the page: the player asked to go on (a click or tap on the pause notice), or to
// pause.
extern "C" EMSCRIPTEN_KEEPALIVE void web_set_paused(int pause) {
    set_paused(pause);
}

void web_set_menu(const WebMenu* program_menu) {
    menu = program_menu;
}

void web_hold(int pause) {
    set_paused(pause);
}

void web_advance_once() {
    if (paused) {
        advance_asked = 1;
    }
}

void web_input_start() {
    listen(true);
    EmscriptenVisibilityChangeEvent visibility;
    if (emscripten_get_visibility_status(&visibility) == EMSCRIPTEN_RESULT_SUCCESS &&
        visibility.hidden) {
        set_paused(1);
    }
}

void web_input_stop() {
    listen(false);
}

int web_paused() {
    return paused;
}

void platform_pump_events(const PlatformInput* input) {
    poll_gamepads();
    for (int i = 0; i < press_count; i++) {
        const Press& press = presses[i];
        if (press.command >= 0) {
            if (input->command != nullptr) {
                input->command(press.command);
            }
        } else if (press.key != 0) {
            input->key_down(press.key);
        } else {
            input->button_down(press.x, press.y, press.clicks == 2);
        }
    }
    press_count = 0;
}

uint32_t platform_held_commands() {
    return (bound_key_down(ROLE_REWIND) ? 1u << COMMAND_REWIND : 0) | (paused ? 0 : pad_commands);
}

int web_take_advance() {
    const int asked = advance_asked;
    advance_asked = 0;
    return asked;
}

void platform_read_held_keys(uint8_t held[INPUT_HELD_BYTES]) {
    std::memset(held, 0, INPUT_HELD_BYTES);
    for (int key = 1; key < INPUT_KEYS; key++) {
        const int role = key_role_held_by(key);
        const bool bound = role >= 0 && ((tapped_roles >> role & 1) ||
                                         (pad_held_roles >> role & 1) || bound_key_down(role));
        if (bound || touch_held[key] || tapped[key]) {
            held[key >> 3] = static_cast<uint8_t>(held[key >> 3] | 1 << (key & 7));
        }
    }
    std::memset(tapped, 0, sizeof(tapped));
    tapped_roles = 0;
}
