// The scenery: the backdrop strip with its recycled panels, pipes and staircase blocks, and
// the hero drawn over everything, flickering while it changes form.
#pragma once

// The three backdrop panels, stretched; a panel that scrolled out is moved to the right end
// and given the next picture.
void backdrops_draw();
// Whether the panels backdrops_draw draws now cover the whole screen and hold no key pixel,
// so that nothing drawn before them can show.
bool backdrops_cover_screen();
void pipes_draw();
void blocks_draw();
// The hero, after its update and over everything; during a form change, the old and the new
// form in turn.
void hero_draw();
