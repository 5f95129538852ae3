// The run's panels over the finished frame: the timer (the run's time, its splits and each
// one's difference to the best's, green when ahead or level, red when behind) and the
// results card after a win or a death. Like the practice note, drawn as the frame is shown,
// never into the game's frame. Pixels are 32-bit with the top byte alpha or unused; red and
// blue sit where the program says (ARGB on the desktop unless told otherwise).
#pragma once
#include <cstdint>

#include "programs/common/personal_best.h"
#include "programs/common/run_timer.h"

// What the results card tells.
struct RunCard {
    int outcome;  // OUTCOME_WON or OUTCOME_DIED
    int passes;
    int score, coins;
    int percent;  // how far through the level
    int beaten;   // BEAT_* bits
    bool practised;
    int kept;  // 1: the run was kept; 0: it could not be written; -1: runs are not kept here
    const char* again_key;  // the names of the keys to press: a new game, and the title
    const char* title_key;
};

// Red in the pixels' lowest byte (the canvas's RGBA in memory) rather than the third.
void run_overlay_red_low(bool low);
// The timer's panel at the frame's right, under the HUD.
void run_overlay_timer(uint32_t* pixels, int pitch, int width, int height, const RunTimer& timer,
                       const PersonalBest& best);
void run_overlay_card(uint32_t* pixels, int pitch, int width, int height, const RunCard& card);
// A number for each look of the timer and the card (0: neither), for "did it change".
int run_overlay_look(const RunTimer* timer, const RunCard* card);
