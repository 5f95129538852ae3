// Pacing the frame loop from the browser's animation-frame callbacks: the game still
// advances in passes of 30 ms, whatever rate the display calls back at. No Emscripten in
// here, so the tests can link it.
#pragma once

struct Pacer {
    double last_ms;  // the time of the previous callback
    double owed_ms;  // time passed that no pass has used yet
    int started;
};

constexpr double PASS_MS = 30.0;
// After a stall (a busy page, a debugger) at most this many passes run in one callback; the
// rest of the time owed is dropped, so the game slows down rather than rushing.
constexpr int MAX_PASSES_PER_CALLBACK = 4;

// Starts afresh: the next callback runs one pass at once. For the start and after a pause.
void pacer_reset(Pacer* pacer);
// The number of passes to run in the callback at now_ms (the callback's timestamp); never
// more than the time passed allows on average.
int pacer_passes_due(Pacer* pacer, double now_ms);
