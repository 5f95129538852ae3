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

// Where the parts of a picture file lie, as its headers say and its size allows.
struct Layout {
    int64_t width, rows;
    bool top_down;
    int bits;
    int64_t stride;        // bytes of one stored row, padded to four
    int64_t table_offset;  // the colour table, right after the information header
    int64_t data_offset;   // the pixel rows
};

// Reads and checks both headers; false for anything this loader does not read.
bool read_layout(FILE* file, int64_t file_size, BitmapFile* bitmap, Layout* out) {
    if (!read_at(file, 0, &bitmap->file_header, sizeof(BitmapFileHeader)) ||
        bitmap->file_header.type != BITMAP_ID) {
        return false;
    }
    if (!read_at(file, sizeof(BitmapFileHeader), &bitmap->info_header, sizeof(BitmapInfoHeader)))
        return false;
    const BitmapInfoHeader& info = bitmap->info_header;
    const int bits = info.bit_count;
    if (!known_header_size(info.size) || info.planes != 1 || info.compression != COMPRESSION_NONE ||
        (bits != 8 && bits != 16 && bits != 24)) {
        return false;
    }
    // There is no colour conversion from 24 bits to a palettised display.
    if (bits == 24 && pixel_format != 15 && pixel_format != 16)
        return false;
    Layout l;
    l.width = info.width;
    l.rows = info.height < 0 ? -static_cast<int64_t>(info.height) : info.height;
    l.top_down = info.height < 0;
    l.bits = bits;
    if (l.width <= 0 || l.rows <= 0 || l.width > MAX_SIDE || l.rows > MAX_SIDE ||
        static_cast<int64_t>(info.size_image) > file_size) {
        return false;
    }
    l.stride = ((l.width * bits + 31) / 32) * 4;
    l.data_offset = bitmap->file_header.offset;
    l.table_offset = static_cast<int64_t>(sizeof(BitmapFileHeader)) + info.size;
    if (l.data_offset < l.table_offset || l.data_offset + l.stride * l.rows > file_size)
        return false;
    *out = l;
    return true;
}

// The palette of an 8-bit file. A short table leaves the rest black; an oversized count is
// cut to what fits between the header and the pixels, and to 256.
bool read_palette(FILE* file, const Layout& l, BitmapFile* bitmap) {
    const uint32_t used = bitmap->info_header.clr_used;
    int64_t entries = used == 0 || used > 256 ? 256 : used;
    const int64_t room = (l.data_offset - l.table_offset) / 4;
    if (entries > room)
        entries = room;
    uint8_t table[1024] = {};
    if (entries > 0 && !read_at(file, l.table_offset, table, static_cast<size_t>(entries) * 4))
        return false;
    for (int i = 0; i < 256; ++i) {
        bitmap->palette[i].red = table[i * 4 + 2];
        bitmap->palette[i].green = table[i * 4 + 1];
        bitmap->palette[i].blue = table[i * 4];
        bitmap->palette[i].flags = PALETTE_FLAG_NOCOLLAPSE;
    }
    return true;
}

// One stored row into the buffer's row: 8-bit indices and 16-bit words as they are, 24-bit
// colours packed into 16-bit words of the display's format.
void convert_row(const uint8_t* in, uint8_t* out, const Layout& l, size_t out_row) {
    if (l.bits == 8) {
        std::memcpy(out, in, out_row);
        return;
    }
    for (int64_t x = 0; x < l.width; ++x) {
        const uint16_t word = l.bits == 16
                                  ? static_cast<uint16_t>(in[x * 2] | in[x * 2 + 1] << 8)
                                  : static_cast<uint16_t>(gfx_pack_rgb16(
                                        pixel_format, in[x * 3 + 2], in[x * 3 + 1], in[x * 3]));
        std::memcpy(out + x * 2, &word, 2);
    }
}

// The pixel rows, unpadded and top row first; null when they cannot be read.
uint8_t* read_pixels(FILE* file, const Layout& l) {
    const size_t file_rows_bytes = static_cast<size_t>(l.stride * l.rows);
    uint8_t* scratch = static_cast<uint8_t*>(std::malloc(file_rows_bytes));
    if (!scratch)
        return nullptr;
    const size_t out_row = static_cast<size_t>(l.width) * (l.bits == 8 ? 1 : 2);
    uint8_t* pixels = static_cast<uint8_t*>(std::malloc(out_row * static_cast<size_t>(l.rows)));
    if (!pixels || !read_at(file, l.data_offset, scratch, file_rows_bytes)) {
        std::free(scratch);
        std::free(pixels);
        return nullptr;
    }
    for (int64_t r = 0; r < l.rows; ++r) {
        const int64_t y = l.top_down ? r : l.rows - 1 - r;  // the buffer is top row first
        convert_row(scratch + r * l.stride, pixels + static_cast<size_t>(y) * out_row, l, out_row);
    }
    std::free(scratch);
    return pixels;
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
    Layout layout;
    if (file_size < 0 || !read_layout(f.file, file_size, bitmap, &layout))
        return fail(bitmap);
    if (layout.bits == 8 && !read_palette(f.file, layout, bitmap))
        return fail(bitmap);
    uint8_t* pixels = read_pixels(f.file, layout);
    if (!pixels)
        return fail(bitmap);
    if (layout.bits == 24)
        bitmap->info_header.bit_count = 16;
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
