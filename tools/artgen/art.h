// Every picture of the game, made from the maps and scenery code of the art generator.
#pragma once
#include <vector>

#include "tools/artgen/canvas.h"

// Sprite frames in the order the loader numbers them.
std::vector<Canvas> hero_small_frames();  // 11 frames of 24 x 32
std::vector<Canvas> hero_large_frames();  // 10 frames of 24 x 64
std::vector<Canvas> qblock_frames();      // 4 frames of 32 x 32: three shimmers, used
Canvas brick_frame();                     // 32 x 32
std::vector<Canvas> brick_frag_frames();  // 2 frames of 16 x 16
Canvas power_up_frame();                  // 32 x 32
std::vector<Canvas> skivit_frames();      // 3 frames of 32 x 32: two walking, squashed
std::vector<Canvas> coin_frames();        // 4 frames of 16 x 28
Canvas pipe_top_frame();                  // 64 x 32
Canvas pipe_body_frame();                 // 64 x 32, tiles vertically under the top
Canvas stair_block_frame();               // 32 x 32

// The whole backdrop strip at picture scale: 13 panels of 256 x 224 side by side.
Canvas backdrop_strip();
// Panel k (1..13) of the strip.
Canvas backdrop_panel(const Canvas& strip, int k);

// Icons and cursor, colour key 253. Icons: 16 (the face), 32 (the hero's head), and whole
// multiples of 16 above 32 (the face scaled up).
Canvas icon_picture(int size);
Canvas cursor_picture();
void cursor_hotspot(int* x, int* y);

// Menu pictures: menubackground1..4 (highlight 0..3) and the two information screens.
Canvas menu_picture(int highlight);
Canvas info_picture(int which);  // 1 how to play, 2 about
