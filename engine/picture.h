// The game's pictures: one shared work record that each picture file is loaded into, cut into
// sprite frames or copied into a full-screen image, and unloaded again. Pictures that are
// missing, not 8-bit, not of the size they are drawn at, or too small for what is cut from
// them are refused, and the first one refused is remembered with the reason so that start-up
// can name it.
#pragma once
#include "engine/bitmap.h"
#include "engine/image.h"
#include "engine/sprite.h"

// The shared work record every picture is loaded into.
extern BitmapFile load_bitmap;

// Loads the picture into load_bitmap; 1, or 0 (nothing loaded) when it cannot be read or is
// not an 8-bit picture.
[[nodiscard]] int picture_load(const char* file_name);
// picture_load, and the picture must be exactly width x height pixels: one drawn whole.
[[nodiscard]] int picture_load_sized(const char* file_name, int width, int height);
// Loads, checks as picture_load_sized does, and unloads again: a picture read later.
[[nodiscard]] int picture_check(const char* file_name, int width, int height);
// Cuts a frame out of load_bitmap as sprite_load_frame does (mode CUT_CELLS or CUT_PIXELS);
// 0, leaving the frame as it was, when the cut would leave the picture.
[[nodiscard]] int picture_cut(SpriteObject* sprite, int frame, int cx, int cy, int mode);
// Copies the image's block out of load_bitmap from pixel (x, y); 0 when it would leave the
// picture.
[[nodiscard]] int picture_copy(BitmapImage* image, int x, int y);
// Unloads load_bitmap.
void picture_unload();
// The file name of the first picture refused since start-up, or "" when none was; and what
// was wrong with it ("is not an 8-bit picture").
const char* picture_refused();
const char* picture_refused_why();
// Unloads load_bitmap, frees the loader's kept storage and forgets the refused picture: the
// state at start-up.
void picture_shutdown();
