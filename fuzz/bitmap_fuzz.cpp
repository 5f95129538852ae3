// The picture loader on any bytes: it loads or refuses, never reading or writing outside what
// it owns, and a picture it loads holds every pixel its headers promise.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "engine/bitmap.h"
#include "engine/display.h"
#include "engine/picture.h"
#include "fuzz/fuzz_targets.h"
#include "fuzz/memory_file.h"

namespace {

BitmapFile bitmap;  // the record each input is loaded into, empty between inputs

// Reads every byte the pixel buffer should hold, so a sanitizer sees a buffer that is short.
unsigned read_all_pixels(const BitmapFile& b) {
    const int64_t width = b.info_header.width;
    const int64_t height = b.info_header.height;
    const int64_t rows = height < 0 ? -height : height;
    FUZZ_CHECK(b.buffer != nullptr && width > 0 && rows > 0);
    FUZZ_CHECK(b.info_header.bit_count == 8 || b.info_header.bit_count == 16);
    const size_t bytes = static_cast<size_t>(width * rows * (b.info_header.bit_count / 8));
    unsigned sum = 0;
    for (size_t i = 0; i < bytes; ++i)
        sum += b.buffer[i];
    return sum;
}

// A 4 x 1 picture must load through the in-memory file, or every input would be refused
// for the wrong reason and the target would test nothing.
void check_the_route_once() {
    static bool checked = false;
    if (checked)
        return;
    checked = true;
    uint8_t file[14 + 40 + 1024 + 4] = {'B', 'M'};
    const auto put32 = [&](int at, uint32_t v) { std::memcpy(file + at, &v, 4); };
    put32(2, sizeof file);
    put32(10, 14 + 40 + 1024);
    put32(14, 40);
    put32(18, 4);
    put32(22, 1);
    file[26] = 1;
    file[28] = 8;
    put32(34, 4);
    const int loaded = bitmap_load_file(&bitmap, memory_file_path(file, sizeof file));
    FUZZ_CHECK(loaded == 1);
    bitmap_unload_file(&bitmap);
}

}  // namespace

int fuzz_bitmap(const uint8_t* data, size_t size) {
    check_the_route_once();
    const char* path = memory_file_path(data, size);
    // A 16-bit display takes 24-bit pictures too, packed as 5-6-5 or, on some cards, 5-5-5.
    const bool deep = size > 29 && data[28] == 24 && data[29] == 0;
    for (int format : {16, 15}) {
        if (format == 15 && !deep)
            break;
        pixel_format = format;
        // No storage kept from the last picture: each buffer exactly its size, so a sanitizer
        // sees a read or write past it.
        bitmap_shutdown();
        if (bitmap_load_file(&bitmap, path)) {
            static_cast<void>(read_all_pixels(bitmap));
            int cx = 0, cy = 0;
            FUZZ_CHECK(bitmap_cell_origin(&bitmap, 1, 1, CUT_PIXELS, &cx, &cy) == 1);
        }
        FUZZ_CHECK(bitmap_unload_file(&bitmap) == 1 && bitmap.buffer == nullptr);
    }
    // The same bytes as a stream (the loader's other way in), which must agree with the file.
    if (FILE* stream = size > 0 ? fmemopen(const_cast<uint8_t*>(data), size, "rb") : nullptr) {
        bitmap_shutdown();
        const int from_file = bitmap_load_file(&bitmap, path);
        const BitmapInfoHeader file_info = bitmap.info_header;
        bitmap_unload_file(&bitmap);
        bitmap_shutdown();
        const int from_stream = bitmap_load_stream(&bitmap, stream);
        FUZZ_CHECK(from_stream == from_file);
        if (from_stream) {
            FUZZ_CHECK(std::memcmp(&file_info, &bitmap.info_header, sizeof file_info) == 0);
            static_cast<void>(read_all_pixels(bitmap));
        }
        bitmap_unload_file(&bitmap);
        std::fclose(stream);
    }
    // The game's own way in, on its 8-bit display: 8-bit pictures only, the rest named.
    pixel_format = 8;
    bitmap_shutdown();
    if (picture_load(path)) {
        FUZZ_CHECK(load_bitmap.info_header.bit_count == 8);
        static_cast<void>(read_all_pixels(load_bitmap));
        picture_unload();
    } else {
        FUZZ_CHECK(picture_refused()[0] != '\0' && picture_refused_why()[0] != '\0');
    }
    picture_shutdown();
    pixel_format = 16;
    return 0;
}

FUZZ_ENTRY(fuzz_bitmap)
