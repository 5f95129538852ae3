// One pass's input: the keys held during the pass and the one message the pass delivers (a
// key press, a click, a close request, or none). It is all the game reads of its player:
// every source of input (a backend's keys, pads and touch, a play script, a replay, a bot
// on the runner's standard input) makes records, and the same records give the same game.
// Messages that come faster than one a pass wait in the input queue for the passes after.
#pragma once
#include <cstdint>

#include "platform/platform.h"

// What a record's message is.
enum : uint8_t {
    INPUT_NONE = 0,
    INPUT_KEY = 1,           // key: the virtual-key code pressed (auto-repeat included)
    INPUT_CLICK = 2,         // x, y: a left-button press at that frame pixel
    INPUT_DOUBLE_CLICK = 3,  // the same, the second press of a double click
    INPUT_CLOSE = 4,         // the request to close the window
};

struct InputRecord {
    uint8_t held[INPUT_HELD_BYTES];  // bit k % 8 of byte k / 8: virtual key k is held
    uint8_t message;                 // INPUT_*
    uint8_t key;
    uint16_t x, y;
};

// The record of a pass with nothing held and no message.
constexpr InputRecord INPUT_RECORD_EMPTY = {};

inline bool input_held(const InputRecord& record, int key) {
    return key >= 0 && key < INPUT_KEYS && (record.held[key >> 3] >> (key & 7) & 1) != 0;
}
inline void input_hold(InputRecord* record, int key) {
    if (key >= 0 && key < INPUT_KEYS)
        record->held[key >> 3] = static_cast<uint8_t>(record->held[key >> 3] | 1 << (key & 7));
}

// The input queue: where sources hand their presses, clicks and close requests, in the order
// they came. It lies outside the game: a pass takes at most one message from it.
extern const PlatformInput input_queue;
// Moves the oldest waiting message, if any, into record (else its message is INPUT_NONE).
void input_queue_take(InputRecord* record);
// How many messages wait; forgetting them all.
int input_queue_length();
void input_queue_clear();
// The record of the next pass from the platform's live input: its pending events into the
// queue, the keys held since the last call (a tap shorter than a pass counts as held), and
// the oldest waiting message.
void input_take_live(InputRecord* record);
