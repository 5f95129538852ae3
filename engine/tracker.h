// Tunes as note data: channels of notes and lengths, each played by one patch.
//
// A channel's notes are a string of tokens separated by spaces:
//   C4 F#3 Bb5   a note (letter, optional # or b, octave 0-9; C4 is middle C)
//   -            a rest
//   :N           after a note or rest: it lasts N steps, and so do the following ones
//   |            a bar line: must fall on a whole bar (when the tune gives a bar length)
//   [ ... ]N     the notes inside played N times (N may be left out for 2); nests 4 deep
#pragma once
#include <cstdint>

#include "engine/synth.h"

struct TuneChannel {
    SynthPatch patch;
    const char* notes;
};

struct Tune {
    uint16_t step_ms;   // length of one step
    uint8_t bar_steps;  // steps in a bar, checked at every bar line (0: unchecked)
    bool loops;         // the tails of the last notes sound again at the start
    uint8_t channel_count;
    const TuneChannel* channels;
};

// Called for every note (not rests) in order: pitch in cents, first step, length in steps.
using TuneNoteFn = void (*)(void* context, int pitch, int step, int steps);

// Walks a channel's notes; returns its length in steps, or -1 when the notes are malformed.
int tune_walk(const char* notes, int bar_steps, TuneNoteFn fn, void* context);
// Samples the tune renders to at rate: a looping tune's exact length (its channels must be
// equally long), else up to the end of the last release. -1 for malformed notes.
int64_t tune_frames(const Tune& tune, int rate);
// Adds the tune into mix[0, frames), frames from tune_frames; 1, or 0 for malformed notes.
int tune_render(const Tune& tune, int rate, int32_t* mix, int64_t frames);
