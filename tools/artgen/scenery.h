// Where the level's features fall on the backdrop strip (picture pixels), worked out from the
// display service's stretch mapping so that they land exactly on the screen.
#pragma once

constexpr int STRIP_PANELS = 13;
constexpr int PANEL_W = 256, PANEL_H = 224;
constexpr int GROUND_ROW = 200;  // first ground row of a panel: screen row 430 samples it

// The strip column that level x (screen pixels from the level's left end) samples.
int strip_column(int level_x);

// The pits, in level x, inclusive.
struct PitRange {
    int first, last;
};
extern const PitRange pit_ranges[3];
