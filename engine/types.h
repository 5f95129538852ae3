// Plain records shared across the engine: rectangles, and the palette entry the platform
// presents frames with.
#pragma once
#include "platform/types.h"

// A rectangle of pixels; right and bottom are exclusive.
struct Rect {
    int left, top, right, bottom;
};
