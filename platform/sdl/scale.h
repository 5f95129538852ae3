// The processor's present: the frame converted and scaled in one pass into a 32-bit window
// surface, with exactly the nearest-neighbour mapping of letterbox_to_frame (each output
// pixel shows the frame pixel under its centre). No SDL in here.
#pragma once
#include <cstdint>

#include "platform/sdl/letterbox.h"
#include "platform/sdl/pixels.h"

constexpr int SCALE_MAX_SIDE = 16384;

// The source column and row of every output column and row of the box, and the row being
// written, converted once before it is spread over the output.
struct ScaleMap {
    Letterbox box;
    int spans;  // 1 when enlarging: every 8 output columns show at most 8 frame columns
    int32_t columns[SCALE_MAX_SIDE];
    int32_t rows[SCALE_MAX_SIDE];
    // Enlarged: each output column's frame column less that of the first column of its 8.
    int32_t offsets[SCALE_MAX_SIDE];
    // The frame row in 32 bits, and room for reading 8 columns past its end.
    uint32_t row[SCALE_MAX_SIDE + 8];
};

// A band of output rows, in output pixels.
struct ScaleRect {
    int x, y, width, height;
};

// Builds the map for a box (sides above SCALE_MAX_SIDE are cut to it).
void scale_map_build(ScaleMap* map, const Letterbox& box);
// Writes the box of the output from an 8-bit frame through a colour table; output is the
// surface's top-left pixel, output_pitch in bytes. With changed (a flag for each frame row),
// only the output rows showing a changed frame row are written: the others still hold what
// they showed.
void scale_frame_8(ScaleMap* map, const uint8_t* frame, int frame_pitch, const ColourTable& table,
                   uint8_t* output, int output_pitch, const uint8_t* changed = nullptr);
// The bands of output rows that show changed frame rows, top to bottom, at most max of them
// (more are joined into one band from the first to the last); returns how many.
int scale_changed_bands(const ScaleMap* map, const uint8_t* changed, ScaleRect* bands, int max);
// The same from a frame already in the output's 32-bit format (pitch in pixels).
void scale_frame_32(ScaleMap* map, const uint32_t* frame, int frame_pitch, uint8_t* output,
                    int output_pitch);
// Fills everything of a width x height output outside the box with one colour (the bars).
void scale_fill_bars(const Letterbox& box, int width, int height, uint32_t colour, uint8_t* output,
                     int output_pitch);
