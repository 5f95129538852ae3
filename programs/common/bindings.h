// The key bindings as the Controls page shows and changes them, on every backend: the
// actions' names, their keys as text, which other action shares a key where both act, and
// binding a new key or pad button.
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
// Binds keycode as role's only key; null, or why it is refused.
const char* binding_bind_key(KeyBindings* keys, int role, int32_t keycode);

// The role's pad buttons by name, joined by commas ("West, East"); "" for none.
void binding_pad_text(const PadBindings* pads, int role, char* out, size_t size);
// The other role that acts on one of role's pad buttons where role acts too (-1: none).
int binding_pad_conflict(const PadBindings* pads, int role);
// Binds one pad button (a PadButton bit) as role's only one; null, or why it is refused.
const char* binding_bind_pad(PadBindings* pads, int role, uint32_t button);
