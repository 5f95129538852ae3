// Replay files and links on any bytes: refused with a reason, or read into a replay whose
// records, checkpoints and details are all reachable, that (finished) writes out and reads
// back to the same passes, and whose start state decodes within its room.
#include <cstdio>
#include <cstring>

#include "fuzz/fuzz_targets.h"
#include "programs/common/replay_format.h"

namespace {

// Every pass's record, the way a player walks them.
int walk(const Replay& replay) {
    ReplayCursor cursor;
    replay_cursor_start(&cursor, &replay);
    InputRecord record;
    int passes = 0;
    while (replay_cursor_next(&cursor, &record))
        ++passes;
    for (int pass = 0; pass < replay.passes; ++pass) {
        const uint8_t* fields = replay_detail_of(replay, pass);
        if (fields != nullptr)
            FUZZ_CHECK(fields[0] == fields[0]);  // readable (the sanitizers watch)
    }
    return passes;
}

bool same_passes(const Replay& a, const Replay& b) {
    ReplayCursor ca, cb;
    replay_cursor_start(&ca, &a);
    replay_cursor_start(&cb, &b);
    InputRecord ra, rb;
    for (;;) {
        const bool more_a = replay_cursor_next(&ca, &ra);
        if (more_a != replay_cursor_next(&cb, &rb))
            return false;
        if (!more_a)
            return true;
        if (std::memcmp(&ra, &rb, sizeof ra) != 0)
            return false;
    }
}

// The start state's base: any bytes will do, the decoder must stay within both.
uint8_t base[4096];
uint8_t start[8192];

}  // namespace

int fuzz_replay(const uint8_t* data, size_t size) {
    Replay replay;
    char why[REPLAY_WHY_MAX] = "";
    if (!replay_decode_any(data, size, &replay, why, sizeof why)) {
        FUZZ_CHECK(why[0] != '\0');
        FUZZ_CHECK(replay.passes == 0 && replay.ops.items == nullptr);
        return 0;
    }
    FUZZ_CHECK(replay.passes >= 0 && replay.passes <= REPLAY_PASSES_MAX);
    FUZZ_CHECK(walk(replay) == replay.passes);
    FUZZ_CHECK(replay.checkpoints.count <= replay.passes / REPLAY_CHECKPOINT_PASSES);
    FUZZ_CHECK(std::strlen(replay.version) <= REPLAY_VERSION_MAX);
    FUZZ_CHECK(std::strlen(replay.name) <= REPLAY_NAME_MAX);
    for (size_t i = 0; i < sizeof base; ++i)
        base[i] = static_cast<uint8_t>(i * 7);
    char start_why[REPLAY_WHY_MAX] = "";
    const size_t length = replay_start_decode(replay.start, base, sizeof base, start, sizeof start,
                                              start_why, sizeof start_why);
    FUZZ_CHECK(length <= sizeof start);

    // A finished replay written out and read back: the same passes, and the same bytes when
    // written again. (A journal has no end to write; it is played, not written again.)
    if (replay.kind != REPLAY_FINISHED) {
        replay_free(&replay);
        return 0;
    }
    ReplayBytes once, twice;
    Replay again;
    const bool details = (replay.flags & REPLAY_DETAILS) != 0;
    FUZZ_CHECK(replay_encode(replay, details, &once));
    FUZZ_CHECK(replay_decode(once.items, static_cast<size_t>(once.count), &again, why, sizeof why));
    FUZZ_CHECK(again.passes == replay.passes && same_passes(again, replay));
    FUZZ_CHECK(again.final_digest == replay.final_digest);
    FUZZ_CHECK(replay_encode(again, details, &twice));
    FUZZ_CHECK(once.count == twice.count &&
               std::memcmp(once.items, twice.items, static_cast<size_t>(once.count)) == 0);
    once.release();
    twice.release();
    replay_free(&again);
    replay_free(&replay);
    return 0;
}

FUZZ_ENTRY(fuzz_replay)
