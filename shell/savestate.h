// Savestates: a snapshot in a form that outlives the process. A header names the form, the
// game's version and a digest of its data files (a state of another version or another set
// of pictures and sounds is refused), with the clock's tick when it was taken; then the
// snapshot and its checksum. Everything read is checked before anything changes: a form that
// is refused leaves the running game untouched. Integers lie little-endian, as on every
// machine the game runs on (x86, ARM, WebAssembly).
#pragma once
#include <cstddef>
#include <cstdint>

#include "shell/snapshot.h"

constexpr size_t SAVESTATE_HEADER = 52;
constexpr size_t SAVESTATE_MAX = SAVESTATE_HEADER + GAME_SNAPSHOT_MAX;
// The longest reason a refusal or a failed write gives.
constexpr size_t SAVESTATE_WHY_MAX = 256;

// A digest of every data file the game reads (pictures, palette, sounds) in the working
// folder, worked out once a run.
uint64_t savestate_data_digest();
// The names of those files, in the digest's order; null past the last.
const char* savestate_data_file(int index);

// The game now, in its saved form, into out; the length, or 0 when room is too small. ticks
// is the clock's tick to keep with it.
size_t savestate_write(uint8_t* out, size_t room, uint32_t ticks);
// Restores the saved form; 1 and *ticks set, or 0 with why (a line for the player, when
// given) saying what is wrong and the game untouched.
int savestate_read(const uint8_t* in, size_t size, uint32_t* ticks, char* why, size_t why_size);

// The same with a file: written whole or not at all (a failure leaves any older file as it
// was), read only up to SAVESTATE_MAX. 1, or 0 with why saying what went wrong.
int savestate_save_file(const char* path, uint32_t ticks, char* why, size_t why_size);
int savestate_load_file(const char* path, uint32_t* ticks, char* why, size_t why_size);
// A saved form to a file and back, unchecked: written whole or not at all (1, or 0 with
// why); read up to room bytes (the length; 0 with why, or with why empty when there is no
// such file; a file longer than room is refused).
int savestate_store_file(const char* path, const uint8_t* form, size_t size, char* why,
                         size_t why_size);
size_t savestate_fetch_file(const char* path, uint8_t* out, size_t room, char* why,
                            size_t why_size);
