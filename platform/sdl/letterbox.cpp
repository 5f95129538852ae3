// Letterbox placement of the frame and the mapping of mouse positions back to frame pixels.
#include "platform/sdl/letterbox.h"

#include <cstdint>

Letterbox letterbox_fit(int output_width, int output_height, int frame_width, int frame_height) {
    Letterbox box = {0, 0, 0, 0, frame_width, frame_height};
    if (output_width <= 0 || output_height <= 0 || frame_width <= 0 || frame_height <= 0) {
        return box;
    }
    // Compare the aspect ratios without division: wider than the frame gives bars left and
    // right, taller gives bars above and below. Sizes round down so the frame never spills.
    int64_t ow = output_width, oh = output_height;
    if (ow * frame_height >= oh * frame_width) {
        box.height = output_height;
        box.width = static_cast<int>(oh * frame_width / frame_height);
    } else {
        box.width = output_width;
        box.height = static_cast<int>(ow * frame_height / frame_width);
    }
    if (box.width < 1) {
        box.width = 1;
    }
    if (box.height < 1) {
        box.height = 1;
    }
    box.x = (output_width - box.width) / 2;
    box.y = (output_height - box.height) / 2;
    return box;
}

namespace {

// Whole multiples of the frame that fit the output; 0 when none does.
int whole_scale(int output_width, int output_height, int frame_width, int frame_height) {
    if (output_width <= 0 || output_height <= 0 || frame_width <= 0 || frame_height <= 0) {
        return 0;
    }
    int across = output_width / frame_width;
    int down = output_height / frame_height;
    return across < down ? across : down;
}

}  // namespace

Letterbox letterbox_integer(int output_width, int output_height, int frame_width,
                            int frame_height) {
    int scale = whole_scale(output_width, output_height, frame_width, frame_height);
    if (scale < 1) {
        return letterbox_fit(output_width, output_height, frame_width, frame_height);
    }
    Letterbox box = {0, 0, frame_width * scale, frame_height * scale, frame_width, frame_height};
    box.x = (output_width - box.width) / 2;
    box.y = (output_height - box.height) / 2;
    return box;
}

Letterbox letterbox_for_mode(int mode, int output_width, int output_height, int frame_width,
                             int frame_height) {
    if (mode == SCALE_INTEGER ||
        (mode == SCALE_AUTO &&
         whole_scale(output_width, output_height, frame_width, frame_height) >= 2)) {
        return letterbox_integer(output_width, output_height, frame_width, frame_height);
    }
    return letterbox_fit(output_width, output_height, frame_width, frame_height);
}

int scale_mode_toggled(int mode, int output_width, int output_height, int frame_width,
                       int frame_height) {
    if (mode == SCALE_AUTO) {
        bool integer = whole_scale(output_width, output_height, frame_width, frame_height) >= 2;
        return integer ? SCALE_FIT : SCALE_INTEGER;
    }
    return mode == SCALE_INTEGER ? SCALE_FIT : SCALE_INTEGER;
}

int letterbox_to_frame(const Letterbox& box, int x, int y, int* frame_x, int* frame_y) {
    if (box.width <= 0 || box.height <= 0) {
        return 0;
    }
    int64_t dx = static_cast<int64_t>(x) - box.x;
    int64_t dy = static_cast<int64_t>(y) - box.y;
    if (dx < 0 || dy < 0 || dx >= box.width || dy >= box.height) {
        return 0;
    }
    // Centre of the output pixel, scaled into the frame, rounded down.
    *frame_x = static_cast<int>((2 * dx + 1) * box.frame_width / (2 * int64_t{box.width}));
    *frame_y = static_cast<int>((2 * dy + 1) * box.frame_height / (2 * int64_t{box.height}));
    return 1;
}
