// What the SDL backend's files share among themselves, beyond what the program asks of them
// (sdl_program.h): the window, presentation, pause and sound.
#pragma once
#include <SDL.h>

#include "platform/sdl/letterbox.h"
#include "platform/sdl/sdl_program.h"

// The size of the frame the window was opened for (640 x 480 in the game).
extern int sdl_frame_width, sdl_frame_height;
extern SDL_Window* sdl_window;

// Asks for the settings to be written soon (drag-resizing asks many times a second).
void sdl_settings_changed();
// Writes the settings when a change has waited long enough, or at once when now is set.
void sdl_settings_flush(int now);

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
// Saves the last frame as a screenshot and says where on standard error; 1 when saved.
int sdl_save_screenshot();
// Tells the player what a port key did, or a problem, through the program's note hook.
void sdl_say(const char* text);
// The pause (sdl_set_paused) holds the sound, shows the cursor and the last frame again.
// The game's own wish for the cursor: hidden exactly while playing.
extern int sdl_game_cursor_visible;
int sdl_in_play();
// Closes the pads and forgets keys, pause and cursor (the window is closing).
void sdl_input_stop();

// Sound: the device opens at the first pump after the first frame (when the game asked for
// audio); the pause holds every sound where it is; M mutes and unmutes (and is kept in the
// settings); the settings' volumes and mute apply at once.
void sdl_audio_start_when_due();
void sdl_audio_set_paused(int paused);
void sdl_audio_toggle_mute();
void sdl_audio_apply_settings();
// What the sound does now, for tests and diagnostics: whether the device is open, the mixer's
// pause and mute, the effects playing and whether a tune plays.
struct SdlAudioState {
    int open, paused, muted, voices, music;
};
SdlAudioState sdl_audio_state();

// Keeps the text of a message box about to be shown, for sdl_message_shown.
void sdl_note_message(const char* text);

// Diagnostics (QUELLARO_FRAME_STATS).
extern int sdl_stats_enabled;
void sdl_note_pump();
