// What the game needs from the operating system. Exactly one backend is linked in:
// platform/sdl for the game, platform/headless for the tests, the runner and the tools.
#pragma once
#include <cstdint>

#include "platform/types.h"

// Opens the one window (full screen for the SDL backend); 1 on success, 0 on failure.
int platform_open_window(const char* caption, int width, int height);
void platform_close_window();
// Requests for the program rather than the game: its practice tools. A backend maps keys and
// pad buttons to them; they never reach the game.
enum PlatformCommand : int {
    COMMAND_QUICK_SAVE,
    COMMAND_QUICK_LOAD,
    COMMAND_FRAME_ADVANCE,
    COMMAND_SLOW_MOTION,
    COMMAND_REWIND,  // held: platform_held_commands
    COMMAND_COUNT
};
// Where a backend delivers the input it pumps: key presses as virtual-key codes (auto-repeat
// included), left-button presses in frame pixels (double_click 1 for the second press of a
// double click), the request to close the window, and the program's commands (may be null).
struct PlatformInput {
    void (*key_down)(int key);
    void (*button_down)(int x, int y, int double_click);
    void (*close)();
    void (*command)(int command) = nullptr;
};
// Hands pending operating-system input to input, in the order it came.
void platform_pump_events(const PlatformInput* input);
// Shows a finished frame. bpp 8 uses the palette; 16 is 5-6-5 (or 5-5-5 when bpp is 15).
void platform_present(const uint8_t* pixels, int pitch, int width, int height, int bpp,
                      const PaletteEntry* palette);
// Milliseconds since an arbitrary start, wrapping at 2^32.
uint32_t platform_ticks();
// Gives the processor away for about ms milliseconds (0: a yield at most).
void platform_idle(uint32_t ms);
void platform_set_cursor_visible(int visible);
// The keys held for the coming pass, one bit a virtual-key code (bit k % 8 of byte k / 8):
// those down now, and those pressed since the last call though released again, so that a tap
// shorter than a pass still counts once.
constexpr int INPUT_KEYS = 256;
constexpr int INPUT_HELD_BYTES = INPUT_KEYS / 8;
void platform_read_held_keys(uint8_t held[INPUT_HELD_BYTES]);
// The program's commands held down now, bit 1 << command each (rewind, while its key is held).
uint32_t platform_held_commands();

// Sound: effects by the game's numbers, 16-bit mono samples at the rate the audio was opened
// with, borrowed (they must outlive platform_audio_close); tunes rendered by the audio itself
// while it plays them, stereo at the same rate. Opens the audio output; 1 when this backend
// plays sounds (the device itself may open a little later, and when there is none the game
// runs silently and says so once), 0 when it only takes note of them.
int platform_audio_open(int rate);
void platform_audio_close();
// The samples of one variant (0 first) of effect id.
void platform_sound_load(int id, int variant, const int16_t* samples, int64_t length);

// A tune as the audio plays it: start readies state (PLATFORM_MUSIC_STATE bytes, aligned for
// any type) to play data from its beginning; render writes the next frames pairs of left and
// right samples and returns how many, fewer only once a tune that does not loop has ended.
// Both run wherever the audio mixes (on the desktop, its own thread): they allocate nothing
// and touch nothing but state.
struct PlatformMusic {
    void (*start)(void* state, const void* data);
    int (*render)(void* state, int16_t* out, int frames);
    const void* data;
};
constexpr int PLATFORM_MUSIC_STATE = 4096;
// The tune with number id (borrowed, as the samples are); asked for before it came, it
// starts when it comes.
void platform_music_load(int id, const PlatformMusic* music);
// Starts variant variant of effect id over whatever plays, at pan (-100: left, 0: centre,
// 100: right); starts tune id from its beginning (0: no music), the tune before it fading out.
void platform_play_sound(int id, int variant, int pan);
void platform_play_music(int id);
