// The menus' pages, the highlight, the inputs and what a screen reader is told. The entries of
// the option pages are options_menu.cpp's, the drawing pause_menu_draw.cpp's.
#include "programs/common/pause_menu.h"

#include <cstdio>
#include <cstring>

#include "platform/platform.h"
#include "programs/common/confirm.h"
#include "programs/common/options_menu.h"
#include "programs/common/pause_menu_layout.h"
#include "programs/common/practice.h"
#include "shell/game_state.h"

namespace {

// Passes in the second that the practice page's rewind goes back.
constexpr int REWIND_STEP_PASSES = 33;

// The program's host, the page showing with the pages it was opened from (for Back), and the
// highlight on each.
const MenuHost* host;
int pages[4];
int depth;
int highlight[PAGE_COUNT];
int scroll;  // the first row shown of a page taller than the panel
bool stepping;
// Rebinding: the action waiting for its key (-1: none), and what the last binding said.
int waiting_action = -1;
char binding_said[96];
// The confirmation's words.
char confirm_words[4][64];
// What a screen reader is told, and its number.
char speech[512];
unsigned speech_serial;

int page() {
    return depth > 0 ? pages[depth - 1] : PAGE_NONE;
}

void hold(int held) {
    if (host != nullptr && host->hold != nullptr)
        host->hold(held);
}

const char* const PAGE_TITLES[PAGE_COUNT] = {"",      "Paused", "Practice", "Options",
                                             "Video", "Sound",  "Controls", ""};

// The pause page, and the practice page with each tool's keys.
void pause_entries(MenuEntries* out) {
    menu_add(out, ITEM_RESUME, "Resume");
    if (practice_can_restart())
        menu_add(out, ITEM_RESTART, "Restart level");
    menu_add(out, ITEM_OPTIONS, "Options");
    menu_add(out, ITEM_PRACTICE, "Practice");
    if (host != nullptr && host->action_count != nullptr)
        menu_add(out, ITEM_CONTROLS, "Controls");
    if (game_mode != MODE_MENU)
        menu_add(out, ITEM_TITLE, "Quit to title");
    menu_add(out, ITEM_QUIT, "Quit game");
}

void practice_entries(MenuEntries* out) {
    static const struct {
        int item, command;
        const char* label;
    } tools[] = {
        {ITEM_QUICK_SAVE, COMMAND_QUICK_SAVE, "Quick save"},
        {ITEM_QUICK_LOAD, COMMAND_QUICK_LOAD, "Quick load"},
        {ITEM_REWIND, COMMAND_REWIND, "Rewind a second"},
        {ITEM_ADVANCE, COMMAND_FRAME_ADVANCE, "Frame advance"},
        {ITEM_SLOW_MOTION, COMMAND_SLOW_MOTION, "Slow motion"},
    };
    for (const auto& tool : tools) {
        MenuEntry& e = menu_add(out, tool.item, tool.label);
        char keys[48] = "";
        if (host != nullptr && host->command_keys != nullptr)
            host->command_keys(tool.command, keys, sizeof keys);
        if (tool.item == ITEM_SLOW_MOTION) {
            const uint32_t ms = practice_pass_ms();
            std::snprintf(e.value, sizeof e.value, "%s  [%s]",
                          ms <= 30   ? "off"
                          : ms <= 60 ? "50 %"
                                     : "25 %",
                          keys);
        } else {
            std::snprintf(e.value, sizeof e.value, "[%s]", keys);
        }
    }
    menu_add(out, ITEM_BACK, "Back");
}

void confirm_entries(MenuEntries* out) {
    menu_add(out, ITEM_NO, confirm_words[3]);
    menu_add(out, ITEM_YES, confirm_words[2]);
}

void open_on_top(int next) {
    if (depth == static_cast<int>(sizeof pages / sizeof pages[0]))
        return;
    pages[depth++] = next;
    highlight[next] = 0;
    scroll = 0;
}

void go_back() {
    if (page() == PAGE_CONFIRM)
        confirm_answer(0);
    if (depth <= 1) {
        pause_menu_close();
        return;
    }
    --depth;
    scroll = 0;
}

void act(int item) {
    switch (item) {
        case ITEM_RESUME:
            pause_menu_close();
            break;
        case ITEM_RESTART:
            practice_restart();
            pause_menu_close();
            break;
        case ITEM_OPTIONS:
            open_on_top(PAGE_OPTIONS);
            break;
        case ITEM_PRACTICE:
            open_on_top(PAGE_PRACTICE);
            break;
        case ITEM_CONTROLS:
            open_on_top(PAGE_CONTROLS);
            break;
        case ITEM_TITLE:
            confirm_request(CONFIRM_LEAVE);
            break;
        case ITEM_QUIT:
            confirm_request(CONFIRM_QUIT);
            break;
        case ITEM_QUICK_SAVE:
        case ITEM_QUICK_LOAD:
            practice_command(item == ITEM_QUICK_SAVE ? COMMAND_QUICK_SAVE : COMMAND_QUICK_LOAD);
            practice_apply_now();
            break;
        case ITEM_REWIND:
            practice_rewind(REWIND_STEP_PASSES);
            break;
        case ITEM_ADVANCE:
            // The page goes: each pass must be seen.
            depth = 0;
            stepping = true;
            practice_command(COMMAND_FRAME_ADVANCE);
            if (host != nullptr && host->advance != nullptr)
                host->advance();
            break;
        case ITEM_SLOW_MOTION:
            practice_command(COMMAND_SLOW_MOTION);
            break;
        case ITEM_YES:
            confirm_answer(1);
            depth = 0;  // the message goes to the game as the next pass's
            stepping = false;
            hold(0);
            break;
        case ITEM_NO:
        case ITEM_BACK:
            go_back();
            break;
        default:
            options_menu_act(host, item, MENU_ACCEPT);
            break;
    }
}

// A program that shows pad buttons binds them too; the hint says how to cancel as well.
const char* waiting_prompt(bool hint = false) {
    if (host != nullptr && host->action_pad != nullptr)
        return hint ? "Press the new key or pad button. Esc or Back: cancel"
                    : "Press the new key or pad button.";
    return hint ? "Press the new key. Esc: cancel" : "Press the new key.";
}

void speak(const MenuEntries& entries) {
    const int at = highlight[page()];
    char text[sizeof speech];
    if (page() == PAGE_NONE) {
        std::snprintf(text, sizeof text, "%s", stepping ? "Paused, a pass at a time." : "");
    } else if (at < 0 || at >= entries.count) {
        std::snprintf(text, sizeof text, "%s", PAGE_TITLES[page()]);
    } else {
        const MenuEntry& e = entries.entries[at];
        std::snprintf(text, sizeof text, "%s%s%s%s%s, %d of %d.%s%s",
                      page() == PAGE_CONFIRM ? confirm_words[0] : PAGE_TITLES[page()], ". ",
                      e.label, e.value[0] ? ": " : "", e.value, at + 1, entries.count,
                      waiting_action >= 0 || binding_said[0] ? " " : "",
                      waiting_action >= 0 ? waiting_prompt() : binding_said);
    }
    if (std::strcmp(text, speech) != 0) {
        std::snprintf(speech, sizeof speech, "%s", text);
        ++speech_serial;
    }
}

}  // namespace

void menu_entries_of(int shown, MenuEntries* out) {
    out->count = 0;
    switch (shown) {
        case PAGE_PAUSE:
            pause_entries(out);
            break;
        case PAGE_PRACTICE:
            practice_entries(out);
            break;
        case PAGE_CONFIRM:
            confirm_entries(out);
            break;
        default:
            options_menu_entries(host, shown, out);
            break;
    }
}

MenuEntry& menu_add(MenuEntries* out, int item, const char* label) {
    MenuEntry& e = out->entries[out->count < MENU_ENTRIES_MAX ? out->count++ : out->count - 1];
    e = MenuEntry{};
    e.item = item;
    std::snprintf(e.label, sizeof e.label, "%s", label);
    return e;
}

MenuView menu_view() {
    MenuView view{};
    view.page = page();
    view.title = page() == PAGE_CONFIRM ? confirm_words[0] : PAGE_TITLES[page()];
    view.detail = page() == PAGE_CONFIRM ? confirm_words[1] : "";
    view.highlight = highlight[page()];
    view.scroll = scroll;
    view.stepping = stepping;
    view.waiting_action = waiting_action;
    view.said = binding_said;
    view.prompt = waiting_prompt(true);
    view.binds_pad = host != nullptr && host->action_pad != nullptr;
    menu_entries_of(page(), &view.entries);
    return view;
}

void pause_menu_set_host(const MenuHost* menu_host) {
    host = menu_host;
    depth = 0;
    stepping = false;
    waiting_action = -1;
    binding_said[0] = '\0';
}

int pause_menu_can_ask() {
    return host != nullptr ? 1 : 0;
}

void pause_menu_open(int opened) {
    if (host == nullptr || opened <= PAGE_NONE || opened >= PAGE_COUNT)
        return;
    const bool was_open = depth > 0 || stepping;
    depth = 0;
    stepping = false;
    waiting_action = -1;
    binding_said[0] = '\0';
    // The pause page lies under every other, for Back.
    if (opened != PAGE_PAUSE && opened != PAGE_CONFIRM)
        open_on_top(PAGE_PAUSE);
    open_on_top(opened);
    if (!was_open)
        hold(1);
    MenuEntries entries;
    menu_entries_of(page(), &entries);
    speak(entries);
}

void pause_menu_open_over(int opened) {
    if (depth > 0 && opened > PAGE_NONE && opened < PAGE_COUNT)
        open_on_top(opened);
}

void pause_menu_close() {
    for (int i = 0; i < depth; ++i) {
        if (pages[i] == PAGE_CONFIRM)
            confirm_answer(0);  // left unanswered: nothing happens
    }
    const bool was_open = depth > 0 || stepping;
    depth = 0;
    stepping = false;
    waiting_action = -1;
    binding_said[0] = '\0';
    if (was_open)
        hold(0);
    speak(MenuEntries{});
}

int pause_menu_page() {
    return page();
}

void pause_menu_held(int held, int step) {
    if (!held) {
        if (depth > 0 || stepping)
            pause_menu_close();
        return;
    }
    if (step) {
        depth = 0;
        stepping = true;
        waiting_action = -1;
        speak(MenuEntries{});
    } else if (depth == 0) {
        stepping = false;
        pages[depth++] = PAGE_PAUSE;
        highlight[PAGE_PAUSE] = 0;
        MenuEntries entries;
        menu_entries_of(page(), &entries);
        speak(entries);
    }
}

int pause_menu_stepping() {
    return stepping ? 1 : 0;
}

void pause_menu_input(int input) {
    if (page() == PAGE_NONE) {
        // Held for frame advance: Back brings the pause page, Accept steps a pass.
        if (stepping && input == MENU_BACK) {
            stepping = false;
            pause_menu_held(1, 0);
        } else if (stepping && input == MENU_ACCEPT && host != nullptr &&
                   host->advance != nullptr) {
            host->advance();
        }
        return;
    }
    if (waiting_action >= 0) {
        if (input == MENU_BACK) {
            waiting_action = -1;
            std::snprintf(binding_said, sizeof binding_said, "Nothing changed.");
        }
        MenuEntries entries;
        menu_entries_of(page(), &entries);
        speak(entries);
        return;
    }
    MenuEntries entries;
    menu_entries_of(page(), &entries);
    int& at = highlight[page()];
    binding_said[0] = '\0';
    const bool across = page() == PAGE_CONFIRM;  // the answers stand side by side
    const int previous = across ? MENU_LEFT : MENU_UP;
    const int next = across ? MENU_RIGHT : MENU_DOWN;
    if (entries.count > 0 && (input == previous || input == next)) {
        at = (at + (input == next ? 1 : entries.count - 1)) % entries.count;
    } else if (input == MENU_BACK) {
        go_back();
    } else if (at >= 0 && at < entries.count) {
        const int item = entries.entries[at].item;
        if (input == MENU_ACCEPT && item >= ITEM_ACTION && item < ITEM_ACTION + MENU_ENTRIES_MAX) {
            waiting_action = item - ITEM_ACTION;
        } else if (input == MENU_ACCEPT) {
            act(item);
        } else if ((input == MENU_LEFT || input == MENU_RIGHT) && options_menu_has_value(item)) {
            options_menu_act(host, item, input);
        }
    }
    if (page() == PAGE_NONE)
        return;
    // The page may have changed, or lost entries (Restart level once play ends).
    menu_entries_of(page(), &entries);
    int& now = highlight[page()];
    if (now >= entries.count)
        now = entries.count - 1;
    speak(entries);
}

int pause_menu_click(int x, int y) {
    if (page() == PAGE_NONE)
        return 0;
    const MenuView view = menu_view();
    const MenuLayout layout = menu_layout(view, 640, 480);
    int side = 0;
    const int row = menu_layout_row_at(layout, view, x, y, &side);
    if (row < 0)
        return x >= layout.x && x < layout.x + layout.width && y >= layout.y &&
               y < layout.y + layout.height;
    highlight[page()] = row;
    if (waiting_action >= 0)
        return 1;  // the key is what the player presses, not where
    const int item = view.entries.entries[row].item;
    // A value's left half lowers it, its right half raises it; elsewhere the entry is taken.
    if (side != 0 && options_menu_has_value(item))
        pause_menu_input(side < 0 ? MENU_LEFT : MENU_RIGHT);
    else
        pause_menu_input(MENU_ACCEPT);
    return 1;
}

int pause_menu_waiting_for_binding(int* action) {
    if (waiting_action < 0)
        return 0;
    *action = waiting_action;
    return 1;
}

void pause_menu_bound(const char* refused) {
    if (waiting_action < 0)
        return;
    const int action = waiting_action;
    waiting_action = -1;
    const int other =
        host != nullptr && host->action_conflict != nullptr ? host->action_conflict(action) : -1;
    if (refused != nullptr) {
        std::snprintf(binding_said, sizeof binding_said, "%s", refused);
    } else if (other >= 0 && host->action_shared_text != nullptr) {
        host->action_shared_text(action, other, binding_said, sizeof binding_said);
    } else if (other >= 0) {
        std::snprintf(binding_said, sizeof binding_said, "Also bound to %s: both act.",
                      host->action_name(other));
    } else {
        std::snprintf(binding_said, sizeof binding_said, "Saved.");
    }
    MenuEntries entries;
    menu_entries_of(page(), &entries);
    speak(entries);
}

int pause_menu_look() {
    if (page() == PAGE_NONE && !stepping)
        return 0;
    // Everything the drawing shows, folded into one number.
    const MenuView view = menu_view();
    uint32_t hash = 2166136261u;
    auto mix = [&hash](const char* text) {
        for (const char* c = text; *c; ++c)
            hash = (hash ^ static_cast<uint8_t>(*c)) * 16777619u;
        hash = (hash ^ 0xFFu) * 16777619u;
    };
    char numbers[64];
    std::snprintf(numbers, sizeof numbers, "%d %d %d %d %d", view.page, view.highlight, view.scroll,
                  view.stepping, view.waiting_action);
    mix(numbers);
    mix(view.title);
    mix(view.said);
    for (int i = 0; i < view.entries.count; ++i) {
        mix(view.entries.entries[i].label);
        mix(view.entries.entries[i].value);
    }
    return static_cast<int>(hash >> 1 | 1);
}

void pause_menu_draw(uint32_t* pixels, int pitch, int width, int height) {
    MenuView view = menu_view();
    menu_draw(view, pixels, pitch, width, height);
    scroll = view.scroll;  // the drawing keeps the highlight in sight
}

const char* pause_menu_speech(unsigned* serial) {
    *serial = speech_serial;
    return speech;
}

void pause_menu_confirm(const char* question, const char* detail, const char* yes, const char* no) {
    std::snprintf(confirm_words[0], sizeof confirm_words[0], "%s", question);
    std::snprintf(confirm_words[1], sizeof confirm_words[1], "%s", detail);
    std::snprintf(confirm_words[2], sizeof confirm_words[2], "%s", yes);
    std::snprintf(confirm_words[3], sizeof confirm_words[3], "%s", no);
    if (host == nullptr)
        return;
    // Over the page that asked (No goes back to it), or alone over the game.
    const bool was_open = depth > 0 || stepping;
    stepping = false;
    waiting_action = -1;
    open_on_top(PAGE_CONFIRM);
    if (!was_open)
        hold(1);
    MenuEntries entries;
    menu_entries_of(page(), &entries);
    speak(entries);
}
