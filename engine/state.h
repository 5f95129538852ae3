// The game's state as a declared set of blocks: every global a later pass reads, each module
// listing those it owns. Snapshots, savestates and rewind walk the lists; a test compares
// them with the game's writable globals, so a global left out fails it instead of breaking a
// rewind unseen.
#pragma once
#include <cstddef>
#include <cstdint>

struct SpriteObject;

enum StateKind : int {
    STATE_BYTES,        // plain values, copied as they lie
    STATE_SPRITES,      // sprite records: their values, not the frames and sequences they own
    STATE_SPRITE_LINK,  // a pointer to a sprite of a STATE_SPRITES block, or null
    STATE_CUSTOM,       // written and read by the block's own functions
};

struct StateBlock {
    const char* name;  // "file:global", the global's source file and name
    StateKind kind;
    void* data;
    size_t size;  // bytes (STATE_BYTES, STATE_CUSTOM: the most it writes), or sprite records
    // Optional, for values read back from outside: 1 when the game can go on from them. For
    // STATE_BYTES the saved bytes; for STATE_SPRITE_LINK the sprite linked to (maybe null).
    int (*allows)(const void* saved) = nullptr;
    // Optional: puts a service in step with the block after a restore changed it (the
    // palette shown, the cursor, the tune, the pictures in the backdrop panels).
    void (*restored)() = nullptr;
    // STATE_CUSTOM only: writes the block (its length, at most size) and checks or takes one
    // back (1 when it reads whole and allowed; applied only when apply is set).
    size_t (*write)(uint8_t* out) = nullptr;
    int (*read)(const uint8_t* in, size_t length, int apply) = nullptr;
};

struct StateBlockList {
    const StateBlock* blocks;
    int count;
};

// Whether a position, speed or push of the world can be worked with: finite, and so far
// inside what an int holds that many passes of movement from it still truncate to one (the
// level spans a few thousand pixels).
inline bool state_float_sane(float value) {
    return value >= -1e6f && value <= 1e6f;
}
