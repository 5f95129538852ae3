// The game's sounds: the effects read from sounds/*.wav at start-up, the tunes handed to the
// platform's audio as note data that it renders while it plays them, and the hooks through
// which the world and the menu raise sound events. The platform's audio service plays them
// (or takes note).
#pragma once
#include "engine/sound_ids.h"
#include "engine/state.h"

struct SpriteObject;

// Reads every effect file and opens the audio; 1, or 0 at the first file refused, which
// sound_refused then names.
int sound_init();
// The file name of the first sound file refused since start-up, or "" when none was; and what
// is wrong with it ("is empty", "cannot be opened (No such file or directory)").
const char* sound_refused();
const char* sound_refused_why();
// A sound event: the world or the menu changed state in a way the player should hear. It
// sounds from the middle of the screen, or from where source shows (a block bumped at the
// left sounds at the left). Sounds with variants play them in turn.
void sound_event(SoundId id);
void sound_event_from(SoundId id, const SpriteObject* source);
// The pan (-100 left to 100 right) of a sound from x pixels across the 640-pixel screen:
// gentle, so that nothing sounds from one speaker only.
int sound_pan_at(int x);
// Once a frame, after it is shown: the tune for what shows now (a tune already playing goes
// on). The audio renders it; nothing here waits for it.
void sound_update(MusicId music);
// While quiet, the events and the tunes asked for reach no one (passes run again to reach a
// point of a rewind); leaving it, the tune that should play now is asked for if another was.
void sound_set_quiet(int quiet);
// The tune asked for, as a block of state for snapshots.
extern const StateBlockList sound_state;
// Closes the audio and forgets every sound: the state at start-up.
void sound_shutdown();
