// Short notes for the player over the finished frame, from the program rather than the
// practice tools: what a port key did ("Scaling: integer", "Sound off", "Screenshot saved")
// and problems with the settings file, which a player who started the game from the desktop
// would otherwise never see.
#pragma once
#include <cstdint>

// Shows text (copied) for ms milliseconds from the first time it is asked for: a note given
// before the first frame is still seen whole. A newer note replaces it.
void note_say(const char* text, uint32_t ms);
// The note to show at now_ms (null: none).
const char* note_shown(uint32_t now_ms);
// Forgets the note.
void note_clear();
