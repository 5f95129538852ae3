// The desktop's runs: recorded, kept, timed and judged against the best.
#include "programs/desktop/run_keeper.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/file_read.h"
#include "platform/file_write.h"
#include "platform/text_escape.h"
#include "programs/common/ghost.h"
#include "programs/common/personal_best.h"
#include "programs/common/practice.h"
#include "programs/common/replay_record.h"
#include "programs/desktop/kept_runs.h"
#include "shell/app.h"
#include "shell/snapshot.h"

namespace {

// The state the game started in (the base replays code their start against), where runs
// go (empty: nowhere), the recorder of the replay under way and whether it has seen play
// and a new game begin.
uint8_t base[GAME_SNAPSHOT_MAX];
size_t base_length;
std::string folder;
bool keeping;
// Where the best goes without a folder (null: nowhere), and whether the best is the player's
// to take.
const BestStore* store;
bool keeping_best;
// Whether the runs were the player's when the keeper began (a replay disowns them a while).
bool own_runs;
// Names of the best and its win in a store.
constexpr const char* STORED_BEST = "quellaro.best";
constexpr const char* STORED_BEST_WIN = "quellaro.best-win";
// A best win's replay read from a store.
uint8_t stored_win[1 << 18];
ReplayRecorder recorder;
bool played, started;
// The quick loads, rewinds and restarts seen so far.
int jumps_seen;
// The timer after each of the last passes, by the game's pass number, so that a rewind or a
// restart puts the timer back with the game: eight minutes of passes, more than rewind
// reaches and than the level's clock lets one game run.
constexpr int TIMER_HISTORY = 16384;
struct TimerAt {
    int pass;  // -1: none
    int passes;
    int splits[RUN_SPLITS];
    int furthest;
    int outcome;
};
TimerAt history[TIMER_HISTORY];
// The best now, the best when the run began, and the card.
PersonalBest best = PERSONAL_BEST_NONE;
PersonalBest best_before = PERSONAL_BEST_NONE;
RunResult result;
bool result_shown;
// The finished replay's bytes.
ReplayBytes bytes;

void remember(const RunTimer& timer) {
    const int pass = app_next_pass() - 1;
    if (pass < 0)
        return;
    TimerAt& at = history[pass % TIMER_HISTORY];
    at.pass = pass;
    at.passes = timer.passes;
    std::memcpy(at.splits, timer.splits, sizeof at.splits);
    at.furthest = timer.furthest;
    at.outcome = timer.outcome;
}

// The timer as it was after the game's last pass, when that pass is remembered (a game put
// back by a rewind or a restart); else as it is (a quick load of some other game).
void put_timer_back(RunTimer* timer) {
    const int pass = app_next_pass() - 1;
    const TimerAt& at = history[(pass < 0 ? 0 : pass) % TIMER_HISTORY];
    if (pass < 0 || at.pass != pass)
        return;
    timer->passes = at.passes;
    std::memcpy(timer->splits, at.splits, sizeof timer->splits);
    timer->furthest = at.furthest;
    timer->outcome = at.outcome;
}

void begin_from_here(const ReplayTimes& times, uint8_t flags) {
    if (!replay_record_begin(&recorder, base, base_length, false, times, flags))
        std::fprintf(stderr, "Quellaro 2005: no memory to record this run; it is not kept\n");
    recorder.journal.clear();
    played = started = false;
}

bool save_best(bool win);

// Writes the run that just ended and the best it beat; says on standard error when either
// could not be written, and never calls it kept.
void keep(int outcome) {
    replay_record_finish(&recorder, outcome);
    uint8_t flags = recorder.replay.flags;
    if (practice_practised())
        flags |= REPLAY_PRACTISED;
    if (!started)
        flags |= REPLAY_CONTINUED;
    replay_record_mark(&recorder, flags, nullptr);
    const Replay& run = recorder.replay;
    result = RunResult{outcome,
                       static_cast<int>(run.timer_end.passes),
                       run.score,
                       run.coins,
                       run_timer_percent(run.furthest),
                       keeping_best ? personal_best_beaten(best, run) : 0,
                       (flags & REPLAY_PRACTISED) != 0,
                       keeping,
                       false};
    if (outcome == OUTCOME_WON)
        result.percent = 100;
    bytes.clear();
    const bool encoded = !recorder.failed && replay_encode(run, false, &bytes);
    if (keeping && !encoded) {
        std::fprintf(stderr, "Quellaro 2005: no memory to keep this run\n");
    } else if (keeping) {
        char name[64], why[FILE_WHY_MAX] = "";
        result.kept = kept_runs_write(folder.c_str(), bytes.items, static_cast<size_t>(bytes.count),
                                      name, sizeof name, why, sizeof why);
        if (!result.kept)
            std::fprintf(stderr, "Quellaro 2005: the run was not kept in %s: %s\n",
                         text_escaped(folder).c_str(), why);
    }
    if (result.beaten != 0 && keeping_best) {
        personal_best_take(&best, run, result.beaten);
        const bool win = (result.beaten & BEAT_TIME) != 0 && encoded;
        save_best(win);
        // The new best win is the ghost from now on.
        char why[REPLAY_WHY_MAX] = "";
        if (win && !ghost_load(bytes.items, static_cast<size_t>(bytes.count), base, base_length,
                               why, sizeof why))
            std::fprintf(stderr, "Quellaro 2005: the new best win cannot be the ghost: %s\n", why);
    }
}

// The best (and its win's replay when win) where it is kept; says so when it is not.
bool save_best(bool win) {
    char why[FILE_WHY_MAX] = "";
    if (store == nullptr) {
        if (kept_runs_write_best(folder.c_str(), best, win ? bytes.items : nullptr,
                                 win ? static_cast<size_t>(bytes.count) : 0, why, sizeof why))
            return true;
        std::fprintf(stderr, "Quellaro 2005: the personal best was not saved in %s: %s\n",
                     text_escaped(folder).c_str(), why);
        return false;
    }
    char text[PERSONAL_BEST_TEXT_MAX];
    personal_best_text(best, text, sizeof text);
    // The win first: a best whose win was not kept is not the best.
    if ((!win || store->put(STORED_BEST_WIN, bytes.items, bytes.count)) &&
        store->put(STORED_BEST, reinterpret_cast<const uint8_t*>(text),
                   static_cast<int>(std::strlen(text))))
        return true;
    std::fprintf(stderr,
                 "Quellaro 2005: the personal best was not saved in the browser's "
                 "storage (full, or turned off)\n");
    return false;
}

// The best and the best win's ghost where they are kept.
void read_best() {
    char why[FILE_READ_WHY_MAX] = "";
    const uint8_t* win = nullptr;
    size_t win_size = 0;
    std::string file;
    if (store != nullptr) {
        char text[PERSONAL_BEST_TEXT_MAX];
        const int length = store->get(STORED_BEST, reinterpret_cast<uint8_t*>(text),
                                      static_cast<int>(sizeof text));
        if (length < 0 ||
            (length > 0 && !personal_best_parse(text, static_cast<size_t>(length), &best))) {
            best = PERSONAL_BEST_NONE;
            std::fprintf(stderr,
                         "Quellaro 2005: the personal best in the browser's storage is "
                         "not read\n");
        }
        const int win_length = store->get(STORED_BEST_WIN, stored_win, sizeof stored_win);
        win = win_length > 0 ? stored_win : nullptr;
        win_size = win_length > 0 ? static_cast<size_t>(win_length) : 0;
    } else if (!folder.empty()) {
        if (!kept_runs_read_best(folder.c_str(), &best, why, sizeof why))
            std::fprintf(stderr, "Quellaro 2005: the personal best in %s is not read: %s\n",
                         text_escaped(folder).c_str(), why);
        if (kept_runs_read_best_win(folder.c_str(), &file, why, sizeof why)) {
            win = reinterpret_cast<const uint8_t*>(file.data());
            win_size = file.size();
        } else if (why[0] != '\0') {
            std::fprintf(stderr, "Quellaro 2005: the best win in %s is not read: %s\n",
                         text_escaped(folder).c_str(), why);
        }
    }
    char ghost_why[REPLAY_WHY_MAX] = "";
    if (win != nullptr &&
        !ghost_load(win, win_size, base, base_length, ghost_why, sizeof ghost_why))
        std::fprintf(stderr, "Quellaro 2005: the best win cannot be the ghost: %s\n", ghost_why);
}

void begin_keeping() {
    base_length = game_snapshot(base, sizeof base);
    ghost_clear();
    read_best();
    best_before = best;
    jumps_seen = practice_jumps();
    for (TimerAt& at : history)
        at.pass = -1;
    begin_from_here(ReplayTimes{}, 0);
}

}  // namespace

void run_keeper_begin(const char* where, bool keep) {
    run_keeper_end();
    folder = where != nullptr ? where : "";
    keeping = keeping_best = keep && !folder.empty();
    own_runs = keep;
    begin_keeping();
}

void run_keeper_begin_stored(const BestStore* best_store, bool keep) {
    run_keeper_end();
    store = best_store;
    keeping_best = keep && store != nullptr;
    own_runs = keep;
    begin_keeping();
}

void run_keeper_disown() {
    keeping = keeping_best = false;
}

void run_keeper_own() {
    keeping = own_runs && !folder.empty();
    keeping_best = own_runs && (store != nullptr || !folder.empty());
    if (!recorder.active)
        return;
    // What the replay played is in the recording so far: the run starts again from here.
    const RunTimer now = recorder.timer;
    begin_from_here(run_timer_times(now), 0);
    recorder.timer.outcome = now.outcome;
    recorder.timer.furthest = now.furthest;
}

void run_keeper_after(const InputRecord& record, int going) {
    if (!recorder.active)
        return;
    // The game went somewhere its records do not lead: the replay begins again from here.
    if (practice_jumps() != jumps_seen) {
        jumps_seen = practice_jumps();
        RunTimer back = recorder.timer;
        put_timer_back(&back);
        begin_from_here(run_timer_times(back), REPLAY_PRACTISED);
        recorder.timer.outcome = back.outcome;
        recorder.timer.furthest = back.furthest;
        played = true;
        return;
    }
    const int what = replay_record_pass(&recorder, record);
    recorder.journal.clear();
    remember(recorder.timer);
    if (what & (RUN_STARTED | RUN_ENTERED)) {
        result_shown = false;
        best_before = best;
    }
    started = started || (what & RUN_STARTED) != 0;
    played = played || (what & RUN_COUNTED) != 0;
    if (!going)
        return;
    if (what & RUN_WON) {
        keep(OUTCOME_WON);
        result_shown = true;
        begin_from_here(run_timer_times(recorder.timer), 0);
        recorder.timer.outcome = OUTCOME_WON;
    } else if ((what & RUN_LEFT) && played) {
        const int outcome = recorder.timer.outcome;
        keep(outcome);
        result_shown = outcome == OUTCOME_DIED;
        begin_from_here(run_timer_times(recorder.timer), 0);
    } else if (what & RUN_LEFT) {
        result_shown = false;
    }
}

void run_keeper_end() {
    replay_record_stop(&recorder);
    bytes.release();
    folder.clear();
    store = nullptr;
    keeping = keeping_best = own_runs = false;
    played = started = result_shown = false;
    best = best_before = PERSONAL_BEST_NONE;
}

const RunTimer& run_keeper_timer() {
    return recorder.timer;
}

const PersonalBest& run_keeper_best() {
    return best_before;
}

const RunResult* run_keeper_result() {
    return result_shown ? &result : nullptr;
}

const uint8_t* run_keeper_last_run(size_t* size) {
    *size = static_cast<size_t>(bytes.count);
    return bytes.count > 0 ? bytes.items : nullptr;
}
