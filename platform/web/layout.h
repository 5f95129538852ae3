// Where the 640 x 480 frame goes in the page's screen area and how it is scaled there, in
// device pixels. No Emscripten in here, so the tests can link it.
#pragma once

// How the player wants the frame scaled: auto (whole multiples when they give 2x or more,
// else sharp), integer (the largest whole multiple: every pixel a square of the same size),
// fit (as large as fits, nearest neighbour: some columns a device pixel wider than others),
// sharp (as large as fits, enlarged by a whole step and then smoothly down to the size, so
// that every column is as wide as the others).
enum WebScaleMode : int {
    WEB_SCALE_AUTO,
    WEB_SCALE_INTEGER,
    WEB_SCALE_FIT,
    WEB_SCALE_SHARP,
    WEB_SCALE_MODES
};
// The mode's name as the page's storage and an options page give it ("sharp"); null for a
// number that is no mode. The mode of a name; -1 when none has it.
const char* web_scale_mode_name(int mode);
int web_scale_mode_from_name(const char* name);

// The frame's box in the area, and its filter: nearest neighbour, or sharp with the whole
// step it is first enlarged by (prescale, at least 1).
struct WebPlacement {
    int x, y, width, height;
    int sharp;
    int prescale;
};
// The placement for a mode in an area of the given size; an empty box for an empty area.
// Integer that cannot show even the frame's own size is sharp, since dropping whole columns
// would lose some of the picture.
WebPlacement web_place(int mode, int area_width, int area_height);
