// The standard layout's buttons as the desktop's PadButton bits.
#include "platform/web/gamepad.h"

#include <cmath>

namespace {

constexpr struct {
    int index;
    uint32_t button;
} BUTTONS[] = {
    {WEB_PAD_SOUTH, PAD_SOUTH},
    {WEB_PAD_EAST, PAD_EAST},
    {WEB_PAD_WEST, PAD_WEST},
    {WEB_PAD_NORTH, PAD_NORTH},
    {WEB_PAD_LEFT_SHOULDER, PAD_LEFT_SHOULDER},
    {WEB_PAD_RIGHT_SHOULDER, PAD_RIGHT_SHOULDER},
    {WEB_PAD_BACK, PAD_BACK},
    {WEB_PAD_START, PAD_START},
    {WEB_PAD_DPAD_UP, PAD_UP},
    {WEB_PAD_DPAD_DOWN, PAD_DOWN},
    {WEB_PAD_DPAD_LEFT, PAD_LEFT},
    {WEB_PAD_DPAD_RIGHT, PAD_RIGHT},
};

// The browser's -1..1 as the desktop's stick travel; out-of-range reports are held to it.
int travel(double v) {
    if (std::isnan(v))
        return 0;
    v = v < -1 ? -1 : v > 1 ? 1 : v;
    return static_cast<int>(std::lround(v * 32767));
}

}  // namespace

void web_pad_add(const WebPadState& pad, PadState* all) {
    for (const auto& row : BUTTONS) {
        if (pad.buttons[row.index])
            all->buttons |= row.button;
    }
    // The pad pushed furthest decides, as on the desktop.
    const int x = travel(pad.stick_x), y = travel(pad.stick_y);
    if (x * x + y * y > all->stick_x * all->stick_x + all->stick_y * all->stick_y) {
        all->stick_x = x;
        all->stick_y = y;
    }
}
