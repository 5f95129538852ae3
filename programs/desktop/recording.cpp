// The desktop's replays: recording the run crash-safe, playing one back and judging it.
#include "programs/desktop/recording.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/file_read.h"
#include "platform/text_escape.h"
#include "programs/common/practice.h"
#include "programs/common/replay_file.h"
#include "programs/common/replay_play.h"
#include "shell/snapshot.h"

namespace {

// A link's text is a third longer than the replay's bytes.
constexpr size_t REPLAY_TEXT_MAX = REPLAY_FILE_MAX / 3 * 4 + 4096;

// The state the game started in, against which replays code their start.
uint8_t base[GAME_SNAPSHOT_MAX];
size_t base_length;
// The replay played back, its player, its status (0 matches, 1 differs, 2 unplayable).
Replay replay;
std::string replay_path;
ReplayPlayer player;
bool replay_loaded, replay_playing;
int replay_status;
char progress[64];
// The recording.
std::string record_path;
ReplayRecorder recorder;
ReplayFile record_file;
bool record_failed;

void judge() {
    ReplayVerdict verdict;
    char text[512];
    replay_play_judge(&player, &verdict, text, sizeof text);
    std::fprintf(stderr, "Quellaro 2005: the replay %s: %s\n", text_escaped(replay_path).c_str(),
                 text);
    replay_status = verdict.result == VERDICT_MATCHES ? 0 : 1;
    replay_playing = false;
    practice_allow_going_back(!desktop_recording());
}

}  // namespace

int desktop_replay_read(const char* path, char* why, size_t why_size) {
    std::string bytes;
    char read_why[FILE_READ_WHY_MAX] = "";
    const bool read = file_read_whole(path, REPLAY_TEXT_MAX, &bytes, read_why, sizeof read_why);
    // A link given as it is, rather than a file holding one.
    const char* link = std::strstr(path, "#replay=");
    if (!read && link != nullptr) {
        bytes = link;
    } else if (!read) {
        std::snprintf(why, why_size, "cannot read it: %s", read_why);
        return DESKTOP_REPLAY_BAD;
    }
    replay_free(&replay);
    char decode_why[REPLAY_WHY_MAX] = "";
    if (replay_decode_any(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), &replay,
                          decode_why, sizeof decode_why)) {
        replay_path = path;
        replay_loaded = true;
        return DESKTOP_REPLAY_READ;
    }
    // A play script is text with no replay's mark; anything else claiming to be a replay or
    // a link is one that cannot be read.
    const bool claims = bytes.compare(0, 4, "QRPL") == 0 || bytes.find("#replay=") != bytes.npos;
    if (!claims)
        return DESKTOP_REPLAY_NOT_ONE;
    std::snprintf(why, why_size, "%s", decode_why);
    return DESKTOP_REPLAY_BAD;
}

void desktop_record_to(const char* path) {
    record_path = path;
}

bool desktop_replays_begin() {
    base_length = game_snapshot(base, sizeof base);
    if (replay_loaded) {
        char why[REPLAY_WHY_MAX];
        if (!replay_play_begin(&player, &replay, base, base_length, why, sizeof why)) {
            std::fprintf(stderr, "Quellaro 2005: the replay %s cannot be played here: %s\n",
                         text_escaped(replay_path).c_str(), why);
            replay_status = 2;
            return false;
        }
        replay_playing = true;
    }
    if (!record_path.empty()) {
        char why[FILE_WHY_MAX] = "no memory for it";
        const uint8_t flags = replay_loaded && replay.start.count > 0 ? REPLAY_CONTINUED : 0;
        if (!replay_record_begin(&recorder, base, base_length, true, replay.timer_start, flags) ||
            !replay_file_open(&record_file, record_path.c_str(), why, sizeof why) ||
            !replay_file_append(&record_file, &recorder)) {
            std::fprintf(stderr, "Quellaro 2005: cannot write the recording %s: %s\n",
                         text_escaped(record_path).c_str(), why);
            replay_record_stop(&recorder);
            record_failed = true;
            return false;
        }
    }
    return true;
}

bool desktop_replaying() {
    return replay_playing;
}

bool desktop_recording() {
    return recorder.active;
}

bool desktop_replay_next(InputRecord* record) {
    if (!replay_playing)
        return false;
    if (replay_play_next(&player, record))
        return true;
    judge();
    std::fprintf(stderr, "Quellaro 2005: the replay has ended; the game is yours\n");
    return false;
}

void desktop_replay_stop() {
    if (replay_playing)
        judge();
}

void desktop_replays_after(const InputRecord& record, int going) {
    if (replay_playing)
        replay_play_after(&player, going);
    if (recorder.active) {
        replay_record_pass(&recorder, record);
        if (!replay_file_append(&record_file, &recorder) && !record_failed) {
            record_failed = true;
            std::fprintf(stderr, "Quellaro 2005: the recording %s stopped being written\n",
                         text_escaped(record_path).c_str());
        }
    }
}

const char* desktop_replay_progress() {
    if (!replay_playing)
        return nullptr;
    std::snprintf(progress, sizeof progress, "Replay %d / %d", replay_play_done(player),
                  replay.passes);
    return progress;
}

int desktop_replays_finish() {
    // A replay the game ended within (its quit), or the player stopped, is judged here.
    if (replay_playing)
        judge();
    int status = replay_status;
    if (recorder.active) {
        if (practice_practised())
            replay_record_mark(&recorder, REPLAY_PRACTISED | recorder.replay.flags, nullptr);
        char why[FILE_WHY_MAX] = "";
        const int passes = recorder.replay.passes;
        if (!replay_file_finish(&record_file, &recorder, recorder.timer.outcome, why, sizeof why)) {
            std::fprintf(stderr, "Quellaro 2005: the recording %s is not whole: %s\n",
                         text_escaped(record_path).c_str(), why);
            status = status ? status : 1;
        } else {
            std::fprintf(stderr, "Quellaro 2005: recorded %d passes in %s\n", passes,
                         text_escaped(record_path).c_str());
        }
        replay_record_stop(&recorder);
    } else if (record_failed) {
        status = status ? status : 1;
    }
    return status;
}

void desktop_replays_reset() {
    replay_play_stop(&player);
    replay_record_stop(&recorder);
    replay_free(&replay);
    replay_path.clear();
    record_path.clear();
    replay_loaded = replay_playing = record_failed = false;
    replay_status = 0;
    base_length = 0;
}
