// primitives-demo: draws every family of drawing primitives into one 640 x 480 frame and writes
// it as a PNG to look at. The primitives' tests pin their pixels; this shows them together.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/bitmap.h"
#include "engine/display.h"
#include "engine/gfx.h"
#include "engine/primitives.h"
#include "engine/text.h"
#include "platform/png.h"
#include "shell/commands.h"
#include "shell/game.h"
#include "shell/window.h"

namespace {

constexpr int WHITE = 1, FRAME = 2, BACKGROUND = 3, GREYS = 4, HUES = 16;

// 0 black, 1 white, 2 frame grey, 3 dark blue, 4..15 a grey ramp, 16..255 a hue wheel.
void demo_palette() {
    PaletteEntry p[256] = {};
    p[WHITE] = {255, 255, 255, 0};
    p[FRAME] = {110, 110, 130, 0};
    p[BACKGROUND] = {18, 22, 52, 0};
    for (int i = 0; i < 12; ++i) {
        const uint8_t v = static_cast<uint8_t>(i * 23);
        p[GREYS + i] = {v, v, v, 0};
    }
    for (int i = HUES; i < 256; ++i) {
        const double h = (i - HUES) / 240.0 * 6.0;
        const double f = h - std::floor(h);
        const double rgb[6][3] = {{1, f, 0},     {1 - f, 1, 0}, {0, 1, f},
                                  {0, 1 - f, 1}, {f, 0, 1},     {1, 0, 1 - f}};
        const int s = static_cast<int>(h) % 6;
        p[i] = {static_cast<uint8_t>(255 * rgb[s][0]), static_cast<uint8_t>(255 * rgb[s][1]),
                static_cast<uint8_t>(255 * rgb[s][2]), 0};
    }
    palette_set_all(p);
}

void set_clip(int min_x, int max_x, int min_y, int max_y) {
    clip_min_x = min_x;
    clip_max_x = max_x;
    clip_min_y = min_y;
    clip_max_y = max_y;
}

int hue(double t) {
    return HUES + static_cast<int>(t * 239) % 240;
}

// Six panels, 3 across and 2 down; drawing is clipped to the inside of each frame.
struct Panel {
    int left, top, right, bottom;
    int cx() const { return (left + right) / 2; }
    int cy() const { return (top + 16 + bottom) / 2; }
};

Panel panel(int i) {
    const int left = (i % 3) * 213 + 2, top = (i / 3) * 240 + 2;
    return {left, top, left + 208, top + 235};
}

void frame_and_clip(const Panel& p, uint8_t* buffer, int pitch) {
    set_clip(0, 639, 0, 479);
    hline(p.left, p.right, p.top, FRAME, buffer, pitch);
    hline(p.left, p.right, p.bottom, FRAME, buffer, pitch);
    vline(p.top, p.bottom, p.left, FRAME, buffer, pitch);
    vline(p.top, p.bottom, p.right, FRAME, buffer, pitch);
    set_clip(p.left + 3, p.right - 3, p.top + 18, p.bottom - 3);
}

void draw_lines(const Panel& p, uint8_t* b, int pitch) {
    // A fan from the middle to points far outside the panel, cut at its frame.
    for (int a = 0; a < 360; a += 5) {
        const int x = p.cx() + static_cast<int>(400 * cos_table[a]);
        const int y = p.cy() + static_cast<int>(400 * sin_table[a]);
        line_draw(p.cx(), p.cy(), x, y, hue(a / 360.0), b, pitch);
    }
    line_draw(-50, -40, 900, -10, WHITE, b, pitch);  // wholly outside: nothing
}

void draw_spans(const Panel& p, uint8_t* b, int pitch) {
    // Rows of changing width, ends given in either order, the widest cut by the frame.
    for (int y = p.top + 20; y < p.cy() + 30; y += 2) {
        const int half = static_cast<int>(120 * std::fabs(std::sin((y - p.top) / 22.0)));
        if (y % 4) {
            hline(p.cx() - half, p.cx() + half, y, hue((y - p.top) / 150.0), b, pitch);
        } else {
            hline(p.cx() + half, p.cx() - half, y, hue((y - p.top) / 150.0), b, pitch);
        }
    }
    // Columns rising from the bottom like a bar chart, 16-bit twins aside.
    for (int x = p.left + 6; x < p.right - 4; x += 3) {
        const int height = 10 + static_cast<int>(45 * (1 + std::sin(x / 9.0)));
        vline(p.bottom, p.bottom - height, x, hue((x - p.left) / 210.0), b, pitch);
    }
}

void draw_triangles(const Panel& p, uint8_t* b, int pitch) {
    const int l = p.left, t = p.top;
    triangle_fill(l + 20, t + 30, l + 190, t + 70, l + 60, t + 140, hue(0.0), b, pitch);
    triangle_fill(l - 40, t + 100, l + 90, t + 120, l + 10, t + 260, hue(0.3), b, pitch);
    triangle_fill(l + 150, t + 110, l + 260, t + 160, l + 120, t + 225, hue(0.55), b, pitch);
    triangle_fill_fixed(l + 100, t + 150, l + 170, t + 150, l + 135, t + 220, hue(0.75), b, pitch);
    triangle_fill_flat_bottom(l + 175, t + 22, l + 160, t + 60, l + 200, t + 60, WHITE, b, pitch);
    triangle_fill(l + 30, t + 200, l + 30, t + 210, l + 30, t + 230, WHITE, b, pitch);  // flat
}

void draw_polygons(const Panel& p, uint8_t* b, int pitch) {
    // A filled hexagon, a square outlined at every 15 degrees, and the fast distance ring
    // (dots) beside the true circle.
    Vertex2DF hexagon[6];
    for (int i = 0; i < 6; ++i)
        hexagon[i] = {30 * cos_table[i * 60], 30 * sin_table[i * 60]};
    Polygon2D hex{1, 6, p.cx(), p.cy(), 0, 0, hue(0.6), hexagon};
    polygon_fill(&hex, b, pitch);
    Vertex2DF square[4] = {{-45, -45}, {45, -45}, {45, 45}, {-45, 45}};
    Polygon2D sq{1, 4, p.cx(), p.cy(), 0, 0, 0, square};
    for (int k = 0; k < 6; ++k) {
        sq.color = hue(0.1 + k * 0.06);
        polygon_draw(&sq, b, pitch);
        polygon_rotate(&sq, 15);
        polygon_scale_m(&sq, 0.93f, 0.93f);
    }
    for (int dy = -100; dy <= 100; ++dy) {
        for (int dx = -100; dx <= 100; ++dx) {
            const int x = p.cx() + dx, y = p.cy() + dy;
            if (x < clip_min_x || x > clip_max_x || y < clip_min_y || y > clip_max_y)
                continue;
            if (fast_distance2d(dx, dy) == 88)
                pixel_plot(x, y, WHITE, b, pitch);
            if (std::lround(std::hypot(dx, dy)) == 92)
                pixel_plot(x, y, hue(0.95), b, pitch);
        }
    }
}

void draw_palette_and_dissolve(const Panel& p, uint8_t* b, int pitch) {
    // Twelve grey bars, dark to light, after four rotations of their entries: the four
    // lightest greys now come first.
    for (int i = 0; i < 12; ++i) {
        for (int x = 0; x < 15; ++x) {
            vline(p.top + 24, p.top + 90, p.left + 15 + i * 15 + x, GREYS + i, b, pitch);
        }
    }
    for (int k = 0; k < 4; ++k)
        palette_rotate(GREYS, GREYS + 11);
    // A block of colour, then the dissolve: about 2 % of it survives as specks.
    for (int y = p.top + 110; y <= p.bottom - 10; ++y) {
        hline(p.left + 15, p.right - 15, y, hue((y - p.top) / 240.0), b, pitch);
    }
    // The block stands in for a whole screen, so the dissolve makes 4 x its area hits.
    set_clip(p.left + 15, p.right - 15, p.top + 110, p.bottom - 10);
    screen_width = clip_max_x - clip_min_x + 1;
    screen_height = clip_max_y - clip_min_y + 1;
    screen_transition(TRANSITION_DISSOLVE, b, pitch);
    screen_width = 640;
    screen_height = 480;
}

// Rectangle fills and sheet cells, drawn through the display service before the lock.
bool draw_rects_and_cells(const Panel& p) {
    bool ok = true;
    for (int i = 0; i < 5; ++i) {
        ok = rect_fill(p.left + 15 + i * 22, p.top + 25 + i * 12, p.left + 75 + i * 22,
                       p.top + 65 + i * 12, hue(i * 0.18), back_surface) == 1 &&
             ok;
    }
    // A sheet of two 16 x 16 cells with 1-pixel borders: a ring and a cross.
    std::vector<uint8_t> sheet(35 * 18, FRAME);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const int r2 = (x - 8) * (x - 8) + (y - 8) * (y - 8);
            sheet[(y + 1) * 35 + x + 1] = r2 >= 25 && r2 <= 56 ? hue(0.15) : BACKGROUND;
            sheet[(y + 1) * 35 + x + 18] = (x / 2 == 3 || y / 2 == 3 || x == y) ? hue(0.5) : 0;
        }
    }
    BitmapFile bitmap{};
    bitmap.info_header.width = 35;
    bitmap.info_header.height = 18;
    bitmap.info_header.bit_count = 8;
    bitmap.buffer = sheet.data();
    GfxSurface* cell = display_create_surface(16, 16, 0, 0);
    if (!cell)
        return false;
    for (int c = 0; c < 2 && ok; ++c) {
        const Rect to{p.left + 20 + c * 90, p.top + 140, p.left + 84 + c * 90, p.top + 204};
        ok = surface_load_cell(cell, &bitmap, c, 0, 16, 16, 0) == 1 &&
             gfx_blit(back_surface, &to, cell, nullptr, GFX_BLT_WAIT, nullptr) == GFX_OK;
    }
    gfx_release_surface(cell);
    bitmap.buffer = nullptr;
    return ok;
}

// The display the game would have, on the headless backend.
bool display_up() {
    static const WindowClass cls = {CLASS_DBLCLKS, window_proc, "WINCLASS1", 0, 0};
    window_register_class(&cls);
    main_window = window_create("WINCLASS1", "Quellaro 2005", STYLE_POPUP, 0, 0, 640, 480);
    if (!main_window)
        return false;
    display_set_window(&main_window->rect);
    return display_init(640, 480, 8, 0) == 1;
}

// The six panels; false when a drawing call failed.
bool draw_demo() {
    trig_tables_build();
    demo_palette();
    bool ok = display_fill_surface(back_surface, BACKGROUND, nullptr) == 1;
    ok = draw_rects_and_cells(panel(4)) && ok;

    uint8_t* b = display_lock_back();
    if (!b)
        return false;
    const int pitch = back_pitch;
    void (*const families[])(const Panel&, uint8_t*, int) = {
        draw_lines, draw_spans, draw_triangles, draw_polygons, nullptr, draw_palette_and_dissolve};
    for (int i = 0; i < 6; ++i) {
        frame_and_clip(panel(i), b, pitch);
        if (families[i])
            families[i](panel(i), b, pitch);
    }
    set_clip(0, 639, 0, 479);
    ok = display_unlock_back() == 1 && ok;

    const char* titles[] = {"lines",
                            "spans",
                            "triangles",
                            "polygons + distance",
                            "rectangles + cells",
                            "rotation + dissolve"};
    for (int i = 0; i < 6; ++i) {
        ok = text_draw(titles[i], panel(i).left + 6, panel(i).top + 2, 0xFFFFFF, back_surface) ==
                 1 &&
             ok;
    }
    return ok;
}

bool write_frame(const char* path, char* why, size_t why_size) {
    const uint8_t* b = display_lock_back();
    if (!b) {
        std::snprintf(why, why_size, "the frame cannot be locked");
        return false;
    }
    const bool written =
        png_write_indexed(path, b, back_pitch, 640, 480, shadow_palette, why, why_size) == 1;
    return display_unlock_back() == 1 && written;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: primitives-demo OUT.png\n");
        return 2;
    }
    if (!display_up()) {
        std::fprintf(stderr, "primitives-demo: cannot set up the display\n");
        return 1;
    }
    if (!draw_demo())
        std::fprintf(stderr, "primitives-demo: a drawing call failed; the frame lacks it\n");
    char why[FILE_WHY_MAX] = "";
    if (!write_frame(argv[1], why, sizeof why)) {
        std::fprintf(stderr, "primitives-demo: cannot write %s: %s\n", argv[1], why);
        return 1;
    }
    return 0;
}
