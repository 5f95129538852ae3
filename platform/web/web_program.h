// What the browser program asks of the browser backend, with no Emscripten inside: the
// browser's animation frames, the pause, and exporting a function to the page.
#pragma once

// Calls frame at each of the browser's animation frames with the frame's time in
// milliseconds, for as long as it returns 1.
void web_run_frames(int (*frame)(double now_ms));
// 1 while the game is paused: the page is hidden or lost the focus, or the player pressed P.
int web_paused();
// Makes a function of the program callable from the page (as Module._name).
#define WEB_EXPORT extern "C" __attribute__((used, visibility("default")))
