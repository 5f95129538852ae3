// The game's pictures: the shared work record, checked loads, cuts and copies, and the name
// of the first picture refused.
#include "engine/picture.h"

#include <cstdio>

BitmapFile load_bitmap;

namespace {
// The picture in load_bitmap, and the first one refused; file names are short.
char loaded_name[80];
char refused_name[80];

int refuse(const char* file_name) {
    if (refused_name[0] == '\0')
        std::snprintf(refused_name, sizeof refused_name, "%s", file_name);
    return 0;
}
}  // namespace

int picture_load(const char* file_name) {
    if (bitmap_load_file(&load_bitmap, file_name) == 0 || load_bitmap.buffer == nullptr)
        return refuse(file_name);
    if (load_bitmap.info_header.bit_count != 8) {
        bitmap_unload_file(&load_bitmap);
        return refuse(file_name);
    }
    std::snprintf(loaded_name, sizeof loaded_name, "%s", file_name);
    return 1;
}

int picture_cut(SpriteObject* sprite, int frame, int cx, int cy, int mode) {
    if (!sprite_load_frame(sprite, &load_bitmap, frame, cx, cy, mode))
        return refuse(loaded_name);
    return 1;
}

int picture_copy(BitmapImage* image, int x, int y) {
    if (!image_load(image, &load_bitmap, x, y, CUT_PIXELS))
        return refuse(loaded_name);
    return 1;
}

void picture_unload() {
    bitmap_unload_file(&load_bitmap);
    loaded_name[0] = '\0';
}

const char* picture_refused() {
    return refused_name;
}

void picture_shutdown() {
    picture_unload();
    bitmap_shutdown();
    refused_name[0] = '\0';
}
