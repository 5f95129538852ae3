// Spans (clipped rows and columns, 8 and 16 bits) and rectangle fills by the display service.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>

#include "engine/display.h"
#include "engine/gfx.h"
#include "engine/primitives.h"

namespace {

template <typename Pixel>
void row_span(int x1, int x2, int y, Pixel color, Pixel* pixels, ptrdiff_t stride) {
    if (y < clip_min_y || y > clip_max_y)
        return;
    if (x1 > x2)
        std::swap(x1, x2);
    if (x2 < clip_min_x || x1 > clip_max_x)
        return;
    x1 = std::max(x1, clip_min_x);
    x2 = std::min(x2, clip_max_x);
    std::fill_n(pixels + static_cast<ptrdiff_t>(y) * stride + x1, x2 - x1 + 1, color);
}

template <typename Pixel>
void column_span(int y1, int y2, int x, Pixel color, Pixel* pixels, ptrdiff_t stride) {
    if (x < clip_min_x || x > clip_max_x)
        return;
    if (y1 > y2)
        std::swap(y1, y2);
    if (y2 < clip_min_y || y1 > clip_max_y)
        return;
    y1 = std::max(y1, clip_min_y);
    y2 = std::min(y2, clip_max_y);
    for (int y = y1; y <= y2; ++y)
        pixels[static_cast<ptrdiff_t>(y) * stride + x] = color;
}

}  // namespace

int hline(int x1, int x2, int y, int color, uint8_t* buffer, int pitch) {
    row_span<uint8_t>(x1, x2, y, static_cast<uint8_t>(color), buffer, pitch);
    return 1;
}

int hline16(int x1, int x2, int y, int color, uint8_t* buffer, int pitch) {
    row_span<uint16_t>(x1, x2, y, static_cast<uint16_t>(color), reinterpret_cast<uint16_t*>(buffer),
                       pitch >> 1);
    return 1;
}

int vline(int y1, int y2, int x, int color, uint8_t* buffer, int pitch) {
    column_span<uint8_t>(y1, y2, x, static_cast<uint8_t>(color), buffer, pitch);
    return 1;
}

int vline16(int y1, int y2, int x, int color, uint8_t* buffer, int pitch) {
    column_span<uint16_t>(y1, y2, x, static_cast<uint16_t>(color),
                          reinterpret_cast<uint16_t*>(buffer), pitch >> 1);
    return 1;
}

int rect_fill(int left, int top, int right, int bottom, int color, GfxSurface* surface) {
    GfxBlitFx fx{};
    fx.size = sizeof(GfxBlitFx);
    fx.fill_color = static_cast<uint32_t>(color);
    const Rect rect{left, top, right, bottom};
    return gfx_blit(surface, &rect, nullptr, nullptr, GFX_BLT_COLORFILL | GFX_BLT_WAIT, &fx) ==
                   GFX_OK
               ? 1
               : 0;
}
