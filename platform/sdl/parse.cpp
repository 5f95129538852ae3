// Parsers for the QUELLARO_WINDOWED variable and the cursor hot-spot file.
#include "platform/sdl/parse.h"

namespace {

// Wider or taller than any display made (8K is 7680 x 4320): a window this large would only
// cost memory and time before the window manager cut it down.
constexpr int MAX_WINDOW_SIDE = 8192;

// Reads a whole number of at most 5 digits; advances *text past it. -1 when none is there.
int read_number(const char** text) {
    const char* p = *text;
    int value = 0, digits = 0;
    while (*p >= '0' && *p <= '9') {
        if (++digits > 5) {
            return -1;
        }
        value = value * 10 + (*p - '0');
        p++;
    }
    if (digits == 0) {
        return -1;
    }
    *text = p;
    return value;
}

void skip_blanks(const char** text) {
    while (**text == ' ' || **text == '\t' || **text == '\r' || **text == '\n') {
        (*text)++;
    }
}

}  // namespace

int parse_window_size(const char* text, int* width, int* height) {
    if (text == nullptr) {
        return 0;
    }
    int w = read_number(&text);
    if (w < 1 || w > MAX_WINDOW_SIDE || (*text != 'x' && *text != 'X')) {
        return 0;
    }
    text++;
    int h = read_number(&text);
    if (h < 1 || h > MAX_WINDOW_SIDE || *text != '\0') {
        return 0;
    }
    *width = w;
    *height = h;
    return 1;
}

int parse_hotspot(const char* text, int cursor_width, int cursor_height, int* x, int* y) {
    if (text == nullptr) {
        return 0;
    }
    skip_blanks(&text);
    int hx = read_number(&text);
    if (hx < 0 || (*text != ' ' && *text != '\t')) {
        return 0;
    }
    skip_blanks(&text);
    int hy = read_number(&text);
    if (hy < 0) {
        return 0;
    }
    skip_blanks(&text);
    if (*text != '\0' || hx >= cursor_width || hy >= cursor_height) {
        return 0;
    }
    *x = hx;
    *y = hy;
    return 1;
}
