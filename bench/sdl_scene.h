// SDL2's best composition of the scenes the game drew, as the reference for the played frame.
// While the game plays (untimed), every fill and blit into the back surface is recorded with
// a copy of the picture it drew; each pass can then be composed again with SDL alone: 8-bit
// SDL surfaces sharing one palette, backdrops stretched once beforehand, keyed sprites with
// RLE acceleration, then SDL's conversion of the frame to 32-bit ARGB. Nothing the game does
// not do: no clear where the game made none.
#pragma once
#include <cstdint>

// Starts a new recording; every blit into the back surface until scene_end_pass belongs to
// the pass being played.
void scene_start_recording();
// Closes the pass's list; when it drew pictures, composes it with SDL and counts the pixels
// where SDL's frame and the game's presented frame differ (the game's text, which SDL does
// not draw).
void scene_end_pass();
void scene_stop_recording();
int scene_passes();
long scene_blit_count();
// The most pixels any pass's SDL frame differed from the game's.
int scene_most_differing_pixels();
// Composes a recorded pass with SDL: the recorded fills and blits (the game's own clear among
// them when it made one), then the 8-to-32 conversion. With clear, the whole frame is first
// cleared to colour 0 as a frame is often composed (for information: the game leaves that
// clear out where its backdrop covers the frame).
void scene_compose(int pass, bool clear);
// Frees every SDL surface and the recording.
void scene_release();
