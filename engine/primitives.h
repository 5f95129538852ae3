// Drawing and effect primitives: pixels, clipped lines, spans, rectangle fills, triangles,
// convex polygons with their transforms, trig tables and small matrices, fast distances,
// box overlap, sheet-cell copies, palette rotation and blinking, and screen transitions.
//
// Drawing goes into a locked pixel buffer given as a byte pointer and a pitch in bytes
// (normally back_buffer and back_pitch). 16-bit members step rows by the pitch with its
// lowest bit cleared and address pixels as 16-bit words. The clip bounds are clip_min_x,
// clip_max_x, clip_min_y, clip_max_y (inclusive). Routines that clip keep every write
// inside those bounds; the others (pixels, line rasters, polygon fill) write wherever their
// arguments point. Results are 1 unless stated.
#pragma once
#include <cstdint>

#include "engine/bitmap.h"
#include "engine/gfx.h"
#include "engine/types.h"

// One polygon vertex, relative to the polygon's position.
struct Vertex2DF {
    float x, y;
};

struct Polygon2D {
    int state;         // 0: not drawn
    int vertex_count;  // pairs in vertices
    int x0, y0;        // position added to every vertex
    int xv, yv;        // free for the caller (a velocity); never read here
    int color;         // the low byte (or word, 16-bit) is the colour
    Vertex2DF* vertices;
};

// A 3 x 2 matrix: rows 0 and 1 the linear part, row 2 the translation; [x y 1] x M.
struct Mat32 {
    float m[3][2];
};

struct Mat33 {
    float m[3][3];
};

// A row vector for vec3_mul_mat3.
struct Vec3 {
    float v[3];
};

// One blinking palette entry; state +1 on, -1 off, 0 a free slot.
struct BlinkRecord {
    int index;               // palette index it drives
    PaletteEntry color_on;   // shown while on
    PaletteEntry color_off;  // shown while off
    int on_time, off_time;   // frames in each state
    int counter;             // frames spent in the current state
    int state;
};
static_assert(sizeof(BlinkRecord) == 7 * sizeof(int), "blink record is seven ints");

constexpr int BLINK_SLOTS = 256;

enum : int {
    BLINK_ADD = 0,     // add record; returns its slot, -1 when the table is full
    BLINK_DELETE = 1,  // free slot index; 1, or -1 when it was free
    BLINK_UPDATE = 2,  // new colours and times for slot index; 1, or -1 when free
    BLINK_RUN = 3,     // once per frame: advance every used slot
};

enum : int {
    TRANSITION_FADE_BLACK = 0,
    TRANSITION_FADE_WHITE = 1,
    TRANSITION_CURTAIN_VERTICAL = 2,
    TRANSITION_CURTAIN_HORIZONTAL = 3,
    TRANSITION_DISSOLVE = 4,
    TRANSITION_CURTAIN_ALL = 5,
    TRANSITION_TINT_BLUE = 6,
    TRANSITION_TINT_RED = 7,
    TRANSITION_TINT_GREEN = 8,
};

// Pixels, unclipped.
int pixel_plot(int x, int y, int color, uint8_t* buffer, int pitch);
int pixel_plot16(int x, int y, int color, uint8_t* buffer, int pitch);

// Cuts the segment to the clip bounds: 1 with the end points moved onto them, or 0 when
// no part of it lies inside (the points are then left as they were).
int line_clip(int* x1, int* y1, int* x2, int* y2);
// Bresenham from (x1, y1) to (x2, y2) inclusive, unclipped.
int line_raster(int x1, int y1, int x2, int y2, int color, uint8_t* buffer, int pitch);
int line_raster16(int x1, int y1, int x2, int y2, int color, uint8_t* buffer, int pitch);
// Clipped line; 1 even when nothing is visible.
int line_draw(int x1, int y1, int x2, int y2, int color, uint8_t* buffer, int pitch);
int line_draw16(int x1, int y1, int x2, int y2, int color, uint8_t* buffer, int pitch);

// Clipped row x1..x2 (either order) at y, and column y1..y2 at x.
int hline(int x1, int x2, int y, int color, uint8_t* buffer, int pitch);
int hline16(int x1, int x2, int y, int color, uint8_t* buffer, int pitch);
int vline(int y1, int y2, int x, int color, uint8_t* buffer, int pitch);
int vline16(int y1, int y2, int x, int color, uint8_t* buffer, int pitch);

// Colour fill of left, top, right, bottom (right and bottom exclusive) by the display
// service; 0 when the service refuses it.
int rect_fill(int left, int top, int right, int bottom, int color, GfxSurface* surface);

// Triangle halves: flat top (x1, y1) and (x2, y2) on one row over the apex (x3, y3);
// flat bottom: apex (x1, y1) over (x2, y2) and (x3, y3) on one row. Clipped per row.
int triangle_fill_flat_top(int x1, int y1, int x2, int y2, int x3, int y3, int color,
                           uint8_t* buffer, int pitch);
int triangle_fill_flat_bottom(int x1, int y1, int x2, int y2, int x3, int y3, int color,
                              uint8_t* buffer, int pitch);
int triangle_fill_flat_top16(int x1, int y1, int x2, int y2, int x3, int y3, int color,
                             uint8_t* buffer, int pitch);
int triangle_fill_flat_bottom16(int x1, int y1, int x2, int y2, int x3, int y3, int color,
                                uint8_t* buffer, int pitch);
// Any triangle, clipped: split at the middle vertex into the two halves.
int triangle_fill(int x1, int y1, int x2, int y2, int x3, int y3, int color, uint8_t* buffer,
                  int pitch);
int triangle_fill16(int x1, int y1, int x2, int y2, int x3, int y3, int color, uint8_t* buffer,
                    int pitch);
// The same with 16.16 fixed-point edges (8-bit).
int triangle_fill_flat_top_fixed(int x1, int y1, int x2, int y2, int x3, int y3, int color,
                                 uint8_t* buffer, int pitch);
int triangle_fill_flat_bottom_fixed(int x1, int y1, int x2, int y2, int x3, int y3, int color,
                                    uint8_t* buffer, int pitch);
int triangle_fill_fixed(int x1, int y1, int x2, int y2, int x3, int y3, int color, uint8_t* buffer,
                        int pitch);

// Convex fill in the polygon's colour, unclipped; 0 for a polygon not drawn (state 0) or
// with fewer than 3 vertices.
int polygon_fill(const Polygon2D* polygon, uint8_t* buffer, int pitch);
int polygon_fill16(const Polygon2D* polygon, uint8_t* buffer, int pitch);
// Closed outline of clipped lines; 0 for a polygon not drawn (state 0).
int polygon_draw(const Polygon2D* polygon, uint8_t* buffer, int pitch);
int polygon_draw16(const Polygon2D* polygon, uint8_t* buffer, int pitch);
// Bounding box of the vertices, relative to the position and always holding (0, 0); 0 (and
// an empty box at the origin) for a polygon without vertices.
int polygon_bounds(const Polygon2D* polygon, float* min_x, float* max_x, float* min_y,
                   float* max_y);

// Transforms: the position moves; rotation (whole degrees, negatives from 360 down) and
// scaling act on the vertices about the position.
int polygon_translate(Polygon2D* polygon, int dx, int dy);
int polygon_rotate(Polygon2D* polygon, int degrees);
int polygon_scale(Polygon2D* polygon, float sx, float sy);
int polygon_translate_m(Polygon2D* polygon, int dx, int dy);
int polygon_rotate_m(Polygon2D* polygon, int degrees);
int polygon_scale_m(Polygon2D* polygon, float sx, float sy);

// cos and sin of whole degrees 0..360; filled by trig_tables_build (the rotations build
// them on first use when nobody has).
extern float cos_table[361];  // cos of 0..360 degrees
extern float sin_table[361];  // sin of 0..360 degrees
int trig_tables_build();
// Distance estimates, within a few percent; magnitudes too large for the fixed-point
// working range saturate.
int fast_distance2d(int dx, int dy);
float fast_distance3d(float dx, float dy, float dz);
int mat32_init(Mat32* m, float m00, float m01, float m10, float m11, float m20, float m21);
// out = [p.x p.y 1] x m; out may be p.
int point_mul_mat32(const Vertex2DF* p, const Mat32* m, Vertex2DF* out);
// product = a x b; product may be a or b.
int mat3_mul(const Mat33* a, const Mat33* b, Mat33* product);
// out = v x m; out may be v.
int vec3_mul_mat3(const Vec3* v, const Mat33* m, Vec3* out);

// Overlap of two boxes given as top-left corner and size, each covering the half-open
// pixel ranges [x, x + width) x [y, y + height): 1 when they share at least one pixel, so
// boxes that only touch along an edge do not overlap, and a box of zero or negative width
// or height overlaps nothing.
int box_overlap(int x1, int y1, int width1, int height1, int x2, int y2, int width2, int height2);
// Copies a width x height cell of a loaded sheet into the top-left of surface, the way a
// sprite frame is loaded: mode CUT_CELLS takes cx, cy as cell numbers of a grid of width x
// height cells with 1-pixel borders, any other mode as pixel coordinates. The bitmap's depth must
// match the surface's. 0 when the surface cannot be locked or the cell does not fit in the
// sheet or the surface.
int surface_load_cell(GfxSurface* surface, const BitmapFile* bitmap, int cx, int cy, int width,
                      int height, int mode);

// Rotates display palette entries first..last up by one (last wraps to first), then reads
// the whole palette back into shadow_palette. 0 for a range outside 0..255 or no palette.
int palette_rotate(int first, int last);
// Blinking palette entries, by command (BLINK_*); the table is cleared on the first call.
int palette_blink(int command, const BlinkRecord* record, int index);

// One of the nine full-screen effects (TRANSITION_*), on the display's depth; 0 for an
// unknown effect. Palette effects wait 12 ms per step, curtains 12 ms before each step.
// Curtains and the dissolve draw only inside the clip bounds; the dissolve's positions come
// from a fixed-seed generator, so every dissolve gives the same picture.
int screen_transition(int effect, uint8_t* buffer, int pitch);
