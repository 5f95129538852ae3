// Where the 640 x 480 frame sits in a window of any size (aspect ratio kept, bars on two
// sides), and which frame pixel a mouse position points at. No SDL in here.
#pragma once

// The frame's rectangle inside the output, in output pixels.
struct Letterbox {
    int x, y, width, height;
    int frame_width, frame_height;
};

// How the frame fills the output: the largest whole multiple of its size (integer), the
// largest box of its aspect ratio (fit), or integer when that gives at least 2x, else fit
// (auto, the default).
enum ScaleMode : int { SCALE_AUTO, SCALE_INTEGER, SCALE_FIT };

// The largest rectangle of the frame's aspect ratio, centred in the output; width and height
// are 0 when the output is empty (a minimised window).
Letterbox letterbox_fit(int output_width, int output_height, int frame_width, int frame_height);
// The largest whole multiple of the frame that fits, centred; fit when not even 1x fits.
Letterbox letterbox_integer(int output_width, int output_height, int frame_width, int frame_height);
// The box for a scale mode.
Letterbox letterbox_for_mode(int mode, int output_width, int output_height, int frame_width,
                             int frame_height);
// The mode a toggle key switches to: the other of integer and fit from what mode shows now.
int scale_mode_toggled(int mode, int output_width, int output_height, int frame_width,
                       int frame_height);
// The frame pixel shown at output pixel (x, y), sampled at the pixel's centre as the
// nearest-neighbour scaling does; 1 and *frame_x, *frame_y set when inside the frame, 0 when
// the point lies in a bar or outside the output (nothing written).
int letterbox_to_frame(const Letterbox& box, int x, int y, int* frame_x, int* frame_y);
