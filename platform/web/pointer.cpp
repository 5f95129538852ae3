// Pointer positions to frame pixels.
#include "platform/web/pointer.h"

#include <cmath>

int frame_pixel_at(double pos, double size, int frame_size) {
    if (!(size > 0.0) || !(pos >= 0.0) || pos >= size || frame_size <= 0) {
        return -1;
    }
    const int pixel = static_cast<int>(std::floor(pos * frame_size / size));
    // pos just under size may round up to frame_size.
    return pixel < frame_size ? pixel : frame_size - 1;
}
