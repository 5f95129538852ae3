// Writes the player's own input as a play script (platform/script.h) that --replay and the
// headless runner read: key presses, clicks and the close request by pass number as they
// happen, and held keys as "hold FIRST LAST KEY" stretches written when they end. No SDL in
// here.
#pragma once
#include <cstdint>
#include <cstdio>

#include "platform/input_record.h"

struct Recorder {
    std::FILE* file;
    int held_since[256];  // the pass each virtual key went down; -1 while up
    int last_pass;        // the last pass whose held keys were noted; -1 before any
    int failed;           // a write went wrong
};

// Creates (or empties) the file and writes its heading; 1 or 0.
int recorder_open(Recorder* recorder, const char* path);
void recorder_key(Recorder* recorder, int pass, int key);
void recorder_click(Recorder* recorder, int pass, int x, int y, int double_click);
void recorder_close_request(Recorder* recorder, int pass);
// The virtual keys held through this pass (held[k] nonzero for key k); once a pass, in order.
void recorder_held(Recorder* recorder, int pass, const uint8_t held[256]);
// A pass's record: its message, if any, and its held keys; once a pass, in order.
void recorder_pass(Recorder* recorder, int pass, const InputRecord& record);
// Ends the stretches still open at the last pass, adds the comment line (if any) and closes
// the file; 1 when every write worked.
int recorder_finish(Recorder* recorder, const char* comment);
