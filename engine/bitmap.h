// Bitmap files and palettes: loading .bmp pictures into a BitmapFile (headers, palette and
// a top-row-first pixel buffer), palette text files, and the display palette kept in step
// with shadow_palette.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "engine/types.h"

#pragma pack(push, 1)
struct BitmapFileHeader {
    uint16_t type;  // "BM" = 0x4D42
    uint32_t size;
    uint16_t reserved1, reserved2;
    uint32_t offset;  // of the pixel data
};
struct BitmapInfoHeader {
    uint32_t size;
    int32_t width, height;
    uint16_t planes, bit_count;
    uint32_t compression;
    uint32_t size_image;
    int32_t x_pels_per_meter, y_pels_per_meter;
    uint32_t clr_used, clr_important;
};
#pragma pack(pop)
static_assert(sizeof(BitmapFileHeader) == 14, "file header is 14 bytes");
static_assert(sizeof(BitmapInfoHeader) == 40, "information header is 40 bytes");

constexpr uint16_t BITMAP_ID = 0x4D42;

// The headers are packed records of the file; read their fields by value, not by reference.
struct BitmapFile {
    BitmapFileHeader file_header;
    BitmapInfoHeader info_header;
    PaletteEntry palette[256];
    uint8_t* buffer;  // top row first, rows of width * bit_count / 8 bytes, no gap
    // Bytes the buffer holds when the loader allocated it, which lets a later load reuse it;
    // 0 for a buffer the caller put there (the loader then only frees it).
    size_t capacity;
};

// How a cut out of a sheet is placed (the mode of the cutting operations).
enum : int {
    CUT_CELLS = 0,   // cell numbers of the sheet grid: one-pixel lines between the cells and
                     // along the top and left edge
    CUT_PIXELS = 1,  // pixel coordinates of the top-left corner (any mode but 0 means this)
};

// Picture files larger than this are refused unread: a 2048 x 2048 24-bit picture takes 12 MiB,
// and a file far larger than its picture is not one.
constexpr int64_t BITMAP_FILE_MAX = int64_t{64} << 20;

// Loads a regular file of at most BITMAP_FILE_MAX bytes; 1, or 0 with the record empty.
[[nodiscard]] int bitmap_load_file(BitmapFile* bitmap, const char* file_name);
// The same from a stream open for reading (from its start to its end), left open.
[[nodiscard]] int bitmap_load_stream(BitmapFile* bitmap, FILE* stream);
// Where a width x height cell of a loaded picture starts: (*cx, *cy), placed as mode says,
// become the cell's top-left pixel. 0 when the cell would reach outside the picture.
[[nodiscard]] int bitmap_cell_origin(const BitmapFile* bitmap, int width, int height, int mode,
                                     int* cx, int* cy);
int bitmap_unload_file(BitmapFile* bitmap);
// Turns the rows upside down in place; 1 (it needs no memory).
[[nodiscard]] int bitmap_flip_rows(uint8_t* buffer, int row_bytes, int rows);
// Frees the storage the loader keeps from the last picture unloaded for the next one.
void bitmap_shutdown();

[[nodiscard]] int palette_load_file(const char* file_name, PaletteEntry* entries);
// Written whole or not at all (platform/file_write.h); on 0, errno says why.
[[nodiscard]] int palette_save_file(const char* file_name, const PaletteEntry* entries);
int palette_set_all(const PaletteEntry* entries);
int palette_get_all(PaletteEntry* entries);
int palette_set_entry(int index, const PaletteEntry* entry);
int palette_get_entry(int index, PaletteEntry* entry);
