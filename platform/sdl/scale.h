// The processor's present: the frame converted and scaled in one pass into a 32-bit window
// surface, with exactly the nearest-neighbour mapping of letterbox_to_frame (each output
// pixel shows the frame pixel under its centre). No SDL in here.
#pragma once
#include <cstdint>

#include "platform/sdl/letterbox.h"

constexpr int SCALE_MAX_SIDE = 16384;

// The source column and row of every output column and row of the box.
struct ScaleMap {
    Letterbox box;
    int whole;  // k when the box is exactly k times the frame, else 0
    int spans;  // 1 when every frame column shows in at least one output column
    int32_t columns[SCALE_MAX_SIDE];
    int32_t rows[SCALE_MAX_SIDE];
    // Enlarged: how many output columns each frame column fills, left to right.
    uint8_t widths[SCALE_MAX_SIDE];
};

// Builds the map for a box (sides above SCALE_MAX_SIDE are cut to it).
void scale_map_build(ScaleMap* map, const Letterbox& box);
// Writes the box of the output from an 8-bit frame through a 256-entry colour table; output
// is the surface's top-left pixel, output_pitch in bytes.
void scale_frame_8(const ScaleMap* map, const uint8_t* frame, int frame_pitch,
                   const uint32_t* table, uint8_t* output, int output_pitch);
// The same from a frame already in the output's 32-bit format (pitch in pixels).
void scale_frame_32(const ScaleMap* map, const uint32_t* frame, int frame_pitch, uint8_t* output,
                    int output_pitch);
// Fills everything of a width x height output outside the box with one colour (the bars).
void scale_fill_bars(const Letterbox& box, int width, int height, uint32_t colour, uint8_t* output,
                     int output_pitch);
