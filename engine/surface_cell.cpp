// Box overlap and the copy of a sheet cell into a surface.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "engine/gfx.h"
#include "engine/primitives.h"

int box_overlap(int x1, int y1, int width1, int height1, int x2, int y2, int width2, int height2) {
    if (width1 <= 0 || height1 <= 0 || width2 <= 0 || height2 <= 0)
        return 0;
    // In 64 bits so that boxes near the int range cannot wrap into a false overlap.
    const long long left1 = x1, top1 = y1, right1 = left1 + width1, bottom1 = top1 + height1;
    const long long left2 = x2, top2 = y2, right2 = left2 + width2, bottom2 = top2 + height2;
    return left1 < right2 && left2 < right1 && top1 < bottom2 && top2 < bottom1 ? 1 : 0;
}

int surface_load_cell(GfxSurface* surface, const BitmapFile* bitmap, int cx, int cy, int width,
                      int height, int mode) {
    if (!surface || !bitmap || !bitmap->buffer || width <= 0 || height <= 0)
        return 0;
    const int bytes = bitmap->info_header.bit_count / 8;
    if ((bytes != 1 && bytes != 2) || bytes != (surface->bpp == 8 ? 1 : 2))
        return 0;
    // The copy is checked against both sides: a cell past the sheet or larger than the
    // surface would read or write outside their memory.
    if (!bitmap_cell_origin(bitmap, width, height, mode, &cx, &cy))
        return 0;
    if (width > surface->width || height > surface->height)
        return 0;
    const long long sheet_width = bitmap->info_header.width;
    const long long left = cx, top = cy;

    GfxSurfaceDesc desc{};
    desc.size = sizeof(GfxSurfaceDesc);
    if (gfx_lock(surface, nullptr, &desc, GFX_LOCK_WAIT) != GFX_OK || !desc.pixels)
        return 0;
    const int pitch = bytes == 2 ? (desc.pitch & ~1) : desc.pitch;
    uint8_t* destination = static_cast<uint8_t*>(desc.pixels);
    const uint8_t* source = bitmap->buffer + (top * sheet_width + left) * bytes;
    for (int row = 0; row < height; ++row) {
        std::memcpy(destination, source, static_cast<size_t>(width) * bytes);
        destination += pitch;
        source += sheet_width * bytes;
    }
    static_cast<void>(gfx_unlock(surface, nullptr));  // locked just above
    return 1;
}
