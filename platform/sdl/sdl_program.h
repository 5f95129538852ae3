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
