// What the browser backend's files share among themselves (not part of the platform
// interface). The backend has these files:
//   web_display.cpp  the canvas: the frame through the palette as RGBA pixels, the cursor
//   web_input.cpp    keyboard, mouse, on-screen touch buttons, gamepads, focus and pause
//   web_time.cpp     the millisecond tick
//   web_audio.cpp    the sound, through Web Audio (audio_calls.js), started on the first key
//                    press, click or tap, since browsers play nothing before a gesture
//   web_program.cpp  the animation frames the program's entry runs its passes from
#pragma once
#include "platform/web/web_program.h"

// Starts and stops listening to the page's input (with the window's opening and closing).
void web_input_start();
void web_input_stop();
// The sound held with the pause, and M's switch between sound and silence.
void web_audio_set_paused(int paused);
void web_audio_toggle_mute();
