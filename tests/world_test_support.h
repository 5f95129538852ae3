// Shared set-up for the world tests: generated pictures, the level loaded from them, a
// locked frame to test floors against, held keys, parking objects out of the way, and the
// fixture that brings all of it up and down again.
#pragma once
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "shell/game_state.h"
#include "world/blocks.h"
#include "world/collide.h"
#include "world/hero.h"
#include "world/level.h"
#include "world/load.h"
#include "world/objects.h"
#include "world/power_up.h"
#include "world/reset.h"
#include "world/scenery.h"
#include "world/scroll.h"
#include "world/skivits.h"
#include "world/world_frame.h"
#include "world/world_state.h"

// Colour of the generated pictures and of the cleared test frame (never the pit colour).
constexpr int TEST_GROUND_COLOR = 7;

// Writes an 8-bit picture of w x h pixels in one colour.
bool write_test_bitmap(const std::string& path, int w, int h, int color);
// A fresh directory with every level picture, generated; its path.
std::string make_test_pictures();
// Display up, every load step run from generated pictures; false on any failure.
bool load_test_world();
// The directory load_test_world read its pictures from.
const std::string& test_picture_dir();
// Clears the back surface to TEST_GROUND_COLOR and locks it (pits: paint PIT_COLOR).
void lock_test_frame();
void unlock_test_frame();
// Paints a pit into the locked frame: columns x0..x1 from the floor line down.
void paint_pit(int x0, int x1);
// Exactly these play keys are held from now on.
void hold_keys(std::initializer_list<int> keys);
// Moves every world object but the hero far off screen and takes the power-up and the
// enemies out of play, so a test can bring in just what it needs.
void clear_stage();
// One played frame of the world in the frame's order (drawing, locked updates, hero drawn),
// on a frame cleared to TEST_GROUND_COLOR.
void play_world_frame();

// The world tests' fixture: the level loaded from generated pictures, the stage cleared of all
// but the hero, no keys held, play mode; afterwards the frame unlocked and the program torn
// down to its state at load.
class WorldTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
};
