// The desktop's side of the menus over the held game: what the options change (the window,
// scaling, sound, key bindings, all kept in the settings), the keys, pad buttons and clicks
// the SDL backend hands a menu, and the pause that opens one.
#pragma once
#include <cstdint>

#include "platform/sdl/keymap.h"
#include "platform/sdl/sdl_program.h"
#include "programs/common/pause_menu.h"

extern const MenuHost desktop_menu_host;
extern const SdlMenu desktop_menu_input;

// The colour filter and the game speed kept in the settings, in force from the first frame.
void desktop_menu_start();
// Frame advance was asked for: the pause it brings shows no menu.
void desktop_menu_advance_asked();
