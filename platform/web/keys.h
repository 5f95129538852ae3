// Browser keyboard events as the game's virtual-key codes, and the table of keys held down
// now. No Emscripten in here, so the tests can link it.
#pragma once

// The virtual-key code of a KeyboardEvent.key value ("ArrowLeft", "Enter", "a", "7"...);
// 0 for a key the game ignores. Letters count whatever their case, as on the desktop.
int key_from_dom_key(const char* key);
// The program's command (PlatformCommand) a KeyboardEvent.key value gives: F5 quick save, F9
// quick load, F6 frame advance, F7 slow motion, Backspace rewind (held); -1 for other keys.
int command_from_dom_key(const char* key);

// Keys held down now, each under the physical key (KeyboardEvent.code) that pressed it, so
// that its release finds it even when Shift or the layout changed the key's name meanwhile.
// Fixed slots: nothing is allocated.
struct HeldKeys {
    static constexpr int SLOTS = 16;
    static constexpr int CODE_BYTES = 32;
    struct Slot {
        char code[CODE_BYTES];
        int key;
    } slots[SLOTS];
    int count;
};

// Notes a press of physical key code giving virtual key; a repeated press changes nothing.
// When every slot is taken the press is not held (ten fingers are not that many keys).
void held_press(HeldKeys* held, const char* code, int key);
void held_release(HeldKeys* held, const char* code);
// Forgets every key: after focus loss the browser sends no releases.
void held_clear(HeldKeys* held);
// 1 while some physical key giving this virtual key is down.
int held_is_down(const HeldKeys* held, int key);
