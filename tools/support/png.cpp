// A small PNG writer: stored deflate blocks, CRC-32 and Adler-32 written by hand.
#include "tools/support/png.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

uint32_t crc_table[256];

void build_crc_table() {
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        crc_table[n] = c;
    }
}

uint32_t crc_update(uint32_t crc, const uint8_t* data, size_t length) {
    for (size_t i = 0; i < length; ++i)
        crc = crc_table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return crc;
}

void put32(uint8_t* out, uint32_t v) {
    out[0] = static_cast<uint8_t>(v >> 24);
    out[1] = static_cast<uint8_t>(v >> 16);
    out[2] = static_cast<uint8_t>(v >> 8);
    out[3] = static_cast<uint8_t>(v);
}

bool write_chunk(FILE* file, const char* type, const uint8_t* data, uint32_t length) {
    uint8_t header[8];
    put32(header, length);
    std::memcpy(header + 4, type, 4);
    uint32_t crc = crc_update(0xFFFFFFFFu, header + 4, 4);
    crc = crc_update(crc, data, length) ^ 0xFFFFFFFFu;
    uint8_t trailer[4];
    put32(trailer, crc);
    return std::fwrite(header, 1, 8, file) == 8 &&
           (length == 0 || std::fwrite(data, 1, length, file) == length) &&
           std::fwrite(trailer, 1, 4, file) == 4;
}

}  // namespace

int png_write_rgb(const char* path, const uint8_t* rgb, int width, int height) {
    if (width <= 0 || height <= 0 || width > 65535 || height > 65535)
        return 0;
    build_crc_table();
    const size_t row = static_cast<size_t>(width) * 3 + 1;
    const size_t raw_size = row * static_cast<size_t>(height);
    const size_t blocks = (raw_size + 65534) / 65535;
    const size_t z_size = 2 + blocks * 5 + raw_size + 4;
    uint8_t* raw = static_cast<uint8_t*>(std::malloc(raw_size));
    uint8_t* z = static_cast<uint8_t*>(std::malloc(z_size));
    if (!raw || !z) {
        std::free(raw);
        std::free(z);
        return 0;
    }
    for (int y = 0; y < height; ++y) {
        raw[y * row] = 0;  // no filter
        std::memcpy(raw + y * row + 1, rgb + static_cast<size_t>(y) * width * 3,
                    static_cast<size_t>(width) * 3);
    }
    size_t at = 0;
    z[at++] = 0x78;
    z[at++] = 0x01;
    uint32_t a = 1, b = 0;
    for (size_t done = 0; done < raw_size;) {
        size_t n = raw_size - done;
        if (n > 65535)
            n = 65535;
        z[at++] = done + n == raw_size ? 1 : 0;
        z[at++] = static_cast<uint8_t>(n);
        z[at++] = static_cast<uint8_t>(n >> 8);
        z[at++] = static_cast<uint8_t>(~n);
        z[at++] = static_cast<uint8_t>(~n >> 8);
        std::memcpy(z + at, raw + done, n);
        for (size_t i = 0; i < n; ++i) {
            a = (a + raw[done + i]) % 65521;
            b = (b + a) % 65521;
        }
        at += n;
        done += n;
    }
    put32(z + at, (b << 16) | a);
    at += 4;

    FILE* file = std::fopen(path, "wb");
    bool ok = file != nullptr;
    if (ok) {
        static const uint8_t signature[8] = {137, 80, 78, 71, 13, 10, 26, 10};
        uint8_t ihdr[13];
        put32(ihdr, static_cast<uint32_t>(width));
        put32(ihdr + 4, static_cast<uint32_t>(height));
        ihdr[8] = 8;  // bit depth
        ihdr[9] = 2;  // RGB
        ihdr[10] = ihdr[11] = ihdr[12] = 0;
        ok = std::fwrite(signature, 1, 8, file) == 8 && write_chunk(file, "IHDR", ihdr, 13) &&
             write_chunk(file, "IDAT", z, static_cast<uint32_t>(at)) &&
             write_chunk(file, "IEND", nullptr, 0);
        ok = (std::fclose(file) == 0) && ok;
    }
    std::free(raw);
    std::free(z);
    return ok ? 1 : 0;
}

int png_write_indexed(const char* path, const uint8_t* pixels, int pitch, int width, int height,
                      const PaletteEntry* palette) {
    if (width <= 0 || height <= 0)
        return 0;
    uint8_t* rgb = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(width) * height * 3));
    if (!rgb)
        return 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const PaletteEntry& e = palette[pixels[static_cast<size_t>(y) * pitch + x]];
            uint8_t* out = rgb + (static_cast<size_t>(y) * width + x) * 3;
            out[0] = e.red;
            out[1] = e.green;
            out[2] = e.blue;
        }
    }
    const int result = png_write_rgb(path, rgb, width, height);
    std::free(rgb);
    return result;
}
