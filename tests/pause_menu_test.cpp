// The menus over the held game with a host of the test's: the question before a game in
// progress is left or the program quits (what is held back, what reaches the game once
// answered), the pages' navigation and options by inputs and by presses where they are drawn,
// and drawing on any frame size.
#include "programs/common/pause_menu.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/input_record.h"
#include "programs/common/confirm.h"
#include "programs/common/options_menu.h"
#include "programs/common/pause_menu_layout.h"
#include "shell/game_state.h"

namespace {

// What the host was asked.
int held = -1;
int effects = 50, music = 50, muted = 0;
int fullscreen_on = 0, scale_mode = 0;

void hold(int h) {
    held = h;
}
int fullscreen() {
    return fullscreen_on;
}
void set_fullscreen(int on) {
    fullscreen_on = on;
}
int scale_count() {
    return 3;
}
const char* scale_name(int mode) {
    static const char* const names[] = {"Auto", "Integer", "Fit"};
    return names[mode];
}
int scale() {
    return scale_mode;
}
void set_scale(int mode) {
    scale_mode = mode;
}
void levels(int* e, int* m, int* off) {
    *e = effects;
    *m = music;
    *off = muted;
}
void set_levels(int e, int m, int off) {
    effects = e;
    music = m;
    muted = off;
}

const MenuHost host = {hold,      fullscreen, set_fullscreen, scale_count, scale_name, scale,
                       set_scale, levels,     set_levels,     nullptr,     nullptr,    nullptr,
                       nullptr,   nullptr,    nullptr,        nullptr,     nullptr,    nullptr,
                       nullptr,   nullptr,    nullptr};

InputRecord key_record(int key) {
    InputRecord r = INPUT_RECORD_EMPTY;
    r.message = INPUT_KEY;
    r.key = static_cast<uint8_t>(key);
    return r;
}

// The message the next pass gets from the queue through the question's gate.
InputRecord next_pass() {
    InputRecord r = INPUT_RECORD_EMPTY;
    confirm_take(&r);
    return r;
}

const char* entry_label(int row) {
    static MenuView view;
    view = menu_view();
    return row < view.entries.count ? view.entries.entries[row].label : "";
}

class Menus : public ::testing::Test {
  protected:
    void SetUp() override {
        input_queue_clear();
        confirm_reset();
        pause_menu_set_host(&host);
        held = -1;
        game_mode = MODE_PLAYING;
        menu_selection = MODE_PLAYING;
        time_left = TIME_AT_START - 3;
        level_won = 0;
    }
    void TearDown() override {
        pause_menu_set_host(nullptr);
        confirm_reset();
        input_queue_clear();
        game_mode = MODE_MENU;
        time_left = TIME_AT_START;
    }
};

TEST_F(Menus, LeavingOrQuittingAGameInProgressWaitsForYesAndOnlyThenReachesTheGame) {
    // Escape in play is held back, the keys typed behind it dropped; No leaves the game alone.
    input_queue.key_down(KEY_ESCAPE);
    input_queue.key_down(KEY_RETURN);
    EXPECT_EQ(next_pass().message, INPUT_NONE);
    EXPECT_EQ(pause_menu_page(), PAGE_CONFIRM);
    EXPECT_EQ(held, 1);
    EXPECT_STREQ(menu_view().title, "Leave this game?");
    EXPECT_STREQ(entry_label(0), "Keep playing");  // the safe answer is the one lit
    pause_menu_input(MENU_ACCEPT);
    EXPECT_EQ(pause_menu_page(), PAGE_NONE);
    EXPECT_EQ(held, 0);
    EXPECT_EQ(next_pass().message, INPUT_NONE);

    // Yes: the Escape is the next pass's message, once.
    input_queue.key_down(KEY_ESCAPE);
    next_pass();
    pause_menu_input(MENU_RIGHT);
    pause_menu_input(MENU_ACCEPT);
    const InputRecord given = next_pass();
    EXPECT_EQ(given.message, INPUT_KEY);
    EXPECT_EQ(given.key, KEY_ESCAPE);
    EXPECT_EQ(next_pass().message, INPUT_NONE);

    // Enter in play with QUIT highlighted quits: asked as a quit.
    menu_selection = MODE_QUIT;
    input_queue.key_down(KEY_RETURN);
    next_pass();
    EXPECT_STREQ(menu_view().title, "Quit Quellaro 2005?");
    pause_menu_input(MENU_BACK);  // Escape on the question keeps playing
    EXPECT_EQ(next_pass().message, INPUT_NONE);

    // A close request asked about, then a second one: the program closes.
    input_queue.close();
    EXPECT_EQ(next_pass().message, INPUT_NONE);
    confirm_close_request();
    EXPECT_EQ(pause_menu_page(), PAGE_NONE);
    EXPECT_EQ(next_pass().message, INPUT_CLOSE);
}

int actions_done = 0;
void do_action() {
    ++actions_done;
}

TEST_F(Menus, AProgramsActionOverAGameInProgressIsDoneOnlyOnYes) {
    actions_done = 0;
    confirm_then("Watch this replay?", "", "Watch", do_action);
    EXPECT_EQ(actions_done, 0);
    EXPECT_STREQ(menu_view().title, "Watch this replay?");
    pause_menu_input(MENU_ACCEPT);  // Keep playing
    EXPECT_EQ(actions_done, 0);
    EXPECT_EQ(next_pass().message, INPUT_NONE);  // and nothing reaches the game
    confirm_then("Watch this replay?", "", "Watch", do_action);
    pause_menu_input(MENU_RIGHT);
    pause_menu_input(MENU_ACCEPT);
    EXPECT_EQ(actions_done, 1);
    EXPECT_EQ(next_pass().message, INPUT_NONE);
    // A quit asked over the question replaces it: its yes quits, and does not do the action.
    confirm_then("Watch this replay?", "", "Watch", do_action);
    input_queue.close();
    next_pass();
    EXPECT_STREQ(menu_view().title, "Quit Quellaro 2005?");
    pause_menu_input(MENU_RIGHT);
    pause_menu_input(MENU_ACCEPT);
    EXPECT_EQ(actions_done, 1);
    EXPECT_EQ(next_pass().message, INPUT_CLOSE);
    // Without a game in progress it is done at once.
    time_left = TIME_AT_START;
    confirm_then("Watch this replay?", "", "Watch", do_action);
    EXPECT_EQ(actions_done, 2);
    EXPECT_EQ(pause_menu_page(), PAGE_NONE);
}

TEST_F(Menus, WithoutAGameInProgressOrAHostNothingIsAsked) {
    const struct {
        int mode;
        float time;
        int won;
        InputRecord record;
    } cases[] = {
        {MODE_MENU, TIME_AT_START, 0, key_record(KEY_ESCAPE)},  // no game begun
        {MODE_MENU, TIME_AT_START, 0, key_record(KEY_Q)},
        {MODE_PLAYING, TIME_AT_START - 10, 1, key_record(KEY_ESCAPE)},  // won
        {MODE_PLAYING, TIME_AT_START - 10, 0, key_record(KEY_RIGHT)},   // not leaving
        {MODE_INFO1, TIME_AT_START - 10, 0, key_record(KEY_ESCAPE)},    // back to the title
    };
    for (const auto& c : cases) {
        game_mode = c.mode;
        time_left = c.time;
        level_won = c.won;
        EXPECT_EQ(confirm_judge(c.record), CONFIRM_NONE) << c.mode << " " << int{c.record.key};
    }
    // A game in progress seen from the title: Q, Escape, a press on QUIT all quit.
    game_mode = MODE_MENU;
    time_left = TIME_AT_START - 10;
    level_won = 0;
    InputRecord click = INPUT_RECORD_EMPTY;
    click.message = INPUT_CLICK;
    click.x = 260;
    click.y = 350;
    EXPECT_EQ(confirm_judge(click), CONFIRM_QUIT);
    click.y = 280;  // START GAME
    EXPECT_EQ(confirm_judge(click), CONFIRM_NONE);
    EXPECT_EQ(confirm_judge(key_record(KEY_Q)), CONFIRM_QUIT);
    pause_menu_set_host(nullptr);
    EXPECT_EQ(confirm_judge(key_record(KEY_Q)), CONFIRM_NONE);
}

TEST_F(Menus, PagesAreWalkedByInputsAndByPressesWhereTheyAreDrawn) {
    pause_menu_held(1, 0);
    ASSERT_EQ(pause_menu_page(), PAGE_PAUSE);
    // No snapshot of a game start here: no Restart entry. Up from the first wraps to the last.
    EXPECT_STREQ(entry_label(0), "Resume");
    pause_menu_input(MENU_UP);
    MenuView view = menu_view();
    EXPECT_STREQ(view.entries.entries[view.highlight].label, "Quit game");

    // Options, Sound: Left lowers effects a step, Enter on the switch turns the sound off.
    pause_menu_input(MENU_DOWN);
    pause_menu_input(MENU_DOWN);
    ASSERT_STREQ(entry_label(menu_view().highlight), "Options");
    pause_menu_input(MENU_ACCEPT);
    ASSERT_EQ(pause_menu_page(), PAGE_OPTIONS);
    pause_menu_input(MENU_DOWN);
    pause_menu_input(MENU_ACCEPT);
    ASSERT_EQ(pause_menu_page(), PAGE_SOUND);
    pause_menu_input(MENU_LEFT);
    EXPECT_EQ(effects, 40);
    pause_menu_input(MENU_DOWN);
    pause_menu_input(MENU_DOWN);
    pause_menu_input(MENU_ACCEPT);
    EXPECT_EQ(muted, 1);
    EXPECT_STREQ(menu_view().entries.entries[2].value, "Off");

    // A press on the right half of Music's row raises it; on the left half lowers it.
    view = menu_view();
    const MenuLayout l = menu_layout(view, 640, 480);
    const int music_y = l.rows_y + l.row_height + l.row_height / 2;
    EXPECT_EQ(pause_menu_click(l.x + l.width - 20, music_y), 1);
    EXPECT_EQ(music, 60);
    EXPECT_EQ(pause_menu_click(l.x + 20, music_y), 1);
    EXPECT_EQ(music, 50);
    EXPECT_EQ(pause_menu_click(2, 2), 0);  // off the panel: not the menu's

    // Back returns page by page; Resume lets the game go.
    pause_menu_input(MENU_BACK);
    EXPECT_EQ(pause_menu_page(), PAGE_OPTIONS);
    pause_menu_input(MENU_BACK);
    EXPECT_EQ(pause_menu_page(), PAGE_PAUSE);
    pause_menu_input(MENU_BACK);
    EXPECT_EQ(pause_menu_page(), PAGE_NONE);
    EXPECT_EQ(held, 0);
}

TEST_F(Menus, VideoPageCyclesTheModesTheHostHasBothWays) {
    pause_menu_open(PAGE_VIDEO);
    pause_menu_input(MENU_RIGHT);  // Display
    EXPECT_EQ(fullscreen_on, 1);
    pause_menu_input(MENU_DOWN);
    pause_menu_input(MENU_LEFT);  // Auto back to Fit: every mode is reachable again
    EXPECT_EQ(scale_mode, 2);
    pause_menu_input(MENU_RIGHT);
    EXPECT_EQ(scale_mode, 0);
    EXPECT_STREQ(menu_view().entries.entries[1].value, "Auto");
}

TEST_F(Menus, EveryPageDrawsWithinAnyFrameAndTheLookFollowsTheHighlight) {
    const int pages[] = {PAGE_PAUSE, PAGE_PRACTICE, PAGE_OPTIONS, PAGE_VIDEO, PAGE_SOUND};
    const int sizes[][2] = {{640, 480}, {320, 200}, {17, 9}};
    for (int page : pages) {
        pause_menu_open(page);
        const int before = pause_menu_look();
        EXPECT_NE(before, 0);
        pause_menu_input(MENU_DOWN);
        EXPECT_NE(pause_menu_look(), before) << page;
        for (const auto& size : sizes) {
            // A guard band around the frame must stay as it was.
            const int w = size[0], h = size[1], pitch = w + 8;
            std::vector<uint32_t> pixels(static_cast<size_t>(pitch) * (h + 2), 0x12345678u);
            pause_menu_draw(pixels.data() + pitch, pitch, w, h);
            for (int x = 0; x < pitch; ++x) {
                EXPECT_EQ(pixels[x], 0x12345678u);
                EXPECT_EQ(pixels[static_cast<size_t>(pitch) * (h + 1) + x], 0x12345678u);
            }
            for (int y = 1; y <= h; ++y)
                for (int x = w; x < pitch; ++x)
                    ASSERT_EQ(pixels[static_cast<size_t>(pitch) * y + x], 0x12345678u);
        }
    }
    pause_menu_close();
    EXPECT_EQ(pause_menu_look(), 0);
}

}  // namespace
