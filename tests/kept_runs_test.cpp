// Runs the desktop keeps: the last 20 and the best win, each a replay that plays back to the
// run it was; the best's text read back, and a write that fails never called kept.
#include "programs/desktop/kept_runs.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>

#include "platform/file_write.h"
#include "platform/script.h"
#include "programs/common/ghost.h"
#include "programs/common/practice.h"
#include "programs/common/replay_play.h"
#include "programs/desktop/run_keeper.h"
#include "shell/app.h"
#include "shell/snapshot.h"
#include "tests/replay_support.h"
#include "tests/runner_support.h"
#include "tests/temp_dir.h"

namespace {

std::set<std::string> names_in(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

std::string contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Plays a committed script through the practice tools and the keeper, as the desktop does;
// rewind is held from pass rewind_from for 10 passes (after which the game's own pass picks
// the script's records again, as the desktop's replay of a script does).
void play(const std::string& folder, const std::string& name, int passes, int rewind_from = -1,
          const BestStore* store = nullptr) {
    Script script;
    ASSERT_EQ(script_parse(read_text_file(scripts_dir() + name + ".txt"), &script), 0);
    ASSERT_EQ(app_start(nullptr), 1);
    ASSERT_EQ(practice_start(nullptr), 1);
    if (store != nullptr)
        run_keeper_begin_stored(store, true);
    else
        run_keeper_begin(folder.c_str(), true);
    for (int pass = 0; pass < passes; ++pass) {
        InputRecord record;
        script_record(script, app_next_pass(), &record);
        const int going = practice_pass(
            &record, rewind_from >= 0 && pass >= rewind_from && pass < rewind_from + 10);
        run_keeper_after(record, going);
        if (!going)
            break;
    }
}

void finish() {
    run_keeper_end();
    practice_stop();
    app_finish();
}

// The kept replay plays back from the game's start to its own final digest.
void expect_replays(const std::string& path, int outcome, int passes, int flags = 0) {
    const std::string bytes = contents(path);
    Replay replay;
    char why[REPLAY_WHY_MAX] = "";
    ASSERT_TRUE(replay_decode(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), &replay,
                              why, sizeof why))
        << why;
    EXPECT_EQ(replay.outcome, outcome);
    EXPECT_EQ(replay.flags & (REPLAY_PRACTISED | REPLAY_CONTINUED), flags);
    EXPECT_EQ(static_cast<int>(replay.timer_end.passes), passes);
    ASSERT_EQ(app_start(nullptr), 1);
    const ReplayVerdict verdict = replay_played(replay, game_state_now());
    EXPECT_EQ(verdict.result, VERDICT_MATCHES) << verdict.note;
    replay_free(&replay);
    app_finish();
}

TEST(KeptRuns, AWinIsKeptAsTheBestAndItsReplayPlaysBackToIt) {
    const std::string folder = make_temp_dir("quellaro-runs") + "/runs";
    ASSERT_NO_FATAL_FAILURE(play(folder, "win_level", 640));
    const RunResult* card = run_keeper_result();
    ASSERT_NE(card, nullptr);
    EXPECT_EQ(card->outcome, OUTCOME_WON);
    EXPECT_EQ(card->percent, 100);
    EXPECT_EQ(card->beaten, BEAT_TIME | BEAT_SCORE);
    EXPECT_TRUE(card->kept);
    const int time = card->passes;
    EXPECT_EQ(time, run_keeper_timer().passes);
    finish();

    EXPECT_EQ(names_in(folder),
              (std::set<std::string>{"run-000001.qrpl", "best-win.qrpl", "best.txt"}));
    EXPECT_EQ(contents(folder + "/run-000001.qrpl"), contents(folder + "/best-win.qrpl"));
    PersonalBest best;
    char why[FILE_WHY_MAX] = "";
    ASSERT_TRUE(kept_runs_read_best(folder.c_str(), &best, why, sizeof why)) << why;
    EXPECT_EQ(best.time, time);
    EXPECT_EQ(best.splits[RUN_SPLITS - 1], time);
    EXPECT_GT(best.score, 0);
    ASSERT_NO_FATAL_FAILURE(expect_replays(folder + "/best-win.qrpl", OUTCOME_WON, time));

    // The same win again ties the best: kept, but the best and its replay stay.
    ASSERT_NO_FATAL_FAILURE(play(folder, "win_level", 640));
    ASSERT_NE(run_keeper_result(), nullptr);
    EXPECT_EQ(run_keeper_result()->beaten, 0);
    EXPECT_EQ(run_keeper_best().time, time) << "read back when the game started";
    finish();
    EXPECT_TRUE(names_in(folder).count("run-000002.qrpl"));
}

// A browser's storage: bytes by name, refusing every write when full.
std::map<std::string, std::string> stored;
bool storage_full;
int stored_get(const char* name, uint8_t* out, int room) {
    const auto at = stored.find(name);
    if (at == stored.end())
        return 0;
    if (static_cast<int>(at->second.size()) > room)
        return -1;
    std::copy(at->second.begin(), at->second.end(), out);
    return static_cast<int>(at->second.size());
}
bool stored_put(const char* name, const uint8_t* bytes, int size) {
    if (!storage_full)
        stored[name].assign(reinterpret_cast<const char*>(bytes), static_cast<size_t>(size));
    return !storage_full;
}
const BestStore store = {stored_get, stored_put};

TEST(KeptRuns, AStoreKeepsTheBestWinAndGivesItBackAsTheBestAndTheGhost) {
    stored.clear();
    storage_full = true;
    ASSERT_NO_FATAL_FAILURE(play("", "win_level", 640, -1, &store));
    ASSERT_NE(run_keeper_result(), nullptr);
    const int time = run_keeper_result()->passes;
    EXPECT_EQ(run_keeper_result()->beaten, BEAT_TIME | BEAT_SCORE);
    EXPECT_EQ(run_keeper_result()->keeping, false) << "no run is kept but the best";
    finish();
    EXPECT_TRUE(stored.empty()) << "a full storage keeps nothing, and that is said";

    storage_full = false;
    ASSERT_NO_FATAL_FAILURE(play("", "win_level", 640, -1, &store));
    finish();
    PersonalBest best;
    ASSERT_TRUE(
        personal_best_parse(stored["quellaro.best"].data(), stored["quellaro.best"].size(), &best));
    EXPECT_EQ(best.time, time);
    Replay win;
    char why[REPLAY_WHY_MAX] = "";
    ASSERT_TRUE(replay_decode(reinterpret_cast<const uint8_t*>(stored["quellaro.best-win"].data()),
                              stored["quellaro.best-win"].size(), &win, why, sizeof why))
        << why;
    EXPECT_EQ(static_cast<int>(win.timer_end.passes), time);
    replay_free(&win);

    // The next game reads both back: the timer's best, and the ghost.
    ASSERT_NO_FATAL_FAILURE(play("", "win_level", 1, -1, &store));
    EXPECT_EQ(run_keeper_best().time, time);
    EXPECT_EQ(ghost_passes(), time + 1);
    finish();
}

TEST(KeptRuns, AReplaysRunIsNeverTheBestNorIsThePlayOnFromWhereItEnded) {
    stored.clear();
    storage_full = false;
    Script script;
    ASSERT_EQ(script_parse(read_text_file(scripts_dir() + "win_level.txt"), &script), 0);
    for (const int own_at : {-1, 300}) {
        ASSERT_EQ(app_start(nullptr), 1);
        ASSERT_EQ(practice_start(nullptr), 1);
        run_keeper_begin_stored(&store, true);
        run_keeper_disown();
        for (int pass = 0; pass < 640; ++pass) {
            if (pass == own_at)
                run_keeper_own();
            InputRecord record;
            script_record(script, pass, &record);
            run_keeper_after(record, practice_pass(&record, 0));
        }
        ASSERT_NE(run_keeper_result(), nullptr) << own_at;
        EXPECT_EQ(run_keeper_result()->beaten, 0) << own_at;
        finish();
        EXPECT_TRUE(stored.empty()) << own_at;
    }
}

TEST(KeptRuns, ADeathIsKeptWhereItEndedAndANewGameIsARunOfItsOwn) {
    const std::string folder = make_temp_dir("quellaro-runs");
    // The script dies, starts a new game at pass 350 and plays on.
    ASSERT_NO_FATAL_FAILURE(play(folder, "pit_death", 345));
    const RunResult* card = run_keeper_result();
    ASSERT_NE(card, nullptr) << "the card once the title is back";
    EXPECT_EQ(card->outcome, OUTCOME_DIED);
    EXPECT_GT(card->percent, 0);
    EXPECT_LT(card->percent, 100);
    EXPECT_EQ(card->beaten & BEAT_TIME, 0);
    const int died_at = card->passes;
    for (int pass = 345; pass < 380; ++pass) {
        InputRecord record = INPUT_RECORD_EMPTY;
        Script script;
        ASSERT_EQ(script_parse(read_text_file(scripts_dir() + "pit_death.txt"), &script), 0);
        script_record(script, pass, &record);
        run_keeper_after(record, practice_pass(&record, 0));
    }
    EXPECT_EQ(run_keeper_result(), nullptr) << "a new game puts the card away";
    EXPECT_LT(run_keeper_timer().passes, died_at);
    finish();
    ASSERT_TRUE(names_in(folder).count("run-000001.qrpl"));
    ASSERT_NO_FATAL_FAILURE(expect_replays(folder + "/run-000001.qrpl", OUTCOME_DIED, died_at));
}

TEST(KeptRuns, ARewoundRunIsKeptMarkedFromWhereItWentBackAndNeverABest) {
    const std::string folder = make_temp_dir("quellaro-runs");
    ASSERT_NO_FATAL_FAILURE(play(folder + "/straight", "pit_death", 345));
    ASSERT_NE(run_keeper_result(), nullptr);
    const int straight = run_keeper_result()->passes;
    finish();
    ASSERT_NO_FATAL_FAILURE(play(folder, "pit_death", 345 + 20, 120));
    const RunResult* card = run_keeper_result();
    ASSERT_NE(card, nullptr);
    EXPECT_TRUE(card->practised);
    EXPECT_EQ(card->beaten, 0);
    EXPECT_TRUE(card->kept);
    const int passes = card->passes;
    EXPECT_EQ(passes, straight) << "the timer went back with the game";
    finish();
    EXPECT_FALSE(names_in(folder).count("best.txt"));
    // It starts where the rewind left the game, and plays back from there to its end.
    ASSERT_NO_FATAL_FAILURE(expect_replays(folder + "/run-000001.qrpl", OUTCOME_DIED, passes,
                                           REPLAY_PRACTISED | REPLAY_CONTINUED));
}

TEST(KeptRuns, OnlyTheLastTwentyStayBesideTheBestAndOtherFiles) {
    const std::string folder = make_temp_dir("quellaro-runs");
    std::ofstream(folder + "/notes.txt") << "mine";
    std::ofstream(folder + "/best-win.qrpl") << "best";
    char name[64], why[FILE_WHY_MAX];
    for (int i = 1; i <= KEPT_RUNS + 2; ++i) {
        const std::string bytes = "run " + std::to_string(i);
        ASSERT_TRUE(kept_runs_write(folder.c_str(), reinterpret_cast<const uint8_t*>(bytes.data()),
                                    bytes.size(), name, sizeof name, why, sizeof why))
            << why;
    }
    EXPECT_STREQ(name, "run-000022.qrpl");
    const std::set<std::string> names = names_in(folder);
    EXPECT_EQ(names.size(), static_cast<size_t>(KEPT_RUNS + 2));
    EXPECT_FALSE(names.count("run-000002.qrpl"));
    EXPECT_TRUE(names.count("run-000003.qrpl"));
    EXPECT_EQ(contents(folder + "/run-000022.qrpl"), "run 22");
    EXPECT_EQ(contents(folder + "/notes.txt"), "mine");
    EXPECT_EQ(contents(folder + "/best-win.qrpl"), "best");
}

TEST(KeptRuns, AWriteThatFailsIsReportedAndKeepsNothing) {
    const std::string root = make_temp_dir("quellaro-runs");
    std::ofstream(root + "/file") << "not a folder";
    const std::string folder = root + "/file/runs";
    char name[64] = "", why[FILE_WHY_MAX] = "";
    EXPECT_FALSE(kept_runs_write(folder.c_str(), reinterpret_cast<const uint8_t*>("x"), 1, name,
                                 sizeof name, why, sizeof why));
    EXPECT_NE(why[0], '\0');
    why[0] = '\0';
    EXPECT_FALSE(
        kept_runs_write_best(folder.c_str(), PERSONAL_BEST_NONE, nullptr, 0, why, sizeof why));
    EXPECT_NE(why[0], '\0');

    // The keeper plays on, and its card says the run was not kept.
    ASSERT_NO_FATAL_FAILURE(play(folder, "win_level", 640));
    ASSERT_NE(run_keeper_result(), nullptr);
    EXPECT_FALSE(run_keeper_result()->kept);
    finish();
}

TEST(PersonalBest, ReadsBackWhatItWritesAndRefusesWhatIsNotFigures) {
    const PersonalBest best = {1234, {300, 900, 1100, 1234}, 5400};
    char text[PERSONAL_BEST_TEXT_MAX];
    personal_best_text(best, text, sizeof text);
    PersonalBest back;
    ASSERT_TRUE(personal_best_parse(text, std::strlen(text), &back));
    EXPECT_EQ(back.time, 1234);
    EXPECT_EQ(back.splits[2], 1100);
    EXPECT_EQ(back.score, 5400);
    const std::string other = "# mine\nwhatever 3\ntime 10\nsplits 1 2 3 10\n";
    ASSERT_TRUE(personal_best_parse(other.data(), other.size(), &back));
    EXPECT_EQ(back.time, 10);
    EXPECT_EQ(back.score, -1);
    for (const char* bad :
         {"time x\n", "time 99999999999\n", "splits 1 2\n", "time 10\nsplits 1 2 3 11\n"}) {
        EXPECT_FALSE(personal_best_parse(bad, std::strlen(bad), &back)) << bad;
        EXPECT_EQ(back.time, 0) << bad;
    }
}

TEST(PersonalBest, APractisedOrContinuedRunBeatsNothingAndOnlyAWinHasATime) {
    const PersonalBest best = {1000, {}, 3000};
    Replay run;
    run.outcome = OUTCOME_WON;
    run.timer_end.passes = 900;
    run.score = 4000;
    EXPECT_EQ(personal_best_beaten(best, run), BEAT_TIME | BEAT_SCORE);
    EXPECT_EQ(personal_best_beaten(PERSONAL_BEST_NONE, run), BEAT_TIME | BEAT_SCORE);
    run.flags = REPLAY_PRACTISED;
    EXPECT_EQ(personal_best_beaten(best, run), 0);
    run.flags = REPLAY_CONTINUED;
    EXPECT_EQ(personal_best_beaten(best, run), 0);
    run.flags = 0;
    run.outcome = OUTCOME_DIED;
    EXPECT_EQ(personal_best_beaten(best, run), BEAT_SCORE);
    run.timer_end.passes = 1100;
    run.outcome = OUTCOME_WON;
    run.score = 3000;
    EXPECT_EQ(personal_best_beaten(best, run), 0) << "slower, and a tie is no new best";
}

}  // namespace
