// The runner's replays: recorded, verified, compared and turned into links.
#include "programs/runner/replay_modes.h"

#include <unistd.h>

#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/file_read.h"
#include "platform/file_write.h"
#include "platform/text_escape.h"
#include "programs/common/replay_file.h"
#include "programs/common/replay_play.h"
#include "programs/common/replay_record.h"
#include "programs/runner/state_diff.h"
#include "shell/snapshot.h"

namespace {

// A link's text is a third longer than the replay's bytes.
constexpr size_t REPLAY_TEXT_MAX = REPLAY_FILE_MAX / 3 * 4 + 4096;

// The state the game started in, against which replays code their start.
uint8_t base[GAME_SNAPSHOT_MAX];
size_t base_length;
// Verifying: the replay, where it came from, and its player.
Replay verified;
std::string verify_path;
ReplayPlayer player;
bool verifying;
bool unplayable;  // read, but not playable here: no verdict to give
// Recording the run.
ReplayRecorder recorder;
ReplayFile record_file;

// Reads a replay file (or a link's text in a file) into *out; false after saying why.
bool read_replay(const char* path, Replay* out) {
    std::string bytes;
    char why[FILE_READ_WHY_MAX + REPLAY_WHY_MAX] = "";
    if (!file_read_whole(path, REPLAY_TEXT_MAX, &bytes, why, sizeof why)) {
        std::fprintf(stderr, "quellaro-headless: cannot read the replay %s: %s\n",
                     text_escaped(path).c_str(), why);
        return false;
    }
    if (!replay_decode_any(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), out, why,
                           sizeof why)) {
        std::fprintf(stderr, "quellaro-headless: %s is %s\n", text_escaped(path).c_str(), why);
        return false;
    }
    return true;
}

void print_record(const InputRecord& record, char* out, size_t size) {
    size_t at = 0;
    out[0] = '\0';
    for (int key = 0; key < INPUT_KEYS && at + 8 < size; ++key) {
        if (input_held(record, key))
            at += static_cast<size_t>(
                std::snprintf(out + at, size - at, "%s%d", at ? "+" : "held ", key));
    }
    const char* kinds[] = {"", "key", "click", "double click", "close"};
    if (record.message != INPUT_NONE && record.message <= INPUT_CLOSE && at + 40 < size) {
        const bool click = record.message == INPUT_CLICK || record.message == INPUT_DOUBLE_CLICK;
        char y[16] = "";
        if (click)
            std::snprintf(y, sizeof y, " %d", record.y);
        std::snprintf(out + at, size - at, "%s%s %d%s", at ? ", " : "", kinds[record.message],
                      record.message == INPUT_KEY ? record.key : record.x, y);
    } else if (at == 0) {
        std::snprintf(out, size, "nothing");
    }
}

// Where two replays part: their records first, then what they kept of the states.
int diff_replays(const Replay& a, const Replay& b) {
    if (a.first_pass != b.first_pass || (a.start.count > 0) != (b.start.count > 0)) {
        std::printf("the replays start from different states (at pass %d and pass %d)\n",
                    a.first_pass, b.first_pass);
        return REPLAY_EXIT_DIFFERS;
    }
    ReplayCursor ca, cb;
    replay_cursor_start(&ca, &a);
    replay_cursor_start(&cb, &b);
    const int passes = a.passes < b.passes ? a.passes : b.passes;
    for (int pass = 0; pass < passes; ++pass) {
        InputRecord ra, rb;
        replay_cursor_next(&ca, &ra);
        replay_cursor_next(&cb, &rb);
        if (std::memcmp(&ra, &rb, sizeof ra) != 0) {
            char ta[512], tb[512];
            print_record(ra, ta, sizeof ta);
            print_record(rb, tb, sizeof tb);
            std::printf("pass %d: the records part: %s / %s\n", a.first_pass + pass, ta, tb);
            return REPLAY_EXIT_DIFFERS;
        }
        const uint8_t* da = replay_detail_of(a, pass);
        const uint8_t* db = replay_detail_of(b, pass);
        for (int field = 0; da != nullptr && db != nullptr && field < STATE_LINE_FIELDS; ++field) {
            if (da[field] != db[field]) {
                std::printf("pass %d: %s\n", a.first_pass + pass, state_line_field_name(field));
                return REPLAY_EXIT_DIFFERS;
            }
        }
        if ((pass + 1) % REPLAY_CHECKPOINT_PASSES == 0) {
            const int k = (pass + 1) / REPLAY_CHECKPOINT_PASSES - 1;
            if (k < a.checkpoints.count && k < b.checkpoints.count &&
                a.checkpoints.items[k].digest != b.checkpoints.items[k].digest) {
                int field = 0;
                while (field < STATE_LINE_FIELDS &&
                       replay_nibble(a.checkpoints.items[k], field) ==
                           replay_nibble(b.checkpoints.items[k], field))
                    ++field;
                std::printf(
                    "between pass %d and pass %d: %s\n",
                    a.first_pass + pass + 1 - REPLAY_CHECKPOINT_PASSES, a.first_pass + pass,
                    field < STATE_LINE_FIELDS ? state_line_field_name(field) : "(field unknown)");
                return REPLAY_EXIT_DIFFERS;
            }
        }
    }
    if (a.passes != b.passes) {
        std::printf("pass %d: one replay ends (after %d passes; the other has %d)\n",
                    a.first_pass + passes, passes, a.passes > b.passes ? a.passes : b.passes);
        return REPLAY_EXIT_DIFFERS;
    }
    if (a.kind == REPLAY_FINISHED && b.kind == REPLAY_FINISHED &&
        a.final_digest != b.final_digest) {
        std::printf("pass %d: the final states differ\n", a.first_pass + passes - 1);
        return REPLAY_EXIT_DIFFERS;
    }
    std::printf("the same: %d passes\n", passes);
    return REPLAY_EXIT_OK;
}

// What a file to compare holds: a replay (or a link), or state lines.
bool is_replay_file(const char* path) {
    char why[FILE_READ_WHY_MAX];
    int64_t size = 0;
    const int fd = file_open_input(path, &size, why, sizeof why);
    if (fd < 0)
        return false;
    char head[8] = {};
    const ssize_t got = read(fd, head, sizeof head);
    close(fd);
    return got > 0 && head[0] != '{';
}

}  // namespace

bool runner_verify_read(const char* path) {
    verify_path = path;
    verifying = read_replay(path, &verified);
    return verifying;
}

bool runner_verifying() {
    return verifying;
}

bool runner_replay_started() {
    base_length = game_snapshot(base, sizeof base);
    if (!verifying)
        return base_length > 0;
    char why[REPLAY_WHY_MAX];
    if (!replay_play_begin(&player, &verified, base, base_length, why, sizeof why)) {
        std::fprintf(stderr, "quellaro-headless: %s cannot be played here: %s\n",
                     text_escaped(verify_path).c_str(), why);
        unplayable = true;
        return false;
    }
    return true;
}

bool runner_record_begin(const char* path) {
    if (!replay_record_begin(&recorder, base, base_length, true, ReplayTimes{})) {
        std::fprintf(stderr, "quellaro-headless: no memory to record the replay\n");
        return false;
    }
    char why[FILE_WHY_MAX];
    if (!replay_file_open(&record_file, path, why, sizeof why) ||
        !replay_file_append(&record_file, &recorder)) {
        std::fprintf(stderr, "quellaro-headless: cannot write the replay %s: %s\n",
                     text_escaped(path).c_str(), why);
        replay_record_stop(&recorder);
        return false;
    }
    return true;
}

bool runner_verify_record(InputRecord* record) {
    return replay_play_next(&player, record);
}

bool runner_replay_after(const InputRecord& record, int going) {
    if (recorder.active) {
        // Each pass reaches the file as it runs: a runner killed mid-run leaves a journal.
        replay_record_pass(&recorder, record);
        replay_file_append(&record_file, &recorder);
    }
    if (!verifying)
        return true;
    replay_play_after(&player, going);
    return !replay_play_differs(player);
}

int runner_replay_finish() {
    int status = REPLAY_EXIT_OK;
    if (verifying && unplayable) {
        replay_play_stop(&player);
        replay_free(&verified);
        verifying = false;
        status = REPLAY_EXIT_UNREADABLE;
    } else if (verifying) {
        ReplayVerdict verdict;
        replay_play_verdict(&player, &verdict);
        char text[512];
        replay_verdict_text(verdict, text, sizeof text);
        std::printf("%s: %s%s\n", text_escaped(verify_path).c_str(), text,
                    verified.kind == REPLAY_JOURNAL ? " (an unfinished recording: checked to its "
                                                      "last checkpoint)"
                                                    : "");
        status = verdict.result == VERDICT_MATCHES ? REPLAY_EXIT_OK : REPLAY_EXIT_DIFFERS;
        replay_free(&verified);
        verifying = false;
    }
    if (recorder.active) {
        char why[FILE_WHY_MAX] = "";
        if (!replay_file_finish(&record_file, &recorder, recorder.timer.outcome, why, sizeof why)) {
            std::fprintf(stderr, "quellaro-headless: the replay %s is not written whole: %s\n",
                         text_escaped(record_file.path).c_str(), why);
            status = 1;
        }
        replay_record_stop(&recorder);
    }
    return status;
}

int runner_diff(const char* a, const char* b) {
    const bool replays = is_replay_file(a);
    if (replays != is_replay_file(b)) {
        std::fprintf(stderr,
                     "quellaro-headless: --diff compares two replays or two files of state "
                     "lines, not one of each\n");
        return REPLAY_EXIT_UNREADABLE;
    }
    if (!replays)
        return state_diff_files(a, b);
    Replay ra, rb;
    int status = REPLAY_EXIT_UNREADABLE;
    if (read_replay(a, &ra) && read_replay(b, &rb))
        status = diff_replays(ra, rb);
    replay_free(&ra);
    replay_free(&rb);
    return status;
}

int runner_link(const char* path) {
    Replay replay;
    if (!read_replay(path, &replay))
        return REPLAY_EXIT_UNREADABLE;
    // A journal has no end yet: its link would not read back.
    if (replay.kind != REPLAY_FINISHED) {
        std::fprintf(stderr,
                     "quellaro-headless: %s is an unfinished recording; only a finished "
                     "replay makes a link\n",
                     text_escaped(path).c_str());
        replay_free(&replay);
        return REPLAY_EXIT_UNREADABLE;
    }
    ReplayBytes bytes, text;
    const bool made = replay_encode(replay, false, &bytes) &&
                      replay_to_text(bytes.items, static_cast<size_t>(bytes.count), &text);
    if (made)
        std::printf("#replay=%.*s\n", text.count, reinterpret_cast<const char*>(text.items));
    bytes.release();
    text.release();
    replay_free(&replay);
    return made ? REPLAY_EXIT_OK : 1;
}
