// Writing .bmp pictures and the palette text file byte for byte the same on every run.
#include "tools/artgen/bmp_out.h"

#include <cstdio>
#include <vector>

#include "tools/support/folders.h"

namespace {

void put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void put32(std::vector<uint8_t>& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

}  // namespace

int write_bmp8(const std::string& path, const Canvas& canvas, const PaletteEntry* palette) {
    if (canvas.width % 4 != 0) {
        std::fprintf(stderr, "artgen: %s: width %d is not a multiple of 4\n", path.c_str(),
                     canvas.width);
        return 0;
    }
    const uint32_t image_size = static_cast<uint32_t>(canvas.width) * canvas.height;
    const uint32_t offset = 14 + 40 + 1024;
    std::vector<uint8_t> out;
    out.reserve(offset + image_size);
    put16(out, 0x4D42);
    put32(out, offset + image_size);
    put16(out, 0);
    put16(out, 0);
    put32(out, offset);
    put32(out, 40);
    put32(out, static_cast<uint32_t>(canvas.width));
    put32(out, static_cast<uint32_t>(canvas.height));  // positive: bottom row first
    put16(out, 1);
    put16(out, 8);
    put32(out, 0);  // uncompressed
    put32(out, image_size);
    put32(out, 2835);  // 72 dots per inch
    put32(out, 2835);
    put32(out, 256);
    put32(out, 256);
    for (int i = 0; i < 256; ++i) {
        out.push_back(palette[i].blue);
        out.push_back(palette[i].green);
        out.push_back(palette[i].red);
        out.push_back(0);
    }
    for (int y = canvas.height - 1; y >= 0; --y) {
        const uint8_t* row = &canvas.pixels[static_cast<size_t>(y) * canvas.width];
        out.insert(out.end(), row, row + canvas.width);
    }
    return tool_write_file("artgen", path, out.data(), out.size()) ? 1 : 0;
}

int write_palette_text(const std::string& path, const PaletteEntry* palette) {
    std::string text;
    for (int i = 0; i < 256; ++i) {
        char entry[32];
        std::snprintf(entry, sizeof entry, "\n%u %u %u %u", static_cast<unsigned>(palette[i].red),
                      static_cast<unsigned>(palette[i].green),
                      static_cast<unsigned>(palette[i].blue),
                      static_cast<unsigned>(palette[i].flags));
        text += entry;
    }
    return tool_write_file("artgen", path, text.data(), text.size()) ? 1 : 0;
}
