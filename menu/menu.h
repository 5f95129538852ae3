// The title menu and the two information screens: six full-screen pictures.
#pragma once
#include "engine/image.h"

constexpr int MENU_IMAGE_COUNT = 4;
constexpr int INFO_IMAGE_COUNT = 2;

// Entry i shows the menu with entry i highlighted ("menubackground%d.bmp", i + 1).
extern BitmapImage menu_images[MENU_IMAGE_COUNT];
// Information screens 1 and 2 ("option%d.bmp", 2 and 3).
extern BitmapImage info_images[INFO_IMAGE_COUNT];

// Loads the six pictures; the information pictures set the display palette, the last one
// for the whole game. 1 when every picture was read, else 0 (the picture loader names the
// first one refused).
int load_menu_images();
// Draws the page the game mode calls for into the locked back surface; in the quit mode it
// asks the frame loop to end.
void menu_draw();
// Frees the six pictures.
void destroy_menu_images();
