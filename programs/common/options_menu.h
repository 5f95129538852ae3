// The option pages of the menus: Options (Video, Sound, Controls, the game's speed), Video
// (full screen or window, scaling, colours), Sound (effects, music, on or off) and Controls
// (every action with its keys and pad button). Values come from the program's host and the
// filters and speed modules; a change is the host's to apply and keep at once.
#pragma once
#include "programs/common/pause_menu.h"
#include "programs/common/pause_menu_layout.h"

// The entries of an option page, with their values now.
void options_menu_entries(const MenuHost* host, int page, MenuEntries* out);
// Takes (MENU_ACCEPT) or changes (MENU_LEFT, MENU_RIGHT) an option entry.
void options_menu_act(const MenuHost* host, int item, int input);
// Whether the entry has a value Left and Right change.
int options_menu_has_value(int item);
