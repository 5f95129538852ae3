// Text output onto a surface in the built-in font.
#include "engine/text.h"

#include <cstring>

#include "engine/display.h"

int text_draw(const char* text, int x, int y, uint32_t colour, GfxSurface* surface) {
    if (!text)
        return 0;
    return gfx_text_out(surface, x, y, text, static_cast<int>(std::strlen(text)), colour) == GFX_OK
               ? 1
               : 0;
}

int text_draw_indexed(const char* text, int x, int y, int index, GfxSurface* surface) {
    if (index < 0 || index > 255)
        return 0;
    const PaletteEntry& e = shadow_palette[index];
    const uint32_t colour = static_cast<uint32_t>(e.red) | static_cast<uint32_t>(e.green) << 8 |
                            static_cast<uint32_t>(e.blue) << 16;
    return text_draw(text, x, y, colour, surface);
}
