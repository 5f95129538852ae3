// The desktop game's passes: live or replayed records, the recording, the pace and the pause.
#include "programs/desktop/desktop_loop.h"

#include <cstdio>
#include <string>

#include "engine/clock.h"
#include "platform/input_record.h"
#include "platform/sdl/sdl_program.h"
#include "programs/common/confirm.h"
#include "programs/common/notes.h"
#include "programs/common/overlay.h"
#include "programs/common/pause_mark.h"
#include "programs/common/pause_menu.h"
#include "programs/desktop/desktop_menu.h"
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
    confirm_close_request();
}
void give_command(int command) {
    if (command == COMMAND_FRAME_ADVANCE && pause_menu_can_ask())
        desktop_menu_advance_asked();
    practice_command(command);
}
const PlatformInput desktop_input = {queue_key, queue_click, queue_close, give_command};

// How long a port key's note shows, and where the program's notes go: over the ground,
// clear of the practice tools' note under the HUD and of a replay's progress at the bottom.
constexpr uint32_t NOTE_MS = 1500;
constexpr int NOTE_FROM_BOTTOM = 100;
constexpr int REPLAY_PROGRESS_TOP = 440;  // along the bottom, under the play

void say(const char* text) {
    note_say(text, NOTE_MS);
}

// The overlay: the menu (or the line of frame advance) when one shows, else the pause's
// panel while paused; the practice tools' note over either.
int overlay_look_now(int paused) {
    const int menu = pause_menu_look();
    const int mark = menu == 0 && paused ? 1 : 0;
    const char* note = practice_note(platform_ticks());
    const char* progress = desktop_replay_progress();
    // A replay's progress changes the look each pass, so that it is shown even where the
    // game's own frame stands still.
    static char both[256];
    if (progress != nullptr) {
        std::snprintf(both, sizeof both, "%s|%s", note != nullptr ? note : "", progress);
        note = both;
    }
    const unsigned note_look = static_cast<unsigned>(overlay_look(note, mark)) * 7u +
                               static_cast<unsigned>(overlay_look(note_shown(platform_ticks()), 0));
    if (note_look == 0 && menu == 0)
        return 0;
    return static_cast<int>((note_look * 31u + static_cast<unsigned>(menu)) >> 1 | 1u);
}

void overlay_draw(uint32_t* argb, int pitch, int width, int height, int paused) {
    if (pause_menu_look() != 0) {
        pause_menu_draw(argb, pitch, width, height);
    } else if (paused) {
        pause_mark_draw(argb, pitch, width, height);
    }
    overlay_note(argb, pitch, width, height, practice_note(platform_ticks()));
    overlay_text(argb, pitch, width, height, note_shown(platform_ticks()),
                 height - NOTE_FROM_BOTTOM);
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
        input_queue_take(record);  // a replay's messages are the game's as they were
        return;
    }
    // The question before leaving a game stands between live input and the game; a replay
    // speaks for the player.
    if (desktop_replaying()) {
        input_queue_take(record);
    } else {
        confirm_take(record);
    }
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
        confirm_reset();
        pause_menu_set_host(&desktop_menu_host);
        sdl_set_menu(&desktop_menu_input);
        sdl_set_note(say);
        desktop_menu_start();
        for (;;) {
            stepping = sdl_wait_while_paused(&desktop_input) == 1;
            clock_start();
            if (!desktop_pass()) {
                break;
            }
            // A pass stepped while paused is shown at once; others keep the speed chosen.
            clock_wait(stepping ? FRAME_MS : practice_pass_ms());
        }
        sdl_set_menu(nullptr);
        sdl_set_note(nullptr);
        sdl_set_palette_filter(nullptr);
        pause_menu_set_host(nullptr);
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
