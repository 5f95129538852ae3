// Fuzz inputs as files: the loaders that open a file by name read the input from memory.
#pragma once
#include <cstddef>
#include <cstdint>

// A path whose file holds exactly these bytes until the next call: an in-memory file (no
// disk), rewritten for each input, so a target reads thousands of inputs a second. Aborts
// when the file cannot be made.
const char* memory_file_path(const uint8_t* data, size_t size);
// A new folder for a target that needs files of its own names: in memory (/dev/shm) where
// there is such a folder, so that a file written and flushed costs no disk; made at the first
// call and removed when the program ends. Aborts when it cannot be made.
const char* memory_folder();
