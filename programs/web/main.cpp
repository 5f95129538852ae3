// The game's entry point in the browser: render the sound effects into the page's files,
// start the program, then run its passes from the browser's animation-frame callbacks, about
// one every 30 ms (longer in slow motion), none while paused but for frame advance; the
// practice tools with their slot in the page's storage, and their note drawn over the frame
// as it is put on the canvas. A page has no desktop to go back to: Escape in the title does
// nothing, and a game that ends starts again at the title, with a notice saying so.
#include <cstdio>

#include "platform/platform.h"
#include "platform/types.h"
#include "platform/web/pacing.h"
#include "platform/web/web_program.h"
#include "programs/common/confirm.h"
#include "programs/common/overlay.h"
#include "programs/common/pause_menu.h"
#include "programs/common/practice.h"
#include "programs/web/sounds.h"
#include "programs/web/web_menu.h"
#include "programs/web/web_replays.h"
#include "shell/app.h"
#include "shell/game_state.h"

// The page's side (page_calls.js): the program could not start, with this exit code; and the
// game's mode, whenever it changes.
extern "C" void page_ended(int exit_code, int started);
extern "C" void page_game_mode(int mode);
// What a screen reader should say now (the page's live region).
extern "C" void page_announce(const char* text);

namespace {

// The quick save's name in the page's storage.
constexpr const char* SLOT_NAME = "quellaro.quicksave";
// The game's mode of the title menu.
constexpr int MODE_TITLE = -1;
// A replay's progress: along the bottom, under the play.
constexpr int REPLAY_PROGRESS_TOP = 440;

// When the next passes are due.
Pacer pacer;
// Passes run so far, for the page's status; the games started (a quit starts another).
int passes_run;
int games_started;
// The game's mode as the page last heard it.
int mode_told = -2;

// Live input: the game's into the input queue, the program's commands to the practice tools.
// Escape in the title would end the game, and the page with it: in a browser it is the key
// that leaves full screen, and nothing more.
void queue_key(int key) {
    if (key == KEY_ESCAPE && game_mode == MODE_TITLE)
        return;
    input_queue.key_down(key);
}
void queue_click(int x, int y, int double_click) {
    input_queue.button_down(x, y, double_click);
}
void queue_close() {
    confirm_close_request();
}
void give_command(int command) {
    if (command == COMMAND_FRAME_ADVANCE)
        web_menu_advance_asked();
    practice_command(command);
}
const PlatformInput page_input = {queue_key, queue_click, queue_close, give_command};

int store(const uint8_t* form, size_t size, char* why, size_t why_size) {
    if (web_store_put(SLOT_NAME, form, static_cast<int>(size)))
        return 1;
    std::snprintf(why, why_size, "the browser's storage refused it (full, or turned off)");
    return 0;
}

size_t fetch(uint8_t* out, size_t room, char* why, size_t why_size) {
    why[0] = '\0';
    const int length = web_store_get(SLOT_NAME, out, static_cast<int>(room));
    if (length < 0)
        std::snprintf(why, why_size, "the browser's storage cannot give it back");
    return length > 0 ? static_cast<size_t>(length) : 0;
}

const PracticeSlot page_slot = {store, fetch};

// The menu and the note over the frame; the page shows a pause without a menu itself.
int look(int) {
    // A replay's progress changes the look each pass, so that it shows where the game's own
    // frame stands still.
    const unsigned note =
        static_cast<unsigned>(overlay_look(practice_note(platform_ticks()), 0)) * 7u +
        static_cast<unsigned>(overlay_look(web_replay_progress(), 0));
    const int menu = pause_menu_look();
    const unsigned runs = static_cast<unsigned>(web_runs_look());
    if (note == 0 && menu == 0 && runs == 0)
        return 0;
    return static_cast<int>(((note * 31u + static_cast<unsigned>(menu)) * 31u + runs) >> 1 | 1u);
}
void draw(uint32_t* rgba, int pitch, int width, int height, int) {
    // The run's ghost, timer and card under the menu and the notes.
    web_runs_draw(rgba, pitch, width, height);
    if (pause_menu_look() != 0)
        pause_menu_draw(rgba, pitch, width, height);
    overlay_note(rgba, pitch, width, height, practice_note(platform_ticks()));
    overlay_text(rgba, pitch, width, height, web_replay_progress(), REPLAY_PROGRESS_TOP);
}
const WebOverlay page_overlay = {look, draw};

// Tells screen readers what changed: the menus over the game, else the title menu's entry.
void announce() {
    static unsigned said_serial;
    static int said_entry = -1;
    unsigned serial;
    const char* menu = pause_menu_speech(&serial);
    if (serial != said_serial) {
        said_serial = serial;
        if (menu[0] != '\0') {
            page_announce(menu);
            return;
        }
    }
    const int entry =
        game_mode == MODE_MENU && pause_menu_page() == PAGE_NONE ? menu_selection : -1;
    if (entry != said_entry) {
        static const char* const entries[] = {"Start game", "Help", "About", "Quit"};
        said_entry = entry;
        if (entry >= 0 && entry < 4) {
            char text[48];
            std::snprintf(text, sizeof text, "Title menu: %s, %d of 4.", entries[entry], entry + 1);
            page_announce(text);
        }
    }
}

void tell_mode() {
    if (game_mode != mode_told) {
        mode_told = game_mode;
        page_game_mode(game_mode);
    }
}

// A game from the start: the program's, the practice tools' and the overlay's. 0 when the
// game cannot start (the page then says why and offers to try again).
int start_game() {
    if (!app_start(nullptr)) {
        page_ended(app_finish(), 0);
        return 0;
    }
    if (!practice_start(&page_slot))
        std::fprintf(stderr, "Quellaro 2005: no memory for rewinding; the game goes on\n");
    web_set_overlay(&page_overlay);
    pause_menu_set_host(&web_menu_host);
    web_set_menu(&web_menu_input);
    confirm_reset();
    pacer_reset(&pacer);
    games_started++;
    web_replays_started();
    tell_mode();
    return 1;
}

// The game ended (the player quit), or a replay was offered: the title again, as a fresh
// game (which plays the replay).
int start_again() {
    const bool for_replay = web_replay_wanted();
    web_replays_stop();
    web_set_overlay(nullptr);
    practice_stop();
    const int exit_code = app_finish();
    input_queue_clear();
    if (!start_game())
        return 0;
    if (!for_replay)
        web_notice(exit_code == 0
                       ? "You left the game. The title again: start a new one whenever you like."
                       : "The game ended. The title again.");
    return 1;
}

// One pass from the live record, through the practice tools; 0 once nothing can run.
int run_pass() {
    InputRecord record = INPUT_RECORD_EMPTY;
    platform_pump_events(&page_input);
    platform_read_held_keys(record.held);
    // A replay's record stands for the live one: what the player pressed meanwhile is let go.
    const bool replayed = web_replay_next(&record);
    if (replayed)
        input_queue_clear();
    else
        confirm_take(&record);
    const int going =
        practice_pass(&record, !replayed && (platform_held_commands() >> COMMAND_REWIND & 1));
    web_replays_after(record, going);
    if (!going)
        return start_again();
    passes_run++;
    tell_mode();
    return 1;
}

// The work of an animation frame; how long the next can wait (ms), or -1 once nothing runs.
double on_animation_frame(double now_ms) {
    if (web_replay_wanted() && !start_again())
        return -1;
    if (web_paused()) {
        pacer_reset(&pacer);  // no rush of passes to catch up after the pause
        // The practice keys work while paused: a save, a load, a single pass.
        platform_pump_events(&page_input);
        if (web_take_advance() && !run_pass())
            return -1;
    } else {
        pacer_set_pass_ms(&pacer, practice_pass_ms());
        for (int due = pacer_passes_due(&pacer, now_ms); due > 0; due--) {
            if (!run_pass())
                return -1;
        }
    }
    // A note that ends while nothing else changes (the menu, a pause) still goes away.
    web_present_when_overlay_changed();
    announce();
    // Paused, the keys are looked at as often as the game would run.
    return web_paused() ? PASS_MS : pacer_ms_until_due(&pacer);
}

}  // namespace

// For the page and its tests: passes run, games started, the pause, the game's mode and HUD
// numbers, the practice tools' speed, note and mark, the scaling, and the digest of the game's
// last frame before any colour filter.
WEB_EXPORT const char* web_status() {
    static char line[480];
    const char* note = practice_note(platform_ticks());
    std::snprintf(line, sizeof(line),
                  "{\"passes\":%d,\"games\":%d,\"game_mode\":%d,\"paused\":%d,\"score\":%d,"
                  "\"time_left\":%.9g,\"next_pass\":%d,\"pass_ms\":%u,\"note\":\"%s\","
                  "\"practised\":%d,\"scale\":\"%s\",\"menu\":%d,\"frame\":\"%016llx\"%s}",
                  passes_run, games_started, game_mode, web_paused(), score,
                  static_cast<double>(time_left), app_next_pass(), practice_pass_ms(),
                  note ? note : "", practice_practised(), web_scale_mode_name(web_scale),
                  pause_menu_page(), static_cast<unsigned long long>(web_shown_frame_digest()),
                  web_replay_status());
    return line;
}

// For the page: another scaling (WebScaleMode).
WEB_EXPORT void web_choose_scale(int mode) {
    web_set_scale_mode(mode);
}

int main() {
    web_program_start();
    web_menu_start();
    // The sounds are made here rather than downloaded; without them the game cannot start.
    char why[512];
    if (!web_write_sounds(".", why, sizeof why)) {
        std::fprintf(stderr, "Quellaro 2005: the sound %s\n", why);
        page_ended(1, 0);
        return 1;
    }
    if (!start_game())
        return 1;
    web_run_frames(on_animation_frame);
    // The program lives on in the callbacks.
    return 0;
}
