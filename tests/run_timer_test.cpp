// The run timer counts passes of play: a won run's splits come in the level's order, the
// goal's split is the run's time, and the timer, the replay's header and the verifier agree
// to the pass; a death is a run that ended short of the goal.
#include "programs/common/run_timer.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/script.h"
#include "programs/common/replay_play.h"
#include "programs/common/replay_record.h"
#include "shell/app.h"
#include "shell/snapshot.h"
#include "tests/replay_support.h"
#include "tests/runner_support.h"

namespace {

struct TimedRun {
    Replay replay;
    std::vector<int> started_at;  // the passes at which a run started
    ~TimedRun() { replay_free(&replay); }
};

// Plays a committed script from the game's start, recording it as a replay.
void play(const std::string& name, int passes, TimedRun* run) {
    Script script;
    ASSERT_EQ(script_parse(read_text_file(scripts_dir() + name + ".txt"), &script), 0);
    ASSERT_EQ(app_start(nullptr), 1);
    const std::vector<uint8_t> base = game_state_now();
    ReplayRecorder recorder;
    ASSERT_TRUE(replay_record_begin(&recorder, base.data(), base.size(), true, ReplayTimes{}));
    for (int pass = 0; pass < passes; ++pass) {
        InputRecord record;
        script_record(script, pass, &record);
        const int going = app_run_pass(&record);
        if (replay_record_pass(&recorder, record) & RUN_STARTED)
            run->started_at.push_back(pass);
        if (!going)
            break;
    }
    replay_record_finish(&recorder, recorder.timer.outcome);
    ASSERT_TRUE(replay_copy(recorder.replay, &run->replay));
    replay_record_stop(&recorder);

    // Verified from the same start: the verifier's timer reads the header's figure.
    const ReplayVerdict verdict = replay_played(run->replay, base);
    EXPECT_EQ(verdict.result, VERDICT_MATCHES) << verdict.note;
    EXPECT_EQ(verdict.times.passes, run->replay.timer_end.passes);
    for (int i = 0; i < RUN_SPLITS; ++i)
        EXPECT_EQ(verdict.times.splits[i], run->replay.timer_end.splits[i]) << i;
    app_finish();
}

TEST(RunTimer, AWonRunsSplitsComeInOrderAndAllThreeFiguresAgree) {
    TimedRun run;
    ASSERT_NO_FATAL_FAILURE(play("win_level", 640, &run));
    EXPECT_EQ(run.started_at.size(), 1u);
    EXPECT_EQ(run.replay.outcome, OUTCOME_WON);
    const ReplayTimes& end = run.replay.timer_end;
    ASSERT_EQ(end.split_count, RUN_SPLITS);
    for (int i = 1; i < RUN_SPLITS; ++i)
        EXPECT_GT(end.splits[i], end.splits[i - 1]) << run_split_points[i].name;
    EXPECT_GT(end.splits[0], 0u);
    EXPECT_EQ(end.splits[RUN_SPLITS - 1], end.passes) << "the goal's split is the run's time";
    // Passes of play only: fewer than the script's, which spends some in the menu and after
    // the win.
    EXPECT_LT(end.passes, static_cast<uint32_t>(640 - run.started_at[0]));
    EXPECT_GE(run.replay.furthest, RUN_LEVEL_END - 200);
}

TEST(RunTimer, ADeathEndsTheRunShortOfTheGoal) {
    TimedRun run;
    // The script starts a new game at pass 350: the recording stops before it.
    ASSERT_NO_FATAL_FAILURE(play("pit_death", 345, &run));
    EXPECT_EQ(run.replay.outcome, OUTCOME_DIED);
    EXPECT_EQ(run.replay.timer_end.splits[RUN_SPLITS - 1], 0u);
    EXPECT_GT(run.replay.timer_end.passes, 0u);
    EXPECT_LT(run_timer_percent(run.replay.furthest), 100);

    // Past it, the new game is a run of its own: the timer starts again from nothing.
    TimedRun again;
    ASSERT_NO_FATAL_FAILURE(play("pit_death", 380, &again));
    ASSERT_EQ(again.started_at.size(), 2u);
    EXPECT_EQ(again.replay.outcome, OUTCOME_OPEN);
    // Every pass of play counts, the one that started the game included.
    EXPECT_EQ(again.replay.timer_end.passes, static_cast<uint32_t>(380 - again.started_at[1]));
}

TEST(RunTimer, TimesReadAsMinutesSecondsAndHundredths) {
    char text[32];
    const std::pair<int, const char*> times[] = {
        {0, "0:00.00"}, {578, "0:17.34"}, {2001, "1:00.03"}, {-14, "-0:00.42"}};
    for (const auto& [passes, expected] : times) {
        run_timer_text(passes, text, sizeof text);
        EXPECT_STREQ(text, expected);
    }
    const std::pair<int, const char*> differences[] = {
        {-14, "-0.42"}, {14, "+0.42"}, {0, "+0.00"}, {-2001, "-1:00.03"}};
    for (const auto& [passes, expected] : differences) {
        run_timer_difference(passes, text, sizeof text);
        EXPECT_STREQ(text, expected);
    }
}

}  // namespace
