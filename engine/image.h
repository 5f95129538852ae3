// Full-screen images: a BitmapImage is a plain block of pixels in ordinary memory with a
// screen position, drawn by copying its rows into a locked pixel buffer.
//
// Operations give 1 on success and 0 on failure; all but image_destroy (0 only for an image
// without pixels) are [[nodiscard]].
#pragma once
#include <cstdint>

#include "engine/bitmap.h"

enum : int { IMAGE_LOADED = 0x80 };  // attr bit: pixels were loaded
// The transparent argument of image_draw: every pixel copied, or index 0 left out.
enum : int { IMAGE_OPAQUE = 0, IMAGE_TRANSPARENT = 1 };

struct BitmapImage {
    int state;
    int attr;
    int x, y;
    int width, height;
    int num_bytes;
    int bpp;
    uint8_t* buffer;
};

[[nodiscard]] int image_create(BitmapImage* image, int x, int y, int width, int height, int bpp);
int image_destroy(BitmapImage* image);
[[nodiscard]] int image_load(BitmapImage* image, const BitmapFile* bitmap, int cx, int cy,
                             int mode);
[[nodiscard]] int image_draw(const BitmapImage* image, uint8_t* destination, int pitch,
                             int transparent);
[[nodiscard]] int image_load16(BitmapImage* image, const BitmapFile* bitmap, int cx, int cy,
                               int mode);
[[nodiscard]] int image_draw16(const BitmapImage* image, uint8_t* destination, int pitch,
                               int transparent);
[[nodiscard]] int image_copy_rect(BitmapImage* destination, int dx, int dy,
                                  const BitmapImage* source, int sx, int sy, int width, int height);
[[nodiscard]] int image_scroll(BitmapImage* image, int dx, int force);
