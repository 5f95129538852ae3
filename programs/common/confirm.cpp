// The confirmation's gate: what a message would do, held back until the player says yes.
#include "programs/common/confirm.h"

#include "programs/common/pause_menu.h"
#include "shell/commands.h"
#include "shell/game_state.h"

namespace {

// The message held back while the player is asked, and whether it was confirmed (it then goes
// to the next pass).
InputRecord held;
bool asking;
bool confirmed;
// A program's action asked about (confirm_then) instead of a message; null: none.
void (*action)();

void ask(int kind) {
    asking = true;
    if (kind == CONFIRM_QUIT) {
        pause_menu_confirm("Quit Quellaro 2005?", "The game in progress will be lost.", "Quit",
                           "Keep playing");
    } else {
        pause_menu_confirm("Leave this game?", "Start Game goes on with it from the title.",
                           "Leave", "Keep playing");
    }
}

void hold_back(const InputRecord& message, int kind) {
    action = nullptr;  // this question replaces one about a program's action
    held = message;
    confirmed = false;
    input_queue_clear();
    ask(kind);
}

// The message of a record with nothing held.
InputRecord message_of(uint8_t message, uint8_t key) {
    InputRecord record = INPUT_RECORD_EMPTY;
    record.message = message;
    record.key = key;
    return record;
}

}  // namespace

int confirm_game_in_progress() {
    return time_left != TIME_AT_START && !level_won ? 1 : 0;
}

int confirm_judge(const InputRecord& record) {
    // Without the menus nothing could ask: the message goes through as it always did.
    if (!pause_menu_can_ask() || !confirm_game_in_progress())
        return CONFIRM_NONE;
    switch (record.message) {
        case INPUT_CLOSE:
            return CONFIRM_QUIT;
        case INPUT_CLICK:
            // Only a single press on the title's QUIT entry quits; a double click's second
            // press does nothing.
            return game_mode == MODE_MENU && menu_click_entry(record.x, record.y) == MODE_QUIT
                       ? CONFIRM_QUIT
                       : CONFIRM_NONE;
        case INPUT_KEY:
            break;
        default:
            return CONFIRM_NONE;
    }
    const bool title = game_mode == MODE_MENU;
    if (record.key == KEY_RETURN) {
        // Enter goes to the highlighted entry, from play and the information screens too.
        if (menu_selection == MODE_QUIT)
            return CONFIRM_QUIT;
        return game_mode == MODE_PLAYING && menu_selection != MODE_PLAYING ? CONFIRM_LEAVE
                                                                           : CONFIRM_NONE;
    }
    if (record.key == KEY_ESCAPE)
        return title ? CONFIRM_QUIT : game_mode == MODE_PLAYING ? CONFIRM_LEAVE : CONFIRM_NONE;
    if (record.key == KEY_Q && title)
        return CONFIRM_QUIT;
    return CONFIRM_NONE;
}

void confirm_take(InputRecord* record) {
    if (confirmed) {
        confirmed = false;
        record->message = held.message;
        record->key = held.key;
        record->x = held.x;
        record->y = held.y;
        return;
    }
    input_queue_take(record);
    const int kind = confirm_judge(*record);
    if (kind == CONFIRM_NONE)
        return;
    hold_back(*record, kind);
    record->message = INPUT_NONE;
    record->key = 0;
    record->x = record->y = 0;
}

void confirm_request(int kind) {
    const InputRecord message =
        kind == CONFIRM_QUIT ? message_of(INPUT_CLOSE, 0) : message_of(INPUT_KEY, KEY_ESCAPE);
    if (confirm_judge(message) == CONFIRM_NONE) {
        held = message;
        confirmed = true;
        pause_menu_close();
        return;
    }
    hold_back(message, kind);
}

void confirm_answer(int yes) {
    if (!asking)
        return;
    asking = false;
    if (action != nullptr) {
        void (*then)() = action;
        action = nullptr;
        if (yes)
            then();
        return;
    }
    confirmed = yes != 0;
}

void confirm_then(const char* question, const char* detail, const char* yes, void (*then)()) {
    if (!pause_menu_can_ask() || !confirm_game_in_progress()) {
        then();
        return;
    }
    // Nothing of the player's is held back: a close request meanwhile is asked on its own.
    held = INPUT_RECORD_EMPTY;
    confirmed = false;
    asking = true;
    action = then;
    pause_menu_confirm(question, detail, yes, "Keep playing");
}

void confirm_close_request() {
    if (asking && held.message == INPUT_CLOSE) {
        confirm_answer(1);
        pause_menu_close();
        return;
    }
    input_queue.close();
}

void confirm_close_now() {
    action = nullptr;
    pause_menu_close();
    held = message_of(INPUT_CLOSE, 0);
    asking = false;
    confirmed = true;
}

void confirm_reset() {
    action = nullptr;
    held = INPUT_RECORD_EMPTY;
    asking = confirmed = false;
}
