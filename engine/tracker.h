// Tunes as note data: channels of notes and lengths, each played by one patch, and the
// player that renders a tune a piece at a time.
//
// A channel's notes are a string of tokens separated by spaces:
//   C4 F#3 Bb5   a note (letter, optional # or b, octave 0-9; C4 is middle C)
//   -            a rest
//   :N           after a note or rest: it lasts N steps, and so do the following ones
//   !N           after that: the notes are played at N percent (1-100) of the patch's level
//                from here on
//   |            a bar line: must fall on a whole bar (when the tune gives a bar length)
//   [ ... ]N     the notes inside played N times (N may be left out for 2); nests 4 deep
#pragma once
#include <cstdint>

#include "engine/synth.h"

struct TuneChannel {
    SynthPatch patch;
    const char* notes;
    int8_t pan = 0;  // -100 (left) to 100 (right)
};

struct Tune {
    uint16_t step_ms;   // length of one step
    uint8_t bar_steps;  // steps in a bar, checked at every bar line (0: unchecked)
    bool loops;         // plays again from the start, the last notes ringing into it
    uint8_t channel_count;
    const TuneChannel* channels;
};

// A note as read: pitch in cents, first step, length in steps, velocity in percent.
struct TuneNote {
    int pitch, step, steps, velocity;
};

constexpr int TUNE_NESTING = 4;
// Where the reading of a channel's notes is: plain data, copied as bytes.
struct TuneCursor {
    const char* at;
    struct Repeat {
        const char* body;  // just after the '['
        int left;          // further passes, -1 until the ']' has been read once
    } repeats[TUNE_NESTING];
    int depth, step, length, velocity;
};

// Starts reading notes from their beginning.
void tune_cursor_start(TuneCursor* cursor, const char* notes);
// Reads on to the next note (rests are skipped): 1 with *note filled, 0 at the end (*note's
// step is then the channel's length in steps), -1 when the notes are malformed.
int tune_next(TuneCursor* cursor, int bar_steps, TuneNote* note);

// Called for every note (not rests) in order.
using TuneNoteFn = void (*)(void* context, const TuneNote& note);
// Walks a channel's notes; returns its length in steps, or -1 when the notes are malformed.
int tune_walk(const char* notes, int bar_steps, TuneNoteFn fn, void* context);
// Samples one pass of the tune lasts at rate: a looping tune's exact length (its channels
// must be equally long), else up to the end of the last release. -1 for malformed notes.
int64_t tune_frames(const Tune& tune, int rate);

constexpr int TUNE_CHANNELS_MAX = 8;
// Notes sounding at once: a note and the release of the one before it in every channel.
constexpr int TUNE_VOICES = 2 * TUNE_CHANNELS_MAX;

// A tune being played, plain data: it renders the same samples however its rendering is cut
// into pieces, and copies as bytes.
struct TunePlayer {
    const Tune* tune;
    int rate;
    int64_t step_samples;
    int64_t frames;    // one pass: a looping tune's length, or a tune's end
    int64_t position;  // samples into the pass
    TuneCursor cursors[TUNE_CHANNELS_MAX];
    TuneNote next[TUNE_CHANNELS_MAX];  // each channel's next note; its pitch is -1 past the end
    SynthVoice voices[TUNE_VOICES];
    int32_t dc_coef;   // the DC blocker's feedback, of 32768
    int32_t dc_in[2];  // its last input and output (of 65536), left and right
    int64_t dc_out[2];
    int stolen;  // notes that found every voice busy (none in our tunes)
};

// Readies a player for a tune at rate; 1, or 0 for a tune it cannot play (malformed notes,
// too many channels), which then renders nothing.
int tune_player_start(TunePlayer* player, const Tune& tune, int rate);
// Writes the next frames pairs of left and right samples, through a blocker of DC and the
// slowest rumble; returns how many: fewer only once a tune played once has ended.
int tune_player_render(TunePlayer* player, int32_t* out, int frames);
// Samples rendered by every player since the program started (any thread).
int64_t tune_frames_rendered();
