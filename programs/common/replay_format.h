// Replay files: a run as the records of its passes, with enough of its states kept to tell
// whether another build plays it the same, and where not. The layout is in docs/replays.md.
//
// A replay is a header (the format, the game's version and data files, the run's summary:
// passes, final digest, time, splits, score), the state it starts from (nothing: the title
// as the game starts; else the difference from that state), then items: the input records
// run-length coded, a checkpoint every 30 passes (a digest of the state line and of each of
// its fields), the digest of every field after every pass (the details, which a link leaves
// out), and an end mark with a checksum.
//
// A journal is the same file written as the run goes, one pass's items at a time, so that
// a recording cut short by a crash keeps every pass it wrote whole. No exceptions: lists
// grow with realloc and say when they could not.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "platform/input_record.h"
#include "programs/common/replay_line.h"

constexpr int REPLAY_FORMAT = 1;
// A file over this is refused unread: a day of play is a few megabytes.
constexpr size_t REPLAY_FILE_MAX = size_t{16} << 20;
constexpr int REPLAY_PASSES_MAX = 1 << 24;  // about 140 hours
constexpr int REPLAY_CHECKPOINT_PASSES = 30;
constexpr int REPLAY_SPLITS_MAX = 8;
constexpr size_t REPLAY_VERSION_MAX = 32;
constexpr size_t REPLAY_NAME_MAX = 64;
constexpr size_t REPLAY_START_MAX = 128 * 1024;
constexpr size_t REPLAY_WHY_MAX = 256;
constexpr int REPLAY_NIBBLE_BYTES = (STATE_LINE_FIELDS + 1) / 2;

enum : uint8_t { REPLAY_FINISHED = 0, REPLAY_JOURNAL = 1 };
// Header flags.
enum : uint8_t {
    REPLAY_PRACTISED = 1,  // a practice tool was used: never a best
    REPLAY_CONTINUED = 2,  // begins in a game already under way: never a best
    REPLAY_DETAILS = 4,    // every pass's field digests are kept
};
enum : uint8_t {
    OUTCOME_OPEN = 0,  // still being written, or stopped with the program
    OUTCOME_WON = 1,
    OUTCOME_DIED = 2,
    OUTCOME_LEFT = 3,  // left play for the title menu
};

// A list that grows by doubling, of plain records only.
template <typename T>
struct ReplayList {
    T* items = nullptr;
    int count = 0;
    int room = 0;
    bool failed = false;  // a growth was refused: the list stopped growing

    bool push(const T& item) {
        if (count == room && !grow(room ? room * 2 : 64))
            return false;
        items[count++] = item;
        return true;
    }
    bool grow(int wanted) {
        if (failed || wanted <= room)
            return !failed;
        T* bigger = static_cast<T*>(std::realloc(items, sizeof(T) * static_cast<size_t>(wanted)));
        if (bigger == nullptr) {
            failed = true;
            return false;
        }
        items = bigger;
        room = wanted;
        return true;
    }
    bool append(const T* more, int n) {
        if (n <= 0)
            return n == 0;
        if (count + n > room && !grow(count + n > room * 2 ? count + n : room * 2))
            return false;
        std::memcpy(items + count, more, sizeof(T) * static_cast<size_t>(n));
        count += n;
        return true;
    }
    void clear() { count = 0; }
    void release() {
        std::free(items);
        *this = ReplayList();
    }
};
using ReplayBytes = ReplayList<uint8_t>;

// The run timer's figure and splits (passes played; 0 for a split not reached).
struct ReplayTimes {
    uint32_t passes;
    int split_count;
    uint32_t splits[REPLAY_SPLITS_MAX];
};

// A stretch of passes: the first one's record, then passes - 1 more with the same keys held
// and no message.
struct ReplayOp {
    int passes;
    InputRecord record;
};

// The state line after pass 30 k - 1 of the replay (counted from its first pass, from 1).
struct ReplayCheckpoint {
    uint32_t digest;                       // the line's digest, folded
    uint8_t nibbles[REPLAY_NIBBLE_BYTES];  // each field's digest in 4 bits, two a byte
};

// Every field's digest byte from pass first (counted from 0) until the next entry's.
struct ReplayDetail {
    int first;
    uint8_t fields[STATE_LINE_FIELDS];
};

struct Replay {
    uint8_t kind = REPLAY_FINISHED;
    uint8_t flags = 0;
    uint8_t outcome = OUTCOME_OPEN;
    uint64_t data_digest = 0;
    uint64_t final_digest = 0;  // of the state line after the last pass
    int64_t date = 0;           // seconds since 1970, UTC
    int passes = 0;
    int first_pass = 0;  // the program's number of the first pass
    char version[REPLAY_VERSION_MAX + 1] = "";
    char name[REPLAY_NAME_MAX + 1] = "";
    ReplayTimes timer_start = {};
    ReplayTimes timer_end = {};
    int score = 0, coins = 0;
    int furthest = 0;          // the hero's furthest world position
    ReplayBytes start;         // the start state as coded (empty: the title as the game starts)
    ReplayList<ReplayOp> ops;  // passes in all: passes
    ReplayList<ReplayCheckpoint> checkpoints;
    ReplayList<ReplayDetail> details;  // empty without REPLAY_DETAILS
    bool cut_short = false;            // a journal whose last pass was not written whole
};

// The lists freed and the replay empty again.
void replay_free(Replay* replay);
// A copy into *out (freed first); false when memory ran out.
bool replay_copy(const Replay& from, Replay* out);

// The checkpoint of a line.
ReplayCheckpoint replay_checkpoint_of(const StateLine& line);
// A field's 4-bit digest in a checkpoint.
int replay_nibble(const ReplayCheckpoint& checkpoint, int field);

// The whole file in its finished form, details left out when asked (a link's form). false
// when memory ran out.
bool replay_encode(const Replay& replay, bool with_details, ReplayBytes* out);
// Reads a file's bytes: a finished replay, or a journal (which may stop anywhere, the last
// pass cut short). true and *out filled; or false, with why saying what is wrong in a few
// words, and *out empty.
bool replay_decode(const uint8_t* data, size_t size, Replay* out, char* why, size_t why_size);

// The same from a file's bytes, which may also be a link's text.
bool replay_decode_any(const uint8_t* data, size_t size, Replay* out, char* why, size_t why_size);

// The journal's pieces: the header as it is when the run begins, then for each pass its
// record (held: the keys held in the pass before), its checkpoint when one falls after it,
// and its field digests (before: the pass before's); and a cut when the run went back to
// an earlier pass (a rewind), keeping its first passes only.
bool replay_put_header(const Replay& replay, ReplayBytes* out);
bool replay_put_input(const uint8_t held[INPUT_HELD_BYTES], const InputRecord& record, int passes,
                      ReplayBytes* out);
bool replay_put_checkpoint(const ReplayCheckpoint& checkpoint, ReplayBytes* out);
bool replay_put_detail(const uint8_t before[STATE_LINE_FIELDS],
                       const uint8_t now[STATE_LINE_FIELDS], int repeat, ReplayBytes* out);
bool replay_put_cut(int passes, ReplayBytes* out);

// Keeps only the first passes of the replay: its records, checkpoints and details.
void replay_cut(Replay* replay, int passes);
// Adds a pass's record, merged into the last stretch when it holds the same keys and has
// no message.
bool replay_add_record(Replay* replay, const InputRecord& record);
// Adds a pass's field digests (the details), merged with the last entry when the same.
bool replay_add_detail(Replay* replay, const uint8_t fields[STATE_LINE_FIELDS]);

// Walks the records pass by pass.
struct ReplayCursor {
    const Replay* replay;
    int op;      // the stretch of the next pass
    int within;  // passes of it already given
};
void replay_cursor_start(ReplayCursor* cursor, const Replay* replay);
// The next pass's record; false past the last.
bool replay_cursor_next(ReplayCursor* cursor, InputRecord* record);
// The field digests of pass (from 0), or null when none are kept for it.
const uint8_t* replay_detail_of(const Replay& replay, int pass);

// The start state against the state the game starts in (base): the lengths, then stretches
// of bytes alike and bytes that differ. Coded from the state; decoded into out (room bytes),
// giving its length, or 0 with why.
bool replay_start_code(const uint8_t* state, size_t length, const uint8_t* base, size_t base_length,
                       ReplayBytes* out);
size_t replay_start_decode(const ReplayBytes& coded, const uint8_t* base, size_t base_length,
                           uint8_t* out, size_t room, char* why, size_t why_size);

// Links: a replay's bytes as base64url (no padding), and back from a link's text (anything
// ending in "#replay=..." or the bare text). false when the text is not that.
bool replay_to_text(const uint8_t* data, size_t size, ReplayBytes* out);
bool replay_from_text(const char* text, size_t length, ReplayBytes* out);
