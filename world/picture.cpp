// Pictures for the world's sprites: loading into the shared work record and checked cuts.
#include "world/picture.h"

#include <cstdlib>

#include "world/level.h"

int picture_load(const char* file_name) {
    if (bitmap_load_file(&load_bitmap, file_name) == 0 || load_bitmap.buffer == nullptr) {
        return 0;
    }
    if (load_bitmap.info_header.bit_count != 8) {
        bitmap_unload_file(&load_bitmap);
        return 0;
    }
    return 1;
}

int picture_cut(SpriteObject* sprite, int frame, int cx, int cy, int mode) {
    const int left = mode == 0 ? cx * (sprite->width + 1) + 1 : cx;
    const int top = mode == 0 ? cy * (sprite->height + 1) + 1 : cy;
    const int width = load_bitmap.info_header.width;
    const int height = std::abs(load_bitmap.info_header.height);
    if (load_bitmap.buffer == nullptr || left < 0 || top < 0 || left + sprite->width > width ||
        top + sprite->height > height) {
        return 0;
    }
    return sprite_load_frame(sprite, &load_bitmap, frame, cx, cy, mode);
}

void picture_unload() {
    bitmap_unload_file(&load_bitmap);
}
