// Pacing the frame loop from the browser's animation-frame callbacks: the game still
// advances in passes of 30 ms, whatever rate the display calls back at. No Emscripten in
// here, so the tests can link it.
#pragma once

constexpr double PASS_MS = 30.0;

struct Pacer {
    double last_ms = 0;        // the time of the previous callback
    double owed_ms = 0;        // time passed that no pass has used yet
    int started = 0;           // whether a callback came since the reset
    double pass_ms = PASS_MS;  // the time between passes: longer in slow motion
};
// After a stall (a busy page, a debugger) at most this many passes run in one callback; the
// rest of the time owed is dropped, so the game slows down rather than rushing.
constexpr int MAX_PASSES_PER_CALLBACK = 4;

// Starts afresh: the next callback runs one pass at once. For the start and after a pause.
// The time between passes stays as it was set.
void pacer_reset(Pacer* pacer);
// The time between passes from now on (slow motion stretches it; the game still counts 30 ms
// a pass). Time owed already is kept.
void pacer_set_pass_ms(Pacer* pacer, double pass_ms);
// The number of passes to run in the callback at now_ms (the callback's timestamp); never
// more than the time passed allows on average.
int pacer_passes_due(Pacer* pacer, double now_ms);
// Milliseconds from the last callback until the next pass is due (0 when one is due at once):
// the loop sleeps that long rather than wake for every display refresh.
double pacer_ms_until_due(const Pacer* pacer);
