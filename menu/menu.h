// The title menu and the two information screens: six full-screen pictures.
#pragma once

// Loads the six pictures; the information pictures set the display palette, the last one
// for the whole game. 1 when every picture was read, else 0 (the picture loader names the
// first one refused).
int load_menu_images();
// Draws the page the game mode calls for into the locked back surface; in the quit mode it
// asks the frame loop to end.
void menu_draw();
// Frees the six pictures.
void destroy_menu_images();
