// Full-screen images: a BitmapImage is a plain block of pixels in ordinary memory with a
// screen position, drawn by copying its rows into a locked pixel buffer.
#pragma once
#include <cstdint>

#include "engine/bitmap.h"

enum : int { IMAGE_LOADED = 0x80 };

struct BitmapImage {
    int state;
    int attr;
    int x, y;
    int width, height;
    int num_bytes;
    int bpp;
    uint8_t* buffer;
};

int image_create(BitmapImage* image, int x, int y, int width, int height, int bpp);
int image_destroy(BitmapImage* image);
int image_load(BitmapImage* image, const BitmapFile* bitmap, int cx, int cy, int mode);
int image_draw(const BitmapImage* image, uint8_t* destination, int pitch, int transparent);
int image_load16(BitmapImage* image, const BitmapFile* bitmap, int cx, int cy, int mode);
int image_draw16(const BitmapImage* image, uint8_t* destination, int pitch, int transparent);
int image_copy_rect(BitmapImage* destination, int dx, int dy, const BitmapImage* source, int sx,
                    int sy, int width, int height);
int image_scroll(BitmapImage* image, int dx, int force);
