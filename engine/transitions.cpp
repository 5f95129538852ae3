// Full-screen transitions: palette fades and tints, curtains closing from the edges, and a
// dissolve to colour 0.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "engine/bitmap.h"
#include "engine/clock.h"
#include "engine/display.h"
#include "engine/primitives.h"

namespace {

constexpr uint32_t STEP_MS = 12;

uint8_t lose(uint8_t c, int amount) {
    return static_cast<uint8_t>(std::max(c - amount, 0));
}
uint8_t gain(uint8_t c, int amount) {
    return static_cast<uint8_t>(std::min(c + amount, 255));
}

void wait_step() {
    clock_start();
    clock_wait(STEP_MS);
}

// Runs `steps` rounds of: read the palette, change entries first..255, write it, wait.
template <typename Change>
void palette_steps(int steps, int first, Change change) {
    PaletteEntry work[256];
    for (int step = 0; step < steps; ++step) {
        palette_get_all(work);
        for (int i = first; i < 256; ++i)
            change(work[i]);
        palette_set_all(work);
        wait_step();
    }
}

// Spans of the display's depth.
struct Spans {
    int (*row)(int, int, int, int, uint8_t*, int);
    int (*column)(int, int, int, int, uint8_t*, int);
};

Spans display_spans() {
    if (screen_bpp == 16)
        return {hline16, vline16};
    return {hline, vline};
}

void close_columns(const Spans& spans, int p, uint8_t* buffer, int pitch) {
    const int bottom = screen_height - 1;
    for (int x : {p, p + 1, screen_width - 1 - p, screen_width - 2 - p}) {
        spans.column(0, bottom, x, 0, buffer, pitch);
    }
}

void close_rows(const Spans& spans, int p, uint8_t* buffer, int pitch) {
    const int right = screen_width - 1;
    for (int y : {p, p + 1, screen_height - 1 - p, screen_height - 2 - p}) {
        spans.row(0, right, y, 0, buffer, pitch);
    }
}

// A small deterministic generator (32-bit linear congruential, upper bits used), seeded
// afresh by every dissolve so the same call gives the same picture.
struct Dissolver {
    uint32_t state = 0x2005u;
    uint32_t next(uint32_t range) {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) % range;
    }
};

// Sets 4 x width x height + 1 pixels to colour 0 at random positions inside the clip bounds,
// which the caller keeps inside the buffer.
void dissolve(uint8_t* buffer, int pitch) {
    if (clip_max_x < clip_min_x || clip_max_y < clip_min_y)
        return;
    const uint32_t columns = static_cast<uint32_t>(clip_max_x - clip_min_x) + 1;
    const uint32_t rows = static_cast<uint32_t>(clip_max_y - clip_min_y) + 1;
    const long long count = 4LL * screen_width * screen_height + 1;
    const bool words = screen_bpp == 16;
    Dissolver random;
    for (long long i = 0; i < count; ++i) {
        const int x = clip_min_x + static_cast<int>(random.next(columns));
        const int y = clip_min_y + static_cast<int>(random.next(rows));
        if (words) {
            pixel_plot16(x, y, 0, buffer, pitch);
        } else {
            pixel_plot(x, y, 0, buffer, pitch);
        }
    }
}

// The fades and tints: each a number of palette steps over the entries from a first one.
bool palette_effect(int effect) {
    using Channel = uint8_t PaletteEntry::*;
    static constexpr Channel channels[] = {&PaletteEntry::red, &PaletteEntry::green,
                                           &PaletteEntry::blue};
    // A tint step: one component up by 6, the other two down by 4.
    auto tint = [](Channel up) {
        palette_steps(64, 0, [up](PaletteEntry& e) {
            for (Channel c : channels)
                e.*c = c == up ? gain(e.*c, 6) : lose(e.*c, 4);
        });
    };
    switch (effect) {
        case TRANSITION_FADE_BLACK:
            // Entry 0 stays as it is.
            palette_steps(80, 1, [](PaletteEntry& e) {
                for (Channel c : channels)
                    e.*c = e.*c > 4 ? e.*c - 3 : 0;
            });
            return true;
        case TRANSITION_FADE_WHITE:
            palette_steps(64, 0, [](PaletteEntry& e) {
                for (Channel c : channels)
                    e.*c = gain(e.*c, 4);
            });
            return true;
        case TRANSITION_TINT_BLUE:
            tint(&PaletteEntry::blue);
            return true;
        case TRANSITION_TINT_RED:
            tint(&PaletteEntry::red);
            return true;
        case TRANSITION_TINT_GREEN:
            tint(&PaletteEntry::green);
            return true;
        default:
            return false;
    }
}

// The curtains and the dissolve, drawn into the buffer.
bool drawn_effect(int effect, uint8_t* buffer, int pitch) {
    const Spans spans = display_spans();
    switch (effect) {
        case TRANSITION_CURTAIN_VERTICAL:
            for (int p = 0; p < screen_width / 2; p += 2) {
                wait_step();
                close_columns(spans, p, buffer, pitch);
            }
            return true;
        case TRANSITION_CURTAIN_HORIZONTAL:
            for (int p = 0; p < screen_height / 2; p += 2) {
                wait_step();
                close_rows(spans, p, buffer, pitch);
            }
            return true;
        case TRANSITION_DISSOLVE:
            dissolve(buffer, pitch);
            return true;
        case TRANSITION_CURTAIN_ALL:
            for (int p = 0; p < screen_width / 2; p += 2) {
                wait_step();
                close_columns(spans, p, buffer, pitch);
                // Rows close at the pace of the columns and start over once they meet.
                if (screen_height / 2 > 0)
                    close_rows(spans, p % (screen_height / 2), buffer, pitch);
            }
            return true;
        default:
            return false;
    }
}

}  // namespace

int screen_transition(int effect, uint8_t* buffer, int pitch) {
    return palette_effect(effect) || drawn_effect(effect, buffer, pitch) ? 1 : 0;
}
