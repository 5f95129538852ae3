// The browser's side of the menus over the held game: the sound's levels, the practice keys'
// names, and the keys, presses and pad buttons the page hands a menu.
#pragma once
#include "platform/web/web_program.h"
#include "programs/common/pause_menu.h"

extern const MenuHost web_menu_host;
extern const WebMenu web_menu_input;
// Frame advance was asked for: the pause it brings shows no menu.
void web_menu_advance_asked();
// The colour filter and the game speed kept in the page's settings, in force; after the
// settings are read.
void web_menu_start();
