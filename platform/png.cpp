// The PNG writer: one IDAT stream deflated by zlib row by row, so a frame never needs a
// second full-size buffer.
#include "platform/png.h"

#include <cerrno>
#include <cstdio>

namespace {

// A picture not written: why says the reason, and a writer fails with it, so that its commit
// refuses.
int refuse(const char* reason, char* why, size_t why_size) {
    if (why != nullptr && why_size > 0)
        std::snprintf(why, why_size, "%s", reason);
    errno = EINVAL;
    return 0;
}

bool refuse_writer(FileWriter* writer, const char* reason) {
    if (writer->state.error == 0) {
        writer->state.error = EINVAL;
        writer->state.why = reason;
    }
    return false;
}
}  // namespace

#ifdef QUELLARO_PNG_WITHOUT_ZLIB

// Built without zlib (the browser): every write fails, and the caller says so.
constexpr const char* NO_ZLIB = "this build writes no PNG files";

int png_write_rgb(const char*, const uint8_t*, int, int, char* why, size_t why_size) {
    return refuse(NO_ZLIB, why, why_size);
}
int png_write_rgba(const char*, const uint8_t*, int, int, int, char* why, size_t why_size) {
    return refuse(NO_ZLIB, why, why_size);
}
int png_write_indexed(const char*, const uint8_t*, int, int, int, const PaletteEntry*, char* why,
                      size_t why_size) {
    return refuse(NO_ZLIB, why, why_size);
}
bool png_encode_rgba(FileWriter* writer, const uint8_t*, int, int, int) {
    return refuse_writer(writer, NO_ZLIB);
}
bool png_encode_indexed(FileWriter* writer, const uint8_t*, int, int, int, const PaletteEntry*) {
    return refuse_writer(writer, NO_ZLIB);
}

#else

#include <zlib.h>

#include <cstdlib>
#include <cstring>

namespace {

constexpr int MAX_SIDE = 16384;
constexpr const char* BAD_SIZE = "not a picture size or layout the PNG writer takes";
constexpr uint8_t COLOUR_RGB = 2;
constexpr uint8_t COLOUR_RGBA = 6;
// Compressed bytes gathered before they go out as one IDAT chunk.
constexpr size_t CHUNK_BYTES = 1 << 15;

void put32(uint8_t* out, uint32_t v) {
    out[0] = static_cast<uint8_t>(v >> 24);
    out[1] = static_cast<uint8_t>(v >> 16);
    out[2] = static_cast<uint8_t>(v >> 8);
    out[3] = static_cast<uint8_t>(v);
}

bool write_chunk(FileWriter* file, const char* type, const uint8_t* data, uint32_t length) {
    uint8_t header[8];
    put32(header, length);
    std::memcpy(header + 4, type, 4);
    uLong crc = crc32(0, header + 4, 4);
    if (length > 0)
        crc = crc32(crc, data, length);
    uint8_t trailer[4];
    put32(trailer, static_cast<uint32_t>(crc));
    return file_writer_write(file, header, 8) &&
           (length == 0 || file_writer_write(file, data, length)) &&
           file_writer_write(file, trailer, 4);
}

// Gives one row of channels * width bytes (filter byte excluded) for row y.
using RowSource = void (*)(const void* context, int y, uint8_t* out);

bool write_header(FileWriter* file, int width, int height, uint8_t colour_type) {
    static const uint8_t signature[8] = {137, 80, 78, 71, 13, 10, 26, 10};
    uint8_t ihdr[13];
    put32(ihdr, static_cast<uint32_t>(width));
    put32(ihdr + 4, static_cast<uint32_t>(height));
    ihdr[8] = 8;  // bits per channel
    ihdr[9] = colour_type;
    ihdr[10] = ihdr[11] = ihdr[12] = 0;
    return file_writer_write(file, signature, 8) && write_chunk(file, "IHDR", ihdr, 13);
}

// Filter "up": each byte minus the one above it; the raw row is kept in `above` for the next.
void filter_up(uint8_t* row, uint8_t* above, size_t row_bytes) {
    row[0] = 2;
    for (size_t i = 1; i <= row_bytes; ++i) {
        const uint8_t raw = row[i];
        row[i] = static_cast<uint8_t>(raw - above[i]);
        above[i] = raw;
    }
}

// The deflate stream and where its output gathers before going out as IDAT chunks.
struct Deflater {
    z_stream z;
    FileWriter* file;
    uint8_t* packed;
};

// Deflates whatever input is pending (and, when `last`, ends the stream), writing a chunk each
// time the output buffer fills.
bool deflate_pending(Deflater& d, bool last) {
    for (;;) {
        const int status = deflate(&d.z, last ? Z_FINISH : Z_NO_FLUSH);
        if (status == Z_STREAM_ERROR)
            return false;
        if (d.z.avail_out == 0 || (last && status == Z_STREAM_END)) {
            const uint32_t length = static_cast<uint32_t>(CHUNK_BYTES - d.z.avail_out);
            if (length > 0 && !write_chunk(d.file, "IDAT", d.packed, length))
                return false;
            d.z.next_out = d.packed;
            d.z.avail_out = CHUNK_BYTES;
        }
        if (last ? status == Z_STREAM_END : d.z.avail_in == 0)
            return true;
    }
}

// Up-filtered rows compress best on pixel art (long vertical runs); the filter is chosen
// once for the whole picture to keep the writer simple.
bool write_rows(Deflater& d, int height, size_t row_bytes, uint8_t* row, uint8_t* above,
                RowSource source, const void* context) {
    for (int y = 0; y < height; ++y) {
        source(context, y, row + 1);
        filter_up(row, above, row_bytes);
        d.z.next_in = row;
        d.z.avail_in = static_cast<uInt>(row_bytes + 1);
        if (!deflate_pending(d, false))
            return false;
    }
    return deflate_pending(d, true);
}

bool size_taken(int width, int height) {
    return width > 0 && height > 0 && width <= MAX_SIDE && height <= MAX_SIDE;
}

// The whole picture into the writer; false when anything failed (the writer keeps why).
bool encode(FileWriter* file, int width, int height, uint8_t colour_type, int channels,
            RowSource source, const void* context) {
    const size_t row_bytes = static_cast<size_t>(width) * channels;
    // One allocation per picture: this row, the row above, and the compressed output.
    uint8_t* memory = static_cast<uint8_t*>(std::malloc(2 * (row_bytes + 1) + CHUNK_BYTES));
    if (!memory) {
        file->state.error = file->state.error ? file->state.error : ENOMEM;
        return false;
    }
    uint8_t* row = memory;
    uint8_t* above = memory + row_bytes + 1;
    std::memset(above, 0, row_bytes + 1);

    Deflater d{};
    d.file = file;
    d.packed = memory + 2 * (row_bytes + 1);
    bool ok = write_header(file, width, height, colour_type);
    const bool z_open = ok && deflateInit(&d.z, 6) == Z_OK;
    d.z.next_out = d.packed;
    d.z.avail_out = CHUNK_BYTES;
    ok = z_open && write_rows(d, height, row_bytes, row, above, source, context);
    if (z_open)
        deflateEnd(&d.z);
    ok = ok && write_chunk(file, "IEND", nullptr, 0);
    std::free(memory);
    if (!ok && file->state.error == 0) {
        file->state.error = EIO;
        file->state.why = "the compressor failed";
    }
    return ok;
}

// The writer of the path-named files; one picture at a time.
FileWriter png_file;

// A whole file at path: opened, encoded and committed, or nothing left behind.
int write_png(const char* path, int width, int height, uint8_t colour_type, int channels,
              RowSource source, const void* context, char* why, size_t why_size) {
    if (!file_writer_open(&png_file, path, why, why_size))
        return 0;
    if (!encode(&png_file, width, height, colour_type, channels, source, context)) {
        // The commit gives the reason the encoding stopped for, and removes the file.
        static_cast<void>(file_writer_commit(&png_file, why, why_size));
        return 0;
    }
    return file_writer_commit(&png_file, why, why_size) ? 1 : 0;
}

struct Packed {
    const uint8_t* pixels;
    size_t stride;
    size_t row_bytes;
};

void packed_row(const void* context, int y, uint8_t* out) {
    const Packed* p = static_cast<const Packed*>(context);
    std::memcpy(out, p->pixels + p->stride * static_cast<size_t>(y), p->row_bytes);
}

struct Indexed {
    const uint8_t* pixels;
    int pitch;
    int width;
    const PaletteEntry* palette;
};

void indexed_row(const void* context, int y, uint8_t* out) {
    const Indexed* p = static_cast<const Indexed*>(context);
    const uint8_t* in = p->pixels + static_cast<ptrdiff_t>(p->pitch) * y;
    for (int x = 0; x < p->width; ++x) {
        const PaletteEntry& c = p->palette[in[x]];
        out[3 * x] = c.red;
        out[3 * x + 1] = c.green;
        out[3 * x + 2] = c.blue;
    }
}

}  // namespace

int png_write_rgb(const char* path, const uint8_t* rgb, int width, int height, char* why,
                  size_t why_size) {
    if (!rgb || !size_taken(width, height))
        return refuse(BAD_SIZE, why, why_size);
    const size_t row = static_cast<size_t>(width) * 3;
    const Packed packed = {rgb, row, row};
    return write_png(path, width, height, COLOUR_RGB, 3, packed_row, &packed, why, why_size);
}

int png_write_rgba(const char* path, const uint8_t* rgba, int stride, int width, int height,
                   char* why, size_t why_size) {
    if (!rgba || !size_taken(width, height) || stride < width * 4)
        return refuse(BAD_SIZE, why, why_size);
    const Packed packed = {rgba, static_cast<size_t>(stride), static_cast<size_t>(width) * 4};
    return write_png(path, width, height, COLOUR_RGBA, 4, packed_row, &packed, why, why_size);
}

int png_write_indexed(const char* path, const uint8_t* pixels, int pitch, int width, int height,
                      const PaletteEntry* palette, char* why, size_t why_size) {
    if (!pixels || !palette || !size_taken(width, height) || pitch < width)
        return refuse(BAD_SIZE, why, why_size);
    const Indexed indexed = {pixels, pitch, width, palette};
    return write_png(path, width, height, COLOUR_RGB, 3, indexed_row, &indexed, why, why_size);
}

bool png_encode_rgba(FileWriter* writer, const uint8_t* rgba, int stride, int width, int height) {
    if (!rgba || !size_taken(width, height) || stride < width * 4)
        return refuse_writer(writer, BAD_SIZE);
    const Packed packed = {rgba, static_cast<size_t>(stride), static_cast<size_t>(width) * 4};
    return encode(writer, width, height, COLOUR_RGBA, 4, packed_row, &packed);
}

bool png_encode_indexed(FileWriter* writer, const uint8_t* pixels, int pitch, int width, int height,
                        const PaletteEntry* palette) {
    if (!pixels || !palette || !size_taken(width, height) || pitch < width)
        return refuse_writer(writer, BAD_SIZE);
    const Indexed indexed = {pixels, pitch, width, palette};
    return encode(writer, width, height, COLOUR_RGB, 3, indexed_row, &indexed);
}

#endif  // QUELLARO_PNG_WITHOUT_ZLIB
