// PNG writing and reading through libpng's simplified interface.
#include "tools/support/png.h"

#include <png.h>

#include <cstring>

namespace {

bool valid_size(int width, int height) {
    return width > 0 && height > 0 && width <= 65535 && height <= 65535;
}

png_image image_of(int width, int height, png_uint_32 format) {
    png_image image;
    std::memset(&image, 0, sizeof(image));
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = format;
    return image;
}

}  // namespace

int png_write_rgb(const char* path, const uint8_t* rgb, int width, int height) {
    if (!path || !rgb || !valid_size(width, height))
        return 0;
    png_image image = image_of(width, height, PNG_FORMAT_RGB);
    const int ok = png_image_write_to_file(&image, path, 0, rgb, 0, nullptr);
    png_image_free(&image);
    return ok ? 1 : 0;
}

int png_write_indexed(const char* path, const uint8_t* pixels, int pitch, int width, int height,
                      const PaletteEntry* palette) {
    if (!path || !pixels || !palette || !valid_size(width, height) || pitch < width)
        return 0;
    uint8_t colormap[256 * 3];
    for (int i = 0; i < 256; ++i) {
        colormap[i * 3] = palette[i].red;
        colormap[i * 3 + 1] = palette[i].green;
        colormap[i * 3 + 2] = palette[i].blue;
    }
    png_image image = image_of(width, height, PNG_FORMAT_RGB_COLORMAP);
    image.colormap_entries = 256;
    const int ok = png_image_write_to_file(&image, path, 0, pixels, pitch, colormap);
    png_image_free(&image);
    return ok ? 1 : 0;
}

int png_read_rgb(const char* path, std::vector<uint8_t>* rgb, int* width, int* height) {
    png_image image = image_of(0, 0, 0);
    if (!path || !rgb || !png_image_begin_read_from_file(&image, path))
        return 0;
    image.format = PNG_FORMAT_RGB;
    rgb->assign(PNG_IMAGE_SIZE(image), 0);
    if (!png_image_finish_read(&image, nullptr, rgb->data(), 0, nullptr)) {
        png_image_free(&image);
        return 0;
    }
    *width = static_cast<int>(image.width);
    *height = static_cast<int>(image.height);
    return 1;
}
