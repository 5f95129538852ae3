// The window service: one window class, one window, the message queue with its quit request,
// default handling, held keys and the cursor flag.
#include "shell/window.h"

#include <cstdio>
#include <cstring>
#include <iterator>

namespace {

constexpr int QUEUE_CAPACITY = 256;

WindowMessage queue[QUEUE_CAPACITY];
int queue_head;
int queue_count;
WindowClass registered_class;
int class_registered;
Window the_window;
// A posted quit is handed out once nothing else waits in the queue.
int quit_posted;
int quit_code;
int cursor_shown = 1;
// The keys held during this pass, from its record.
uint8_t held_now[INPUT_HELD_BYTES];

// A waiting message as a snapshot keeps it: every message is to the one window.
struct SavedMessage {
    uint32_t message;
    uint32_t wparam;
    int32_t lparam;
};
constexpr size_t QUEUE_BYTES = sizeof(uint32_t) + QUEUE_CAPACITY * sizeof(SavedMessage);

size_t write_queue(uint8_t* out) {
    const uint32_t count = static_cast<uint32_t>(queue_count);
    std::memcpy(out, &count, sizeof count);
    for (int i = 0; i < queue_count; ++i) {
        const WindowMessage& m = queue[(queue_head + i) % QUEUE_CAPACITY];
        const SavedMessage saved = {m.message, static_cast<uint32_t>(m.wparam),
                                    static_cast<int32_t>(m.lparam)};
        std::memcpy(out + sizeof count + i * sizeof saved, &saved, sizeof saved);
    }
    return sizeof count + queue_count * sizeof(SavedMessage);
}

// The messages the game itself posts or takes from a record; nothing else is ever queued.
bool message_known(const SavedMessage& m) {
    switch (m.message) {
        case MSG_KEYDOWN:
            return m.wparam < INPUT_KEYS;
        case MSG_LBUTTONDOWN:
        case MSG_LBUTTONDBLCLK:
        case MSG_CLOSE:
        case MSG_DESTROY:
            return true;
        default:
            return false;
    }
}

int read_queue(const uint8_t* in, size_t length, int apply) {
    uint32_t count;
    if (length < sizeof count)
        return 0;
    std::memcpy(&count, in, sizeof count);
    if (count > QUEUE_CAPACITY || length != sizeof count + count * sizeof(SavedMessage))
        return 0;
    for (uint32_t i = 0; i < count; ++i) {
        SavedMessage saved;
        std::memcpy(&saved, in + sizeof count + i * sizeof saved, sizeof saved);
        if (!message_known(saved))
            return 0;
        if (apply)
            queue[i] = {&the_window, saved.message, saved.wparam, saved.lparam};
    }
    if (apply) {
        queue_head = 0;
        queue_count = static_cast<int>(count);
    }
    return 1;
}

int flag_allowed(const void* saved) {
    int value;
    std::memcpy(&value, saved, sizeof value);
    return value == 0 || value == 1;
}

void cursor_restored() {
    platform_set_cursor_visible(cursor_shown);
}

const StateBlock state_blocks[] = {
    {"window.cpp:queue,queue_head,queue_count", STATE_CUSTOM, queue, QUEUE_BYTES, nullptr, nullptr,
     write_queue, read_queue},
    {"window.cpp:quit_posted", STATE_BYTES, &quit_posted, sizeof quit_posted, flag_allowed},
    {"window.cpp:quit_code", STATE_BYTES, &quit_code, sizeof quit_code},
    {"window.cpp:cursor_shown", STATE_BYTES, &cursor_shown, sizeof cursor_shown, flag_allowed,
     cursor_restored},
};

}  // namespace

const StateBlockList window_state = {state_blocks, static_cast<int>(std::size(state_blocks))};

int window_register_class(const WindowClass* window_class) {
    if (!window_class || !window_class->proc || !window_class->name || class_registered)
        return 0;
    registered_class = *window_class;
    class_registered = 1;
    return 1;
}

Window* window_create(const char* class_name, const char* caption, unsigned style, int x, int y,
                      int width, int height) {
    if (!class_registered || !class_name || std::strcmp(class_name, registered_class.name) != 0 ||
        the_window.alive || width <= 0 || height <= 0) {
        return nullptr;
    }
    if (!platform_open_window(caption ? caption : "", width, height))
        return nullptr;
    std::memset(&the_window, 0, sizeof(the_window));
    the_window.alive = 1;
    the_window.window_class = &registered_class;
    the_window.style = style;
    the_window.rect = {x, y, x + width, y + height};
    std::snprintf(the_window.caption, sizeof(the_window.caption), "%s", caption ? caption : "");
    if (registered_class.proc(&the_window, MSG_CREATE, 0, 0) == -1) {
        window_destroy(&the_window);
        return nullptr;
    }
    return &the_window;
}

int window_destroy(Window* window) {
    if (!window || !window->alive)
        return 0;
    window->window_class->proc(window, MSG_DESTROY, 0, 0);
    window->alive = 0;
    platform_close_window();
    return 1;
}

int window_get_rect(const Window* window, Rect* out) {
    if (!window || !out)
        return 0;
    *out = window->rect;
    return 1;
}

int window_post(Window* window, uint32_t message, uintptr_t wparam, intptr_t lparam) {
    if (!window || !window->alive || queue_count == QUEUE_CAPACITY)
        return 0;
    queue[(queue_head + queue_count) % QUEUE_CAPACITY] = {window, message, wparam, lparam};
    ++queue_count;
    return 1;
}

void window_post_quit(int exit_code) {
    quit_posted = 1;
    quit_code = exit_code;
}

int window_peek(WindowMessage* out) {
    if (queue_count > 0) {
        *out = queue[queue_head];
        queue_head = (queue_head + 1) % QUEUE_CAPACITY;
        --queue_count;
        return 1;
    }
    if (quit_posted) {
        quit_posted = 0;
        *out = {nullptr, MSG_QUIT, static_cast<uintptr_t>(quit_code), 0};
        return 1;
    }
    return 0;
}

intptr_t window_dispatch(const WindowMessage* message) {
    if (!message || !message->window || !message->window->alive)
        return 0;
    return message->window->window_class->proc(message->window, message->message, message->wparam,
                                               message->lparam);
}

intptr_t window_default_proc(Window* window, uint32_t message, uintptr_t, intptr_t) {
    if (message == MSG_CLOSE)
        window_destroy(window);
    return 0;
}

int window_key_held(int key) {
    return key >= 0 && key < INPUT_KEYS && (held_now[key >> 3] >> (key & 7) & 1) ? 1 : 0;
}

void window_set_cursor_visible(int visible) {
    const int shown = visible ? 1 : 0;
    if (shown != cursor_shown)
        platform_set_cursor_visible(shown);
    cursor_shown = shown;
}

int window_cursor_visible() {
    return cursor_shown;
}

void window_input_key_down(int key) {
    window_post(&the_window, MSG_KEYDOWN, key, 0);
}

void window_input_button_down(int x, int y, int double_click) {
    // The position word carries x in its low and y in its high 16 bits.
    const intptr_t position = static_cast<intptr_t>((static_cast<uint32_t>(y) & 0xFFFF) << 16 |
                                                    (static_cast<uint32_t>(x) & 0xFFFF));
    const bool wants_double = (registered_class.style & CLASS_DBLCLKS) != 0;
    window_post(&the_window, double_click && wants_double ? MSG_LBUTTONDBLCLK : MSG_LBUTTONDOWN, 0,
                position);
}

void window_input_close() {
    window_post(&the_window, MSG_CLOSE, 0, 0);
}

void window_begin_pass(const InputRecord* record) {
    std::memcpy(held_now, record->held, sizeof held_now);
    switch (record->message) {
        case INPUT_KEY:
            window_input_key_down(record->key);
            break;
        case INPUT_CLICK:
        case INPUT_DOUBLE_CLICK:
            window_input_button_down(record->x, record->y, record->message == INPUT_DOUBLE_CLICK);
            break;
        case INPUT_CLOSE:
            window_input_close();
            break;
        default:
            break;
    }
}

void window_service_reset() {
    queue_head = queue_count = 0;
    std::memset(&registered_class, 0, sizeof(registered_class));
    class_registered = 0;
    std::memset(&the_window, 0, sizeof(the_window));
    quit_posted = quit_code = 0;
    cursor_shown = 1;
    std::memset(held_now, 0, sizeof held_now);
}
