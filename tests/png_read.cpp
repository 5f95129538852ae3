// The test-side PNG reader: chunks, CRCs, inflate and the five row filters.
#include "tests/png_read.h"

#include <zlib.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

namespace {

uint32_t get32(const uint8_t* p) {
    return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}

uint8_t paeth(int a, int b, int c) {
    const int p = a + b - c;
    const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    if (pa <= pb && pa <= pc)
        return static_cast<uint8_t>(a);
    return static_cast<uint8_t>(pb <= pc ? b : c);
}

// The byte a row filter predicts from the left (a), upper (b) and upper-left (c) bytes; -1
// for a filter PNG does not have.
int predict(uint8_t filter, int a, int b, int c) {
    switch (filter) {
        case 0:
            return 0;
        case 1:
            return a;
        case 2:
            return b;
        case 3:
            return (a + b) / 2;
        case 4:
            return paeth(a, b, c);
        default:
            return -1;
    }
}

// The chunks: the header into *out, the IDAT bytes gathered into *packed.
bool read_chunks(const std::vector<uint8_t>& bytes, PngPicture* out, std::vector<uint8_t>* packed) {
    static const uint8_t signature[8] = {137, 80, 78, 71, 13, 10, 26, 10};
    if (bytes.size() < 8 || std::memcmp(bytes.data(), signature, 8) != 0)
        return false;
    bool header = false, end = false;
    for (size_t at = 8; at + 12 <= bytes.size() && !end;) {
        const uint32_t length = get32(&bytes[at]);
        if (at + 12 + length > bytes.size())
            return false;
        const uint8_t* type = &bytes[at + 4];
        const uint8_t* data = type + 4;
        if (crc32(crc32(0, type, 4), data, length) != get32(data + length))
            return false;
        if (std::memcmp(type, "IHDR", 4) == 0 && length == 13) {
            out->width = static_cast<int>(get32(data));
            out->height = static_cast<int>(get32(data + 4));
            if (data[8] != 8 || (data[9] != 2 && data[9] != 6) || data[12] != 0)
                return false;
            out->channels = data[9] == 2 ? 3 : 4;
            header = true;
        } else if (std::memcmp(type, "IDAT", 4) == 0) {
            packed->insert(packed->end(), data, data + length);
        } else if (std::memcmp(type, "IEND", 4) == 0) {
            end = true;
        }
        at += 12 + length;
    }
    return header && end;
}

}  // namespace

bool png_read(const std::string& path, PngPicture* out) {
    std::ifstream file(path, std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                     std::istreambuf_iterator<char>());
    std::vector<uint8_t> packed;
    if (!read_chunks(bytes, out, &packed))
        return false;
    const size_t row = static_cast<size_t>(out->width) * out->channels;
    std::vector<uint8_t> raw((row + 1) * out->height);
    uLongf raw_size = raw.size();
    if (uncompress(raw.data(), &raw_size, packed.data(), packed.size()) != Z_OK ||
        raw_size != raw.size())
        return false;
    out->pixels.assign(row * out->height, 0);
    const size_t bpp = out->channels;
    for (int y = 0; y < out->height; ++y) {
        const uint8_t filter = raw[y * (row + 1)];
        const uint8_t* in = &raw[y * (row + 1) + 1];
        uint8_t* cur = &out->pixels[y * row];
        const uint8_t* up = y > 0 ? cur - row : nullptr;
        for (size_t i = 0; i < row; ++i) {
            const int a = i >= bpp ? cur[i - bpp] : 0;
            const int b = up ? up[i] : 0;
            const int c = up && i >= bpp ? up[i - bpp] : 0;
            const int predicted = predict(filter, a, b, c);
            if (predicted < 0)
                return false;
            cur[i] = static_cast<uint8_t>(in[i] + predicted);
        }
    }
    return true;
}
