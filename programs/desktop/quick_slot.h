// The desktop's quick-save slot: one file in the user's data folder, kept across runs.
#pragma once
#include <cstddef>

#include "programs/common/practice.h"

// $XDG_DATA_HOME/quellaro/quicksave.sav, else ~/.local/share/quellaro/quicksave.sav; 0 when
// neither variable gives an absolute folder (the slot is then nowhere).
int quick_save_path(const char* data_home, const char* home, char* out, size_t size);
// The slot at path (the folders above it are made when it is first written); the path is
// kept as given.
const PracticeSlot* quick_slot_at(const char* path);
