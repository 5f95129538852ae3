// The replay tests' shared steps.
#include "tests/replay_support.h"

#include <gtest/gtest.h>

#include "shell/app.h"
#include "shell/snapshot.h"

std::vector<InputRecord> replay_records(const Replay& replay) {
    std::vector<InputRecord> records;
    ReplayCursor cursor;
    replay_cursor_start(&cursor, &replay);
    InputRecord record;
    while (replay_cursor_next(&cursor, &record))
        records.push_back(record);
    return records;
}

std::vector<uint8_t> game_state_now() {
    std::vector<uint8_t> state(GAME_SNAPSHOT_MAX);
    state.resize(game_snapshot(state.data(), state.size()));
    return state;
}

ReplayVerdict replay_played(const Replay& replay, const std::vector<uint8_t>& base) {
    ReplayVerdict verdict = {};
    verdict.result = VERDICT_UNCHECKED;
    ReplayPlayer player;
    char why[REPLAY_WHY_MAX] = "";
    if (!replay_play_begin(&player, &replay, base.data(), base.size(), why, sizeof why)) {
        ADD_FAILURE() << why;
        return verdict;
    }
    InputRecord record;
    while (replay_play_next(&player, &record))
        replay_play_after(&player, app_run_pass(&record));
    replay_play_verdict(&player, &verdict);
    return verdict;
}
