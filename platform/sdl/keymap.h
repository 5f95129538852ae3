// Virtual-key codes from SDL key codes and back, through one table. No SDL in here, so the
// tests can link it; sdl_input.cpp checks the key code values below against SDL's own.
#pragma once
#include <cstdint>

// SDL2 key code values of the keys the game knows.
constexpr int32_t KEYCODE_RETURN = 13;
constexpr int32_t KEYCODE_ESCAPE = 27;
constexpr int32_t KEYCODE_DELETE = 127;
constexpr int32_t KEYCODE_0 = '0';
constexpr int32_t KEYCODE_A = 'a';  // letters are lower case whatever the shift state
constexpr int32_t KEYCODE_PAGEDOWN = 0x40000000 | 78;
constexpr int32_t KEYCODE_RIGHT = 0x40000000 | 79;
constexpr int32_t KEYCODE_LEFT = 0x40000000 | 80;
constexpr int32_t KEYCODE_DOWN = 0x40000000 | 81;
constexpr int32_t KEYCODE_UP = 0x40000000 | 82;
constexpr int32_t KEYCODE_KP_ENTER = 0x40000000 | 88;

// The virtual-key code of an SDL key code; 0 for a key the game ignores.
int key_from_keycode(int32_t keycode);
// Writes up to max SDL key codes that give the virtual-key code; returns how many it wrote.
int keycodes_for_key(int key, int32_t* out, int max);
