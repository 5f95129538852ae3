// Test buffers for the drawing primitives: padded rows and guard bytes all round, so that a
// write past the clip bounds, the row width or the buffer shows up.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/display.h"

constexpr uint8_t GUARD_BYTE = 0xA5;

struct GuardedBuffer {
    static constexpr int GUARD = 256;
    int width, height, bytes_per_pixel, pitch;
    std::vector<uint8_t> memory;

    // Rows are padded past width by an amount that keeps 16-bit rows aligned.
    GuardedBuffer(int w, int h, int bytes = 1, uint8_t background = 0)
        : width(w),
          height(h),
          bytes_per_pixel(bytes),
          pitch(w * bytes + (bytes == 1 ? 13 : 14)),
          memory(2 * GUARD + static_cast<size_t>(pitch) * h, GUARD_BYTE) {
        for (int y = 0; y < h; ++y) {
            for (int i = 0; i < w * bytes; ++i)
                row(y)[i] = background;
        }
    }
    uint8_t* pixels() { return memory.data() + GUARD; }
    uint8_t* row(int y) { return pixels() + static_cast<ptrdiff_t>(y) * pitch; }
    uint8_t at(int x, int y) { return row(y)[x]; }
    uint16_t at16(int x, int y) { return reinterpret_cast<uint16_t*>(row(y))[x]; }
    int value(int x, int y) { return bytes_per_pixel == 2 ? at16(x, y) : at(x, y); }

    // True when the guards before and after the buffer and every row's padding are untouched.
    bool intact() {
        for (int i = 0; i < GUARD; ++i) {
            if (memory[i] != GUARD_BYTE || memory[memory.size() - 1 - i] != GUARD_BYTE) {
                return false;
            }
        }
        for (int y = 0; y < height; ++y) {
            for (int i = width * bytes_per_pixel; i < pitch; ++i) {
                if (row(y)[i] != GUARD_BYTE)
                    return false;
            }
        }
        return true;
    }
    // Pixels of value v inside the buffer.
    int count(int v) {
        int n = 0;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x)
                n += value(x, y) == v;
        }
        return n;
    }
};

inline void set_clip(int min_x, int max_x, int min_y, int max_y) {
    clip_min_x = min_x;
    clip_max_x = max_x;
    clip_min_y = min_y;
    clip_max_y = max_y;
}

// True when no pixel outside the clip bounds differs from the background.
inline bool clean_outside_clip(GuardedBuffer& b, int background) {
    for (int y = 0; y < b.height; ++y) {
        for (int x = 0; x < b.width; ++x) {
            const bool inside =
                x >= clip_min_x && x <= clip_max_x && y >= clip_min_y && y <= clip_max_y;
            if (!inside && b.value(x, y) != background)
                return false;
        }
    }
    return true;
}
