// The desktop's menus through SDL's own event queue on the dummy video driver: P opens the
// pause menu, keys, presses and a pad (SDL's virtual joystick) work it, a key or pad button
// pressed for an action binds it with the shared one shown, and Escape in play reaches the game
// only after the question is answered; a colour filter changes what is shown, not the game's frame.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/platform.h"
#include "platform/sdl/keymap.h"
#include "platform/sdl/sdl_backend.h"
#include "platform/sdl/settings.h"
#include "programs/common/bindings.h"
#include "programs/common/confirm.h"
#include "programs/common/filters.h"
#include "programs/common/pause_menu.h"
#include "programs/common/pause_menu_layout.h"
#include "programs/common/practice.h"
#include "programs/desktop/desktop_loop.h"
#include "programs/desktop/desktop_menu.h"
#include "shell/app.h"
#include "shell/game_state.h"
#include "tests/temp_dir.h"

namespace {

void tap(SDL_Keycode code) {
    for (bool down : {true, false}) {
        SDL_Event e{};
        e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        e.key.windowID = SDL_GetWindowID(sdl_window);
        e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
        e.key.keysym.sym = code;
        e.key.keysym.scancode = SDL_GetScancodeFromKey(code);
        SDL_PushEvent(&e);
    }
}

void click_frame(int x, int y) {
    int w, h;
    const Letterbox box = sdl_frame_box(&w, &h);
    SDL_Event e{};
    e.type = SDL_MOUSEBUTTONDOWN;
    e.button.windowID = SDL_GetWindowID(sdl_window);
    e.button.button = SDL_BUTTON_LEFT;
    e.button.state = SDL_PRESSED;
    e.button.clicks = 1;
    e.button.x = box.x + (2 * x + 1) * box.width / (2 * 640);
    e.button.y = box.y + (2 * y + 1) * box.height / (2 * 480);
    SDL_PushEvent(&e);
}

// Hands the events waiting to the backend as the pause's loop would.
const PlatformInput nowhere = {[](int) {}, [](int, int, int) {}, [] {}};
void pump() {
    platform_pump_events(&nowhere);
}

const char* highlighted() {
    static MenuView view;
    view = menu_view();
    return view.highlight < view.entries.count ? view.entries.entries[view.highlight].label : "";
}

// The game in play on the dummy driver with the desktop's menus, drawn by the CPU path.
void start_playing() {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    setenv("QUELLARO_PRESENT", "cpu", 1);
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    settings_default(&sdl_settings);
    sdl_settings.window_width = 800;
    sdl_settings.window_height = 600;
    sdl_settings.gamepad = 1;
    sdl_settings_path[0] = '\0';
    ASSERT_EQ(sdl_video_start(), 1);
    ASSERT_EQ(app_start(nullptr), 1);
    pause_menu_set_host(&desktop_menu_host);
    sdl_set_menu(&desktop_menu_input);
    tap(SDLK_s);
    for (int i = 0; i < 4; ++i)
        ASSERT_EQ(desktop_pass(), 1);
    ASSERT_EQ(game_mode, MODE_PLAYING);
}

void stop_playing() {
    sdl_set_menu(nullptr);
    pause_menu_set_host(nullptr);
    confirm_reset();
    desktop_reset();
    app_finish();
}

// A pad on SDL's virtual joystick, seen by the backend once the events are pumped.
SDL_Joystick* attach_pad() {
    pump();  // the pads are started at a pump after the first frame
    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = SDL_CONTROLLER_AXIS_MAX;
    desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    desc.name = "test pad";
    SDL_Joystick* pad = SDL_JoystickOpen(SDL_JoystickAttachVirtualEx(&desc));
    pump();
    return pad;
}

void press_buttons(SDL_Joystick* pad, std::initializer_list<SDL_GameControllerButton> buttons) {
    for (SDL_GameControllerButton button : buttons) {
        SDL_JoystickSetVirtualButton(pad, button, 1);
        pump();
        SDL_JoystickSetVirtualButton(pad, button, 0);
        pump();
    }
}

// Whether the game would see its jump key held at the coming pass.
bool jump_held() {
    uint8_t held[INPUT_HELD_BYTES];
    platform_read_held_keys(held);
    for (int key = 0; key < INPUT_KEYS; ++key) {
        if (key_role_held_by(key) == ROLE_JUMP && (held[key >> 3] & (1 << (key & 7))))
            return true;
    }
    return false;
}

// The window's pixel at the middle of the frame.
uint32_t shown_middle() {
    SDL_Surface* surface = SDL_GetWindowSurface(sdl_window);
    int w, h;
    const Letterbox box = sdl_frame_box(&w, &h);
    const int x = box.x + box.width / 2, y = box.y + box.height / 2;
    return static_cast<const uint32_t*>(surface->pixels)[y * surface->pitch / 4 + x];
}

TEST(SdlMenu, AColourFilterChangesWhatIsShownNeverTheGamesFrame) {
    start_playing();
    const uint64_t digest = sdl_last_frame_digest();
    const uint32_t plain = shown_middle();
    sdl_set_palette_filter([](const PaletteEntry* in, PaletteEntry* out, int count) {
        filter_colours(FILTER_BLUE_YELLOW, in, out, count);
    });
    EXPECT_NE(shown_middle(), plain);
    EXPECT_EQ(sdl_last_frame_digest(), digest);
    sdl_set_palette_filter(nullptr);
    EXPECT_EQ(shown_middle(), plain);
    stop_playing();
}

TEST(SdlMenu, KeysPressesAndAPadWorkTheMenusAndEscapeInPlayWaitsForTheAnswer) {
    start_playing();

    // P opens the pause page (no Restart: no start was kept); the arrows and Enter go to
    // Options and in; Escape is back.
    tap(SDLK_p);
    pump();
    EXPECT_EQ(sdl_paused, 1);
    ASSERT_EQ(pause_menu_page(), PAGE_PAUSE);
    tap(SDLK_UP);  // round to Quit game, and on to Resume and Options
    tap(SDLK_DOWN);
    tap(SDLK_DOWN);
    pump();
    EXPECT_STREQ(highlighted(), "Options");
    tap(SDLK_RETURN);
    pump();
    EXPECT_EQ(pause_menu_page(), PAGE_OPTIONS);
    tap(SDLK_ESCAPE);
    pump();
    EXPECT_EQ(pause_menu_page(), PAGE_PAUSE);

    // A press on the Controls row, where it is drawn, opens that page.
    MenuView view = menu_view();
    int controls = -1;
    for (int i = 0; i < view.entries.count; ++i)
        controls = view.entries.entries[i].item == ITEM_CONTROLS ? i : controls;
    ASSERT_GE(controls, 0);
    const MenuLayout l = menu_layout(view, 640, 480);
    click_frame(l.x + 30, l.rows_y + controls * l.row_height + l.row_height / 2);
    pump();
    ASSERT_EQ(pause_menu_page(), PAGE_CONTROLS);

    // Jump bound to A, which walks left too: bound, kept, the shared key shown on both.
    for (SDL_Keycode key : {SDLK_DOWN, SDLK_DOWN, SDLK_DOWN, SDLK_RETURN, SDLK_a})
        tap(key);
    pump();
    EXPECT_EQ(sdl_settings.keys.keys[ROLE_JUMP][0], SDLK_a);
    EXPECT_EQ(sdl_settings.keys.keys[ROLE_JUMP][1], 0);
    EXPECT_EQ(binding_conflict(&sdl_settings.keys, ROLE_JUMP), ROLE_LEFT);
    view = menu_view();
    EXPECT_EQ(view.entries.entries[ROLE_JUMP].marked, 1);
    EXPECT_EQ(view.entries.entries[ROLE_LEFT].marked, 1);
    EXPECT_EQ(view.entries.entries[ROLE_ABOUT].marked, 0);  // A on the title only: apart
    EXPECT_EQ(binding_conflict(&sdl_settings.keys, ROLE_ABOUT), -1);
    EXPECT_EQ(pause_menu_page(), PAGE_CONTROLS);  // the A did not move the menu
    key_bindings_default(&sdl_settings.keys);

    // The pad: East goes back a page, Start resumes, and its press does not pause again.
    SDL_Joystick* pad = attach_pad();
    ASSERT_NE(pad, nullptr);
    press_buttons(pad, {SDL_CONTROLLER_BUTTON_B});
    EXPECT_EQ(pause_menu_page(), PAGE_PAUSE);
    press_buttons(pad, {SDL_CONTROLLER_BUTTON_START});
    EXPECT_EQ(pause_menu_page(), PAGE_NONE);
    EXPECT_EQ(sdl_paused, 0);
    ASSERT_EQ(desktop_pass(), 1);
    EXPECT_EQ(sdl_paused, 0);

    // Escape in play: asked, the game still in play; Leave takes it to the title.
    tap(SDLK_ESCAPE);
    ASSERT_EQ(desktop_pass(), 1);
    EXPECT_EQ(pause_menu_page(), PAGE_CONFIRM);
    EXPECT_EQ(game_mode, MODE_PLAYING);
    EXPECT_EQ(sdl_paused, 1);
    tap(SDLK_RIGHT);
    tap(SDLK_RETURN);
    pump();
    EXPECT_EQ(sdl_paused, 0);
    ASSERT_EQ(desktop_pass(), 1);
    EXPECT_EQ(game_mode, MODE_MENU);

    SDL_JoystickClose(pad);
    stop_playing();
}

TEST(SdlMenu, APadButtonPressedForAnActionBindsItActsIsKeptAndResets) {
    start_playing();
    const std::string path = make_temp_dir("quellaro-pad-binding") + "/settings.ini";
    std::snprintf(sdl_settings_path, sizeof sdl_settings_path, "%s", path.c_str());
    SDL_Joystick* pad = attach_pad();
    ASSERT_NE(pad, nullptr);
    PadBindings defaults;
    pad_bindings_default(&defaults);

    // By the pad alone: Start pauses, Down and South go to Options, Controls, and Jump.
    using B = SDL_GameControllerButton;
    press_buttons(pad, {SDL_CONTROLLER_BUTTON_START, SDL_CONTROLLER_BUTTON_DPAD_DOWN,
                        SDL_CONTROLLER_BUTTON_A});
    ASSERT_EQ(pause_menu_page(), PAGE_OPTIONS);
    press_buttons(pad, {SDL_CONTROLLER_BUTTON_DPAD_DOWN, SDL_CONTROLLER_BUTTON_DPAD_DOWN,
                        SDL_CONTROLLER_BUTTON_A});
    ASSERT_EQ(pause_menu_page(), PAGE_CONTROLS);
    const B to_jump[] = {SDL_CONTROLLER_BUTTON_DPAD_DOWN, SDL_CONTROLLER_BUTTON_DPAD_DOWN,
                         SDL_CONTROLLER_BUTTON_DPAD_DOWN, SDL_CONTROLLER_BUTTON_A};
    for (B button : to_jump)
        press_buttons(pad, {button});
    ASSERT_STREQ(highlighted(), "Jump");
    int waiting = -1;
    ASSERT_EQ(pause_menu_waiting_for_binding(&waiting), 1);
    EXPECT_STREQ(menu_view().prompt, "Press the new key or pad button. Esc or Back: cancel");

    // Back and Escape cancel and bind nothing; North is bound, shared with quick load.
    press_buttons(pad, {SDL_CONTROLLER_BUTTON_BACK});
    EXPECT_EQ(pause_menu_waiting_for_binding(&waiting), 0);
    EXPECT_EQ(pause_menu_page(), PAGE_CONTROLS);
    tap(SDLK_RETURN);
    tap(SDLK_ESCAPE);
    pump();
    EXPECT_EQ(pause_menu_waiting_for_binding(&waiting), 0);
    EXPECT_EQ(std::memcmp(&sdl_settings.pads, &defaults, sizeof defaults), 0);
    press_buttons(pad, {SDL_CONTROLLER_BUTTON_A, SDL_CONTROLLER_BUTTON_Y});
    EXPECT_EQ(sdl_settings.pads.buttons[ROLE_JUMP], static_cast<uint32_t>(PAD_NORTH));
    MenuView view = menu_view();
    EXPECT_STREQ(view.entries.entries[ROLE_JUMP].value, "PageDown, C  / pad North");
    EXPECT_EQ(view.entries.entries[ROLE_JUMP].marked, 1);
    EXPECT_EQ(view.entries.entries[ROLE_QUICK_LOAD].marked, 1);
    EXPECT_EQ(view.entries.entries[ROLE_ENTER].marked, 0);  // South now on the title alone
    EXPECT_STREQ(view.said, "Also bound to Quick load: both act.");

    // Kept at once, and read back the same.
    Settings read;
    settings_default(&read);
    ASSERT_EQ(settings_load(path.c_str(), &read, nullptr, nullptr), 1);
    EXPECT_EQ(std::memcmp(&read.pads, &sdl_settings.pads, sizeof read.pads), 0);

    // In play North jumps and South no longer does.
    press_buttons(pad, {SDL_CONTROLLER_BUTTON_START});
    ASSERT_EQ(pause_menu_page(), PAGE_NONE);
    ASSERT_EQ(desktop_pass(), 1);
    SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_A, 1);
    pump();
    EXPECT_FALSE(jump_held());
    SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_Y, 1);
    pump();
    EXPECT_TRUE(jump_held());
    for (B button : {SDL_CONTROLLER_BUTTON_A, SDL_CONTROLLER_BUTTON_Y})
        SDL_JoystickSetVirtualButton(pad, button, 0);
    pump();

    // Reset to defaults (Up from the first row, round past Back) gives the pad its own again.
    press_buttons(pad, {SDL_CONTROLLER_BUTTON_START, SDL_CONTROLLER_BUTTON_DPAD_DOWN,
                        SDL_CONTROLLER_BUTTON_A, SDL_CONTROLLER_BUTTON_DPAD_DOWN,
                        SDL_CONTROLLER_BUTTON_DPAD_DOWN, SDL_CONTROLLER_BUTTON_A});
    ASSERT_EQ(pause_menu_page(), PAGE_CONTROLS);
    press_buttons(pad, {SDL_CONTROLLER_BUTTON_DPAD_UP, SDL_CONTROLLER_BUTTON_DPAD_UP});
    ASSERT_STREQ(highlighted(), "Reset to defaults");
    press_buttons(pad, {SDL_CONTROLLER_BUTTON_A});
    EXPECT_EQ(std::memcmp(&sdl_settings.pads, &defaults, sizeof defaults), 0);
    settings_default(&read);
    read.pads.buttons[ROLE_JUMP] = 0;
    ASSERT_EQ(settings_load(path.c_str(), &read, nullptr, nullptr), 1);
    EXPECT_EQ(std::memcmp(&read.pads, &defaults, sizeof defaults), 0);

    SDL_JoystickClose(pad);
    sdl_settings_path[0] = '\0';
    stop_playing();
}

// The game speed: the settings' speed is in force from the start, a speed chosen on the
// Options page is kept in the file at once, and the game played with it counts as practised.
TEST(SdlMenu, TheGameSpeedIsKeptInTheSettingsAndMarksTheGame) {
    start_playing();
    const std::string path = make_temp_dir("quellaro-speed") + "/settings.ini";
    std::snprintf(sdl_settings_path, sizeof sdl_settings_path, "%s", path.c_str());
    sdl_settings.speed = 75;
    desktop_menu_start();
    EXPECT_EQ(practice_assist(), 75);

    auto highlight = [](const char* label) {
        for (int i = 0; i < 12 && std::strcmp(highlighted(), label) != 0; ++i) {
            tap(SDLK_DOWN);
            pump();
        }
        return std::string(highlighted());
    };
    tap(SDLK_p);
    pump();
    ASSERT_EQ(pause_menu_page(), PAGE_PAUSE);
    ASSERT_EQ(highlight("Options"), "Options");
    tap(SDLK_RETURN);
    pump();
    ASSERT_EQ(highlight("Game speed"), "Game speed");
    tap(SDLK_RIGHT);  // slower: 50 %
    pump();
    EXPECT_EQ(practice_assist(), 50);
    EXPECT_EQ(sdl_settings.speed, 50);
    EXPECT_EQ(practice_practised(), 1);
    Settings read;
    settings_default(&read);
    ASSERT_EQ(settings_load(path.c_str(), &read, nullptr, nullptr), 1);
    EXPECT_EQ(read.speed, 50);
    // Round to full speed: kept too, and the game stays marked, having been played slower.
    tap(SDLK_RIGHT);
    pump();
    EXPECT_EQ(practice_assist(), 100);
    EXPECT_EQ(practice_practised(), 1);
    settings_default(&read);
    ASSERT_EQ(settings_load(path.c_str(), &read, nullptr, nullptr), 1);
    EXPECT_EQ(read.speed, 100);
    std::string text(8192, '\0');
    std::FILE* file = std::fopen(path.c_str(), "rb");
    ASSERT_NE(file, nullptr);
    text.resize(std::fread(text.data(), 1, text.size(), file));
    std::fclose(file);
    EXPECT_EQ(text.find("speed"), std::string::npos) << text;  // full speed: rewritten without

    sdl_settings_path[0] = '\0';
    stop_playing();
}

// A key of the port's own wins over a binding of the same key in the game, and the page says
// so: a binding that then never acts is marked; one of the pause menu's keys acts there.
TEST(SdlMenu, APortKeyWinsOverABindingOfTheSameKeyAndThePageSaysWhich) {
    start_playing();
    tap(SDLK_p);
    pump();
    pause_menu_open_over(PAGE_CONTROLS);
    auto bind = [](int role, SDL_Keycode key) {
        while (std::strcmp(highlighted(), binding_action_name(role)) != 0) {
            tap(SDLK_DOWN);
            pump();
        }
        tap(SDLK_RETURN);
        tap(key);
        pump();
        EXPECT_EQ(sdl_settings.keys.keys[role][0], key);
        return menu_view();
    };
    // The timer on G: it comes first of the two, and the ghost's G does nothing.
    MenuView view = bind(ROLE_TIMER, SDLK_g);
    EXPECT_STREQ(view.said, "Also bound to Ghost: this one wins, Ghost does nothing on it.");
    EXPECT_EQ(view.entries.entries[ROLE_TIMER].marked, MARK_SHARED);
    EXPECT_EQ(view.entries.entries[ROLE_GHOST].marked, MARK_OVERRULED);
    EXPECT_STREQ(view.entries.entries[ROLE_GHOST].value, "G (does nothing)");
    // Start on P, the pause's key: never acts. Walk left on M: both act.
    view = bind(ROLE_START, SDLK_p);
    EXPECT_STREQ(view.said, "Also bound to Pause: that wins, Start (S) does nothing on it.");
    EXPECT_EQ(view.entries.entries[ROLE_START].marked, MARK_OVERRULED);
    tap(SDLK_UP);  // round the page back to its top
    pump();
    view = bind(ROLE_LEFT, SDLK_m);
    EXPECT_STREQ(view.said, "Also bound to Sound on/off: both act.");
    // Menu down on M too: the menu's in the pause menu, the sound switch's in the game.
    view = bind(ROLE_DOWN, SDLK_m);
    EXPECT_STREQ(view.said,
                 "Also bound to Sound on/off: that wins in the game, Menu down in the pause menu.");
    EXPECT_EQ(view.entries.entries[ROLE_DOWN].marked, MARK_SHARED);

    // As said: in the pause menu M moves down and leaves the sound as it is.
    const int muted = sdl_settings.muted;
    const int at = menu_view().highlight;
    tap(SDLK_m);
    pump();
    EXPECT_EQ(menu_view().highlight, at + 1);
    EXPECT_EQ(sdl_settings.muted, muted);
    // In the game, G is the timer's alone, and M switches the sound.
    pause_menu_close();
    pump();
    const int timer = sdl_settings.show_timer, ghost = sdl_settings.show_ghost;
    tap(SDLK_g);
    tap(SDLK_m);
    pump();
    EXPECT_NE(sdl_settings.show_timer, timer);
    EXPECT_EQ(sdl_settings.show_ghost, ghost);
    EXPECT_NE(sdl_settings.muted, muted);
    key_bindings_default(&sdl_settings.keys);
    stop_playing();
}

}  // namespace
