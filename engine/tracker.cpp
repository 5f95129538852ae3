// Reading the note strings of tunes, and playing them through the synthesizer's voices.
#include "engine/tracker.h"

#include <algorithm>
#include <atomic>

namespace {

constexpr int MAX_STEPS = 1 << 20;  // stops runaway repeats long before the counts overflow
constexpr int MAX_LENGTH = 256;
// The DC blocker's corner: under the lowest note any tune or effect plays.
constexpr int DC_CORNER_HZ = 20;

// Samples rendered by every player (the desktop's audio thread renders the music).
std::atomic<int64_t> frames_rendered;

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

// Reads a note ("C4", "F#3", "Bb2") or a rest ("-") at p, then a length (":N") and a
// velocity ("!N"), each kept from before when left out; false when there is neither note
// nor rest. The pitch is in cents, -1 for a rest.
bool read_note(const char*& p, int* pitch, int* length, int* velocity) {
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
    if (*p == '!') {
        ++p;
        *velocity = read_number(p);
        if (*velocity < 1 || *velocity > SYNTH_VELOCITY_MAX)
            return false;
    }
    return !*p || is_space(*p) || *p == '|' || *p == ']';
}

// At a ']': back to the repeat's body while passes are left (the count after the ']', 2 when
// none is given), else out of it; false for a ']' without its '[' or a count below 1.
bool close_repeat(TuneCursor* c) {
    if (c->depth == 0)
        return false;
    ++c->at;
    int count = read_number(c->at);
    if (count == -1)
        count = 2;
    if (count < 1)
        return false;
    TuneCursor::Repeat& r = c->repeats[c->depth - 1];
    if (r.left == -1)
        r.left = count - 1;
    if (r.left > 0) {
        --r.left;
        c->at = r.body;
    } else {
        --c->depth;
    }
    return true;
}

}  // namespace

void tune_cursor_start(TuneCursor* cursor, const char* notes) {
    *cursor = TuneCursor{};
    cursor->at = notes;
    cursor->length = 1;
    cursor->velocity = SYNTH_VELOCITY_MAX;
}

int tune_next(TuneCursor* c, int bar_steps, TuneNote* note) {
    if (!c->at)
        return -1;
    while (*c->at) {
        const char ch = *c->at;
        if (is_space(ch)) {
            ++c->at;
        } else if (ch == '|') {
            if (bar_steps > 0 && c->step % bar_steps != 0)
                return -1;
            ++c->at;
        } else if (ch == '[') {
            if (c->depth == TUNE_NESTING)
                return -1;
            c->repeats[c->depth++] = {++c->at, -1};
        } else if (ch == ']') {
            if (!close_repeat(c))
                return -1;
        } else {
            int pitch = -1;
            if (!read_note(c->at, &pitch, &c->length, &c->velocity))
                return -1;
            const int step = c->step;
            c->step += c->length;
            if (c->step > MAX_STEPS)
                return -1;
            if (pitch >= 0) {
                *note = {pitch, step, c->length, c->velocity};
                return 1;
            }
        }
    }
    if (c->depth != 0)
        return -1;
    *note = {-1, c->step, 0, 0};
    return 0;
}

int tune_walk(const char* notes, int bar_steps, TuneNoteFn fn, void* context) {
    TuneCursor cursor;
    tune_cursor_start(&cursor, notes);
    TuneNote note;
    for (;;) {
        const int r = tune_next(&cursor, bar_steps, &note);
        if (r < 0)
            return -1;
        if (r == 0)
            return note.step;
        if (fn)
            fn(context, note);
    }
}

namespace {

int64_t step_samples(const Tune& tune, int rate) {
    return static_cast<int64_t>(tune.step_ms) * rate / 1000;
}

int64_t note_gate(const SynthPatch& patch, int64_t step_samples, int steps) {
    const int gate = patch.gate == 0 ? 100 : patch.gate;
    return steps * step_samples * gate / 100;
}

struct Extent {
    const SynthPatch* patch;
    int64_t step_samples;
    int rate;
    int64_t end;  // the latest sample any note reaches
};

void note_extent(void* context, const TuneNote& note) {
    Extent& e = *static_cast<Extent*>(context);
    const int64_t gate = note_gate(*e.patch, e.step_samples, note.steps);
    e.end = std::max(e.end, note.step * e.step_samples + synth_note_length(*e.patch, e.rate, gate));
}

// The channel's next note, or a pitch of -1 past its end.
void read_next(TunePlayer* p, int channel) {
    if (tune_next(&p->cursors[channel], p->tune->bar_steps, &p->next[channel]) != 1)
        p->next[channel].pitch = -1;
}

void restart_pass(TunePlayer* p) {
    p->position = 0;
    for (int c = 0; c < p->tune->channel_count; ++c) {
        tune_cursor_start(&p->cursors[c], p->tune->channels[c].notes);
        read_next(p, c);
    }
}

// A free voice, or else the one nearest its end, which gives way.
SynthVoice* free_voice(TunePlayer* p) {
    SynthVoice* chosen = &p->voices[0];
    for (SynthVoice& v : p->voices) {
        if (!v.patch)
            return &v;
        if (v.length - v.n < chosen->length - chosen->n)
            chosen = &v;
    }
    ++p->stolen;
    return chosen;
}

// Starts every note due at the player's position.
void start_due(TunePlayer* p) {
    for (int c = 0; c < p->tune->channel_count; ++c) {
        const TuneChannel& channel = p->tune->channels[c];
        while (p->next[c].pitch >= 0 && p->next[c].step * p->step_samples == p->position) {
            const TuneNote& n = p->next[c];
            synth_voice_start(free_voice(p), &channel.patch, n.pitch,
                              note_gate(channel.patch, p->step_samples, n.steps), n.velocity,
                              channel.pan, p->rate);
            read_next(p, c);
        }
    }
}

// y = x - x1 + y1 * r: a first-order high-pass, so that no wave's offset or envelope leaves
// the speaker cone pushed out.
void block_dc(TunePlayer* p, int32_t* out, int frames) {
    for (int i = 0; i < frames; ++i) {
        for (int side = 0; side < 2; ++side) {
            int32_t& x = out[2 * i + side];
            const int64_t y = (static_cast<int64_t>(x - p->dc_in[side]) << 16) +
                              (p->dc_out[side] * p->dc_coef >> 15);
            p->dc_in[side] = x;
            p->dc_out[side] = y;
            x = static_cast<int32_t>((y + 32768) >> 16);
        }
    }
}

}  // namespace

int64_t tune_frames(const Tune& tune, int rate) {
    if (rate <= 0 || tune.channel_count == 0)
        return -1;
    const int64_t steps_to_samples = step_samples(tune, rate);
    int64_t end = 0;
    int loop_steps = -1;
    for (int i = 0; i < tune.channel_count; ++i) {
        const TuneChannel& ch = tune.channels[i];
        Extent e{&ch.patch, steps_to_samples, rate, 0};
        const int steps = tune_walk(ch.notes, tune.bar_steps, note_extent, &e);
        if (steps < 0)
            return -1;
        if (tune.loops && loop_steps >= 0 && steps != loop_steps)
            return -1;
        loop_steps = steps;
        end = std::max({end, e.end, steps * steps_to_samples});
    }
    return tune.loops ? loop_steps * steps_to_samples : end;
}

int tune_player_start(TunePlayer* player, const Tune& tune, int rate) {
    *player = TunePlayer{};
    const int64_t frames = tune_frames(tune, rate);
    if (frames <= 0 || tune.channel_count > TUNE_CHANNELS_MAX)
        return 0;
    player->tune = &tune;
    player->rate = rate;
    player->step_samples = step_samples(tune, rate);
    player->frames = frames;
    // 1 - 2 pi f / rate, of 32768.
    player->dc_coef = static_cast<int32_t>(32768 - 205887 * DC_CORNER_HZ / rate);
    restart_pass(player);
    return 1;
}

int tune_player_render(TunePlayer* p, int32_t* out, int frames) {
    std::fill(out, out + 2 * static_cast<int64_t>(std::max(frames, 0)), 0);
    if (!p->tune)
        return 0;
    int done = 0;
    while (done < frames) {
        if (p->position >= p->frames) {
            if (!p->tune->loops)
                break;
            restart_pass(p);
        }
        start_due(p);
        int64_t until = p->frames;
        for (int c = 0; c < p->tune->channel_count; ++c) {
            if (p->next[c].pitch >= 0)
                until = std::min(until, p->next[c].step * p->step_samples);
        }
        const int count = static_cast<int>(std::min<int64_t>(frames - done, until - p->position));
        for (SynthVoice& v : p->voices) {
            if (v.patch)
                synth_voice_add(&v, out + 2 * static_cast<int64_t>(done), count, p->rate);
        }
        p->position += count;
        done += count;
    }
    block_dc(p, out, done);
    frames_rendered.fetch_add(done, std::memory_order_relaxed);
    return done;
}

int64_t tune_frames_rendered() {
    return frames_rendered.load(std::memory_order_relaxed);
}
