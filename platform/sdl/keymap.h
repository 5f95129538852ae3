// Keys by name and what each key does: the bindings of the game's keys (held play keys and
// menu presses) and of the port's own keys, remappable from the settings. SDL key code values
// without SDL, so the tests can link it; the SDL tests check every name against SDL's own.
#pragma once
#include <cstdint>

// SDL key code values used by the defaults and the tests.
constexpr int32_t KEYCODE_RETURN = 13;
constexpr int32_t KEYCODE_ESCAPE = 27;
constexpr int32_t KEYCODE_SPACE = ' ';
constexpr int32_t KEYCODE_DELETE = 127;
constexpr int32_t KEYCODE_A = 'a';  // letters are lower case whatever the shift state
constexpr int32_t KEYCODE_F10 = 0x40000000 | 67;
constexpr int32_t KEYCODE_F11 = 0x40000000 | 68;
constexpr int32_t KEYCODE_F12 = 0x40000000 | 69;
constexpr int32_t KEYCODE_PAGEDOWN = 0x40000000 | 78;
constexpr int32_t KEYCODE_RIGHT = 0x40000000 | 79;
constexpr int32_t KEYCODE_LEFT = 0x40000000 | 80;
constexpr int32_t KEYCODE_DOWN = 0x40000000 | 81;
constexpr int32_t KEYCODE_UP = 0x40000000 | 82;
constexpr int32_t KEYCODE_KP_ENTER = 0x40000000 | 88;
constexpr int32_t KEYCODE_BACKSPACE = 8;
constexpr int32_t KEYCODE_F5 = 0x40000000 | 62;
constexpr int32_t KEYCODE_F6 = 0x40000000 | 63;
constexpr int32_t KEYCODE_F7 = 0x40000000 | 64;
constexpr int32_t KEYCODE_F9 = 0x40000000 | 66;

// The SDL key code of a key name ("Right", "Page Down", "Left Shift", "F10", "Z"), case and
// blanks ignored; 0 when unknown.
int32_t keycode_from_name(const char* name);
// The key's name as SDL writes it; null for a key not in the table.
const char* keycode_name(int32_t keycode);
// Every key of the table in turn (index from 0); 0 past the end.
int32_t keycode_at(int index);

// What a key can do. Held roles are polled by the game every played frame; press roles post
// a key press to the game; the port's roles act in the backend, and the practice roles are
// the program's commands: neither ever reaches the game.
enum KeyRole : int {
    ROLE_RIGHT,
    ROLE_LEFT,
    ROLE_RUN,
    ROLE_JUMP,
    ROLE_UP,
    ROLE_DOWN,
    ROLE_ENTER,
    ROLE_ESCAPE,
    ROLE_START,
    ROLE_HELP,
    ROLE_ABOUT,
    ROLE_QUIT,
    ROLE_PAUSE,
    ROLE_FULLSCREEN,
    ROLE_SCALE,
    ROLE_SCREENSHOT,
    ROLE_MUTE,
    ROLE_TIMER,
    ROLE_GHOST,
    ROLE_QUICK_SAVE,
    ROLE_QUICK_LOAD,
    ROLE_REWIND,
    ROLE_ADVANCE,
    ROLE_SLOW_MOTION,
    ROLE_COUNT
};
constexpr int FIRST_PRESS_ROLE = ROLE_UP;
constexpr int FIRST_PORT_ROLE = ROLE_PAUSE;
constexpr int FIRST_PRACTICE_ROLE = ROLE_QUICK_SAVE;
constexpr int KEYS_PER_ROLE = 4;

// The keys of each role; unused places hold 0.
struct KeyBindings {
    int32_t keys[ROLE_COUNT][KEYS_PER_ROLE];
};

// The keys the game has always used, P, F11, F10, F12, M, T and G for the port, and F5 (quick
// save), F9 (quick load), Backspace (rewind, held), F6 (frame advance) and F7 (slow motion).
void key_bindings_default(KeyBindings* bindings);
// The role's name in the settings file ("jump"); role from name, -1 when unknown.
const char* key_role_name(int role);
int key_role_from_name(const char* name);
// The virtual-key code a press role posts; 0 for other roles.
int key_role_message(int role);
// The program's command a practice role gives (PlatformCommand); -1 for other roles.
int key_role_command(int role);
// The held role the game's query for a virtual-key code asks about; -1 when none does.
// Both keys of a pair answer alike (Right arrow and D), as the game only ever joins them.
int key_role_held_by(int key);
// 1 when the key is one of the role's.
int key_has_role(const KeyBindings* bindings, int role, int32_t keycode);
