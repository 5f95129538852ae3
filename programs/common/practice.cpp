// The practice tools: the rewind history, the quick-save slot, the speed and the notes.
#include "programs/common/practice.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/display.h"
#include "engine/sound.h"
#include "shell/app.h"
#include "shell/game_state.h"
#include "shell/savestate.h"

namespace {

// Snapshots enough for the minute and one interval more, and the records between them.
constexpr int KEYFRAMES = REWIND_PASSES / REWIND_KEYFRAME_PASSES + 2;
constexpr int RECORDS = (KEYFRAMES + 1) * REWIND_KEYFRAME_PASSES;
// What a full message queue adds to a snapshot: its room is kept in every slot.
constexpr size_t QUEUE_SHARE = 4 + 256 * 12;
constexpr uint32_t NOTE_MS = 1500;
constexpr uint32_t PASS_MS = 30;
constexpr int SPEEDS = 3;  // 100, 50 and 25 %

struct Keyframe {
    int pass;  // the state before this pass
    size_t length;
};

// The history: snapshots in a ring, oldest at head, in one block of slot_bytes each; and the
// record of every pass they reach, by pass number.
uint8_t* keyframe_bytes;
size_t slot_bytes;
Keyframe keyframes[KEYFRAMES];
int head, count;
InputRecord records[RECORDS];

// Where quick saves go (null: nowhere), and whether going back is allowed.
const PracticeSlot* slot;
bool going_back_allowed = true;
// Asked for by a command, done before the next pass.
bool save_asked, load_asked;
// The speed (0: full, 1: half, 2: a quarter), rewinding now, and the practised mark.
int speed;
bool rewinding;
bool practised;
// Quick loads and rewind steps so far.
int jumps;
// The game-speed assist in percent (100: none): it stretches the time between passes as
// slow motion does, and a game played with it counts as practised.
int assist_percent = 100;
// The note on screen and when it was given.
const char* note;
uint32_t note_at;
// Saved forms on their way to and from the slot.
uint8_t form[SAVESTATE_MAX];
// The state as the current game began (for Restart level), in a slot of its own after the
// history's; its length, 0 when no game has begun.
size_t start_length;

void say(const char* text) {
    note = text;
    note_at = platform_ticks();
}

const Keyframe& newest() {
    return keyframes[(head + count - 1) % KEYFRAMES];
}

uint8_t* bytes_of(const Keyframe& k) {
    return keyframe_bytes + static_cast<size_t>(&k - keyframes) * slot_bytes;
}

void keep_keyframe(int pass) {
    if (count == KEYFRAMES) {
        head = (head + 1) % KEYFRAMES;
        --count;
    }
    Keyframe& k = keyframes[(head + count) % KEYFRAMES];
    k.pass = pass;
    k.length = game_snapshot(bytes_of(k), slot_bytes);
    // A state that does not fit (it cannot happen: the slot has the queue's room) starts the
    // history over rather than keep a hole in it.
    if (k.length == 0) {
        count = 0;
        return;
    }
    ++count;
}

// Back to the state before pass k.pass, then on to the end of pass shown: the passes between
// unseen, the last one shown.
int replay_to(const Keyframe& k, int shown) {
    const char* why = "";
    if (!game_restore(bytes_of(k), k.length, &why)) {
        count = 0;
        return 1;
    }
    display_set_presenting(0);
    for (int pass = k.pass; pass < shown; ++pass) {
        if (!app_run_pass(&records[pass % RECORDS])) {
            display_set_presenting(1);
            return 0;
        }
    }
    display_set_presenting(1);
    return app_run_pass(&records[shown % RECORDS]);
}

// One step back: the frame of the pass before the one shown, and the state after it.
int step_back() {
    if (!rewinding) {
        rewinding = true;
        sound_set_quiet(1);
    }
    practised = true;
    ++jumps;
    say("Rewind");
    // What was pressed while rewinding is not for the game.
    input_queue_clear();
    const int shown = app_next_pass() - 2;
    if (count == 0 || shown < keyframes[head].pass)
        return 1;  // as far back as the history reaches
    while (newest().pass > shown)
        --count;
    return replay_to(newest(), shown);
}

void stop_rewinding() {
    if (rewinding) {
        rewinding = false;
        sound_set_quiet(0);
    }
}

void quick_save() {
    if (slot == nullptr)
        return;
    practised = true;
    char why[SAVESTATE_WHY_MAX] = "";
    const size_t length = savestate_write(form, sizeof form, platform_ticks());
    if (length > 0 && slot->store(form, length, why, sizeof why)) {
        say("Saved");
        return;
    }
    std::fprintf(stderr, "Quellaro 2005: the quick save failed: %s\n",
                 why[0] ? why : "the state does not fit");
    say("Save failed");
}

// The note for a save that is refused, from the reason.
const char* refusal(const char* why) {
    if (std::strstr(why, "another version"))
        return "Save is from another version";
    if (std::strstr(why, "other pictures"))
        return "Save is from other game files";
    return "Save is damaged";
}

void quick_load() {
    if (slot == nullptr)
        return;
    char why[SAVESTATE_WHY_MAX] = "";
    const size_t length = slot->fetch(form, sizeof form, why, sizeof why);
    if (length == 0) {
        if (why[0])
            std::fprintf(stderr, "Quellaro 2005: the quick save cannot be read: %s\n", why);
        say(why[0] ? "Save cannot be read" : "No save yet");
        return;
    }
    if (!savestate_read(form, length, nullptr, why, sizeof why)) {
        std::fprintf(stderr, "Quellaro 2005: the quick save is not loaded: %s\n", why);
        say(refusal(why));
        return;
    }
    practised = true;
    ++jumps;
    count = 0;
    input_queue_clear();
    say("Loaded");
}

// A pass played forward, kept for rewinding; a new game from the title clears the mark.
int play(const InputRecord* record) {
    const int pass = app_next_pass();
    if (count == 0 || pass - newest().pass >= REWIND_KEYFRAME_PASSES || newest().pass > pass)
        keep_keyframe(pass);
    records[pass % RECORDS] = *record;
    const bool fresh = game_mode != MODE_PLAYING && time_left == TIME_AT_START;
    const int going = app_run_pass(record);
    if (fresh && game_mode == MODE_PLAYING) {
        practised = false;
        start_length = game_snapshot(keyframe_bytes + slot_bytes * KEYFRAMES, slot_bytes);
    }
    return going;
}

}  // namespace

int practice_start(const PracticeSlot* quick_slot) {
    practice_stop();
    slot_bytes = game_snapshot(form, sizeof form) + QUEUE_SHARE;
    keyframe_bytes = static_cast<uint8_t*>(std::malloc(slot_bytes * (KEYFRAMES + 1)));
    if (keyframe_bytes == nullptr || slot_bytes == QUEUE_SHARE)
        return 0;
    slot = quick_slot;
    return 1;
}

void practice_stop() {
    std::free(keyframe_bytes);
    keyframe_bytes = nullptr;
    slot_bytes = 0;
    head = count = 0;
    start_length = 0;
    slot = nullptr;
    going_back_allowed = true;
    save_asked = load_asked = false;
    speed = 0;
    rewinding = practised = false;
    note = nullptr;
}

void practice_allow_going_back(int allowed) {
    going_back_allowed = allowed != 0;
}

void practice_command(int command) {
    switch (command) {
        case COMMAND_QUICK_SAVE:
            save_asked = slot != nullptr;
            break;
        case COMMAND_QUICK_LOAD:
            load_asked = slot != nullptr && going_back_allowed;
            if (!going_back_allowed)
                say("Not while recording or replaying");
            break;
        case COMMAND_SLOW_MOTION: {
            static const char* const names[SPEEDS] = {"1x", "0.5x", "0.25x"};
            speed = (speed + 1) % SPEEDS;
            practised = true;
            say(names[speed]);
            break;
        }
        case COMMAND_FRAME_ADVANCE:
            practised = true;
            break;
        default:
            break;
    }
}

int practice_pass(const InputRecord* record, int rewind_held) {
    if (keyframe_bytes == nullptr)
        return app_run_pass(record);
    if (rewind_held && !going_back_allowed) {
        say("Not while recording or replaying");
    } else if (rewind_held) {
        return step_back();
    }
    stop_rewinding();
    if (save_asked) {
        save_asked = false;
        quick_save();
    }
    if (load_asked) {
        load_asked = false;
        quick_load();
    }
    return play(record);
}

int practice_can_restart() {
    return start_length > 0 && going_back_allowed && game_mode == MODE_PLAYING ? 1 : 0;
}

int practice_restart() {
    if (!practice_can_restart())
        return 0;
    const char* why = "";
    if (!game_restore(keyframe_bytes + slot_bytes * KEYFRAMES, start_length, &why)) {
        std::fprintf(stderr, "Quellaro 2005: the level cannot be restarted: %s\n", why);
        say("Cannot restart");
        return 0;
    }
    // The history after the start belongs to the game left behind.
    count = 0;
    practised = true;
    ++jumps;
    input_queue_clear();
    say("Restarted");
    return 1;
}

void practice_apply_now() {
    if (save_asked) {
        save_asked = false;
        quick_save();
    }
    if (load_asked) {
        load_asked = false;
        quick_load();
    }
}

int practice_rewind(int passes) {
    if (keyframe_bytes == nullptr)
        return 1;
    if (!going_back_allowed) {
        say("Not while recording or replaying");
        return 1;
    }
    int going = 1;
    for (int i = 0; i < passes && going && count > 0; ++i)
        going = step_back();
    stop_rewinding();
    return going;
}

uint32_t practice_pass_ms() {
    return (PASS_MS << speed) * 100 / static_cast<uint32_t>(assist_percent);
}

void practice_set_assist(int percent) {
    assist_percent = percent == 90 || percent == 75 || percent == 50 ? percent : 100;
    // A game played partly with it stays marked when it is set back to 100.
    if (assist_percent != 100)
        practised = true;
}

int practice_assist() {
    return assist_percent;
}

const char* practice_note(uint32_t now_ms) {
    return note != nullptr && now_ms - note_at < NOTE_MS ? note : nullptr;
}

int practice_practised() {
    return practised || assist_percent != 100 ? 1 : 0;
}

int practice_jumps() {
    return jumps;
}

size_t practice_history_bytes() {
    return slot_bytes * KEYFRAMES + sizeof records;
}

size_t practice_keyframe_bytes() {
    return slot_bytes;
}

int practice_keyframes() {
    return count;
}

int practice_reach() {
    return count == 0 ? 0 : app_next_pass() - keyframes[head].pass;
}
