// Replay files: what is written reads back the same, finished or as a journal cut off at any
// byte (every pass written whole is kept); damaged, cut, foreign and oversized files are
// refused with a reason; links carry the bytes; the start state is coded against the game's
// first state and comes back exactly.
#include "programs/common/replay_format.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "platform/script.h"
#include "programs/common/replay_record.h"
#include "shell/app.h"
#include "shell/snapshot.h"
#include "tests/replay_support.h"
#include "tests/runner_support.h"

namespace {

std::vector<uint8_t> bytes_of(const ReplayBytes& list) {
    return std::vector<uint8_t>(list.items, list.items + list.count);
}

std::vector<uint8_t> encode(const Replay& replay, bool details) {
    ReplayBytes out;
    EXPECT_TRUE(replay_encode(replay, details, &out));
    std::vector<uint8_t> bytes = bytes_of(out);
    out.release();
    return bytes;
}

std::string refusal(const std::vector<uint8_t>& bytes) {
    Replay replay;
    char why[REPLAY_WHY_MAX] = "";
    const bool read = replay_decode(bytes.data(), bytes.size(), &replay, why, sizeof why);
    replay_free(&replay);
    return read ? "(read)" : why;
}

bool same_records(const std::vector<InputRecord>& a, const std::vector<InputRecord>& b) {
    return a.size() == b.size() &&
           (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof a[0]) == 0);
}

// A real run recorded in this process: the journal's bytes, where each pass's bytes end in
// them, and the finished replay. The game plays the power-up script, which starts a game,
// bounces blocks and grows the hero, with a rewind of 25 passes at pass 150.
struct Recorded {
    ReplayRecorder recorder;
    std::vector<uint8_t> journal;
    // After each pass and after the rewind's cut: the journal's length then, and how many
    // passes a reader keeps from that many bytes.
    std::vector<std::pair<size_t, int>> marks;
    std::vector<uint8_t> base;

    void take_journal() {
        journal.insert(journal.end(), recorder.journal.items,
                       recorder.journal.items + recorder.journal.count);
        recorder.journal.clear();
    }

    void play() {
        Script script;
        ASSERT_EQ(script_parse(read_text_file(scripts_dir() + "power_up_brick.txt"), &script), 0);
        ASSERT_EQ(app_start(nullptr), 1);
        base = game_state_now();
        ASSERT_TRUE(replay_record_begin(&recorder, base.data(), base.size(), true, ReplayTimes{}));
        take_journal();
        std::vector<uint8_t> at125(GAME_SNAPSHOT_MAX);
        RunTimer timer_at125 = {};
        bool rewound = false;
        for (int pass = 0; pass < 200; ++pass) {
            if (pass == 125) {
                at125.resize(game_snapshot(at125.data(), at125.size()));
                timer_at125 = recorder.timer;
            }
            if (pass == 150 && !rewound) {
                rewound = true;
                // A rewind: the game back to pass 125, the replay cut to its first 125 passes.
                ASSERT_TRUE(game_restore(at125.data(), at125.size(), nullptr));
                replay_record_cut(&recorder, 125, run_timer_times(timer_at125));
                recorder.timer = timer_at125;
                take_journal();
                marks.emplace_back(journal.size(), 125);
                pass = 125;
            }
            InputRecord record;
            script_record(script, pass, &record);
            app_run_pass(&record);
            replay_record_pass(&recorder, record);
            take_journal();
            marks.emplace_back(journal.size(), pass + 1);
        }
        replay_record_finish(&recorder, recorder.timer.outcome);
    }
};

class ReplayFormat : public ::testing::Test {
  protected:
    void TearDown() override {
        replay_record_stop(&recorded.recorder);
        app_finish();
    }
    Recorded recorded;
};

TEST_F(ReplayFormat, ReadsBackAsWrittenFinishedOrAsAJournalCutAnywhere) {
    ASSERT_NO_FATAL_FAILURE(recorded.play());
    const Replay& made = recorded.recorder.replay;
    ASSERT_EQ(made.passes, 200);
    ASSERT_EQ(made.checkpoints.count, 6);
    EXPECT_GT(made.timer_end.passes, 0u);

    const std::vector<uint8_t> bytes = encode(made, true);
    Replay read;
    char why[REPLAY_WHY_MAX] = "";
    ASSERT_TRUE(replay_decode(bytes.data(), bytes.size(), &read, why, sizeof why)) << why;
    EXPECT_EQ(read.kind, REPLAY_FINISHED);
    EXPECT_EQ(read.passes, 200);
    EXPECT_EQ(read.final_digest, made.final_digest);
    EXPECT_EQ(read.timer_end.passes, made.timer_end.passes);
    EXPECT_TRUE(same_records(replay_records(read), replay_records(made)));
    for (int pass = 0; pass < 200; ++pass)
        ASSERT_EQ(std::memcmp(replay_detail_of(read, pass), replay_detail_of(made, pass), 22), 0);
    EXPECT_EQ(encode(read, true), bytes) << "written again, the same bytes";

    // The journal holds the same passes: the rewind's cut took the 25 passes back.
    const std::vector<InputRecord> records = replay_records(made);
    for (size_t cut = 0; cut <= recorded.journal.size(); ++cut) {
        Replay journal;
        const bool taken = replay_decode(recorded.journal.data(), cut, &journal, why, sizeof why);
        // Every pass whose bytes lie wholly before the cut is kept, and no other.
        int whole = -1;
        for (const auto& [end, passes] : recorded.marks)
            if (end <= cut)
                whole = passes;
        if (whole < 0 && !taken) {
            replay_free(&journal);
            continue;  // the header itself is cut
        }
        ASSERT_TRUE(taken) << "cut at " << cut << ": " << why;
        ASSERT_EQ(journal.kind, REPLAY_JOURNAL);
        ASSERT_EQ(journal.passes, std::max(whole, 0)) << "cut at " << cut;
        // The script gives a pass the same record before and after the rewind.
        ASSERT_TRUE(same_records(
            replay_records(journal),
            std::vector<InputRecord>(records.begin(), records.begin() + journal.passes)));
        replay_free(&journal);
    }
    replay_free(&read);
}

TEST_F(ReplayFormat, DamagedCutForeignAndOversizedFilesAreRefusedWithAReason) {
    ASSERT_NO_FATAL_FAILURE(recorded.play());
    const std::vector<uint8_t> bytes = encode(recorded.recorder.replay, true);
    for (size_t cut : {size_t{0}, size_t{3}, size_t{40}, bytes.size() / 2, bytes.size() - 1})
        EXPECT_NE(refusal(std::vector<uint8_t>(bytes.begin(), bytes.begin() + cut)), "(read)")
            << cut;
    EXPECT_EQ(refusal(std::vector<uint8_t>(bytes.begin(), bytes.end() - 5)),
              "cut short (it has no end mark)");
    std::vector<uint8_t> damaged = bytes;
    damaged[damaged.size() / 2] ^= 0x10;
    EXPECT_NE(refusal(damaged), "(read)");
    std::vector<uint8_t> longer = bytes;
    longer.push_back(0);
    EXPECT_EQ(refusal(longer), "damaged (bytes follow its end mark)");
    std::vector<uint8_t> newer = bytes;
    newer[4] = REPLAY_FORMAT + 1;
    EXPECT_EQ(refusal(newer), "made in a newer replay format than this game reads");
    EXPECT_EQ(refusal({'G', 'I', 'F', '8', '9', 'a'}),
              "not a replay (it does not begin with QRPL)");
    std::vector<uint8_t> huge = bytes;
    huge.resize(REPLAY_FILE_MAX + 1);
    EXPECT_EQ(refusal(huge), "over the size limit");

    // Every single byte changed, one at a time: refused with a reason or read whole, never a
    // crash (the sanitizers watch).
    int refused = 0;
    for (size_t at = 0; at < bytes.size(); at += 7) {
        std::vector<uint8_t> changed = bytes;
        changed[at] = static_cast<uint8_t>(changed[at] + 0x55);
        refused += refusal(changed) != "(read)";
    }
    EXPECT_GT(refused, static_cast<int>(bytes.size() / 7) - 2) << "the checksum guards the rest";
}

TEST_F(ReplayFormat, TheStartStateComesBackAndLinksCarryTheBytes) {
    ASSERT_NO_FATAL_FAILURE(recorded.play());
    // The game at pass 200 against the game as it started.
    const std::vector<uint8_t> now = game_state_now();
    ReplayBytes coded;
    ASSERT_TRUE(replay_start_code(now.data(), now.size(), recorded.base.data(),
                                  recorded.base.size(), &coded));
    EXPECT_LT(coded.count, 2000) << "only what changed is kept";
    std::vector<uint8_t> back(GAME_SNAPSHOT_MAX);
    char why[REPLAY_WHY_MAX] = "";
    back.resize(replay_start_decode(coded, recorded.base.data(), recorded.base.size(), back.data(),
                                    back.size(), why, sizeof why));
    EXPECT_EQ(back, now) << why;
    coded.items[coded.count - 1] ^= 1;
    coded.push(7);
    EXPECT_EQ(replay_start_decode(coded, recorded.base.data(), recorded.base.size(), back.data(),
                                  back.size(), why, sizeof why),
              0u);
    coded.release();

    const std::vector<uint8_t> bytes = encode(recorded.recorder.replay, false);
    ReplayBytes text, again;
    ASSERT_TRUE(replay_to_text(bytes.data(), bytes.size(), &text));
    const std::string link = "https://example.org/quellaro/#replay=" +
                             std::string(reinterpret_cast<char*>(text.items), text.count) + "\n";
    ASSERT_TRUE(replay_from_text(link.data(), link.size(), &again));
    EXPECT_EQ(bytes_of(again), bytes);
    Replay read;
    EXPECT_TRUE(replay_decode_any(reinterpret_cast<const uint8_t*>(link.data()), link.size(), &read,
                                  why, sizeof why))
        << why;
    EXPECT_EQ(read.flags & REPLAY_DETAILS, 0) << "a link leaves the details out";
    replay_free(&read);
    for (size_t length = 0; length < 8; ++length) {
        const std::vector<uint8_t> some(bytes.begin(), bytes.begin() + length);
        ASSERT_TRUE(replay_to_text(some.data(), some.size(), &text));
        EXPECT_EQ(text.count, static_cast<int>((length * 4 + 2) / 3));
        const bool back_again =
            replay_from_text(reinterpret_cast<char*>(text.items), text.count, &again);
        EXPECT_EQ(back_again, length > 0);
        if (length > 0) {
            EXPECT_EQ(bytes_of(again), some);
        }
    }
    EXPECT_FALSE(replay_from_text("#replay=abc*def", 15, &again));
    text.release();
    again.release();
}

}  // namespace
