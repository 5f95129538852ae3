// The frame's placement in the page, by the desktop's letterbox arithmetic.
#include "platform/web/layout.h"

#include <cstring>

#include "platform/sdl/letterbox.h"

namespace {

constexpr int FRAME_WIDTH = 640;
constexpr int FRAME_HEIGHT = 480;
constexpr const char* NAMES[WEB_SCALE_MODES] = {"auto", "integer", "fit", "sharp"};

WebPlacement from_box(const Letterbox& box, int sharp) {
    WebPlacement placement = {box.x, box.y, box.width, box.height, sharp, 1};
    if (sharp) {
        // The smallest whole step at least as large as the box: the smooth pass then only
        // ever shrinks, by less than a step, and no column can come out twice another's width.
        placement.prescale = (box.width + FRAME_WIDTH - 1) / FRAME_WIDTH;
        placement.prescale = placement.prescale < 1 ? 1 : placement.prescale;
    }
    return placement;
}

}  // namespace

const char* web_scale_mode_name(int mode) {
    return mode >= 0 && mode < WEB_SCALE_MODES ? NAMES[mode] : nullptr;
}

int web_scale_mode_from_name(const char* name) {
    for (int mode = 0; name != nullptr && mode < WEB_SCALE_MODES; mode++) {
        if (std::strcmp(name, NAMES[mode]) == 0) {
            return mode;
        }
    }
    return -1;
}

WebPlacement web_place(int mode, int area_width, int area_height) {
    if (area_width <= 0 || area_height <= 0) {
        return WebPlacement{0, 0, 0, 0, 0, 1};
    }
    const Letterbox fit = letterbox_fit(area_width, area_height, FRAME_WIDTH, FRAME_HEIGHT);
    const Letterbox whole = letterbox_integer(area_width, area_height, FRAME_WIDTH, FRAME_HEIGHT);
    const int steps = whole.width / FRAME_WIDTH;
    const bool fits_once = whole.width >= FRAME_WIDTH && whole.height >= FRAME_HEIGHT;
    switch (mode) {
        case WEB_SCALE_INTEGER:
            return fits_once ? from_box(whole, 0) : from_box(fit, 1);
        case WEB_SCALE_FIT:
            return from_box(fit, 0);
        case WEB_SCALE_SHARP:
            return from_box(fit, 1);
        default:
            return fits_once && steps >= 2 ? from_box(whole, 0) : from_box(fit, 1);
    }
}
