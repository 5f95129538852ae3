// Reading the note strings of tunes and rendering them through the synthesizer.
#include "engine/tracker.h"

#include <algorithm>

namespace {

constexpr int MAX_NESTING = 4;
constexpr int MAX_STEPS = 1 << 20;  // stops runaway repeats long before the counts overflow
constexpr int MAX_LENGTH = 256;

bool is_space(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}
bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

// Reads a decimal number of up to three digits at *p; -1 when there is none.
int read_number(const char*& p) {
    if (!is_digit(*p))
        return -1;
    int value = 0;
    for (int digits = 0; is_digit(*p); ++digits, ++p) {
        if (digits == 3)
            return -1;
        value = value * 10 + (*p - '0');
    }
    return value;
}

// Semitones of a note letter over C, -1 for anything else.
int letter_semitones(char c) {
    switch (c) {
        case 'C':
            return 0;
        case 'D':
            return 2;
        case 'E':
            return 4;
        case 'F':
            return 5;
        case 'G':
            return 7;
        case 'A':
            return 9;
        case 'B':
            return 11;
        default:
            return -1;
    }
}

struct Repeat {
    const char* body;  // just after the '['
    int left;          // further passes, -1 until the ']' has been read once
};

// Reads a note ("C4", "F#3", "Bb2") or a rest ("-") at p, and a length after it (":N"; else
// the length stays); false when there is neither. The pitch is in cents, -1 for a rest.
bool read_note(const char*& p, int* pitch, int* length) {
    *pitch = -1;
    if (*p != '-') {
        const int semitones = letter_semitones(*p++);
        if (semitones < 0)
            return false;
        int accidental = 0;
        if (*p == '#' || *p == 'b')
            accidental = *p++ == '#' ? 1 : -1;
        if (!is_digit(*p))
            return false;
        const int octave = *p++ - '0';
        *pitch = ((octave + 1) * 12 + semitones + accidental) * 100;
    } else {
        ++p;
    }
    if (*p == ':') {
        ++p;
        *length = read_number(p);
        if (*length < 1 || *length > MAX_LENGTH)
            return false;
    }
    return !*p || is_space(*p) || *p == '|' || *p == ']';
}

// At a ']': back to the repeat's body while passes are left (the count after the ']', 2 when
// none is given), else out of it; false for a ']' without its '[' or a count below 1.
bool close_repeat(const char*& p, Repeat* repeats, int* depth) {
    if (*depth == 0)
        return false;
    ++p;
    int count = read_number(p);
    if (count == -1)
        count = 2;
    if (count < 1)
        return false;
    Repeat& r = repeats[*depth - 1];
    if (r.left == -1)
        r.left = count - 1;
    if (r.left > 0) {
        --r.left;
        p = r.body;
    } else {
        --*depth;
    }
    return true;
}

}  // namespace

int tune_walk(const char* notes, int bar_steps, TuneNoteFn fn, void* context) {
    if (!notes)
        return -1;
    Repeat repeats[MAX_NESTING];
    int depth = 0;
    int step = 0;
    int length = 1;
    const char* p = notes;
    while (*p) {
        if (is_space(*p)) {
            ++p;
        } else if (*p == '|') {
            if (bar_steps > 0 && step % bar_steps != 0)
                return -1;
            ++p;
        } else if (*p == '[') {
            if (depth == MAX_NESTING)
                return -1;
            repeats[depth++] = {++p, -1};
        } else if (*p == ']') {
            if (!close_repeat(p, repeats, &depth))
                return -1;
        } else {
            int pitch = -1;
            if (!read_note(p, &pitch, &length))
                return -1;
            if (pitch >= 0 && fn)
                fn(context, pitch, step, length);
            step += length;
            if (step > MAX_STEPS)
                return -1;
        }
    }
    return depth == 0 ? step : -1;
}

namespace {

struct RenderContext {
    const SynthPatch* patch;
    int rate;
    int64_t step_samples;
    int32_t* mix;  // null when only measuring
    int64_t frames;
    bool wrap;
    int64_t end;  // the latest sample any note reaches
};

int64_t note_gate(const RenderContext& c, int steps) {
    const int gate = c.patch->gate == 0 ? 100 : c.patch->gate;
    return steps * c.step_samples * gate / 100;
}

void render_note(void* context, int pitch, int step, int steps) {
    RenderContext& c = *static_cast<RenderContext*>(context);
    const int64_t start = step * c.step_samples;
    const int64_t gate = note_gate(c, steps);
    c.end = std::max(c.end, start + synth_note_length(*c.patch, c.rate, gate));
    if (c.mix)
        synth_add_note(c.mix, c.frames, c.rate, *c.patch, pitch, start, gate, c.wrap);
}

}  // namespace

int64_t tune_frames(const Tune& tune, int rate) {
    if (rate <= 0 || tune.channel_count == 0)
        return -1;
    const int64_t step_samples = static_cast<int64_t>(tune.step_ms) * rate / 1000;
    int64_t end = 0;
    int loop_steps = -1;
    for (int i = 0; i < tune.channel_count; ++i) {
        const TuneChannel& ch = tune.channels[i];
        RenderContext c{&ch.patch, rate, step_samples, nullptr, 0, false, 0};
        const int steps = tune_walk(ch.notes, tune.bar_steps, render_note, &c);
        if (steps < 0)
            return -1;
        if (tune.loops && loop_steps >= 0 && steps != loop_steps)
            return -1;
        loop_steps = steps;
        end = std::max({end, c.end, steps * step_samples});
    }
    return tune.loops ? loop_steps * step_samples : end;
}

int tune_render(const Tune& tune, int rate, int32_t* mix, int64_t frames) {
    const int64_t step_samples = static_cast<int64_t>(tune.step_ms) * rate / 1000;
    for (int i = 0; i < tune.channel_count; ++i) {
        const TuneChannel& ch = tune.channels[i];
        RenderContext c{&ch.patch, rate, step_samples, mix, frames, tune.loops, 0};
        if (tune_walk(ch.notes, tune.bar_steps, render_note, &c) < 0)
            return 0;
    }
    return 1;
}
