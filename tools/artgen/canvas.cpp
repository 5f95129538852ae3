// An 8-bit picture in memory and its drawing operations.
#include "tools/artgen/canvas.h"

Canvas::Canvas(int w, int h, uint8_t fill_index)
    : width(w), height(h), pixels(static_cast<size_t>(w) * h, fill_index) {}

void Canvas::put(int x, int y, uint8_t c) {
    if (x < 0 || y < 0 || x >= width || y >= height)
        return;
    pixels[static_cast<size_t>(y) * width + x] = c;
}

uint8_t Canvas::get(int x, int y, uint8_t fallback) const {
    if (x < 0 || y < 0 || x >= width || y >= height)
        return fallback;
    return at(x, y);
}

void Canvas::fill(int x, int y, int w, int h, uint8_t c) {
    for (int j = y; j < y + h; ++j) {
        for (int i = x; i < x + w; ++i)
            put(i, j, c);
    }
}

void Canvas::blit(const Canvas& src, int x, int y, int key) {
    blit_part(src, 0, 0, src.width, src.height, x, y, key);
}

void Canvas::blit_part(const Canvas& src, int sx, int sy, int w, int h, int x, int y, int key) {
    for (int j = 0; j < h; ++j) {
        for (int i = 0; i < w; ++i) {
            uint8_t c = src.get(sx + i, sy + j, 0);
            if (key >= 0 && c == key)
                continue;
            put(x + i, y + j, c);
        }
    }
}

Canvas Canvas::mirrored() const {
    Canvas out(width, height, 0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            out.pixels[static_cast<size_t>(y) * width + x] = at(width - 1 - x, y);
    }
    return out;
}
