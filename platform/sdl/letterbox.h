// Where the 640 x 480 frame sits in a window of any size (aspect ratio kept, bars on two
// sides), and which frame pixel a mouse position points at. No SDL in here.
#pragma once

// The frame's rectangle inside the output, in output pixels.
struct Letterbox {
    int x, y, width, height;
    int frame_width, frame_height;
};

// The largest rectangle of the frame's aspect ratio, centred in the output; width and height
// are 0 when the output is empty (a minimised window).
Letterbox letterbox_fit(int output_width, int output_height, int frame_width, int frame_height);
// The frame pixel shown at output pixel (x, y), sampled at the pixel's centre as the
// nearest-neighbour scaling does; 1 and *frame_x, *frame_y set when inside the frame, 0 when
// the point lies in a bar or outside the output (nothing written).
int letterbox_to_frame(const Letterbox& box, int x, int y, int* frame_x, int* frame_y);
