// The sound effects for the browser, made where they play: the page downloads no sound files,
// since the effects are rendered from their notes by the very code that wrote the committed
// files, byte for byte, in a fraction of a second (a download of them, which no compression
// makes small, would take several times longer).
#pragma once
#include <cstddef>

// Writes every effect (each variant) as dir/sounds/NAME.wav. 1 when all are written; 0 with
// why saying which one failed and how.
int web_write_sounds(const char* dir, char* why, size_t why_size);
