// The scenery: the backdrop strip with its recycled panels, pipes and staircase blocks, and
// the hero drawn over everything, flickering while it changes form.
#pragma once
#include "world/level.h"

// The picture each panel's frame holds now (0: none): what was read into it, while
// backdrop_picture says what it should show.
extern int backdrop_panel_holds[BACKDROP_COUNT];

// The three backdrop panels, stretched; a panel that scrolled out is moved to the right end
// and given the next picture.
void backdrops_draw();
// Gives a panel picture n ("dorvoN.bmp") in place of what it shows; 1, or 0 (the panel as it
// was) when the picture cannot be read or does not fit.
int backdrop_give_picture(int panel, int n);
// Gives every panel the picture backdrop_picture names (after a restore), reading only those
// it does not hold already. A picture that cannot be read leaves its panel as it was.
void backdrops_show_pictures();
// Whether the panels backdrops_draw draws now cover the whole screen and hold no key pixel,
// so that nothing drawn before them can show.
bool backdrops_cover_screen();
void pipes_draw();
void blocks_draw();
// The hero, after its update and over everything; during a form change, the old and the new
// form in turn.
void hero_draw();
