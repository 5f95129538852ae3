// How each group of the level's objects starts: the one description that the load steps
// build the objects from and the world reset puts them back by, so the two cannot drift
// apart. The backdrop panels (a picture each) and the hero's two forms have steps of their
// own.
#pragma once
#include "engine/sprite.h"

struct StartPlace {
    int x, y;
};

constexpr int KEEP_STATE = -1;  // neither the load step nor the reset writes the state

struct ObjectGroup {
    SpriteObject* sprites;
    int count;
    StartPlace (*start)(int index);  // where each sprite starts
    const char* picture;             // the sheet its frames are cut from
    // The sheet's size: its grid of cells with their one-pixel lines, the width padded to a
    // multiple of four as the pictures are stored. A picture of another size would still let
    // the cells be cut, but from the wrong places: it is refused.
    int sheet_width, sheet_height;
    int width, height, frame_count, flags;
    int (*cut_frames)(SpriteObject* sprite, int index);  // every frame of one sprite; 1 or 0
    const int* sequence = nullptr;                       // animation sequence 0, or none
    int sequence_length = 0;
    bool moves = false;  // starts with animation 0, the speed (start_vx, 0) and anim_period
    int start_vx = 0;
    int anim_period = 0;
    int start_state = KEEP_STATE;
    bool reset_x_only = false;  // scenery that never moves up or down: the reset writes only x
};

extern const ObjectGroup qblock_group, brick_group, brick_frag_group, power_up_group, skivit_group,
    coin_group, pipe_group, block_group;
// All of them, in the world reset's order.
constexpr int OBJECT_GROUP_COUNT = 8;
extern const ObjectGroup* const object_groups[OBJECT_GROUP_COUNT];

// What a sprite of the group starts with beyond its creation: its motion and its state.
void group_start_motion(const ObjectGroup& group, SpriteObject* sprite);
// Puts sprite index of the group back where and as it started.
void group_restart(const ObjectGroup& group, int index);
// The hero at its start: the small form in use at (20, 398), facing right, at rest; both
// forms alive.
void hero_start();
