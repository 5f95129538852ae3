// What the SDL backend's files share among themselves (not part of the platform interface).
#pragma once

// The size of the frame the window was opened for (640 x 480 in the game).
extern int sdl_frame_width, sdl_frame_height;  // 640 x 480 in the game
// Notes the time of an event pump for the frame-pacing diagnostics (QUELLARO_FRAME_STATS).
void sdl_note_pump();
