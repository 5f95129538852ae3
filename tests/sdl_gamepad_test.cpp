// The gamepad mapping: dead zones, play and menu roles, buttons held across into play, and
// the menu's repeat.
#include <gtest/gtest.h>

#include <vector>

#include "platform/sdl/gamepad.h"
#include "platform/sdl/keymap.h"

namespace {

struct Pad {
    PadMapper mapper;
    PadBindings pads;
    uint32_t now = 1000;
    Pad() {
        pad_mapper_reset(&mapper);
        pad_bindings_default(&pads);
    }
    PadOutput step(uint32_t buttons, int in_play, int x = 0, int y = 0, uint32_t ms = 30) {
        now += ms;
        const PadState state = {buttons, x, y};
        PadOutput out;
        pad_map(&mapper, &pads, &state, in_play, now, &out);
        return out;
    }
};

std::vector<int> presses(const PadOutput& out) {
    return std::vector<int>(out.presses, out.presses + out.press_count);
}

constexpr uint32_t held(int role) {
    return 1u << role;
}

TEST(SdlGamepad, InPlayTheStickAndDpadWalkPastTheDeadZoneAndButtonsJumpAndRun) {
    Pad pad;
    pad.step(0, 1);
    EXPECT_EQ(pad.step(0, 1, PAD_DEAD_ZONE, -32768).held_roles, 0u);  // at the edge: centred
    EXPECT_EQ(pad.step(0, 1, PAD_DEAD_ZONE + 1, 0).held_roles, held(ROLE_RIGHT));
    EXPECT_EQ(pad.step(0, 1, -PAD_DEAD_ZONE - 1, 0).held_roles, held(ROLE_LEFT));
    EXPECT_EQ(pad.step(0, 1, -PAD_DEAD_ZONE, 0).held_roles, 0u);
    EXPECT_EQ(pad.step(PAD_LEFT | PAD_SOUTH, 1).held_roles, held(ROLE_LEFT) | held(ROLE_JUMP));
    EXPECT_EQ(pad.step(PAD_RIGHT | PAD_WEST, 1).held_roles, held(ROLE_RIGHT) | held(ROLE_RUN));
    EXPECT_EQ(pad.step(PAD_EAST, 1).held_roles, held(ROLE_RUN));
    // Up and down do nothing in play; Start pauses and Back is Escape, once a press; for
    // practice North quick-loads, the right shoulder quick-saves, the left one rewinds held.
    const PadOutput idle = pad.step(PAD_UP | PAD_DOWN, 1, 0, 32767);
    EXPECT_EQ(idle.held_roles, 0u);
    EXPECT_TRUE(presses(idle).empty());
    EXPECT_EQ(presses(pad.step(PAD_NORTH | PAD_RIGHT_SHOULDER, 1)),
              (std::vector<int>{ROLE_QUICK_SAVE, ROLE_QUICK_LOAD}));
    const PadOutput rewinding = pad.step(PAD_NORTH | PAD_RIGHT_SHOULDER | PAD_LEFT_SHOULDER, 1);
    EXPECT_EQ(rewinding.held_roles, held(ROLE_REWIND));
    EXPECT_TRUE(presses(rewinding).empty());
    EXPECT_EQ(presses(pad.step(PAD_START | PAD_BACK, 1)),
              (std::vector<int>{ROLE_ESCAPE, ROLE_PAUSE}));
    EXPECT_TRUE(presses(pad.step(PAD_START | PAD_BACK, 1)).empty());
}

TEST(SdlGamepad, AButtonStillDownFromTheMenuDoesNotActInPlayUntilReleased) {
    Pad pad;
    pad.step(0, 0);
    // South takes the PLAY entry; play starts while it is still down.
    EXPECT_EQ(presses(pad.step(PAD_SOUTH | PAD_RIGHT, 0)), std::vector<int>{ROLE_ENTER});
    EXPECT_EQ(pad.step(PAD_SOUTH | PAD_RIGHT, 1).held_roles, 0u);
    EXPECT_EQ(pad.step(PAD_SOUTH, 1).held_roles, 0u);  // right released...
    EXPECT_EQ(pad.step(PAD_SOUTH | PAD_RIGHT, 1).held_roles, held(ROLE_RIGHT));  // ...and back
    EXPECT_EQ(pad.step(PAD_RIGHT, 1).held_roles, held(ROLE_RIGHT));
    EXPECT_EQ(pad.step(PAD_RIGHT | PAD_SOUTH, 1).held_roles, held(ROLE_RIGHT) | held(ROLE_JUMP));
    // A press at the very step play begins counts.
    Pad fresh;
    fresh.step(0, 0);
    EXPECT_EQ(fresh.step(PAD_SOUTH, 1).held_roles, held(ROLE_JUMP));
}

TEST(SdlGamepad, TheMenuMovesOnEdgesAndRepeatsAHeldDirection) {
    Pad pad;
    pad.step(0, 0);
    EXPECT_EQ(presses(pad.step(PAD_DOWN, 0, 0, 0, 10)), std::vector<int>{ROLE_DOWN});
    // Held: nothing until the delay, then one press each repeat period.
    int count = 0;
    for (uint32_t t = 10; t < PAD_REPEAT_DELAY_MS; t += 10)
        count += pad.step(PAD_DOWN, 0, 0, 0, 10).press_count;
    EXPECT_EQ(count, 0);
    count = 0;
    for (int i = 0; i < 60; i++)  // 600 ms more
        count += pad.step(PAD_DOWN, 0, 0, 0, 10).press_count;
    EXPECT_EQ(count, 5);
    // Both directions at once repeat neither.
    count = 0;
    for (int i = 0; i < 100; i++)
        count += pad.step(PAD_DOWN | PAD_UP, 0, 0, 0, 10).press_count;
    EXPECT_EQ(count, 1);  // up was newly pressed once
    pad.step(0, 0);
    // The stick moves the highlight only when pushed firmly.
    EXPECT_TRUE(presses(pad.step(0, 0, 0, -PAD_MENU_ZONE)).empty());
    EXPECT_EQ(presses(pad.step(0, 0, 0, -PAD_MENU_ZONE - 1)), std::vector<int>{ROLE_UP});
    pad.step(0, 0);
    EXPECT_EQ(presses(pad.step(PAD_SOUTH | PAD_START | PAD_BACK, 0)),
              (std::vector<int>{ROLE_ENTER, ROLE_ESCAPE, ROLE_START}));
    EXPECT_EQ(pad.step(PAD_SOUTH | PAD_RIGHT | PAD_WEST, 0).held_roles, 0u);
}

TEST(SdlGamepad, RebuttonedRolesFollowTheirNewButtonsWhereTheyAct) {
    Pad pad;
    pad.pads.buttons[ROLE_JUMP] = PAD_NORTH;       // North was quick load
    pad.pads.buttons[ROLE_QUICK_LOAD] = PAD_EAST;  // East still runs too
    pad.pads.buttons[ROLE_DOWN] = PAD_RIGHT_SHOULDER;
    pad.pads.buttons[ROLE_HELP] = PAD_WEST;
    pad.step(0, 1);
    const PadOutput north = pad.step(PAD_NORTH, 1);
    EXPECT_EQ(north.held_roles, held(ROLE_JUMP));
    EXPECT_TRUE(presses(north).empty());
    EXPECT_EQ(pad.step(PAD_SOUTH, 1).held_roles, 0u);  // no longer jumps
    const PadOutput east = pad.step(PAD_EAST, 1);
    EXPECT_EQ(east.held_roles, held(ROLE_RUN));
    EXPECT_EQ(presses(east), std::vector<int>{ROLE_QUICK_LOAD});
    // Title roles act on the title only, and the moved Down repeats there as the D-pad did.
    EXPECT_TRUE(presses(pad.step(PAD_WEST, 1)).empty());
    pad.step(0, 0);
    EXPECT_EQ(presses(pad.step(PAD_WEST, 0)), std::vector<int>{ROLE_HELP});
    EXPECT_TRUE(presses(pad.step(PAD_DOWN, 0)).empty());
    EXPECT_EQ(presses(pad.step(PAD_RIGHT_SHOULDER, 0, 0, 0, 10)), std::vector<int>{ROLE_DOWN});
    int count = 0;
    for (int i = 0; i < 99; i++)  // 990 ms: the delay, then a press each period
        count += pad.step(PAD_RIGHT_SHOULDER, 0, 0, 0, 10).press_count;
    EXPECT_EQ(count, 5);
}

}  // namespace
