// Scaling by tables: whole multiples write each source pixel k times, other sizes look the
// source column up; an output row showing the same source row as the one above is copied.
#include "platform/sdl/scale.h"

#include <cstddef>
#include <cstring>

namespace {

struct Lookup8 {
    const uint32_t* table;
    uint32_t operator()(uint8_t index) const { return table[index]; }
};

struct Same32 {
    uint32_t operator()(uint32_t pixel) const { return pixel; }
};

template <int K, typename Pixel, typename Convert>
void whole_row(const Pixel* in, int count, Convert convert, uint32_t* out) {
    for (int x = 0; x < count; x++) {
        const uint32_t value = convert(in[x]);
        for (int k = 0; k < K; k++) {
            out[K * x + k] = value;
        }
    }
}

template <typename Pixel, typename Convert>
void scale_rows(const ScaleMap* map, const Pixel* frame, int frame_pitch, Convert convert,
                uint8_t* output, int output_pitch) {
    const Letterbox& box = map->box;
    if (box.width <= 0 || box.height <= 0) {
        return;
    }
    uint8_t* top = output + static_cast<std::ptrdiff_t>(box.y) * output_pitch + 4 * box.x;
    const size_t row_bytes = 4 * static_cast<size_t>(box.width);
    const uint32_t* previous = nullptr;
    int previous_source = -1;
    for (int y = 0; y < box.height; y++) {
        uint32_t* out =
            reinterpret_cast<uint32_t*>(top + static_cast<std::ptrdiff_t>(y) * output_pitch);
        const int source_row = map->rows[y];
        if (source_row == previous_source) {
            std::memcpy(out, previous, row_bytes);
            continue;
        }
        const Pixel* in = frame + static_cast<std::ptrdiff_t>(source_row) * frame_pitch;
        switch (map->whole) {
            case 1:
                whole_row<1>(in, box.frame_width, convert, out);
                break;
            case 2:
                whole_row<2>(in, box.frame_width, convert, out);
                break;
            case 3:
                whole_row<3>(in, box.frame_width, convert, out);
                break;
            default:
                if (map->spans) {
                    // Enlarged by a fraction: each frame pixel once, written as wide as it
                    // shows.
                    uint32_t* at = out;
                    for (int x = 0; x < box.frame_width; x++) {
                        const uint32_t value = convert(in[x]);
                        for (int k = map->widths[x]; k > 0; k--) {
                            *at++ = value;
                        }
                    }
                } else {
                    for (int x = 0; x < box.width; x++) {
                        out[x] = convert(in[map->columns[x]]);
                    }
                }
        }
        previous = out;
        previous_source = source_row;
    }
}

void fill_rect(uint8_t* output, int pitch, int x, int y, int width, int height, uint32_t colour) {
    for (int row = 0; row < height; row++) {
        uint32_t* out =
            reinterpret_cast<uint32_t*>(output + static_cast<std::ptrdiff_t>(y + row) * pitch) + x;
        for (int i = 0; i < width; i++) {
            out[i] = colour;
        }
    }
}

}  // namespace

void scale_map_build(ScaleMap* map, const Letterbox& box) {
    map->box = box;
    if (map->box.width > SCALE_MAX_SIDE) {
        map->box.width = SCALE_MAX_SIDE;
    }
    if (map->box.height > SCALE_MAX_SIDE) {
        map->box.height = SCALE_MAX_SIDE;
    }
    const Letterbox& b = map->box;
    map->whole = 0;
    if (b.frame_width > 0 && b.frame_height > 0 && b.width % b.frame_width == 0 &&
        b.width / b.frame_width == b.height / b.frame_height && b.height % b.frame_height == 0) {
        map->whole = b.width / b.frame_width;
    }
    // The centre of output pixel i, scaled into the frame and rounded down.
    for (int i = 0; i < b.width; i++) {
        map->columns[i] =
            static_cast<int32_t>((2 * int64_t{i} + 1) * b.frame_width / (2 * b.width));
    }
    for (int i = 0; i < b.height; i++) {
        map->rows[i] = static_cast<int32_t>((2 * int64_t{i} + 1) * b.frame_height / (2 * b.height));
    }
    // The columns run left to right without gaps when enlarging, so they come in widths.
    map->spans = b.width >= b.frame_width && b.frame_width <= SCALE_MAX_SIDE &&
                 b.width < 255 * b.frame_width;
    if (map->spans) {
        std::memset(map->widths, 0, static_cast<size_t>(b.frame_width));
        for (int i = 0; i < b.width; i++) {
            map->widths[map->columns[i]]++;
        }
    }
}

void scale_frame_8(const ScaleMap* map, const uint8_t* frame, int frame_pitch,
                   const uint32_t* table, uint8_t* output, int output_pitch) {
    scale_rows(map, frame, frame_pitch, Lookup8{table}, output, output_pitch);
}

void scale_frame_32(const ScaleMap* map, const uint32_t* frame, int frame_pitch, uint8_t* output,
                    int output_pitch) {
    scale_rows(map, frame, frame_pitch, Same32{}, output, output_pitch);
}

void scale_fill_bars(const Letterbox& box, int width, int height, uint32_t colour, uint8_t* output,
                     int output_pitch) {
    if (box.width <= 0 || box.height <= 0) {
        fill_rect(output, output_pitch, 0, 0, width, height, colour);
        return;
    }
    fill_rect(output, output_pitch, 0, 0, width, box.y, colour);
    fill_rect(output, output_pitch, 0, box.y + box.height, width, height - box.y - box.height,
              colour);
    fill_rect(output, output_pitch, 0, box.y, box.x, box.height, colour);
    fill_rect(output, output_pitch, box.x + box.width, box.y, width - box.x - box.width, box.height,
              colour);
}
