// What the desktop program asks of the SDL backend, with no SDL inside: starting and ending
// SDL, the settings in force, the window, the pause, the last frame shown and messages for
// the player. The backend's own files share more (sdl_backend.h).
#pragma once
#include <cstddef>
#include <cstdint>

#include "platform/platform.h"
#include "platform/sdl/files.h"
#include "platform/sdl/settings.h"

// SDL taken into use and let go, once each a run: the first call of the program, and its last.
void sdl_program_start();
void sdl_program_end();
// The folder the program was started from (with a trailing separator); 0 when SDL cannot tell.
int sdl_base_path(char* out, size_t size);

// The settings in force, and where they are kept (empty: nowhere).
extern Settings sdl_settings;
extern char sdl_settings_path[FILE_PATH_MAX];
// What the settings file held that the game did not use, written back with the settings.
extern SettingsKept sdl_settings_kept;
// Settings given for this run only (command line, QUELLARO_WINDOWED): until the player
// changes them, the file keeps what it had. The bits say which; file holds the file's values.
enum : int {
    RUN_ONLY_FULLSCREEN = 1,
    RUN_ONLY_WINDOW_SIZE = 2,
    RUN_ONLY_SCALE = 4,
    RUN_ONLY_MUTE = 8
};
extern int sdl_run_only;
extern Settings sdl_file_settings;

// Starts SDL's video on a real display; 0 after saying why when there is none.
int sdl_video_start();
// Whether opening the window failed (the program then ends with status 1, not 0).
extern int sdl_window_failed;
// 1 while the window is open.
int sdl_window_open();
// Says a fatal error on standard error and in a message box (when a display is there).
void sdl_show_error(const char* text);
// Shows text in a message box only (standard error has it already).
void sdl_show_message(const char* text);
// The text of the last message box asked for by either ("" before any; the tests read it,
// since a box cannot show on their driver).
const char* sdl_message_shown();

// The last frame's digest over its colours (as the runner computes it; 0 before any), kept
// after the window closes, and the pass that drew it (-1 before any).
uint64_t sdl_last_frame_digest();
int sdl_last_frame_pass();

// What the program draws over every finished frame as it is shown (never into the game's
// frame): look gives 0 when there is nothing to draw, else a number that changes whenever
// the drawing would; draw draws on the frame as 32-bit ARGB pixels (pitch in pixels).
struct SdlOverlay {
    int (*look)(int paused);
    void (*draw)(uint32_t* argb, int pitch, int width, int height, int paused);
};
// A colour filter for the frames shown: the palette's 256 colours through it as the frame is
// converted, never the game's frame (null: none). Shows the last frame again through it.
typedef void (*SdlPaletteFilter)(const PaletteEntry* in, PaletteEntry* out, int count);
void sdl_set_palette_filter(SdlPaletteFilter filter);
// The overlay in use (null: none).
void sdl_set_overlay(const SdlOverlay* overlay);
// Shows the last frame again when the overlay's look changed (a note came or went).
void sdl_present_when_overlay_changed();

// Pause: no pass of the game runs while it is set, but for frame advance.
extern int sdl_paused;
// Handles window-system events until the pause ends (or a close request ends it): 0; or 1
// when frame advance asks for one pass while the pause goes on. The overlay is kept up to
// date meanwhile. input receives the program's commands given during the pause.
int sdl_wait_while_paused(const PlatformInput* input);
// The pass of the frame loop now running (set by the entry at the top of each pass).
extern int sdl_pass;

// 1 while live key presses and clicks go to the game's input (a replay keeps them away);
// close requests always go.
extern int sdl_live_presses;

// Microseconds on SDL's performance counter, and when the program's entry began.
int64_t sdl_now_us();
extern int64_t sdl_main_start_us;

// A menu the program shows over the held game takes the input the game would have: keys by
// SDL key code (key gives 1 when it took one; the others go on to their roles, so P still
// ends the pause), the pad's buttons newly pressed (PadButton bits) and left-button presses
// in frame pixels. paused tells it the pause began or ended, by whatever means.
struct SdlMenu {
    int (*shown)();
    int (*key)(int32_t keycode);
    void (*pad)(uint32_t pressed);
    void (*click)(int x, int y);
    void (*paused)(int paused);
    // A quit the system insists on (a signal, not the window's close button): not asked.
    void (*quit_now)();
};
// Where the backend tells the player what a port key did ("Scaling: integer", "Sound off",
// "Screenshot saved") or that the settings could not be saved (null: nowhere).
void sdl_set_note(void (*say)(const char* text));
// The menu in use (null: none).
void sdl_set_menu(const SdlMenu* menu);
// Starts or ends the pause (a menu's Resume).
void sdl_set_paused(int paused);
// Lets one pass run while the pause goes on (frame advance from a menu).
void sdl_advance_once();
// What the player chose in a menu, applied at once and kept in the settings: full screen or
// a window, the scale mode (ScaleMode), the key bindings and colours now in sdl_settings.
void sdl_set_fullscreen(int on);
void sdl_set_scale_mode(int mode);
void sdl_keys_changed();
// The effects' and the music's volumes in percent, held to 0-100, and the sound off or on;
// heard at once and kept in the settings.
void sdl_audio_set_levels(int effects_percent, int music_percent, int muted);
