// The window service: queue order, one message per peek, quit after the queue drains,
// default close handling, position words and double clicks.
#include <gtest/gtest.h>

#include "platform/headless/headless.h"
#include "shell/window.h"

namespace {

int destroy_count;
intptr_t recording_proc(Window* window, uint32_t message, uintptr_t wparam, intptr_t lparam) {
    if (message == MSG_DESTROY) {
        ++destroy_count;
        window_post_quit(7);
        return 0;
    }
    return window_default_proc(window, message, wparam, lparam);
}

Window* make_window(unsigned style = CLASS_DBLCLKS) {
    window_service_reset();
    static WindowClass cls;
    cls = {style, recording_proc, "TESTCLASS", 0, 0};
    EXPECT_EQ(window_register_class(&cls), 1);
    return window_create("TESTCLASS", "test", STYLE_POPUP, 0, 0, 640, 480);
}

}  // namespace

TEST(WindowService, QueueIsFirstInFirstOutOneMessageAPeek) {
    Window* w = make_window();
    ASSERT_NE(w, nullptr);
    window_input_key_down(KEY_S);
    window_input_key_down(KEY_ESCAPE);
    WindowMessage m;
    ASSERT_EQ(window_peek(&m), 1);
    EXPECT_EQ(m.message, MSG_KEYDOWN);
    EXPECT_EQ(m.wparam, static_cast<uintptr_t>(KEY_S));
    ASSERT_EQ(window_peek(&m), 1);
    EXPECT_EQ(m.wparam, static_cast<uintptr_t>(KEY_ESCAPE));
    EXPECT_EQ(window_peek(&m), 0);
}

TEST(WindowService, QuitComesOnlyAfterTheQueuedMessagesAndOnlyOnce) {
    make_window();
    window_post_quit(3);
    window_input_key_down(KEY_UP);
    WindowMessage m;
    ASSERT_EQ(window_peek(&m), 1);
    EXPECT_EQ(m.message, MSG_KEYDOWN);
    ASSERT_EQ(window_peek(&m), 1);
    EXPECT_EQ(m.message, MSG_QUIT);
    EXPECT_EQ(m.wparam, 3u);
    EXPECT_EQ(window_peek(&m), 0);
}

TEST(WindowService, CloseRequestDestroysTheWindowWhichPostsQuit) {
    Window* w = make_window();
    destroy_count = 0;
    window_input_close();
    WindowMessage m;
    ASSERT_EQ(window_peek(&m), 1);
    EXPECT_EQ(m.message, MSG_CLOSE);
    window_dispatch(&m);
    EXPECT_EQ(destroy_count, 1);
    EXPECT_EQ(w->alive, 0);
    EXPECT_EQ(headless_window_open(), 0);
    ASSERT_EQ(window_peek(&m), 1);
    EXPECT_EQ(m.message, MSG_QUIT);
    EXPECT_EQ(m.wparam, 7u);
}

TEST(WindowService, ARecordsMessageJoinsTheQueueBehindThoseWaiting) {
    make_window();
    window_input_key_down(KEY_UP);
    InputRecord record = INPUT_RECORD_EMPTY;
    record.message = INPUT_DOUBLE_CLICK;
    record.x = 300;
    record.y = 280;
    window_begin_pass(&record);
    record.message = INPUT_CLOSE;
    window_begin_pass(&record);
    WindowMessage m;
    ASSERT_EQ(window_peek(&m), 1);
    EXPECT_EQ(m.message, MSG_KEYDOWN);
    ASSERT_EQ(window_peek(&m), 1);
    EXPECT_EQ(m.message, MSG_LBUTTONDBLCLK);
    EXPECT_EQ(m.lparam, 280 << 16 | 300);
    ASSERT_EQ(window_peek(&m), 1);
    EXPECT_EQ(m.message, MSG_CLOSE);
    EXPECT_EQ(window_peek(&m), 0);
}

TEST(WindowService, ButtonPositionWordAndDoubleClicks) {
    make_window(CLASS_DBLCLKS);
    window_input_button_down(300, 280, 0);
    window_input_button_down(300, 280, 1);
    WindowMessage m;
    ASSERT_EQ(window_peek(&m), 1);
    EXPECT_EQ(m.message, MSG_LBUTTONDOWN);
    EXPECT_EQ(m.lparam & 0xFFFF, 300);
    EXPECT_EQ((m.lparam >> 16) & 0xFFFF, 280);
    ASSERT_EQ(window_peek(&m), 1);
    EXPECT_EQ(m.message, MSG_LBUTTONDBLCLK);

    // A class that does not ask for double clicks gets two plain presses.
    make_window(0);
    window_input_button_down(1, 2, 1);
    ASSERT_EQ(window_peek(&m), 1);
    EXPECT_EQ(m.message, MSG_LBUTTONDOWN);
}

TEST(WindowService, FullQueueRefusesAndRegistrationIsSingle) {
    Window* w = make_window();
    int posted = 0;
    while (window_post(w, MSG_PAINT, 0, 0))
        ++posted;
    EXPECT_EQ(posted, 256);
    static WindowClass again = {0, recording_proc, "OTHER", 0, 0};
    EXPECT_EQ(window_register_class(&again), 0);
    EXPECT_EQ(window_create("NOSUCH", "x", 0, 0, 0, 10, 10), nullptr);
}

TEST(WindowService, HeldKeysFollowThePassesRecordAndTheCursorTheBackend) {
    make_window();
    EXPECT_EQ(window_key_held(KEY_RIGHT), 0);
    InputRecord record = INPUT_RECORD_EMPTY;
    input_hold(&record, KEY_RIGHT);
    input_hold(&record, 255);
    window_begin_pass(&record);
    EXPECT_EQ(window_key_held(KEY_RIGHT), 1);
    EXPECT_EQ(window_key_held(255), 1);
    EXPECT_EQ(window_key_held(KEY_LEFT), 0);
    EXPECT_EQ(window_key_held(-1), 0);
    EXPECT_EQ(window_key_held(256), 0);
    // What the platform holds does not reach the game but through a record.
    headless_set_key_held(KEY_LEFT, 1);
    EXPECT_EQ(window_key_held(KEY_LEFT), 0);
    window_begin_pass(&INPUT_RECORD_EMPTY);
    EXPECT_EQ(window_key_held(KEY_RIGHT), 0);
    window_set_cursor_visible(0);
    EXPECT_EQ(headless_cursor_visible(), 0);
    window_set_cursor_visible(0);
    window_set_cursor_visible(1);
    // A plain state, not a counter: one show undoes any number of hides.
    EXPECT_EQ(headless_cursor_visible(), 1);
    EXPECT_EQ(window_cursor_visible(), 1);
}
