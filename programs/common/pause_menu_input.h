// The menus' input as both programs wire it: whether a menu shows, the pause's start and end
// (with frame advance asked for), a key or pad button waiting to be bound, and the pad's
// buttons on the menu's pages.
#pragma once
#include <cstdint>

#include "platform/sdl/keymap.h"
#include "platform/sdl/pad_bindings.h"

// A menu page shows, or frame advance holds the game.
int pause_menu_shown();
// Frame advance was asked for: the pause it begins steps instead of showing the menu.
void pause_menu_advance_asked();
// The pause began or ended, by whatever means.
void pause_menu_pause_changed(int paused);
// A key while a binding waits: Escape cancels, any other is the action's new key; changed
// (called when a binding was made) keeps the settings. 0 when no binding waits.
int pause_menu_bind_key(KeyBindings* keys, int32_t keycode, void (*changed)());
// Pad buttons newly pressed (PadButton bits) while the menu shows: a binding waiting takes
// the first as the action's new button (Back cancels); otherwise the D-pad moves, South
// takes, East and Back go back, Start resumes.
void pause_menu_pad(PadBindings* pads, uint32_t pressed, void (*changed)());
