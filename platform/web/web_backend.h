// What the browser backend's files share among themselves (not part of the platform
// interface). The backend has these files:
//   web_display.cpp   the canvas: the frame as 8-bit pixels and palette for WebGL to look up
//                     (display_calls.js), or as RGBA pixels when something is drawn over it
//                     or WebGL is missing; its placement and scaling; the cursor
//   web_input.cpp     keyboard (by the settings' bindings), mouse, on-screen touch buttons,
//                     gamepads, focus and pause
//   web_settings.cpp  the settings in the page's storage
//   web_time.cpp      the millisecond tick
//   web_audio.cpp     the sound, through Web Audio (audio_calls.js), started on the first key
//                     press, click or tap, since browsers play nothing before a gesture
//   web_program.cpp   the start, the animation frames the program's entry runs its passes
//                     from, and the page's notices
// and plain logic without Emscripten, which the tests link: keys, layout, pacing, pointer,
// gamepad.
#pragma once
#include "platform/web/web_program.h"

// Starts and stops listening to the page's input (with the window's opening and closing).
void web_input_start();
void web_input_stop();
// The sound held with the pause, and M's switch between sound and silence.
void web_audio_set_paused(int paused);
// After the passes of an animation frame: the sound mixed ahead of what is playing.
void web_audio_feed();
void web_audio_toggle_mute();
// What the player chose (an options page): the effects' and the music's volumes in percent,
// held to 0-100, and the sound off or on; heard at once, and kept in the settings.
void web_audio_set_levels(int effects_percent, int music_percent, int muted);
// The settings from the page's storage into web_settings and web_scale (the defaults where
// there are none or a line is bad, which is said on the console); and back into the storage:
// 1 when kept.
void web_settings_load();
int web_settings_keep();
// Whether the game shows its cursor (the title does; play does not): the pads map by it.
extern int web_game_cursor_visible;
// The frame placed again after web_scale changed.
void web_display_place_again();
