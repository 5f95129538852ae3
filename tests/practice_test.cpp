// The practice tools on the headless backend: rewind shows each earlier pass as it was and
// plays on from there as the game would have; it reaches a minute back within its memory;
// slow motion stretches only the time between passes; quick save and load go back to the
// slot and refuse what is not this game's; the practised mark follows the current game.
#include "programs/common/practice.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/clock.h"
#include "platform/headless/headless.h"
#include "platform/script.h"
#include "shell/app.h"
#include "shell/game_state.h"
#include "shell/savestate.h"
#include "shell/snapshot.h"
#include "tests/runner_support.h"
#include "tests/test_support.h"

namespace {

// The quick-save slot in memory.
std::vector<uint8_t> slot_bytes;
int store(const uint8_t* form, size_t size, char*, size_t) {
    slot_bytes.assign(form, form + size);
    return 1;
}
size_t fetch(uint8_t* out, size_t room, char* why, size_t) {
    why[0] = '\0';
    if (slot_bytes.empty() || slot_bytes.size() > room)
        return 0;
    std::memcpy(out, slot_bytes.data(), slot_bytes.size());
    return slot_bytes.size();
}
const PracticeSlot memory_slot = {store, fetch};

// What a pass left: the state and the frame as shown.
struct Seen {
    std::vector<uint8_t> state;
    std::vector<uint8_t> frame;
    bool operator==(const Seen&) const = default;
};

Seen seen_now() {
    Seen seen;
    seen.state.resize(GAME_SNAPSHOT_MAX);
    seen.state.resize(game_snapshot(seen.state.data(), seen.state.size()));
    const uint8_t* pixels = headless_frame_pixels();
    seen.frame.assign(pixels, pixels + 640 * 480);
    return seen;
}

class Practice : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(script_parse(read_text_file(scripts_dir() + "/win_level.txt"), &script), 0);
        ASSERT_EQ(app_start(nullptr), 1);
        ASSERT_EQ(practice_start(&memory_slot), 1);
        slot_bytes.clear();
    }
    void TearDown() override { practice_stop(); }

    // One paced pass of a program: the script's record (or rewind held), the pass, its pace.
    Seen pass(bool rewind = false) {
        clock_start();
        InputRecord record;
        script_record(script, app_next_pass(), &record);
        EXPECT_EQ(practice_pass(&record, rewind), 1);
        clock_wait(practice_pass_ms());
        return seen_now();
    }

    Script script;
};

TEST_F(Practice, RewindShowsEachEarlierPassAsItWasAndPlaysOnAsTheGameWouldHave) {
    std::vector<Seen> straight;
    straight.reserve(420);
    for (int i = 0; i < 420; ++i)
        straight.push_back(pass());
    headless_clear_sounds();
    // Back pass by pass: the frame shown and the state are those of the pass before.
    for (int back = 1; back <= 150; ++back) {
        ASSERT_TRUE(pass(true) == straight[419 - back]) << "step " << back;
        ASSERT_EQ(app_next_pass(), 420 - back);
    }
    EXPECT_EQ(headless_sound_count(), 0);  // rewind is silent
    EXPECT_STREQ(practice_note(platform_ticks()), "Rewind");
    // Let go: the game plays on from there exactly as it did.
    for (int i = 270; i < 420; ++i)
        ASSERT_TRUE(pass() == straight[i]) << "pass " << i;
    EXPECT_EQ(practice_practised(), 1);
}

TEST_F(Practice, RewindReachesAMinuteBackWithinItsMemoryAndStopsThere) {
    for (int i = 0; i < 2600; ++i)
        pass();
    EXPECT_GE(practice_reach(), REWIND_PASSES);
    EXPECT_LE(practice_history_bytes(), size_t{64} << 20);
    int steps = 0;
    for (int last = app_next_pass(); steps < 2100; ++steps) {
        pass(true);
        if (app_next_pass() == last)
            break;  // as far as it reaches
        last = app_next_pass();
    }
    EXPECT_GE(steps, REWIND_PASSES - 1);
    EXPECT_LT(steps, 2100);
    EXPECT_LE(app_next_pass(), 2600 - REWIND_PASSES + 1);
}

// Slow motion and the game-speed assist stretch only the time between passes: the game's
// passes, state and frames are the same at every speed, and the assist marks the game.
TEST_F(Practice, SlowMotionAndTheSpeedAssistStretchOnlyTheTimeBetweenPasses) {
    std::vector<Seen> straight;
    straight.reserve(300);
    for (int i = 0; i < 300; ++i)
        straight.push_back(pass());
    test_tear_down();
    SetUp();
    // Slow motion at 50, 150 and 250 goes 0.5x, 0.25x, 1x; the assist at 20, 120 and 220
    // goes 90, 75 and 50 percent.
    const uint32_t before_slow[] = {30, 60, 120}, after_slow[] = {60, 120, 30};
    const char* const notes[] = {"0.5x", "0.25x", "1x"};
    const int assist[] = {90, 75, 50};
    for (int i = 0; i < 300; ++i) {
        const int k = i / 100;
        if (i % 100 == 20) {
            practice_set_assist(assist[k]);
            EXPECT_EQ(practice_pass_ms(), before_slow[k] * 100 / assist[k]);
            EXPECT_EQ(practice_practised(), 1);
        }
        if (i % 100 == 50) {
            practice_command(COMMAND_SLOW_MOTION);
            EXPECT_EQ(practice_pass_ms(), after_slow[k] * 100 / assist[k]);
            EXPECT_STREQ(practice_note(platform_ticks()), notes[k]);
        }
        const uint32_t before = headless_time();
        ASSERT_TRUE(pass() == straight[i]) << "pass " << i;
        EXPECT_EQ(headless_time() - before, practice_pass_ms());
    }
    practice_set_assist(100);
    EXPECT_EQ(practice_pass_ms(), 30u);
    EXPECT_EQ(practice_practised(), 1);  // played partly with it: still marked
    practice_set_assist(33);             // not one of the speeds: full speed
    EXPECT_EQ(practice_assist(), 100);
}

TEST_F(Practice, QuickLoadGoesBackToTheSlotAndRefusesAnotherGamesLeavingThisOne) {
    practice_command(COMMAND_QUICK_LOAD);
    pass();
    EXPECT_STREQ(practice_note(platform_ticks()), "No save yet");
    EXPECT_EQ(practice_practised(), 0);
    for (int i = 0; i < 100; ++i)
        pass();
    practice_command(COMMAND_QUICK_SAVE);
    const Seen at_save = seen_now();
    const Seen after_save = pass();
    EXPECT_STREQ(practice_note(platform_ticks()), "Saved");
    ASSERT_GT(slot_bytes.size(), SAVESTATE_HEADER);
    for (int i = 0; i < 50; ++i)
        pass();
    practice_command(COMMAND_QUICK_LOAD);
    // The pass after the load runs from the saved state: as the pass after the save did.
    EXPECT_TRUE(pass() == after_save);
    EXPECT_STREQ(practice_note(platform_ticks()), "Loaded");
    EXPECT_EQ(app_next_pass(), 102);
    // Another version's save: refused with its note, and the game plays on where it was.
    slot_bytes[12] = '9';
    practice_command(COMMAND_QUICK_LOAD);
    pass();
    EXPECT_STREQ(practice_note(platform_ticks()), "Save is from another version");
    EXPECT_EQ(app_next_pass(), 103);
    EXPECT_FALSE(seen_now() == at_save);
}

TEST_F(Practice, ToolsMarkTheGameAsPractisedUntilANewGameFromTheTitle) {
    // The hero falls into a pit; a new game starts at pass 350, and is left for the menu and
    // taken up again at 365 and 367.
    script = Script{};
    ASSERT_EQ(script_parse(read_text_file(scripts_dir() + "/pit_death.txt"), &script), 0);
    ASSERT_EQ(script_parse("key 365 ESCAPE\nkey 367 S\n", &script), 0);
    for (int i = 0; i < 50; ++i)
        pass();
    practice_command(COMMAND_FRAME_ADVANCE);
    for (int i = 50; i < 350; ++i)
        pass();
    EXPECT_EQ(game_mode, MODE_MENU);
    EXPECT_EQ(practice_practised(), 1);
    pass();
    EXPECT_EQ(game_mode, MODE_PLAYING);
    EXPECT_EQ(practice_practised(), 0);
    practice_command(COMMAND_SLOW_MOTION);
    for (int i = 351; i < 370; ++i)
        pass();
    EXPECT_EQ(game_mode, MODE_PLAYING);
    EXPECT_EQ(practice_practised(), 1);  // the same game, gone on with
}

TEST_F(Practice, GoingBackIsRefusedWhileRecordingOrReplaying) {
    for (int i = 0; i < 50; ++i)
        pass();
    practice_command(COMMAND_QUICK_SAVE);
    pass();
    practice_allow_going_back(0);
    practice_command(COMMAND_QUICK_LOAD);
    const int before = app_next_pass();
    pass(true);
    EXPECT_EQ(app_next_pass(), before + 1);  // played on, not back
    EXPECT_STREQ(practice_note(platform_ticks()), "Not while recording or replaying");
    EXPECT_EQ(practice_can_restart(), 0);
    EXPECT_EQ(practice_restart(), 0);
    EXPECT_EQ(app_next_pass(), before + 1);
}

// Restart level puts back the state as this game began, whatever came since (a quick load
// included), and the game goes on from it as it did the first time.
TEST_F(Practice, RestartGoesBackToTheGamesFirstStateAndPlaysOnAsBefore) {
    EXPECT_EQ(practice_can_restart(), 0);  // the title: no game yet
    std::vector<Seen> straight;
    int began = -1;
    for (int i = 0; i < 120; ++i) {
        const int was = game_mode;
        straight.push_back(pass());
        if (was != MODE_PLAYING && game_mode == MODE_PLAYING)
            began = i;
    }
    ASSERT_GE(began, 0);
    ASSERT_LT(began, 100);
    practice_command(COMMAND_QUICK_SAVE);
    pass();
    practice_command(COMMAND_QUICK_LOAD);
    pass();
    ASSERT_EQ(practice_can_restart(), 1);
    ASSERT_EQ(practice_restart(), 1);
    EXPECT_EQ(seen_now().state, straight[began].state);
    EXPECT_EQ(practice_practised(), 1);
    for (int i = began + 1; i < 120; ++i)
        EXPECT_TRUE(pass() == straight[i]) << "pass " << i;
}

}  // namespace
