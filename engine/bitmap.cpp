// Loading .bmp pictures into a BitmapFile. Reads uncompressed 8-bit (palettised), 16-bit
// (5-5-5) and 24-bit files the way paint programs write them: pixel data at the header's
// offset, rows padded to four bytes, short colour tables, longer information headers,
// top-down rows. Everything is checked against the file's real size before it is read.
//
// Loading is one read for the headers and the colour table and one for the pixel rows, each
// row read straight to its place in the buffer (bottom-up files land top row first). The
// buffer of an unloaded picture is kept for the next one: the game loads its pictures one at
// a time, and a fresh allocation of their size costs page faults, or an allocation inside a
// frame when a backdrop panel is recycled.
#include "engine/bitmap.h"

#include <sys/uio.h>
#include <unistd.h>

#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/display.h"
#include "platform/file_read.h"

namespace {

// Larger pictures are refused outright; no picture of the game comes near.
constexpr int64_t MAX_SIDE = 32768;
constexpr uint32_t COMPRESSION_NONE = 0;
// The start of a file read in one go: both headers and a full colour table, whatever the
// header's length.
constexpr size_t HEAD_BYTES = sizeof(BitmapFileHeader) + 124 + 1024;
// Pieces one vectored read takes (the least IOV_MAX there is).
constexpr int MAX_SPANS = 1024;

// The storage of the last picture unloaded, and its size.
uint8_t* spare;
size_t spare_capacity;

// Where a picture is read from: a file descriptor, or a stdio stream when one is given.
struct Source {
    int fd = -1;
    FILE* stream = nullptr;
    int64_t size = 0;
    int64_t position = 0;  // of the file descriptor, to save the seeks that would not move it
};

// Reads the spans one after the other from offset; false unless every byte arrives.
bool read_spans(Source& source, int64_t offset, iovec* spans, int count) {
    if (source.stream) {
        if (std::fseek(source.stream, static_cast<long>(offset), SEEK_SET) != 0)
            return false;
        for (int i = 0; i < count; ++i) {
            if (std::fread(spans[i].iov_base, 1, spans[i].iov_len, source.stream) !=
                spans[i].iov_len)
                return false;
        }
        return true;
    }
    // From the file's position rather than by preadv, whose pieces some runtimes (the
    // browser's) all read from the one offset given.
    if (source.position != offset && lseek(source.fd, static_cast<off_t>(offset), SEEK_SET) < 0)
        return false;
    source.position = offset;
    while (count > 0) {
        const int batch = count < MAX_SPANS ? count : MAX_SPANS;
        const ssize_t got = readv(source.fd, spans, batch);
        if (got <= 0)
            return false;
        source.position += got;
        // A short read (a signal) goes on where it stopped.
        size_t left = static_cast<size_t>(got);
        while (count > 0 && left >= spans->iov_len) {
            left -= spans->iov_len;
            ++spans;
            --count;
        }
        if (left > 0) {
            spans->iov_base = static_cast<uint8_t*>(spans->iov_base) + left;
            spans->iov_len -= left;
        }
    }
    return true;
}

// The file's first bytes, as many as it has up to HEAD_BYTES.
struct Head {
    uint8_t bytes[HEAD_BYTES];
    size_t length;
};

bool read_head(Source& source, Head* head) {
    head->length = source.size < static_cast<int64_t>(HEAD_BYTES) ? static_cast<size_t>(source.size)
                                                                  : HEAD_BYTES;
    iovec span = {head->bytes, head->length};
    return head->length == 0 || read_spans(source, 0, &span, 1);
}

// Copies length bytes at offset of the file out of its head, or as many as the file has when
// it ends sooner; false unless all of them were there. Parts beyond the head are read.
bool take(Source& source, const Head& head, int64_t offset, void* out, size_t length) {
    if (offset + static_cast<int64_t>(length) <= static_cast<int64_t>(head.length)) {
        std::memcpy(out, head.bytes + offset, length);
        return true;
    }
    if (offset + static_cast<int64_t>(length) <= source.size) {
        iovec span = {out, length};
        return read_spans(source, offset, &span, 1);
    }
    // Too short: what there is arrives, as a plain read would leave it.
    if (offset < static_cast<int64_t>(head.length))
        std::memcpy(out, head.bytes + offset, head.length - static_cast<size_t>(offset));
    return false;
}

// Information-header sizes of the Windows versions we read (40, and the longer ones that
// begin with the same 40 bytes).
bool known_header_size(uint32_t size) {
    return size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

// The record's buffer goes to the spare storage when the loader made it (the larger of the
// two is kept), else it is freed; the record is left empty.
void release_buffer(BitmapFile* bitmap) {
    if (!bitmap->buffer)
        return;
    if (bitmap->capacity != 0 && bitmap->capacity > spare_capacity) {
        std::free(spare);
        spare = bitmap->buffer;
        spare_capacity = bitmap->capacity;
    } else {
        std::free(bitmap->buffer);
    }
    bitmap->buffer = nullptr;
    bitmap->capacity = 0;
}

// A buffer of at least bytes for the record: its own when large enough, else the spare
// storage when that is, else a new one. Null when memory is exhausted.
uint8_t* take_storage(BitmapFile* bitmap, size_t bytes) {
    if (bitmap->buffer && bitmap->capacity >= bytes)
        return bitmap->buffer;
    release_buffer(bitmap);
    if (spare && spare_capacity >= bytes) {
        bitmap->buffer = spare;
        bitmap->capacity = spare_capacity;
        spare = nullptr;
        spare_capacity = 0;
        return bitmap->buffer;
    }
    bitmap->buffer = static_cast<uint8_t*>(std::malloc(bytes));
    bitmap->capacity = bitmap->buffer ? bytes : 0;
    return bitmap->buffer;
}

int fail(BitmapFile* bitmap) {
    release_buffer(bitmap);
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
bool read_layout(Source& source, const Head& head, BitmapFile* bitmap, Layout* out) {
    if (!take(source, head, 0, &bitmap->file_header, sizeof(BitmapFileHeader)) ||
        bitmap->file_header.type != BITMAP_ID) {
        return false;
    }
    if (!take(source, head, sizeof(BitmapFileHeader), &bitmap->info_header,
              sizeof(BitmapInfoHeader)))
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
        static_cast<int64_t>(info.size_image) > source.size) {
        return false;
    }
    l.stride = ((l.width * bits + 31) / 32) * 4;
    l.data_offset = bitmap->file_header.offset;
    l.table_offset = static_cast<int64_t>(sizeof(BitmapFileHeader)) + info.size;
    if (l.data_offset < l.table_offset || l.data_offset + l.stride * l.rows > source.size)
        return false;
    *out = l;
    return true;
}

// The palette of an 8-bit file. A short table leaves the rest black; an oversized count is
// cut to what fits between the header and the pixels, and to 256.
bool read_palette(Source& source, const Head& head, const Layout& l, BitmapFile* bitmap) {
    const uint32_t used = bitmap->info_header.clr_used;
    int64_t entries = used == 0 || used > 256 ? 256 : used;
    const int64_t room = (l.data_offset - l.table_offset) / 4;
    if (entries > room)
        entries = room;
    uint8_t table[1024] = {};
    if (entries > 0 && !take(source, head, l.table_offset, table, static_cast<size_t>(entries) * 4))
        return false;
    for (int i = 0; i < 256; ++i) {
        bitmap->palette[i].red = table[i * 4 + 2];
        bitmap->palette[i].green = table[i * 4 + 1];
        bitmap->palette[i].blue = table[i * 4];
        bitmap->palette[i].flags = PALETTE_FLAG_NOCOLLAPSE;
    }
    return true;
}

// 8-bit indices and 16-bit words as they are stored: each row read to its place, the
// padding of the stored rows into a scrap.
bool read_rows_in_place(Source& source, const Layout& l, uint8_t* pixels, size_t out_row) {
    const size_t padding = static_cast<size_t>(l.stride) - out_row;
    static uint8_t scrap[4];
    iovec spans[MAX_SPANS];
    int64_t offset = l.data_offset;
    int count = 0;
    for (int64_t r = 0; r < l.rows; ++r) {
        const int64_t y = l.top_down ? r : l.rows - 1 - r;  // the buffer is top row first
        spans[count++] = {pixels + static_cast<size_t>(y) * out_row, out_row};
        if (padding > 0)
            spans[count++] = {scrap, padding};
        if (count + 2 > MAX_SPANS || r == l.rows - 1) {
            if (!read_spans(source, offset, spans, count))
                return false;
            offset += static_cast<int64_t>(count / (padding > 0 ? 2 : 1)) * l.stride;
            count = 0;
        }
    }
    if (l.bits == 16 && std::endian::native == std::endian::big) {
        for (size_t i = 0; i + 1 < out_row * static_cast<size_t>(l.rows); i += 2) {
            const uint8_t low = pixels[i];
            pixels[i] = pixels[i + 1];
            pixels[i + 1] = low;
        }
    }
    return true;
}

// 24-bit colours packed into 16-bit words of the display's format, a row at a time.
bool read_rows_24(Source& source, const Layout& l, uint8_t* pixels, size_t out_row) {
    uint8_t* row = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(l.stride)));
    if (!row)
        return false;
    bool ok = true;
    for (int64_t r = 0; r < l.rows && ok; ++r) {
        iovec span = {row, static_cast<size_t>(l.stride)};
        ok = read_spans(source, l.data_offset + r * l.stride, &span, 1);
        const int64_t y = l.top_down ? r : l.rows - 1 - r;
        uint8_t* out = pixels + static_cast<size_t>(y) * out_row;
        for (int64_t x = 0; x < l.width && ok; ++x) {
            const uint16_t word = static_cast<uint16_t>(
                gfx_pack_rgb16(pixel_format, row[x * 3 + 2], row[x * 3 + 1], row[x * 3]));
            std::memcpy(out + x * 2, &word, 2);
        }
    }
    std::free(row);
    return ok;
}

int load(BitmapFile* bitmap, Source& source) {
    Head head;
    Layout layout;
    if (source.size < 0 || source.size > BITMAP_FILE_MAX || !read_head(source, &head) ||
        !read_layout(source, head, bitmap, &layout)) {
        return fail(bitmap);
    }
    if (layout.bits == 8 && !read_palette(source, head, layout, bitmap))
        return fail(bitmap);
    const size_t out_row = static_cast<size_t>(layout.width) * (layout.bits == 8 ? 1 : 2);
    uint8_t* pixels = take_storage(bitmap, out_row * static_cast<size_t>(layout.rows));
    if (!pixels)
        return fail(bitmap);
    const bool read = layout.bits == 24 ? read_rows_24(source, layout, pixels, out_row)
                                        : read_rows_in_place(source, layout, pixels, out_row);
    if (!read)
        return fail(bitmap);
    if (layout.bits == 24)
        bitmap->info_header.bit_count = 16;
    return 1;
}

}  // namespace

int bitmap_load_file(BitmapFile* bitmap, const char* file_name) {
    if (!bitmap || !file_name)
        return 0;
    Source source;
    // A regular file only: a FIFO or a device in a picture's place would block or never end.
    source.fd = file_open_input(file_name, &source.size, nullptr, 0);
    if (source.fd < 0)
        return 0;
    const int result = load(bitmap, source);
    close(source.fd);
    return result;
}

int bitmap_load_stream(BitmapFile* bitmap, FILE* stream) {
    if (!bitmap || !stream)
        return 0;
    Source source;
    source.stream = stream;
    source.size = std::fseek(stream, 0, SEEK_END) == 0 ? std::ftell(stream) : -1;
    return load(bitmap, source);
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
    if (bitmap)
        release_buffer(bitmap);
    return 1;
}

int bitmap_flip_rows(uint8_t* buffer, int row_bytes, int rows) {
    if (!buffer || row_bytes <= 0 || rows <= 0)
        return 1;
    // Rows are exchanged pairwise from the ends, a piece at a time through the stack.
    uint8_t piece[512];
    const size_t row = static_cast<size_t>(row_bytes);
    for (int i = 0; i < rows / 2; ++i) {
        uint8_t* a = buffer + static_cast<size_t>(i) * row;
        uint8_t* b = buffer + static_cast<size_t>(rows - 1 - i) * row;
        for (size_t done = 0; done < row; done += sizeof piece) {
            const size_t n = row - done < sizeof piece ? row - done : sizeof piece;
            std::memcpy(piece, a + done, n);
            std::memcpy(a + done, b + done, n);
            std::memcpy(b + done, piece, n);
        }
    }
    return 1;
}

void bitmap_shutdown() {
    std::free(spare);
    spare = nullptr;
    spare_capacity = 0;
}
