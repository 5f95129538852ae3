// Scrolling: once the hero passes x 213 the whole world moves left instead of the hero.
#pragma once

// The last step of the hero's frame: shifts every object by the hero's step past the line.
void scroll_world();
