// The ghost: drawn where the best win's hero was at the same figure of the timer, worked out
// without leaving a trace in the game; and the run's overlays (ghost, timer, card) drawn at
// every pass, a best win kept and made the ghost mid-game, leave every state line as it was.
#include "programs/common/ghost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/script.h"
#include "programs/common/practice.h"
#include "programs/common/replay_line.h"
#include "programs/common/run_overlay.h"
#include "programs/desktop/run_keeper.h"
#include "shell/app.h"
#include "shell/game_state.h"
#include "shell/snapshot.h"
#include "tests/runner_support.h"
#include "tests/temp_dir.h"
#include "world/objects.h"
#include "world/world_state.h"

namespace {

constexpr int W = 640, H = 480;
constexpr int WIN_PASSES = 640;
constexpr uint32_t BLANK = 0xFF000000u;

std::string win_replay() {
    return read_text_file(scripts_dir() + "expected/win_level.qrp");
}

bool load(const std::string& bytes, const std::vector<uint8_t>& base, char* why, size_t size) {
    return ghost_load(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), base.data(),
                      base.size(), why, size);
}

std::vector<uint8_t> snapshot() {
    std::vector<uint8_t> state(GAME_SNAPSHOT_MAX);
    state.resize(game_snapshot(state.data(), state.size()));
    return state;
}

// Each pass's state line digest of win_level played as the desktop plays it: with the keeper
// (keeping runs in folder when given, so that the win becomes the best and the ghost at once)
// and, when overlays, the ghost loaded at the start and everything the run draws drawn over
// a frame of its own after every pass.
std::vector<uint64_t> play_win(bool overlays, const std::string& folder) {
    Script script;
    EXPECT_EQ(script_parse(read_text_file(scripts_dir() + "win_level.txt"), &script), 0);
    EXPECT_EQ(app_start(nullptr), 1);
    EXPECT_EQ(practice_start(nullptr), 1);
    if (overlays) {
        run_keeper_begin(folder.empty() ? nullptr : folder.c_str(), true);
        char why[256] = "";
        EXPECT_TRUE(load(win_replay(), snapshot(), why, sizeof why)) << why;
    }
    std::vector<uint32_t> frame(W * H, BLANK);
    std::vector<uint64_t> digests;
    StateLine line;
    for (int pass = 0; pass < WIN_PASSES; ++pass) {
        InputRecord record;
        script_record(script, pass, &record);
        const int going = practice_pass(&record, 0);
        if (overlays) {
            run_keeper_after(record, going);
            const RunTimer& timer = run_keeper_timer();
            ghost_draw(frame.data(), W, W, H, timer.passes, scroll_total);
            run_overlay_timer(frame.data(), W, W, H, timer, run_keeper_best());
            const RunResult* result = run_keeper_result();
            if (result != nullptr) {
                const RunCard card = {result->outcome,
                                      result->passes,
                                      result->score,
                                      result->coins,
                                      result->percent,
                                      result->beaten,
                                      false,
                                      1,
                                      "S",
                                      "Escape"};
                run_overlay_card(frame.data(), W, W, H, card);
            }
        }
        state_line_make(&line, app_next_pass() - 1);
        digests.push_back(state_line_digest(line));
    }
    run_keeper_end();
    ghost_clear();
    practice_stop();
    app_finish();
    return digests;
}

TEST(Ghost, TheRunsOverlaysAndAGhostLoadedMidGameChangeNoStateLine) {
    const std::string folder = make_temp_dir("quellaro-ghost");
    const std::vector<uint64_t> plain = play_win(false, "");
    const std::vector<uint64_t> with = play_win(true, folder);
    ASSERT_EQ(plain.size(), with.size());
    for (size_t pass = 0; pass < plain.size(); ++pass)
        ASSERT_EQ(plain[pass], with[pass]) << "pass " << pass;
    // The win was kept as the best, and became the ghost: the overlays above saw it.
    EXPECT_FALSE(read_text_file(folder + "/best-win.qrpl").empty());
}

TEST(Ghost, IsDrawnWhereTheReplaysHeroWasAtTheSameFigureOfTheTimer) {
    Script script;
    ASSERT_EQ(script_parse(read_text_file(scripts_dir() + "win_level.txt"), &script), 0);
    ASSERT_EQ(app_start(nullptr), 1);
    ASSERT_EQ(practice_start(nullptr), 1);
    run_keeper_begin(nullptr, false);
    char why[256] = "";
    ASSERT_TRUE(load(win_replay(), snapshot(), why, sizeof why)) << why;
    // The win's 578 passes of play, and the figure 0 before them.
    EXPECT_EQ(ghost_passes(), 579);
    int compared = 0, drawn = 0;
    for (int pass = 0; pass < WIN_PASSES; ++pass) {
        InputRecord record;
        script_record(script, pass, &record);
        const int going = practice_pass(&record, 0);
        // The pass's frame is shown before the keeper sees the pass: the figure the ghost is
        // drawn at then is the one the timer comes to, and stays so when shown again after.
        const int shown_at = run_timer_figure_now(run_keeper_timer());
        run_keeper_after(record, going);
        const RunTimer& timer = run_keeper_timer();
        ASSERT_EQ(shown_at, timer.passes) << "pass " << pass;
        ASSERT_EQ(run_timer_figure_now(timer), timer.passes) << "pass " << pass;
        if (timer.last.game_mode != 0 || timer.passes == 0 || level_won)
            continue;
        GhostStep step;
        ASSERT_TRUE(ghost_step(timer.passes, &step)) << timer.passes;
        const int x = static_cast<int>(hero->x), y = static_cast<int>(hero->y);
        ASSERT_EQ(step.world_x, x + scroll_total) << "pass " << pass;
        ASSERT_EQ(step.y, y) << "pass " << pass;
        ASSERT_EQ(step.large, hero == &hero_large) << "pass " << pass;
        ASSERT_EQ(step.frame, hero->frame) << "pass " << pass;
        ++compared;
        // Drawn on an empty frame, the ghost's pixels begin at the hero's place on screen.
        if (pass % 50 != 0 || !step.shown)
            continue;
        std::vector<uint32_t> frame(W * H, BLANK);
        ghost_draw(frame.data(), W, W, H, timer.passes, scroll_total);
        int left = W, top = H;
        for (int i = 0; i < W * H; ++i) {
            if (frame[i] != BLANK) {
                left = std::min(left, i % W);
                top = std::min(top, i / W);
            }
        }
        EXPECT_GE(left, x) << "pass " << pass;
        EXPECT_LE(left, x + 4) << "pass " << pass;
        EXPECT_GE(top, y) << "pass " << pass;
        EXPECT_LE(top, y + 8) << "pass " << pass;
        ++drawn;
    }
    EXPECT_GT(compared, 500);
    EXPECT_GT(drawn, 5);
    // Past the ghost's end nothing is drawn.
    std::vector<uint32_t> frame(W * H, BLANK);
    ghost_draw(frame.data(), W, W, H, 579, 0);
    EXPECT_EQ(std::count(frame.begin(), frame.end(), BLANK), W * H);
    EXPECT_EQ(ghost_look(579, 0), 0);
    run_keeper_end();
    ghost_clear();
    practice_stop();
    app_finish();
}

TEST(Ghost, AReplayThatCannotBeTheGhostLeavesTheGameAndTheGhostAsTheyWere) {
    ASSERT_EQ(app_start(nullptr), 1);
    const std::vector<uint8_t> base = snapshot();
    char why[256] = "";
    ASSERT_TRUE(load(win_replay(), base, why, sizeof why)) << why;
    // Loading played passes unseen: the game is back where it was, to the byte.
    EXPECT_EQ(snapshot(), base);
    // Damaged bytes, and a run that never starts a game (the title's menus only).
    std::string damaged = win_replay();
    damaged[damaged.size() / 2] ^= 0x5A;
    EXPECT_FALSE(load(damaged, base, why, sizeof why));
    EXPECT_NE(why[0], '\0');
    std::string menus;
    {
        const std::string folder = make_temp_dir("quellaro-ghost");
        const std::string path = folder + "/menus.qrp";
        const std::string command = std::string(QUELLARO_RUNNER) + " --script " + scripts_dir() +
                                    "menus.txt --passes 10 --replay-out " + path +
                                    " > /dev/null 2>&1";
        ASSERT_EQ(std::system(command.c_str()), 0);
        menus = read_text_file(path);
    }
    why[0] = '\0';
    EXPECT_FALSE(load(menus, base, why, sizeof why));
    EXPECT_STREQ(why, "it holds no run from a new game");
    EXPECT_EQ(snapshot(), base);
    EXPECT_EQ(ghost_passes(), 579);
    ghost_clear();
    EXPECT_EQ(ghost_passes(), 0);
    app_finish();
}

}  // namespace
