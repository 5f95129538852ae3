// What the SDL backend's files share among themselves and with the program's entry (not part
// of the platform interface): the settings in force, the window, presentation, pause and
// the pass the frame loop is on.
#pragma once
#include <SDL.h>

#include "platform/sdl/files.h"
#include "platform/sdl/letterbox.h"
#include "platform/sdl/settings.h"

// The size of the frame the window was opened for (640 x 480 in the game).
extern int sdl_frame_width, sdl_frame_height;
extern SDL_Window* sdl_window;

// The settings in force, and where they are kept (empty: nowhere).
extern Settings sdl_settings;
extern char sdl_settings_path[FILE_PATH_MAX];
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
// Asks for the settings to be written soon (drag-resizing asks many times a second).
void sdl_settings_changed();
// Writes the settings when a change has waited long enough, or at once when now is set.
void sdl_settings_flush(int now);

// Starts SDL's video on a real display; 0 after saying why when there is none.
int sdl_video_start();
// Whether opening the window failed (the program then ends with status 1, not 0).
extern int sdl_window_failed;
// Says a fatal error on standard error and in a message box (when a display is there).
void sdl_show_error(const char* text);

// Full screen or window (Alt+Enter, F11); integer or fit (F10).
void sdl_toggle_fullscreen();
void sdl_toggle_scale();
// The frame's box in the window's output pixels, and the output's size.
Letterbox sdl_frame_box(int* output_width, int* output_height);

// Presentation: chooses the path once the window is open; shows the last frame again in
// full, bars included (after a resize, an exposure, a mode change or a pause change).
int sdl_present_start();
void sdl_present_stop();
void sdl_present_again();
// How many times a frame went to the screen (identical frames do not).
extern int64_t sdl_frames_shown;
// Saves the last frame as a screenshot and says where on standard error.
void sdl_save_screenshot();
// The last frame's digest over its colours (as the runner computes it; 0 before any), kept
// after the window closes, and the pass that drew it (-1 before any).
uint64_t sdl_last_frame_digest();
int sdl_last_frame_pass();

// Pause: no pass of the game runs while it is set; the last frame shows the pause mark.
extern int sdl_paused;
void sdl_set_paused(int paused);
// The game's own wish for the cursor: hidden exactly while playing.
extern int sdl_game_cursor_visible;
int sdl_in_play();
// Handles window-system events until the pause ends (or a close request ends it).
void sdl_wait_while_paused();
// The pass of the frame loop now running (set by the entry at the top of each pass).
extern int sdl_pass;
// Closes the pads and forgets keys, pause and cursor (the window is closing).
void sdl_input_stop();

// Sound: the device opens at the first pump after the first frame (when the game asked for
// audio); the pause holds every sound where it is; M mutes and unmutes (and is kept in the
// settings); the settings' volumes and mute apply at once.
void sdl_audio_start_when_due();
void sdl_audio_set_paused(int paused);
void sdl_audio_toggle_mute();
void sdl_audio_apply_settings();
// What the player chose (an options page): the effects' and the music's volumes in percent,
// held to 0-100, and the sound off or on; heard at once and kept in the settings.
void sdl_audio_set_levels(int effects_percent, int music_percent, int muted);
// What the sound does now, for tests and diagnostics: whether the device is open, the mixer's
// pause and mute, the effects playing and whether a tune plays.
struct SdlAudioState {
    int open, paused, muted, voices, music;
};
SdlAudioState sdl_audio_state();

// Recording (--record): every key press, click, close request and held key the game gets
// goes to the recorder, by pass. Replay (--replay): live input is kept from the game, and
// the held keys come from the script.
struct Recorder;
extern Recorder* sdl_recorder;
extern int sdl_replaying;
extern uint8_t sdl_replay_held[256];

// Diagnostics (QUELLARO_FRAME_STATS): microseconds on SDL's performance counter, and when
// the program's entry began.
extern int sdl_stats_enabled;
extern int64_t sdl_main_start_us;
int64_t sdl_now_us();
void sdl_note_pump();
