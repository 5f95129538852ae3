// Pixel conversion into ARGB for the window, the streaming texture, the cursor and the icon.
// The 8-bit conversion is most of a frame's cost on the processor path: one table load and one
// store a pixel is all a plain loop can do, so where the processor can look bytes up 64 at a
// time in registers (AVX-512 VBMI, chosen at run time) each colour channel is looked up as a
// plane of bytes and the channels are interleaved back into pixels.
#include "platform/sdl/pixels.h"

#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define QUELLARO_PIXELS_VBMI 1
#endif

namespace {

// Widens a channel of the given bits to 8 bits, so that full scale stays full scale.
inline uint32_t widen(uint32_t value, int bits) {
    return (value << (8 - bits)) | (value >> (2 * bits - 8));
}

#ifdef QUELLARO_PIXELS_VBMI
#define VBMI_TARGET __attribute__((target("avx512f,avx512bw,avx512vbmi")))

// One channel's 256 entries in four registers, loaded once a row.
struct Plane {
    __m512i quarter[4];
};

VBMI_TARGET inline Plane load_plane(const uint8_t* plane) {
    return {{_mm512_load_si512(plane), _mm512_load_si512(plane + 64),
             _mm512_load_si512(plane + 128), _mm512_load_si512(plane + 192)}};
}

// One channel of 64 pixels: the low half of the table answers indices below 128, the high
// half the rest.
VBMI_TARGET inline __m512i look_up(const Plane& plane, __m512i index, __mmask64 high) {
    const __m512i low_half = _mm512_permutex2var_epi8(plane.quarter[0], index, plane.quarter[1]);
    const __m512i high_half = _mm512_permutex2var_epi8(plane.quarter[2], index, plane.quarter[3]);
    return _mm512_mask_blend_epi8(high, low_half, high_half);
}

// The in-lane unpacking below leaves each 128-bit lane holding pixels from four places; the
// indices are put in this order first, so that the unpacked words come out in pixel order.
struct UnpackOrder {
    alignas(64) uint8_t bytes[64];
};
constexpr UnpackOrder make_unpack_order() {
    UnpackOrder order{};
    for (int lane = 0; lane < 4; lane++) {
        for (int group = 0; group < 4; group++) {
            for (int j = 0; j < 4; j++) {
                order.bytes[16 * lane + 4 * group + j] =
                    static_cast<uint8_t>(16 * group + 4 * lane + j);
            }
        }
    }
    return order;
}
constexpr UnpackOrder UNPACK_ORDER = make_unpack_order();

VBMI_TARGET void convert_row_8_vbmi(const uint8_t* source, int count, const ColourTable& table,
                                    uint32_t* out) {
    const __m512i order = _mm512_load_si512(UNPACK_ORDER.bytes);
    const Plane blue_plane = load_plane(table.planes[0]), green_plane = load_plane(table.planes[1]),
                red_plane = load_plane(table.planes[2]), alpha_plane = load_plane(table.planes[3]);
    int i = 0;
    for (; i + 64 <= count; i += 64) {
        // The zero-masking form: GCC 12 warns of the plain one's undefined start value.
        const __m512i index =
            _mm512_maskz_permutexvar_epi8(~__mmask64{0}, order, _mm512_loadu_si512(source + i));
        const __mmask64 high = _mm512_movepi8_mask(index);
        const __m512i blue = look_up(blue_plane, index, high);
        const __m512i green = look_up(green_plane, index, high);
        const __m512i red = look_up(red_plane, index, high);
        const __m512i alpha =
            table.opaque ? _mm512_set1_epi8(-1) : look_up(alpha_plane, index, high);
        const __m512i blue_green_low = _mm512_unpacklo_epi8(blue, green);
        const __m512i blue_green_high = _mm512_unpackhi_epi8(blue, green);
        const __m512i red_alpha_low = _mm512_unpacklo_epi8(red, alpha);
        const __m512i red_alpha_high = _mm512_unpackhi_epi8(red, alpha);
        _mm512_storeu_si512(out + i, _mm512_unpacklo_epi16(blue_green_low, red_alpha_low));
        _mm512_storeu_si512(out + i + 16, _mm512_unpackhi_epi16(blue_green_low, red_alpha_low));
        _mm512_storeu_si512(out + i + 32, _mm512_unpacklo_epi16(blue_green_high, red_alpha_high));
        _mm512_storeu_si512(out + i + 48, _mm512_unpackhi_epi16(blue_green_high, red_alpha_high));
    }
    convert_row_8_portable(source + i, count - i, table, out + i);
}

bool has_vbmi() {
    // Asked once: the answer never changes while the program runs.
    static const bool yes = __builtin_cpu_supports("avx512f") &&
                            __builtin_cpu_supports("avx512bw") &&
                            __builtin_cpu_supports("avx512vbmi");
    return yes;
}
#endif

}  // namespace

void palette_to_argb(const PaletteEntry* palette, int transparent_index, ColourTable* out) {
    out->opaque = transparent_index < 0 || transparent_index > 255;
    for (int i = 0; i < 256; i++) {
        const PaletteEntry& entry = palette[i];
        const bool clear = i == transparent_index;
        out->argb[i] = clear ? 0u
                             : 0xFF000000u | uint32_t{entry.red} << 16 |
                                   uint32_t{entry.green} << 8 | uint32_t{entry.blue};
        for (int channel = 0; channel < 4; channel++) {
            out->planes[channel][i] = static_cast<uint8_t>(out->argb[i] >> (8 * channel));
        }
    }
}

void convert_row_8_portable(const uint8_t* __restrict source, int count, const ColourTable& table,
                            uint32_t* __restrict out) {
    const uint32_t* __restrict argb = table.argb;
    int i = 0;
#ifdef __SSE2__
    // Eight indices in one load, eight independent look-ups, stored four at a time: the
    // stores, one a pixel, are what limits a plain loop.
    for (; i + 8 <= count; i += 8) {
        uint64_t eight;
        std::memcpy(&eight, source + i, sizeof eight);
        const __m128i low = _mm_setr_epi32(static_cast<int>(argb[eight & 0xFF]),
                                           static_cast<int>(argb[(eight >> 8) & 0xFF]),
                                           static_cast<int>(argb[(eight >> 16) & 0xFF]),
                                           static_cast<int>(argb[(eight >> 24) & 0xFF]));
        const __m128i high = _mm_setr_epi32(static_cast<int>(argb[(eight >> 32) & 0xFF]),
                                            static_cast<int>(argb[(eight >> 40) & 0xFF]),
                                            static_cast<int>(argb[(eight >> 48) & 0xFF]),
                                            static_cast<int>(argb[eight >> 56]));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), low);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i + 4), high);
    }
#endif
    for (; i < count; i++) {
        out[i] = argb[source[i]];
    }
}

void convert_row_8(const uint8_t* source, int count, const ColourTable& table, uint32_t* out) {
#ifdef QUELLARO_PIXELS_VBMI
    if (count >= 64 && has_vbmi()) {
        convert_row_8_vbmi(source, count, table, out);
        return;
    }
#endif
    convert_row_8_portable(source, count, table, out);
}

bool convert_row_8_vectorised() {
#ifdef QUELLARO_PIXELS_VBMI
    return has_vbmi();
#else
    return false;
#endif
}

void convert_row_16(const uint8_t* source, int count, int bpp, uint32_t* out) {
    const int green_bits = bpp == 15 ? 5 : 6;
    const int red_shift = 5 + green_bits;
    const uint32_t green_mask = (1u << green_bits) - 1;
    for (int i = 0; i < count; i++) {
        uint16_t pixel;
        std::memcpy(&pixel, source + 2 * i, sizeof pixel);  // rows need not be aligned
        uint32_t red = widen((pixel >> red_shift) & 31u, 5);
        uint32_t green = widen((pixel >> 5) & green_mask, green_bits);
        uint32_t blue = widen(pixel & 31u, 5);
        out[i] = 0xFF000000u | red << 16 | green << 8 | blue;
    }
}
