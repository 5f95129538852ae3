// What the programs draw over the finished frame as it is shown, never into the game's
// frame: the practice tools' note. On 32-bit pixels whose top byte is alpha or unused (ARGB
// on the desktop, the canvas's RGBA in the browser): only white and halving are used, so the
// order of the colours does not matter.
#pragma once
#include <cstdint>

// Each channel of the box from (x0, y0) to (x1, y1), clipped to the frame, shifted right by
// shift (1: half as bright, 2: a quarter), kept opaque: a dark box any text reads on.
void overlay_darken(uint32_t* pixels, int pitch, int width, int height, int x0, int y0, int x1,
                    int y1, int shift);
// Text in the game's font on a dimmed box, centred, its box's top at top (pitch in pixels).
// Null or empty text draws nothing.
void overlay_text(uint32_t* pixels, int pitch, int width, int height, const char* text, int top);
// The practice tools' note: at the top, under the HUD.
void overlay_note(uint32_t* pixels, int pitch, int width, int height, const char* note);
// A number for the look of the overlay, for the backends' "did it change": 0 for nothing
// shown, else it differs for every note and for each mark (a program's own small number,
// such as 1 for the pause mark).
int overlay_look(const char* note, int mark);
