// The real program on the headless backend: the frame loop's order, the modes as the frames
// show them, the HUD countdown, the cursor, quitting and a failed start-up.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/clock.h"
#include "engine/display.h"
#include "platform/headless/headless.h"
#include "shell/app.h"
#include "shell/game_state.h"
#include "tests/test_support.h"

namespace {

struct Seen {
    int mode;
    int selection;
    float time;
    int cursor;
    int presented;
    uint8_t corner;  // frame index at (0, 0)
    uint8_t middle;  // frame index at (320, 240)
    uint32_t tick;
};

std::vector<Seen> seen;

void after(int) {
    const uint8_t* f = headless_frame_pixels();
    seen.push_back({game_mode, menu_selection, time_left, headless_cursor_visible(),
                    headless_frames_presented(), f ? f[0] : uint8_t(0),
                    f ? f[240 * 640 + 320] : uint8_t(0), headless_time()});
}

int run(const std::string& script, int passes = 1000) {
    seen.clear();
    return test_run_program(script, passes, after);
}

class FrameLoop : public ::testing::Test {
  protected:
    void SetUp() override { test_enter_fake_assets(); }
};

}  // namespace

TEST_F(FrameLoop, OpensOnTheFirstMenuPictureWithTheCursorShown) {
    EXPECT_EQ(run("", 3), 0);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].mode, MODE_MENU);
    EXPECT_EQ(seen[0].corner, 10);
    EXPECT_EQ(seen[0].middle, 10);
    EXPECT_EQ(seen[0].cursor, 1);
    // The palette in force is the second information picture's.
    EXPECT_EQ(headless_frame_palette()[10].red, 10);
    EXPECT_EQ(headless_frame_palette()[10].green, 245);
    // Each pass takes exactly 30 virtual milliseconds.
    EXPECT_EQ(seen[1].tick - seen[0].tick, 30u);
}

TEST_F(FrameLoop, OneMessagePerPassInQueueOrder) {
    // Down, Down, H arrive together and are worked off one per pass.
    EXPECT_EQ(run("key 0 DOWN\nkey 0 DOWN\nkey 0 H\n", 4), 0);
    EXPECT_EQ(seen[0].selection, 1);
    EXPECT_EQ(seen[0].corner, 11);
    EXPECT_EQ(seen[1].selection, 2);
    EXPECT_EQ(seen[1].corner, 12);
    EXPECT_EQ(seen[2].mode, MODE_INFO1);
    EXPECT_EQ(seen[2].corner, 20);
    EXPECT_EQ(seen[3].mode, MODE_INFO1);
}

TEST_F(FrameLoop, QuitEndsTheLoopBeforeThatPassesFrameAndShutsDownOnce) {
    // Escape in the menu posts a destroy (pass 0); taking it posts the quit (pass 1), which
    // pass 2 takes before drawing.
    EXPECT_EQ(run("key 0 ESCAPE\n"), 0);
    EXPECT_EQ(seen.size(), 2u);
    EXPECT_EQ(headless_window_open(), 0);
    EXPECT_EQ(gfx_live_surfaces(), 0);
}

TEST_F(FrameLoop, QuitEntryShowsABlackFrameThenEnds) {
    EXPECT_EQ(run("key 0 UP\nkey 1 RETURN\n"), 0);
    ASSERT_GE(seen.size(), 2u);
    EXPECT_EQ(seen[1].mode, MODE_QUIT);
    EXPECT_EQ(seen[1].corner, 0);
    EXPECT_EQ(seen[1].cursor, 1);
    EXPECT_LE(seen.size(), 3u);
}

TEST_F(FrameLoop, CloseRequestEndsTheProgramLikeAQuit) {
    EXPECT_EQ(run("close 2\n"), 0);
    EXPECT_EQ(seen.size(), 3u);
}

TEST_F(FrameLoop, ClicksWorkTheMenu) {
    EXPECT_EQ(run("click 0 250 300\nkey 1 ESCAPE\nclick 2 250 330\nclick 3 246 280\n", 4), 0);
    EXPECT_EQ(seen[0].mode, MODE_INFO1);
    EXPECT_EQ(seen[0].selection, 1);
    EXPECT_EQ(seen[2].mode, MODE_INFO2);
    EXPECT_EQ(seen[3].mode, MODE_INFO2);  // clicks count only on the title menu
}

TEST_F(FrameLoop, PlayCountsTheTimeDownHidesTheCursorAndEscapeKeepsTheGame) {
    const int played = 50;
    EXPECT_EQ(run("key 0 S\nkey 50 ESCAPE\nkey 53 S\n", played + 5), 0);
    float expected = 400.0f;
    for (int i = 0; i < played; ++i) {
        expected = static_cast<float>(static_cast<double>(expected) - 0.03);
        EXPECT_EQ(seen[i].mode, MODE_PLAYING);
        EXPECT_EQ(seen[i].time, expected) << i;
        EXPECT_EQ(seen[i].cursor, 0);
    }
    EXPECT_EQ(seen[played].mode, MODE_MENU);
    EXPECT_EQ(seen[played].cursor, 1);
    EXPECT_EQ(seen[played + 1].time, expected);  // the countdown waits in the menu
    expected = static_cast<float>(static_cast<double>(expected) - 0.03);
    EXPECT_EQ(seen[played + 3].time, expected);  // and goes on from where it was
}

TEST_F(FrameLoop, HudShowsWhiteTextAndYouWinReplacesIt) {
    EXPECT_EQ(run("key 0 S\n", 1), 0);
    const int white = gfx_nearest_index(headless_frame_palette(), 0xFFFFFF);
    int label_pixels = 0, values_pixels = 0;
    const uint8_t* f = headless_frame_pixels();
    for (int y = 10; y < 26; ++y) {
        for (int x = 0; x < 640; ++x)
            label_pixels += f[y * 640 + x] == white;
    }
    for (int y = 26; y < 41; ++y) {
        for (int x = 0; x < 640; ++x)
            values_pixels += f[y * 640 + x] == white;
    }
    EXPECT_GT(label_pixels, 100);
    EXPECT_GT(values_pixels, 50);
}

TEST_F(FrameLoop, TheBlockingLoopOnLiveInputMatchesThePassesDrivenOneRecordAtATime) {
    ASSERT_EQ(run("key 0 DOWN\nkey 1 H\nkey 2 ESCAPE\nkey 3 ESCAPE\n"), 0);
    ASSERT_EQ(seen.size(), 5u);  // the quit's destroy, then its quit message
    const int presented = headless_frames_presented();
    test_tear_down();
    test_enter_fake_assets();

    // The same presses arriving at once on the live input: worked off one a pass.
    for (int key : {KEY_DOWN, KEY_H, KEY_ESCAPE, KEY_ESCAPE})
        input_queue.key_down(key);
    EXPECT_EQ(app_main(nullptr, nullptr, nullptr, 0), 0);
    EXPECT_EQ(headless_frames_presented(), presented);
    EXPECT_EQ(headless_time(), 5u * 30u);  // the sixth pass took the quit, unpaced
    InputRecord record = INPUT_RECORD_EMPTY;
    EXPECT_EQ(app_run_pass(&record), 0);  // over is over
    // Finished, the program starts again from the beginning.
    EXPECT_EQ(run("", 1), 0);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].mode, MODE_MENU);
    EXPECT_EQ(seen[0].selection, 0);
}

TEST(StartUp, APictureMissingOrNotAsDrawnIsNamedWithItsFolderAndEndsWithStatusOne) {
    struct Fault {
        const char* file;
        int width, height, bits;  // 0: the file is removed
        const char* why;
    };
    // The backdrops from dorvo4.bmp on are read only during play: they are checked too.
    const Fault faults[] = {
        {"option3.bmp", 0, 0, 0, "cannot be opened"},
        {"dorvo13.bmp", 0, 0, 0, "cannot be opened"},
        {"dorvo4.bmp", 1, 1, 8, "is 1 x 1 pixels, not 256 x 224"},
        {"dorvo9.bmp", 256, 224, 24, "is not an 8-bit picture"},
        {"menubackground1.bmp", 1, 1, 8, "is 1 x 1 pixels, not 640 x 480"},
        {"option2.bmp", 1280, 960, 8, "is 1280 x 960 pixels, not 640 x 480"},
        {"dorvo2.bmp", 512, 448, 8, "is 512 x 448 pixels, not 256 x 224"},
        {"coin.bmp", 1, 1, 8, "is 1 x 1 pixels, not 72 x 30"},
        // Larger, so that every cell could be cut, but from the wrong places.
        {"block.bmp", 100, 34, 8, "is 100 x 34 pixels, not 32 x 32"},
        {"dorvospritelarge.bmp", 128, 100, 8, "is 128 x 100 pixels, not 128 x 131"},
    };
    for (const Fault& fault : faults) {
        const std::string dir = test_enter_fake_assets();
        if (fault.width == 0) {
            std::filesystem::remove(dir + "/" + fault.file);
        } else {
            TestBmp bmp;
            bmp.width = fault.width;
            bmp.height = fault.height;
            bmp.bits = fault.bits;
            test_write_file(dir + "/" + fault.file, test_bmp_bytes(bmp));
        }
        testing::internal::CaptureStderr();
        EXPECT_EQ(run("", 5), 1) << fault.file;
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_NE(
            err.find("\"" + std::string(fault.file) + "\" in the folder " + dir + " " + fault.why),
            std::string::npos)
            << err;
        EXPECT_TRUE(seen.empty()) << fault.file;
        EXPECT_EQ(gfx_live_surfaces(), 0) << fault.file;
    }
}

TEST(StartUp, AMissingOrMalformedPaletteFileIsToldAndTheGameGoesOn) {
    for (const char* text : {"", "0 0 0 0\ngarbage", static_cast<const char*>(nullptr)}) {
        const std::string dir = test_enter_fake_assets();
        const std::string path = dir + "/" + DISPLAY_PALETTE_FILE;
        if (text) {
            std::ofstream(path) << text;
        } else {
            std::filesystem::remove(path);
        }
        testing::internal::CaptureStderr();
        EXPECT_EQ(run("", 3), 0);
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_NE(err.find("\"PALDATA2.PAL\" in the folder " + dir), std::string::npos) << err;
        EXPECT_EQ(seen.size(), 3u);  // it plays on
    }
    test_enter_fake_assets();  // a whole file is not mentioned
    testing::internal::CaptureStderr();
    EXPECT_EQ(run("", 1), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST(StartUp, NoWindowMeansExitCodeZeroBeforeAnyDisplay) {
    test_enter_fake_assets();
    headless_fail_window_open(1);
    EXPECT_EQ(run("", 5), 0);
    EXPECT_TRUE(seen.empty());
    EXPECT_EQ(headless_frames_presented(), 0);
}
