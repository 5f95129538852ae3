// The desktop's timer panel tells the figure of the frame it is drawn over: a pass's frame is
// shown before the run keeper has counted the pass, and the panel drawn then already agrees
// with the keeper's count after it, splits included, so that the last figure shown is the
// run's time on the card and in the replay's header.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/script.h"
#include "platform/sdl/sdl_backend.h"
#include "platform/sdl/settings.h"
#include "programs/common/practice.h"
#include "programs/common/replay_format.h"
#include "programs/common/run_overlay.h"
#include "programs/desktop/run_keeper.h"
#include "programs/desktop/run_screen.h"
#include "shell/app.h"
#include "shell/game_state.h"

namespace {

constexpr int W = 640, H = 480;
constexpr int WIN_PASSES = 640;

std::string read_script(const char* name) {
    std::ifstream in(std::string(QUELLARO_SOURCE_DIR "/tests/scripts/") + name);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The panel alone, as the keeper's timer says, on a frame of its own.
std::vector<uint32_t> panel_of(const RunTimer& timer) {
    std::vector<uint32_t> frame(W * H, 0xFF000000u);
    run_overlay_timer(frame.data(), W, W, H, timer, run_keeper_best());
    return frame;
}

TEST(SdlRunPanel, ShowsTheFiguresOfTheFrameItIsDrawnOverToTheRunsTime) {
    Script script;
    ASSERT_EQ(script_parse(read_script("win_level.txt"), &script), 0);
    setenv("QUELLARO_PRESENT", "cpu", 1);
    settings_default(&sdl_settings);
    sdl_settings.show_timer = 1;
    sdl_settings.show_ghost = 0;
    sdl_settings_path[0] = '\0';
    ASSERT_EQ(sdl_video_start(), 1);
    ASSERT_EQ(app_start(nullptr), 1);
    ASSERT_EQ(practice_start(nullptr), 1);
    run_keeper_begin(nullptr, false);
    int compared = 0, last_shown = -1;
    std::vector<uint32_t> shown(W * H);
    for (int pass = 0; pass < WIN_PASSES && run_keeper_result() == nullptr; ++pass) {
        InputRecord record;
        script_record(script, pass, &record);
        const int going = practice_pass(&record, 0);
        // The frame of this pass on the screen, the keeper yet to see the pass.
        const bool panel = run_keeper_timer().last.game_mode == MODE_PLAYING;
        shown.assign(W * H, 0xFF000000u);
        desktop_runs_draw(shown.data(), W, W, H);
        run_keeper_after(record, going);
        if (!panel)
            continue;
        const RunTimer& timer = run_keeper_timer();
        ASSERT_TRUE(shown == panel_of(timer)) << "pass " << pass << ", figure " << timer.passes;
        last_shown = timer.passes;
        ++compared;
    }
    EXPECT_GT(compared, 500);
    const RunResult* result = run_keeper_result();
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(result->outcome, OUTCOME_WON);
    EXPECT_EQ(last_shown, result->passes);
    // The replay the keeper made of the run has the same time in its header.
    size_t size = 0;
    const uint8_t* bytes = run_keeper_last_run(&size);
    ASSERT_NE(bytes, nullptr);
    Replay replay;
    char why[256] = "";
    ASSERT_TRUE(replay_decode_any(bytes, size, &replay, why, sizeof why)) << why;
    EXPECT_EQ(static_cast<int>(replay.timer_end.passes), last_shown);
    replay_free(&replay);
    run_keeper_end();
    practice_stop();
    app_finish();
}

}  // namespace
