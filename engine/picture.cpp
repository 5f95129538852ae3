// The game's pictures: the shared work record, checked loads, cuts and copies, and the name
// of the first picture refused with the reason.
#include "engine/picture.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>

#include "platform/file_read.h"

BitmapFile load_bitmap;

namespace {
// The picture in load_bitmap, and the first one refused and why; file names are short.
char loaded_name[80];
char refused_name[80];
char refused_why[128];

int refuse(const char* file_name, const char* why) {
    if (refused_name[0] == '\0') {
        std::snprintf(refused_name, sizeof refused_name, "%s", file_name);
        std::snprintf(refused_why, sizeof refused_why, "%s", why);
    }
    return 0;
}

// Why a file the loader refused could not be read: not there, not ours to read or not a
// regular file, a picture of another depth (which an 8-bit display cannot take), or no picture
// the loader reads.
int refuse_unreadable(const char* file_name) {
    char why[sizeof refused_why - 32];
    int64_t size = 0;
    const int fd = file_open_input(file_name, &size, why, sizeof why);
    if (fd < 0) {
        char reason[sizeof refused_why];
        std::snprintf(reason, sizeof reason, "cannot be opened (%s)", why);
        return refuse(file_name, reason);
    }
    if (size > BITMAP_FILE_MAX) {
        close(fd);
        char reason[sizeof refused_why];
        std::snprintf(reason, sizeof reason, "is over the size limit of %s for a picture",
                      file_size_text(BITMAP_FILE_MAX).c_str());
        return refuse(file_name, reason);
    }
    uint8_t head[sizeof(BitmapFileHeader) + sizeof(BitmapInfoHeader)] = {};
    const bool headed = read(fd, head, sizeof head) == static_cast<ssize_t>(sizeof head);
    close(fd);
    const int bits = head[28] | head[29] << 8;  // the information header's bit count
    if (headed && head[0] == 'B' && head[1] == 'M' && bits != 8)
        return refuse(file_name, "is not an 8-bit picture");
    return refuse(file_name, "is not a picture file the game reads");
}

// Rows, for pictures stored top row first too (a negative height).
int picture_height() {
    const int64_t height = load_bitmap.info_header.height;
    return static_cast<int>(height < 0 ? -height : height);
}
}  // namespace

int picture_load(const char* file_name) {
    if (bitmap_load_file(&load_bitmap, file_name) == 0 || load_bitmap.buffer == nullptr)
        return refuse_unreadable(file_name);
    if (load_bitmap.info_header.bit_count != 8) {
        bitmap_unload_file(&load_bitmap);
        return refuse(file_name, "is not an 8-bit picture");
    }
    std::snprintf(loaded_name, sizeof loaded_name, "%s", file_name);
    return 1;
}

int picture_load_sized(const char* file_name, int width, int height) {
    if (!picture_load(file_name))
        return 0;
    if (load_bitmap.info_header.width == width && picture_height() == height)
        return 1;
    char why[sizeof refused_why];
    std::snprintf(why, sizeof why, "is %d x %d pixels, not %d x %d",
                  static_cast<int>(load_bitmap.info_header.width), picture_height(), width, height);
    picture_unload();
    return refuse(file_name, why);
}

int picture_check(const char* file_name, int width, int height) {
    if (!picture_load_sized(file_name, width, height))
        return 0;
    picture_unload();
    return 1;
}

int picture_cut(SpriteObject* sprite, int frame, int cx, int cy, int mode) {
    if (!sprite_load_frame(sprite, &load_bitmap, frame, cx, cy, mode))
        return refuse(loaded_name, "is too small for the frames cut from it");
    return 1;
}

int picture_copy(BitmapImage* image, int x, int y) {
    if (!image_load(image, &load_bitmap, x, y, CUT_PIXELS))
        return refuse(loaded_name, "is too small for the picture copied from it");
    return 1;
}

void picture_unload() {
    bitmap_unload_file(&load_bitmap);
    loaded_name[0] = '\0';
}

const char* picture_refused() {
    return refused_name;
}

const char* picture_refused_why() {
    return refused_why;
}

void picture_shutdown() {
    picture_unload();
    bitmap_shutdown();
    refused_name[0] = '\0';
    refused_why[0] = '\0';
}
