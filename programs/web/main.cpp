// The game's entry point in the browser: start the program, then run its passes from the
// browser's animation-frame callbacks, about one every 30 ms (longer in slow motion), none
// while paused but for frame advance; the practice tools with their slot in the page's
// storage, and their note drawn over the frame as it is put on the canvas.
#include <cstdio>

#include "platform/web/pacing.h"
#include "platform/web/web_program.h"
#include "programs/common/confirm.h"
#include "programs/common/overlay.h"
#include "programs/common/pause_menu.h"
#include "programs/common/practice.h"
#include "programs/web/web_menu.h"
#include "shell/app.h"
#include "shell/game_state.h"

// The page's side (page_calls.js): the program has ended with this exit code, after a quit
// (started 1) or without ever starting (started 0).
extern "C" void page_ended(int exit_code, int started);
// What a screen reader should say now (the page's live region).
extern "C" void page_announce(const char* text);

namespace {

// The quick save's name in the page's storage.
constexpr const char* SLOT_NAME = "quellaro.quicksave";

// When the next passes are due.
Pacer pacer;
// Passes run so far, for the page's status.
int passes_run;

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
    const int note = overlay_look(practice_note(platform_ticks()), 0);
    const int menu = pause_menu_look();
    if (note == 0 && menu == 0)
        return 0;
    return static_cast<int>((static_cast<unsigned>(note) * 31u + static_cast<unsigned>(menu)) >> 1 |
                            1u);
}
void draw(uint32_t* rgba, int pitch, int width, int height, int) {
    if (pause_menu_look() != 0)
        pause_menu_draw(rgba, pitch, width, height);
    overlay_note(rgba, pitch, width, height, practice_note(platform_ticks()));
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

// One pass from the live record, through the practice tools; 0 once the game has ended.
int run_pass() {
    InputRecord record = INPUT_RECORD_EMPTY;
    platform_pump_events(&page_input);
    platform_read_held_keys(record.held);
    confirm_take(&record);
    if (!practice_pass(&record, platform_held_commands() >> COMMAND_REWIND & 1)) {
        web_set_overlay(nullptr);
        practice_stop();
        page_ended(app_finish(), 1);
        return 0;
    }
    passes_run++;
    return 1;
}

int on_animation_frame(double now_ms) {
    if (web_paused()) {
        pacer_reset(&pacer);  // no rush of passes to catch up after the pause
        // The practice keys work while paused: a save, a load, a single pass.
        platform_pump_events(&page_input);
        if (web_take_advance() && !run_pass())
            return 0;
    } else {
        pacer_set_pass_ms(&pacer, practice_pass_ms());
        for (int due = pacer_passes_due(&pacer, now_ms); due > 0; due--) {
            if (!run_pass())
                return 0;
        }
    }
    // A note that ends while nothing else changes (the menu, a pause) still goes away.
    web_present_when_overlay_changed();
    announce();
    return 1;
}

}  // namespace

// For the page and its tests: passes run, the pause, the game's mode and HUD numbers, and
// the practice tools' speed, note and mark.
WEB_EXPORT const char* web_status() {
    static char line[256];
    const char* note = practice_note(platform_ticks());
    std::snprintf(line, sizeof(line),
                  "{\"passes\":%d,\"game_mode\":%d,\"paused\":%d,\"score\":%d,"
                  "\"time_left\":%.9g,\"next_pass\":%d,\"pass_ms\":%u,\"note\":\"%s\","
                  "\"practised\":%d,\"menu\":%d}",
                  passes_run, game_mode, web_paused(), score, static_cast<double>(time_left),
                  app_next_pass(), practice_pass_ms(), note ? note : "", practice_practised(),
                  pause_menu_page());
    return line;
}

int main() {
    if (!app_start(nullptr)) {
        const int exit_code = app_finish();
        page_ended(exit_code, 0);
        return exit_code;
    }
    if (!practice_start(&page_slot))
        std::fprintf(stderr, "Quellaro 2005: no memory for rewinding; the game goes on\n");
    web_set_overlay(&page_overlay);
    pause_menu_set_host(&web_menu_host);
    web_set_menu(&web_menu_input);
    pacer_reset(&pacer);
    web_run_frames(on_animation_frame);
    // The program lives on in the callbacks.
    return 0;
}
