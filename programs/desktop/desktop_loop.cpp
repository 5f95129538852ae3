// The desktop game's passes: live or replayed records, the recording, the pace and the pause.
#include "programs/desktop/desktop_loop.h"

#include <cstdio>
#include <string>

#include "engine/clock.h"
#include "platform/input_record.h"
#include "platform/sdl/sdl_program.h"
#include "programs/common/overlay.h"
#include "programs/common/pause_mark.h"
#include "programs/desktop/recording.h"
#include "programs/desktop/run_keeper.h"
#include "programs/desktop/run_screen.h"
#include "shell/app.h"

namespace {

// The frame loop's pace, as the program of old had it.
constexpr uint32_t FRAME_MS = 30;

// The script being replayed (--replay), or null once live input has taken over; its last
// pass; and the pass whose frame the recording saw last, with that frame's digest.
const Script* replay;
int replay_last_pass = -1;
int replay_check_pass = -1;
uint64_t replay_check_digest;
// Where quick saves go, and whether frame advance has run a pass in this pause.
const PracticeSlot* slot;
bool stepping;
// Where finished runs are kept (empty: nowhere).
std::string runs_folder;

// Live input: the game's into the input queue, the program's commands to the practice tools.
void queue_key(int key) {
    input_queue.key_down(key);
}
void queue_click(int x, int y, int double_click) {
    input_queue.button_down(x, y, double_click);
}
void queue_close() {
    input_queue.close();
}
void give_command(int command) {
    practice_command(command);
}
const PlatformInput desktop_input = {queue_key, queue_click, queue_close, give_command};

// The overlay's marks: the pause's panel, or while stepping only a line near the top.
enum : int { MARK_NONE, MARK_PAUSED, MARK_STEPPING };
constexpr int STEPPING_LINE_TOP = 100;    // under the note, over the sky
constexpr int REPLAY_PROGRESS_TOP = 440;  // along the bottom, under the play

int mark(int paused) {
    return !paused ? MARK_NONE : stepping ? MARK_STEPPING : MARK_PAUSED;
}

int overlay_look_now(int paused) {
    const char* note = practice_note(platform_ticks());
    const char* progress = desktop_replay_progress();
    if (progress == nullptr) {
        return overlay_look(note, mark(paused));
    }
    // A replay's progress changes the look each pass, so that it is shown even where the
    // game's own frame stands still.
    static char both[256];
    std::snprintf(both, sizeof both, "%s|%s", note != nullptr ? note : "", progress);
    return overlay_look(both, mark(paused));
}

void overlay_draw(uint32_t* argb, int pitch, int width, int height, int paused) {
    if (mark(paused) == MARK_PAUSED) {
        pause_mark_draw(argb, pitch, width, height);
    } else if (mark(paused) == MARK_STEPPING) {
        overlay_text(argb, pitch, width, height, "Paused: a pass at a time", STEPPING_LINE_TOP);
    }
    overlay_note(argb, pitch, width, height, practice_note(platform_ticks()));
    overlay_text(argb, pitch, width, height, desktop_replay_progress(), REPLAY_PROGRESS_TOP);
}

// The record of the pass: a replay's presses come before what the platform's events bring
// (a close request still comes through), and its keys stand for the live ones.
void make_record(int pass, InputRecord* record) {
    *record = INPUT_RECORD_EMPTY;
    if (replay != nullptr) {
        script_deliver(*replay, pass, &input_queue);
    }
    platform_pump_events(&desktop_input);
    platform_read_held_keys(record->held);
    if (replay != nullptr) {
        *record = INPUT_RECORD_EMPTY;
        script_hold(*replay, pass, record);
    }
    input_queue_take(record);
    // A replay's record stands for the live one; closing the window stops it.
    InputRecord replayed;
    if (record->message == INPUT_CLOSE) {
        desktop_replay_stop();
    } else if (desktop_replay_next(&replayed)) {
        *record = replayed;
    } else if (!desktop_recording()) {
        sdl_live_presses = 1;
    }
}

void end_replay_before(int pass) {
    if (replay == nullptr || pass <= replay_last_pass) {
        return;
    }
    replay = nullptr;
    sdl_live_presses = 1;
    practice_allow_going_back(!desktop_recording());
    if (sdl_window_open()) {  // not when the script closed the window
        std::fprintf(stderr, "Quellaro 2005: the replay has ended; the game is yours\n");
    }
}

void check_replayed_frame(int pass) {
    if (pass != replay_check_pass) {
        return;
    }
    const bool same =
        sdl_last_frame_pass() == pass && sdl_last_frame_digest() == replay_check_digest;
    std::fprintf(stderr, "Quellaro 2005: the replay's frame of pass %d %s the recording's\n", pass,
                 same ? "matches" : "DIFFERS FROM");
}

// The run's timer and card under the rest: the pause's panel and the notes stay on top.
int look_with_runs(int paused) {
    const unsigned rest = static_cast<unsigned>(overlay_look_now(paused));
    const unsigned runs = static_cast<unsigned>(desktop_runs_look());
    return runs == 0 ? static_cast<int>(rest) : static_cast<int>((rest * 31u + runs) | 1u);
}
void draw_with_runs(uint32_t* argb, int pitch, int width, int height, int paused) {
    desktop_runs_draw(argb, pitch, width, height);
    overlay_draw(argb, pitch, width, height, paused);
}

}  // namespace

const SdlOverlay desktop_overlay = {look_with_runs, draw_with_runs};

void desktop_set_slot(const PracticeSlot* quick_slot) {
    slot = quick_slot;
}

void desktop_keep_runs_in(const char* folder) {
    runs_folder = folder != nullptr ? folder : "";
}

void desktop_set_replay(const Script* script, int check_pass, uint64_t check_digest) {
    replay = script;
    replay_check_pass = check_pass;
    replay_check_digest = check_digest;
    replay_last_pass = -1;
    for (const ScriptEvent& e : script->events) {
        replay_last_pass = e.pass > replay_last_pass ? e.pass : replay_last_pass;
    }
    for (const ScriptHold& hold : script->holds) {
        replay_last_pass = hold.last > replay_last_pass ? hold.last : replay_last_pass;
    }
    sdl_live_presses = 0;
}

int desktop_pass() {
    const int pass = app_next_pass();
    sdl_pass = pass;
    end_replay_before(pass);
    InputRecord record;
    make_record(pass, &record);
    const int rewind = platform_held_commands() >> COMMAND_REWIND & 1;
    const int going = practice_pass(&record, rewind);
    desktop_replays_after(record, going);
    run_keeper_after(record, going);
    if (!going) {
        return 0;
    }
    check_replayed_frame(pass);
    return 1;
}

int desktop_run() {
    if (!app_start(nullptr)) {
        if (!sdl_window_failed) {
            // Standard error has the line already; a player who started us from a menu sees
            // the box.
            char text[1024];
            app_describe_failed_start(text, sizeof text);
            sdl_show_message(text);
        }
        return app_finish();
    }
    if (desktop_replays_begin()) {
        if (!practice_start(slot)) {
            std::fprintf(stderr, "Quellaro 2005: no memory for rewinding; the game goes on\n");
        }
        if (desktop_replaying()) {
            sdl_live_presses = 0;
        }
        practice_allow_going_back(!desktop_recording() && !desktop_replaying() &&
                                  replay == nullptr);
        // A replay's runs are not the player's to keep.
        const bool own = !desktop_replaying() && replay == nullptr;
        run_keeper_begin(runs_folder.empty() ? nullptr : runs_folder.c_str(), own);
        sdl_set_overlay(&desktop_overlay);
        for (;;) {
            stepping = sdl_wait_while_paused(&desktop_input) == 1;
            clock_start();
            if (!desktop_pass()) {
                break;
            }
            // A pass stepped while paused is shown at once; others keep the speed chosen.
            clock_wait(stepping ? FRAME_MS : practice_pass_ms());
        }
        sdl_set_overlay(nullptr);
        run_keeper_end();
        practice_stop();
    }
    // The recording written and the replay judged while the game is still there.
    const int replays_status = desktop_replays_finish();
    const int status = app_finish();
    return status != 0 ? status : replays_status;
}

void desktop_reset() {
    slot = nullptr;
    runs_folder.clear();
    stepping = false;
    desktop_replays_reset();
    replay = nullptr;
    replay_check_pass = replay_last_pass = -1;
    sdl_live_presses = 1;
    input_queue_clear();
}
