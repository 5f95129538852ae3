// Small text parsers of the SDL backend: the windowed-size variable and the cursor's
// hot-spot file. No SDL in here.
#pragma once

// Reads "WxH" (for example "1280x960"; 'X' also accepted). 1 and *width, *height set when
// both are whole numbers from 1 to 8192 (larger than any display) and nothing
// follows; 0 otherwise (nothing written).
int parse_window_size(const char* text, int* width, int* height);
// Reads the hot spot "x y" of a cursor of the given size. 1 and *x, *y set when both lie
// inside the cursor; 0 otherwise (nothing written).
int parse_hotspot(const char* text, int cursor_width, int cursor_height, int* x, int* y);
