// The game as a value: everything a later pass reads, taken between two passes as bytes and
// put back. The blocks come from the modules that own them (engine/state.h); pointers into
// the sprite arrays are kept as sprite numbers. What the presentation keeps (window, scaler,
// audio device) is not part of it, nor the back buffer: every pass draws all of it again
// before anything reads it.
//
// A snapshot's bytes: each block in turn as its tag (a digest of its name), its length and
// its values; a sprite as its values up to its frames and sequences.
#pragma once
#include <cstddef>
#include <cstdint>

#include "engine/state.h"

// Room enough for a snapshot of this game, whatever its messages waiting.
constexpr size_t GAME_SNAPSHOT_MAX = 64 * 1024;

// Every block of the game's state, in the order snapshots keep them.
int game_state_block_count();
const StateBlock* game_state_block(int index);

// Writes the state into out; its length, or 0 when room is too small.
size_t game_snapshot(uint8_t* out, size_t room);
// Puts the game into the state the bytes hold, then the services in step with it (the
// palette, the cursor, the tune, the backdrop pictures). 1; or 0, the game untouched and *why
// (when given) saying what is wrong, when the bytes are not a state of this game: cut short,
// another layout, or values its rules never reach.
int game_restore(const uint8_t* state, size_t size, const char** why);
// Only the checks of game_restore.
int game_state_check(const uint8_t* state, size_t size, const char** why);
