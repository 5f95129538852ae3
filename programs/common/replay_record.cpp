// Making a replay: records, digests and the timer after each pass, and the journal's bytes.
#include "programs/common/replay_record.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "shell/app.h"
#include "shell/savestate.h"
#include "shell/snapshot.h"

namespace {

// The state line is made only where a digest needs it; one buffer serves every recorder.
StateLine line;
// The game's state at the start, coded against the base.
uint8_t start_state[GAME_SNAPSHOT_MAX];

// The date a replay is made: now, or SOURCE_DATE_EPOCH's for files that must come out the
// same every time (the committed test replays).
int64_t date_now() {
    const char* fixed = std::getenv("SOURCE_DATE_EPOCH");
    if (fixed != nullptr && fixed[0] != '\0')
        return std::strtoll(fixed, nullptr, 10);
    return static_cast<int64_t>(std::time(nullptr));
}

void fail(ReplayRecorder* recorder) {
    recorder->failed = true;
    recorder->journal.clear();
}

}  // namespace

bool replay_record_begin(ReplayRecorder* recorder, const uint8_t* base, size_t base_length,
                         bool details, const ReplayTimes& timer, uint8_t flags) {
    replay_record_stop(recorder);
    Replay& replay = recorder->replay;
    recorder->details = details;
    recorder->active = true;
    replay.flags = static_cast<uint8_t>((details ? REPLAY_DETAILS : 0) |
                                        (flags & (REPLAY_PRACTISED | REPLAY_CONTINUED)));
    replay.data_digest = savestate_data_digest();
    replay.date = date_now();
    replay.first_pass = app_next_pass();
    std::snprintf(replay.version, sizeof replay.version, "%s", QUELLARO_VERSION);
    run_timer_start(&recorder->timer, timer);
    replay.timer_start = run_timer_times(recorder->timer);
    const size_t length = game_snapshot(start_state, sizeof start_state);
    const bool as_started =
        length == base_length && std::memcmp(start_state, base, base_length) == 0;
    if (length == 0 ||
        (!as_started &&
         !replay_start_code(start_state, length, base, base_length, &replay.start)) ||
        !replay_put_header(replay, &recorder->journal)) {
        fail(recorder);
        return false;
    }
    return true;
}

int replay_record_pass(ReplayRecorder* recorder, const InputRecord& record) {
    if (!recorder->active)
        return 0;
    const int what = run_timer_pass(&recorder->timer);
    if (recorder->failed)
        return what;
    Replay& replay = recorder->replay;
    const int passes = replay.passes + 1;
    const bool checkpoint = passes % REPLAY_CHECKPOINT_PASSES == 0;
    bool ok = replay_add_record(&replay, record) &&
              replay_put_input(recorder->held, record, 1, &recorder->journal);
    std::memcpy(recorder->held, record.held, sizeof recorder->held);
    if (checkpoint || recorder->details)
        state_line_make(&line, app_next_pass() - 1);
    if (checkpoint && ok) {
        const ReplayCheckpoint made = replay_checkpoint_of(line);
        ok = replay.checkpoints.push(made) && replay_put_checkpoint(made, &recorder->journal);
    }
    if (recorder->details && ok) {
        uint8_t fields[STATE_LINE_FIELDS];
        for (int field = 0; field < STATE_LINE_FIELDS; ++field)
            fields[field] = state_line_field_byte(line, field);
        ok = replay_add_detail(&replay, fields) &&
             replay_put_detail(recorder->fields, fields, 0, &recorder->journal);
        std::memcpy(recorder->fields, fields, sizeof fields);
    }
    if (!ok)
        fail(recorder);
    return what;
}

void replay_record_cut(ReplayRecorder* recorder, int passes, const ReplayTimes& timer) {
    if (!recorder->active)
        return;
    run_timer_start(&recorder->timer, timer);
    if (recorder->failed)
        return;
    Replay& replay = recorder->replay;
    replay_cut(&replay, passes);
    std::memset(recorder->held, 0, sizeof recorder->held);
    if (replay.ops.count > 0)
        std::memcpy(recorder->held, replay.ops.items[replay.ops.count - 1].record.held,
                    sizeof recorder->held);
    std::memset(recorder->fields, 0, sizeof recorder->fields);
    if (replay.details.count > 0)
        std::memcpy(recorder->fields, replay.details.items[replay.details.count - 1].fields,
                    sizeof recorder->fields);
    if (!replay_put_cut(passes, &recorder->journal))
        fail(recorder);
}

void replay_record_finish(ReplayRecorder* recorder, int outcome) {
    Replay& replay = recorder->replay;
    state_line_make(&line, app_next_pass() - 1);
    replay.final_digest = state_line_digest(line);
    replay.outcome = static_cast<uint8_t>(outcome);
    replay.timer_end = run_timer_times(recorder->timer);
    const RunView view = run_view_now();
    replay.score = view.score;
    replay.coins = view.coins;
    replay.furthest = recorder->timer.furthest;
}

void replay_record_stop(ReplayRecorder* recorder) {
    replay_free(&recorder->replay);
    recorder->journal.release();
    *recorder = ReplayRecorder{};
}

void replay_record_mark(ReplayRecorder* recorder, uint8_t flags, const char* name) {
    Replay& replay = recorder->replay;
    replay.flags = static_cast<uint8_t>((replay.flags & REPLAY_DETAILS) |
                                        (flags & (REPLAY_PRACTISED | REPLAY_CONTINUED)));
    if (name != nullptr)
        std::snprintf(replay.name, sizeof replay.name, "%s", name);
}
