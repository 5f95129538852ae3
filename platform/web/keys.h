// Browser keyboard events as the key codes the settings bind (platform/sdl/keymap.h: SDL's
// numbers, without SDL), and the table of keys held down now. No Emscripten in here, so the
// tests can link it.
#pragma once
#include <cstdint>

// The key code of a KeyboardEvent, from its key value ("ArrowLeft", "a", "F5") and its code
// value ("KeyA", "Numpad1"): letters whatever their case and layout as the key names them,
// the keypad and the left and right modifiers by their place; 0 for a key the settings
// cannot name.
int32_t keycode_from_dom(const char* key, const char* code);

// Keys held down now, each under the physical key (KeyboardEvent.code) that pressed it, so
// that its release finds it even when Shift or the layout changed the key's name meanwhile.
// Fixed slots: nothing is allocated.
struct HeldKeys {
    static constexpr int SLOTS = 16;
    static constexpr int CODE_BYTES = 32;
    struct Slot {
        char code[CODE_BYTES];
        int32_t keycode;
    } slots[SLOTS];
    int count;
};

// Notes a press of physical key code giving keycode; a repeated press changes nothing. When
// every slot is taken the press is not held (ten fingers are not that many keys).
void held_press(HeldKeys* held, const char* code, int32_t keycode);
void held_release(HeldKeys* held, const char* code);
// Forgets every key: after focus loss the browser sends no releases.
void held_clear(HeldKeys* held);
// 1 while some physical key giving this key code is down.
int held_is_down(const HeldKeys* held, int32_t keycode);
