// The key tables of play and of the menu pages, the menu click rectangles and the window
// procedure's routing.
#include "shell/commands.h"

#include <gtest/gtest.h>

#include "shell/game.h"
#include "shell/window.h"
#include "tests/test_support.h"

namespace {

class Commands : public ::testing::Test {
  protected:
    void SetUp() override {
        window_service_reset();
        static const WindowClass cls = {CLASS_DBLCLKS, window_proc, "WINCLASS1", 0, 0};
        window_register_class(&cls);
        main_window = window_create("WINCLASS1", "Quellaro 2005", STYLE_POPUP, 0, 0, 640, 480);
        ASSERT_NE(main_window, nullptr);
        game_mode = MODE_MENU;
        menu_selection = 0;
    }
    // True when a quit request (a posted destroy message) is waiting.
    bool quit_requested() {
        WindowMessage m;
        bool destroy = false;
        while (window_peek(&m))
            destroy = destroy || m.message == MSG_DESTROY;
        return destroy;
    }
    intptr_t key(int code) { return window_proc(main_window, MSG_KEYDOWN, code, 0); }
    void click(int x, int y) {
        window_proc(main_window, MSG_LBUTTONDOWN, 0, static_cast<intptr_t>(y << 16 | x));
    }
};

}  // namespace

TEST_F(Commands, TitleMenuKeys) {
    EXPECT_EQ(menu_keys(KEY_S), 0);
    EXPECT_EQ(game_mode, MODE_PLAYING);
    game_mode = MODE_MENU;
    EXPECT_EQ(menu_keys(KEY_H), 0);
    EXPECT_EQ(game_mode, MODE_INFO1);
    game_mode = MODE_MENU;
    EXPECT_EQ(menu_keys(KEY_A), 0);
    EXPECT_EQ(game_mode, MODE_INFO2);
    game_mode = MODE_MENU;
    EXPECT_EQ(menu_selection, 0);  // letters choose without moving the highlight
    EXPECT_EQ(menu_keys(KEY_Q), 0);
    EXPECT_TRUE(quit_requested());
    EXPECT_EQ(menu_keys(KEY_ESCAPE), 0);
    EXPECT_TRUE(quit_requested());
    EXPECT_EQ(game_mode, MODE_MENU);
    EXPECT_EQ(menu_keys('X'), 1);
    EXPECT_EQ(menu_keys(KEY_LEFT), 1);
}

TEST_F(Commands, ArrowsWrapTheHighlightAndEnterTakesIt) {
    EXPECT_EQ(menu_keys(KEY_UP), 0);
    EXPECT_EQ(menu_selection, 3);
    EXPECT_EQ(menu_keys(KEY_DOWN), 0);
    EXPECT_EQ(menu_selection, 0);
    menu_selection = 7;  // out of range from elsewhere still wraps
    menu_keys(KEY_DOWN);
    EXPECT_EQ(menu_selection, 0);
    menu_selection = -2;
    menu_keys(KEY_UP);
    EXPECT_EQ(menu_selection, 3);
    for (int entry = 0; entry < 4; ++entry) {
        game_mode = MODE_MENU;
        menu_selection = entry;
        EXPECT_EQ(menu_keys(KEY_RETURN), 0);
        EXPECT_EQ(game_mode, entry);
        EXPECT_EQ(quit_requested(), entry == 3);
    }
}

TEST_F(Commands, InformationAndQuitPagesTakeOnlyEscapeEnterAndSwallowLetters) {
    for (int mode : {MODE_INFO1, MODE_INFO2, MODE_QUIT}) {
        game_mode = mode;
        EXPECT_EQ(menu_keys(KEY_S), 0);
        EXPECT_EQ(menu_keys(KEY_Q), 0);
        EXPECT_EQ(game_mode, mode);
        EXPECT_FALSE(quit_requested());
        EXPECT_EQ(menu_keys(KEY_UP), 1);
        EXPECT_EQ(menu_keys(KEY_DOWN), 1);
        EXPECT_EQ(menu_selection, 0);
        EXPECT_EQ(menu_keys(KEY_ESCAPE), 0);
        EXPECT_EQ(game_mode, MODE_MENU);
    }
    game_mode = MODE_INFO1;
    menu_selection = 0;
    EXPECT_EQ(menu_keys(KEY_RETURN), 0);
    EXPECT_EQ(game_mode, MODE_PLAYING);
}

TEST_F(Commands, PlayKeys) {
    game_mode = MODE_PLAYING;
    menu_selection = 2;
    EXPECT_EQ(play_keys(KEY_RETURN), 0);
    EXPECT_EQ(game_mode, MODE_INFO2);
    game_mode = MODE_PLAYING;
    menu_selection = 3;
    play_keys(KEY_RETURN);
    EXPECT_TRUE(quit_requested());
    game_mode = MODE_PLAYING;
    EXPECT_EQ(play_keys(KEY_ESCAPE), 0);
    EXPECT_EQ(game_mode, MODE_MENU);
    game_mode = MODE_PLAYING;
    for (int k : {KEY_UP, KEY_DOWN, KEY_S, KEY_H, KEY_A, KEY_Q, KEY_RIGHT, KEY_NEXT}) {
        EXPECT_EQ(play_keys(k), 1) << k;
    }
    EXPECT_EQ(game_mode, MODE_PLAYING);
}

TEST_F(Commands, ClickRectanglesAreInclusiveAndTestedInOrder) {
    struct Case {
        int x, y, mode, selection;
        bool quit;
    };
    const Case cases[] = {
        {247, 274, 0, 0, false},  {384, 289, 0, 0, false},  {246, 280, -1, 2, false},
        {385, 280, -1, 2, false}, {300, 273, -1, 2, false}, {300, 290, -1, 2, false},
        {247, 298, 1, 1, false},  {319, 313, 1, 1, false},  {320, 300, -1, 2, false},
        {247, 322, 2, 2, false},  {298, 337, 2, 2, false},  {299, 330, -1, 2, false},
        {247, 346, -1, 2, true},  {296, 364, -1, 2, true},  {297, 350, -1, 2, false},
        {260, 365, -1, 2, false},
    };
    for (const Case& c : cases) {
        game_mode = MODE_MENU;
        menu_selection = 2;
        click(c.x, c.y);
        EXPECT_EQ(game_mode, c.mode) << c.x << "," << c.y;
        EXPECT_EQ(menu_selection, c.selection) << c.x << "," << c.y;
        EXPECT_EQ(quit_requested(), c.quit) << c.x << "," << c.y;
    }
    // Clicks count only on the title menu.
    game_mode = MODE_INFO1;
    click(250, 280);
    EXPECT_EQ(game_mode, MODE_INFO1);
}

TEST_F(Commands, DestroyPostsQuitAndUnhandledKeysFallThrough) {
    EXPECT_EQ(window_proc(main_window, MSG_DESTROY, 0, 0), 0);
    WindowMessage m;
    ASSERT_EQ(window_peek(&m), 1);
    EXPECT_EQ(m.message, MSG_QUIT);
    EXPECT_EQ(key('Z'), 0);  // default handling returns 0 too
    EXPECT_EQ(game_mode, MODE_MENU);
    // A double click is not a press: the menu does not act on it.
    window_proc(main_window, MSG_LBUTTONDBLCLK, 0, 280 << 16 | 250);
    EXPECT_EQ(game_mode, MODE_MENU);
}
