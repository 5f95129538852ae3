// Making a replay while the game plays: after each pass, its record, the digests of its
// state line (a checkpoint every 30 passes, every field's when details are kept) and the run
// timer; the bytes of each pass also ready for a journal, which a writer appends to its file
// as they come. The replay grows in memory; when memory runs out it stops growing and says
// so instead of keeping a run with a hole in it.
#pragma once
#include <cstddef>
#include <cstdint>

#include "platform/input_record.h"
#include "programs/common/replay_format.h"
#include "programs/common/run_timer.h"

struct ReplayRecorder {
    Replay replay;  // as made so far
    RunTimer timer;
    bool details;  // every pass's field digests kept
    bool active;
    bool failed;  // memory ran out; nothing more is added
    // The journal's bytes not yet written: the header when the replay begins, then each
    // pass's; the writer takes them (and clears the list) when it likes.
    ReplayBytes journal;
    uint8_t held[INPUT_HELD_BYTES];     // the keys of the pass before, for the journal
    uint8_t fields[STATE_LINE_FIELDS];  // the field digests after the pass before
};

// Begins a replay of the game as it is now. base: the state the game started in, against
// which the start state is coded (a replay that begins with the game as it started keeps
// no start state); timer: the run timer's figure so far (zero for a run from the title);
// flags: REPLAY_CONTINUED for a game already under way. false when memory ran out.
bool replay_record_begin(ReplayRecorder* recorder, const uint8_t* base, size_t base_length,
                         bool details, const ReplayTimes& timer, uint8_t flags = 0);
// After a pass ran from record (also the pass that ended the game): its record, its
// digests, the timer. The timer's RUN_* bits of the pass.
int replay_record_pass(ReplayRecorder* recorder, const InputRecord& record);
// The game went back to an earlier pass of this replay (a rewind): only the first passes
// are kept, and the timer runs again from the snapshot's game.
void replay_record_cut(ReplayRecorder* recorder, int passes, const ReplayTimes& timer);
// The header's summary: outcome, final digest, time and splits, score; the replay can be
// encoded.
void replay_record_finish(ReplayRecorder* recorder, int outcome);
// Frees what it holds; it records nothing until it begins again.
void replay_record_stop(ReplayRecorder* recorder);
// Sets the header's name and flags (practised, continued), which the run's keeper knows.
void replay_record_mark(ReplayRecorder* recorder, uint8_t flags, const char* name);
