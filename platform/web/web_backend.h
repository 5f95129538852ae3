// What the browser backend's files share among themselves (not part of the platform
// interface). The backend has these files:
//   web_display.cpp  the canvas: the frame through the palette as RGBA pixels, the cursor
//   web_input.cpp    keyboard, mouse, on-screen touch buttons, gamepads, focus and pause
//   web_time.cpp     the millisecond tick
//   main.cpp         the entry: start-up, then passes from the animation-frame callbacks
// Sound goes in a web_audio.cpp of its own (Web Audio, started on the first key press or
// tap, since browsers play nothing before a gesture).
#pragma once

// Starts and stops listening to the page's input (with the window's opening and closing).
void web_input_start();
void web_input_stop();
// 1 while the game is paused: the page is hidden or lost the focus, or the player pressed P.
int web_paused();
