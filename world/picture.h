// Loading the world's pictures into load_bitmap and cutting frames out of them, refusing
// pictures that are missing, not 8-bit, or too small for a frame.
#pragma once
#include "engine/sprite.h"

// Loads the picture into load_bitmap; 1, or 0 (nothing loaded) when it cannot be read or is
// not an 8-bit picture.
int picture_load(const char* file_name);
// Cuts a frame out of load_bitmap as sprite_load_frame does (mode 0: cell numbers, else a
// pixel position); 0, leaving the frame as it was, when the cut would leave the picture.
int picture_cut(SpriteObject* sprite, int frame, int cx, int cy, int mode);
// Unloads load_bitmap.
void picture_unload();
