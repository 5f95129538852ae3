// The desktop game's frame loop: each pass's record made from live input (or from the
// replay or old play script being replayed), written to the recording when there is one, and run
// through the practice tools; paced at 30 ms a pass (longer in slow motion), held while paused but
// for frame advance; the practice tools' note and the pause mark drawn over the frame shown.
#pragma once
#include <cstdint>

#include "platform/script.h"
#include "platform/sdl/sdl_program.h"
#include "programs/common/practice.h"

// Where quick saves go (null: nowhere); given before desktop_run.
// Where finished runs are kept (null: nowhere).
void desktop_keep_runs_in(const char* folder);
void desktop_set_slot(const PracticeSlot* slot);
// Replays script: its records instead of live presses and keys until its last pass, then
// live input. check_pass (-1: none) is the pass whose frame should have check_digest.
void desktop_set_replay(const Script* script, int check_pass, uint64_t check_digest);
// One pass, unpaced: its record, then the pass (or a step back while rewind is held). 1 to go
// on, 0 once the game has ended.
int desktop_pass();
// The whole loop from start-up to the end; the program's exit code, as app_finish gives it,
// else the replays' (programs/desktop/recording.h).
// Start-up that fails is reported in a message box too.
int desktop_run();
// What the overlay draws now, as the backend asks (for tests).
extern const SdlOverlay desktop_overlay;
// Forgets the recording, the replays and the slot (for tests).
void desktop_reset();
