// Colour filters for players who see colours differently, applied to the 256 palette colours
// as a frame is shown (never to the game's frame): one for red-green (protan and deutan)
// vision, one for blue-yellow (tritan) vision, and a high-contrast one. Each sets the scenery
// apart by lightness (a lighter backdrop, darker ground and blocks, the darkest pits), which
// every eye keeps, and daltonises the figures: what a simulated eye loses of a colour is
// moved into the channels it still tells apart. The simulation (Machado, Oliveira and Fernandes
// 2009, full severity) and the contrast measure (WCAG's relative luminance) are here too, for
// checking the filters.
#pragma once
#include "platform/types.h"

enum ColourFilter : int {
    FILTER_NONE,
    FILTER_RED_GREEN,
    FILTER_BLUE_YELLOW,
    FILTER_HIGH_CONTRAST,
    FILTER_COUNT
};
enum Vision : int { VISION_TYPICAL, VISION_PROTAN, VISION_DEUTAN, VISION_TRITAN, VISION_COUNT };

// The filter's name on the options page ("Red-green").
const char* filter_name(int filter);
// The palette's first count entries (from index 0, since the index says what an entry
// paints) through the filter; in and out may be the same; flags are kept.
void filter_colours(int filter, const PaletteEntry* in, PaletteEntry* out, int count);
// The filter the player chose (kept by the program), and the choice.
int filter_current();
void filter_choose(int filter);

// The colour as an eye of that vision sees it.
PaletteEntry vision_simulate(int vision, PaletteEntry colour);
// WCAG relative luminance (0 to 1), and the contrast ratio of two luminances (1 to 21).
double relative_luminance(PaletteEntry colour);
double contrast_ratio(double a, double b);
