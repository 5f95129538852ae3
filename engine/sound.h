// The game's sounds: the effects read from sounds/*.wav at start-up, the tunes rendered from
// their note data once the first frame is out, and the one hook through which the world and
// the menu raise sound events. The platform's audio service plays them (or takes note).
#pragma once
#include "engine/sound_ids.h"
#include "engine/state.h"

// Reads every effect file and opens the audio; 1, or 0 at the first file refused, which
// sound_refused then names.
int sound_init();
// The file name of the first sound file refused since start-up, or "" when none was.
const char* sound_refused();
// A sound event: the world or the menu changed state in a way the player should hear.
void sound_event(SoundId id);
// Once a frame, after it is shown: the tune for what shows now (a tune already playing goes
// on; a tune that has ended is not started again). Also renders a tune not yet rendered,
// one a frame, from the second frame on, so that start-up does not wait for them.
void sound_update(MusicId music);
// While quiet, the events and the tunes asked for reach no one (passes run again to reach a
// point of a rewind); leaving it, the tune that should play now is asked for if another was.
void sound_set_quiet(int quiet);
// The tune asked for, as a block of state for snapshots.
extern const StateBlockList sound_state;
// Closes the audio and forgets every sound: the state at start-up.
void sound_shutdown();
