// Full-screen images: plain pixel blocks copied out of a loaded picture and drawn by copying
// rows into a locked buffer.
#include "engine/image.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>

namespace {

int bytes_of(const BitmapImage* image) {
    return image->bpp >> 3;
}

// Copies the image's block out of the sheet; a block outside the picture copies nothing.
int load_block(BitmapImage* image, const BitmapFile* bitmap, int cx, int cy, int mode,
               int bytes_per_pixel) {
    if (!image)
        return 0;
    if (!image->buffer || !bitmap || !bitmap->buffer ||
        bitmap->info_header.bit_count != bytes_per_pixel * 8 ||
        bytes_of(image) != bytes_per_pixel) {
        return 0;
    }
    if (!bitmap_cell_origin(bitmap, image->width, image->height, mode, &cx, &cy))
        return 0;
    const int64_t sheet_width = bitmap->info_header.width;
    const size_t row = static_cast<size_t>(image->width) * bytes_per_pixel;
    const size_t sheet_row = static_cast<size_t>(sheet_width) * bytes_per_pixel;
    const uint8_t* source =
        bitmap->buffer + (static_cast<size_t>(cy) * sheet_width + cx) * bytes_per_pixel;
    uint8_t* destination = image->buffer;
    for (int y = 0; y < image->height; ++y) {
        std::memcpy(destination, source, row);
        destination += row;
        source += sheet_row;
    }
    image->attr |= IMAGE_LOADED;
    return 1;
}

}  // namespace

int image_create(BitmapImage* image, int x, int y, int width, int height, int bpp) {
    if (!image || width < 0 || height < 0)
        return 0;
    const size_t size = static_cast<size_t>(width) * height * (bpp >> 3);
    image->buffer = static_cast<uint8_t*>(std::malloc(size ? size : 1));
    if (!image->buffer)
        return 0;
    image->state = 1;
    image->attr = 0;
    image->width = width;
    image->height = height;
    image->bpp = bpp;
    image->x = x;
    image->y = y;
    image->num_bytes = static_cast<int>(size);
    std::memset(image->buffer, 0, size);
    return 1;
}

int image_destroy(BitmapImage* image) {
    if (!image || !image->buffer)
        return 0;
    std::free(image->buffer);
    std::memset(image, 0, sizeof(*image));
    return 1;
}

int image_load(BitmapImage* image, const BitmapFile* bitmap, int cx, int cy, int mode) {
    return load_block(image, bitmap, cx, cy, mode, 1);
}

int image_load16(BitmapImage* image, const BitmapFile* bitmap, int cx, int cy, int mode) {
    return load_block(image, bitmap, cx, cy, mode, 2);
}

int image_draw(const BitmapImage* image, uint8_t* destination, int pitch, int transparent) {
    if (!image || !(image->attr & IMAGE_LOADED) || !destination)
        return 0;
    uint8_t* out = destination + static_cast<ptrdiff_t>(pitch) * image->y + image->x;
    const uint8_t* in = image->buffer;
    for (int row = 0; row < image->height; ++row) {
        if (!transparent) {
            std::memcpy(out, in, static_cast<size_t>(image->width));
        } else {
            for (int x = 0; x < image->width; ++x) {
                if (in[x] != 0)
                    out[x] = in[x];
            }
        }
        out += pitch;
        in += image->width;
    }
    return 1;
}

int image_draw16(const BitmapImage* image, uint8_t* destination, int pitch, int transparent) {
    if (!image || !(image->attr & IMAGE_LOADED) || !destination)
        return 0;
    const int step = pitch & ~1;
    uint8_t* out = destination + static_cast<ptrdiff_t>(step / 2) * image->y * 2 + image->x * 2;
    const uint16_t* in = reinterpret_cast<const uint16_t*>(image->buffer);
    for (int row = 0; row < image->height; ++row) {
        uint16_t* words = reinterpret_cast<uint16_t*>(out);
        if (!transparent) {
            std::memcpy(words, in, static_cast<size_t>(image->width) * 2);
        } else {
            for (int x = 0; x < image->width; ++x) {
                if (in[x] != 0)
                    words[x] = in[x];
            }
        }
        out += step;
        in += image->width;
    }
    return 1;
}

int image_copy_rect(BitmapImage* destination, int dx, int dy, const BitmapImage* source, int sx,
                    int sy, int width, int height) {
    if (!destination || !source || !destination->buffer || !source->buffer)
        return 0;
    // A block reaching outside either image is refused rather than copied past its buffer.
    if (width < 0 || height < 0 || dx < 0 || dy < 0 || sx < 0 || sy < 0 ||
        dx + width > destination->width || dy + height > destination->height ||
        sx + width > source->width || sy + height > source->height ||
        destination->bpp != source->bpp) {
        return 0;
    }
    const int b = source->bpp >> 3;
    const size_t row = static_cast<size_t>(width) * b;
    for (int y = 0; y < height; ++y) {
        const uint8_t* in = source->buffer + (static_cast<size_t>(sy + y) * source->width + sx) * b;
        uint8_t* out =
            destination->buffer + (static_cast<size_t>(dy + y) * destination->width + dx) * b;
        std::memmove(out, in, row);
    }
    return 1;
}

int image_scroll(BitmapImage* image, int dx, int force) {
    if (!image || (dx == 0 && !force))
        return 0;
    if (!image->buffer || image->width <= 0)
        return 1;
    // Rotating left by n is rotating right by width - n.
    int shift = dx % image->width;
    if (shift < 0)
        shift += image->width;
    if (shift == 0)
        return 1;
    BitmapImage saved;
    std::memset(&saved, 0, sizeof(saved));
    if (!image_create(&saved, 0, 0, shift, image->height, image->bpp))
        return 0;
    // Both copies lie inside both images: they cannot be refused.
    static_cast<void>(
        image_copy_rect(&saved, 0, 0, image, image->width - shift, 0, shift, image->height));
    const int b = image->bpp >> 3;
    for (int y = 0; y < image->height; ++y) {
        uint8_t* row = image->buffer + static_cast<size_t>(y) * image->width * b;
        std::memmove(row + static_cast<size_t>(shift) * b, row,
                     static_cast<size_t>(image->width - shift) * b);
    }
    static_cast<void>(image_copy_rect(image, 0, 0, &saved, 0, 0, shift, image->height));
    image_destroy(&saved);
    return 1;
}
