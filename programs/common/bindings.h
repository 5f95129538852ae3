// The key bindings as the Controls page shows and changes them, on every backend: the
// actions' names, their keys as text, which other action shares a key and which of the two
// acts on it, and binding a new key or pad button.
#pragma once
#include <cstddef>
#include <cstdint>

#include "platform/sdl/keymap.h"
#include "platform/sdl/pad_bindings.h"

// The action's name on the Controls page ("Jump"); "" for none.
const char* binding_action_name(int role);
// The role's keys by name, joined by commas ("Page Down, C").
void binding_keys_text(const KeyBindings* keys, int role, char* out, size_t size);
// The other role that acts on one of role's keys where role acts too (-1: none): in play,
// on the title, or everywhere for the port's and the practice keys.
int binding_conflict(const KeyBindings* keys, int role);
// Of role and other sharing a key where both act, the one that alone acts on it in the game
// (-1: both act, or they share none): a key of the port or the practice tools is theirs (the
// first of them in the roles' order) over the title's, so that they always answer; a key the
// game holds (walking, running, jumping) acts for the game as well. In the pause menu its own
// keys (the menu's up, down, enter and escape, and walking) come first.
int binding_winner(const KeyBindings* keys, int role, int other);
// The role that takes every one of role's keys from it, so that role never acts by key (-1:
// role acts on some key of its own, or has none).
int binding_overruled(const KeyBindings* keys, int role);
// What the Controls page says of role's binding shared with other's: which one acts on it.
void binding_shared_text(const KeyBindings* keys, int role, int other, char* out, size_t size);
// Binds keycode as role's only key; null, or why it is refused.
const char* binding_bind_key(KeyBindings* keys, int role, int32_t keycode);

// The role's pad buttons by name, joined by commas ("West, East"); "" for none.
void binding_pad_text(const PadBindings* pads, int role, char* out, size_t size);
// The other role that acts on one of role's pad buttons where role acts too (-1: none).
int binding_pad_conflict(const PadBindings* pads, int role);
// Binds one pad button (a PadButton bit) as role's only one; null, or why it is refused.
const char* binding_bind_pad(PadBindings* pads, int role, uint32_t button);
