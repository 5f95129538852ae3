// Scaling by tables: each frame row shown is converted once into the map's row, then spread
// over the output row by the column table; an output row showing the same frame row as the
// one above is copied. Where the processor has AVX2 and the box enlarges the frame, 8 output
// pixels come from at most 8 neighbouring frame pixels, which one permute picks; large outputs
// are then written around the caches.
#include "platform/sdl/scale.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define QUELLARO_SCALE_AVX2 1
#endif

namespace {

// Outputs larger than this do not stay in the processor's caches until the display server
// reads them: they are written around the caches (streaming stores), which saves reading each
// line in before it is overwritten, and every row is spread from the converted row rather
// than copied from the row above, which would have to come back from memory.
constexpr size_t STREAM_BYTES = size_t{16} << 20;

#ifdef QUELLARO_SCALE_AVX2
template <bool STREAM>
__attribute__((target("avx2"))) void spread_avx2(const ScaleMap* map, uint32_t* out) {
    const int width = map->box.width;
    int x = 0;
    for (; x + 8 <= width; x += 8) {
        const __m256i pixels =
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(map->row + map->columns[x]));
        const __m256i picks =
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(map->offsets + x));
        const __m256i picked = _mm256_permutevar8x32_epi32(pixels, picks);
        if (STREAM) {
            _mm256_stream_si256(reinterpret_cast<__m256i*>(out + x), picked);
        } else {
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + x), picked);
        }
    }
    for (; x < width; x++) {
        out[x] = map->row[map->columns[x]];
    }
}

bool has_avx2() {
    // Asked once: the answer never changes while the program runs.
    static const bool yes = __builtin_cpu_supports("avx2");
    return yes;
}
#endif

// Whether the output rows are written around the caches: a large output, rows starting on
// 32-byte boundaries, and the vector path.
bool streams(const ScaleMap* map, const uint8_t* top, int output_pitch) {
#ifdef QUELLARO_SCALE_AVX2
    const size_t bytes = 4 * static_cast<size_t>(map->box.width) * map->box.height;
    return bytes >= STREAM_BYTES && map->spans && has_avx2() &&
           reinterpret_cast<uintptr_t>(top) % 32 == 0 && output_pitch % 32 == 0;
#else
    (void)map;
    (void)top;
    (void)output_pitch;
    return false;
#endif
}

// The map's row over one output row.
void spread(const ScaleMap* map, uint32_t* out, bool stream) {
#ifdef QUELLARO_SCALE_AVX2
    if (stream) {
        spread_avx2<true>(map, out);
        return;
    }
    if (map->spans && has_avx2()) {
        spread_avx2<false>(map, out);
        return;
    }
#else
    (void)stream;
#endif
    const uint32_t* row = map->row;
    const int32_t* columns = map->columns;
    for (int x = 0; x < map->box.width; x++) {
        out[x] = row[columns[x]];
    }
}

// Calls fill(source_row) to put a frame row in the map's row, for each frame row shown (each
// changed one, when changed is given).
template <typename Fill>
void scale_rows(ScaleMap* map, Fill fill, uint8_t* output, int output_pitch,
                const uint8_t* changed = nullptr) {
    const Letterbox& box = map->box;
    if (box.width <= 0 || box.height <= 0) {
        return;
    }
    uint8_t* top = output + static_cast<std::ptrdiff_t>(box.y) * output_pitch + 4 * box.x;
    const size_t row_bytes = 4 * static_cast<size_t>(box.width);
    const bool stream = streams(map, top, output_pitch);
    const uint32_t* previous = nullptr;
    int previous_source = -1;
    for (int y = 0; y < box.height; y++) {
        uint32_t* out =
            reinterpret_cast<uint32_t*>(top + static_cast<std::ptrdiff_t>(y) * output_pitch);
        const int source_row = map->rows[y];
        if (changed != nullptr && !changed[source_row]) {
            continue;
        }
        if (source_row == previous_source) {
            if (stream) {
                spread(map, out, true);
            } else {
                std::memcpy(out, previous, row_bytes);
            }
            continue;
        }
        fill(source_row);
        spread(map, out, stream);
        previous = out;
        previous_source = source_row;
    }
#ifdef QUELLARO_SCALE_AVX2
    if (stream) {
        _mm_sfence();  // streamed rows are in memory before anyone is told of them
    }
#endif
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
    // A frame row must fit the map's row; no frame is that wide, so such a box shows nothing.
    if (map->box.frame_width > SCALE_MAX_SIDE) {
        map->box.width = map->box.height = 0;
    }
    const Letterbox& b = map->box;
    // The centre of output pixel i, scaled into the frame and rounded down.
    for (int i = 0; i < b.width; i++) {
        map->columns[i] =
            static_cast<int32_t>((2 * int64_t{i} + 1) * b.frame_width / (2 * b.width));
    }
    for (int i = 0; i < b.height; i++) {
        map->rows[i] = static_cast<int32_t>((2 * int64_t{i} + 1) * b.frame_height / (2 * b.height));
    }
    // Enlarging, the columns never step back and never skip, so 8 of them span at most 8.
    map->spans = b.width >= b.frame_width ? 1 : 0;
    for (int i = 0; i < b.width; i++) {
        map->offsets[i] = map->columns[i] - map->columns[i & ~7];
    }
    // Reading 8 columns from the last ones stays in the row: its padding holds nothing shown.
    std::memset(map->row + (b.frame_width > 0 ? b.frame_width : 0), 0, 8 * sizeof(uint32_t));
}

void scale_frame_8(ScaleMap* map, const uint8_t* frame, int frame_pitch, const ColourTable& table,
                   uint8_t* output, int output_pitch, const uint8_t* changed) {
    const int width = map->box.frame_width;
    auto fill = [&](int source_row) {
        convert_row_8(frame + static_cast<std::ptrdiff_t>(source_row) * frame_pitch, width, table,
                      map->row);
    };
    scale_rows(map, fill, output, output_pitch, changed);
}

int scale_changed_bands(const ScaleMap* map, const uint8_t* changed, ScaleRect* bands, int max) {
    const Letterbox& box = map->box;
    int count = 0, top = -1, bottom = -1, start = -1;
    for (int y = 0; y <= box.height; y++) {
        const bool shown = y < box.height && changed[map->rows[y]] != 0;
        if (shown && start < 0) {
            start = y;
        } else if (!shown && start >= 0) {
            top = top < 0 ? start : top;
            bottom = y;
            if (count < max) {
                bands[count] = {box.x, box.y + start, box.width, y - start};
            }
            count++;
            start = -1;
        }
    }
    if (count > max && max > 0) {
        bands[0] = {box.x, box.y + top, box.width, bottom - top};
        return 1;
    }
    return count < max ? count : max;
}

void scale_frame_32(ScaleMap* map, const uint32_t* frame, int frame_pitch, uint8_t* output,
                    int output_pitch) {
    const size_t row_bytes = 4 * static_cast<size_t>(map->box.frame_width);
    auto fill = [&](int source_row) {
        std::memcpy(map->row, frame + static_cast<std::ptrdiff_t>(source_row) * frame_pitch,
                    row_bytes);
    };
    scale_rows(map, fill, output, output_pitch);
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
