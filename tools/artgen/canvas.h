// An 8-bit picture in memory, with the few drawing operations the art needs.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

struct Canvas {
    int width = 0, height = 0;
    std::vector<uint8_t> pixels;  // top row first, width bytes a row

    Canvas() = default;
    // A width x height picture filled with index fill.
    Canvas(int w, int h, uint8_t fill);
    uint8_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    // Sets one pixel; ignores positions outside the picture.
    void put(int x, int y, uint8_t c);
    // Reads one pixel, or fallback outside the picture.
    uint8_t get(int x, int y, uint8_t fallback) const;
    // Fills the rectangle [x, x + w) x [y, y + h), clipped.
    void fill(int x, int y, int w, int h, uint8_t c);
    // Copies src at (x, y), skipping source pixels of index key (pass -1 to copy all).
    void blit(const Canvas& src, int x, int y, int key);
    // Copies the w x h block of src at (sx, sy) to (x, y), skipping key.
    void blit_part(const Canvas& src, int sx, int sy, int w, int h, int x, int y, int key);
    // This picture mirrored left to right.
    Canvas mirrored() const;
};
