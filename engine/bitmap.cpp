// Loading .bmp pictures into a BitmapFile. Reads uncompressed 8-bit (palettised), 16-bit
// (5-5-5) and 24-bit files the way paint programs write them: pixel data at the header's
// offset, rows padded to four bytes, short colour tables, longer information headers,
// top-down rows. Everything is checked against the file's real size before it is read.
#include "engine/bitmap.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/display.h"

namespace {

// Larger pictures are refused outright; no picture of the game comes near.
constexpr int64_t MAX_SIDE = 32768;
constexpr uint32_t COMPRESSION_NONE = 0;

struct OpenFile {
    FILE* file = nullptr;
    ~OpenFile() {
        if (file)
            std::fclose(file);
    }
};

bool read_at(FILE* file, int64_t offset, void* out, size_t length) {
    if (std::fseek(file, static_cast<long>(offset), SEEK_SET) != 0)
        return false;
    return std::fread(out, 1, length, file) == length;
}

// Information-header sizes of the Windows versions we read (40, and the longer ones that
// begin with the same 40 bytes).
bool known_header_size(uint32_t size) {
    return size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

int fail(BitmapFile* bitmap) {
    if (bitmap->buffer) {
        std::free(bitmap->buffer);
        bitmap->buffer = nullptr;
    }
    return 0;
}

}  // namespace

int bitmap_load_file(BitmapFile* bitmap, const char* file_name) {
    if (!bitmap || !file_name)
        return 0;
    OpenFile f;
    f.file = std::fopen(file_name, "rb");
    if (!f.file)
        return 0;
    if (std::fseek(f.file, 0, SEEK_END) != 0)
        return fail(bitmap);
    const int64_t file_size = std::ftell(f.file);
    if (file_size < 0)
        return fail(bitmap);

    if (!read_at(f.file, 0, &bitmap->file_header, sizeof(BitmapFileHeader)))
        return fail(bitmap);
    if (bitmap->file_header.type != BITMAP_ID)
        return fail(bitmap);
    if (!read_at(f.file, sizeof(BitmapFileHeader), &bitmap->info_header,
                 sizeof(BitmapInfoHeader))) {
        return fail(bitmap);
    }
    BitmapInfoHeader& info = bitmap->info_header;
    const int bits = info.bit_count;
    if (!known_header_size(info.size) || info.planes != 1 || info.compression != COMPRESSION_NONE ||
        (bits != 8 && bits != 16 && bits != 24)) {
        return fail(bitmap);
    }
    // There is no colour conversion from 24 bits to a palettised display.
    if (bits == 24 && pixel_format != 15 && pixel_format != 16)
        return fail(bitmap);

    const int64_t width = info.width;
    const int64_t rows = info.height < 0 ? -static_cast<int64_t>(info.height) : info.height;
    const bool top_down = info.height < 0;
    if (width <= 0 || rows <= 0 || width > MAX_SIDE || rows > MAX_SIDE)
        return fail(bitmap);
    if (static_cast<int64_t>(info.size_image) > file_size)
        return fail(bitmap);
    const int64_t stride = ((width * bits + 31) / 32) * 4;
    const int64_t data_offset = bitmap->file_header.offset;
    const int64_t table_offset = static_cast<int64_t>(sizeof(BitmapFileHeader)) + info.size;
    if (data_offset < table_offset || data_offset + stride * rows > file_size) {
        return fail(bitmap);
    }

    if (bits == 8) {
        // A short table leaves the rest black; an oversized count is cut to what fits
        // between the header and the pixels, and to 256.
        int64_t entries = info.clr_used == 0 ? 256 : info.clr_used;
        if (entries > 256)
            entries = 256;
        const int64_t room = (data_offset - table_offset) / 4;
        if (entries > room)
            entries = room;
        uint8_t table[1024] = {};
        if (entries > 0 &&
            !read_at(f.file, table_offset, table, static_cast<size_t>(entries) * 4)) {
            return fail(bitmap);
        }
        for (int i = 0; i < 256; ++i) {
            bitmap->palette[i].red = table[i * 4 + 2];
            bitmap->palette[i].green = table[i * 4 + 1];
            bitmap->palette[i].blue = table[i * 4];
            bitmap->palette[i].flags = PALETTE_FLAG_NOCOLLAPSE;
        }
    }

    const size_t file_rows_bytes = static_cast<size_t>(stride * rows);
    uint8_t* scratch = static_cast<uint8_t*>(std::malloc(file_rows_bytes));
    if (!scratch)
        return fail(bitmap);
    if (!read_at(f.file, data_offset, scratch, file_rows_bytes)) {
        std::free(scratch);
        return fail(bitmap);
    }
    const int out_bytes_per_pixel = bits == 8 ? 1 : 2;
    const size_t out_row = static_cast<size_t>(width) * out_bytes_per_pixel;
    uint8_t* pixels = static_cast<uint8_t*>(std::malloc(out_row * static_cast<size_t>(rows)));
    if (!pixels) {
        std::free(scratch);
        return fail(bitmap);
    }
    for (int64_t r = 0; r < rows; ++r) {
        const uint8_t* in = scratch + r * stride;
        const int64_t y = top_down ? r : rows - 1 - r;  // the buffer is top row first
        uint8_t* out = pixels + static_cast<size_t>(y) * out_row;
        if (bits == 8) {
            std::memcpy(out, in, out_row);
        } else if (bits == 16) {
            for (int64_t x = 0; x < width; ++x) {
                const uint16_t word = static_cast<uint16_t>(in[x * 2] | in[x * 2 + 1] << 8);
                std::memcpy(out + x * 2, &word, 2);
            }
        } else {
            for (int64_t x = 0; x < width; ++x) {
                const int blue = in[x * 3], green = in[x * 3 + 1], red = in[x * 3 + 2];
                const uint16_t word =
                    pixel_format == 15
                        ? static_cast<uint16_t>((blue >> 3) | (green >> 3) << 5 | (red >> 3) << 10)
                        : static_cast<uint16_t>((blue >> 3) | (green >> 2) << 5 | (red >> 3) << 11);
                std::memcpy(out + x * 2, &word, 2);
            }
        }
    }
    std::free(scratch);
    if (bits == 24)
        info.bit_count = 16;
    std::free(bitmap->buffer);
    bitmap->buffer = pixels;
    return 1;
}

int bitmap_cell_origin(const BitmapFile* bitmap, int width, int height, int mode, int* cx,
                       int* cy) {
    if (!bitmap || !bitmap->buffer || width <= 0 || height <= 0)
        return 0;
    int64_t left = *cx, top = *cy;
    if (mode == CUT_CELLS) {
        left = left * (width + 1LL) + 1;
        top = top * (height + 1LL) + 1;
    }
    const int64_t sheet_width = bitmap->info_header.width;
    const int64_t sheet_height = bitmap->info_header.height < 0
                                     ? -static_cast<int64_t>(bitmap->info_header.height)
                                     : bitmap->info_header.height;
    if (left < 0 || top < 0 || left + width > sheet_width || top + height > sheet_height) {
        return 0;
    }
    *cx = static_cast<int>(left);
    *cy = static_cast<int>(top);
    return 1;
}

int bitmap_unload_file(BitmapFile* bitmap) {
    if (bitmap && bitmap->buffer) {
        std::free(bitmap->buffer);
        bitmap->buffer = nullptr;
    }
    return 1;
}

int bitmap_flip_rows(uint8_t* buffer, int row_bytes, int rows) {
    if (!buffer || row_bytes <= 0 || rows <= 0)
        return 1;
    const size_t row = static_cast<size_t>(row_bytes);
    uint8_t* copy = static_cast<uint8_t*>(std::malloc(row * static_cast<size_t>(rows)));
    if (!copy)
        return 0;
    std::memcpy(copy, buffer, row * static_cast<size_t>(rows));
    for (int i = 0; i < rows; ++i) {
        std::memcpy(buffer + static_cast<size_t>(rows - 1 - i) * row,
                    copy + static_cast<size_t>(i) * row, row);
    }
    std::free(copy);
    return 1;
}
