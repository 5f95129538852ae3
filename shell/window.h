// The window service: our own small stand-in for the desktop window system of 2005. One
// window class and one window, a message queue (post, peek-and-remove), a window procedure
// with default handling, posted quit requests, the held-key query and cursor visibility.
// Its only input is the record of each pass (window_begin_pass): the keys held during the
// pass and its one message.
#pragma once
#include <cstdint>

#include "engine/state.h"
#include "engine/types.h"
#include "platform/input_record.h"

// Message codes, with the values of the window system of old.
enum : uint32_t {
    MSG_CREATE = 1,           // sent by window_create before it returns
    MSG_DESTROY = 2,          // the window is going away; the game answers with a quit
    MSG_PAINT = 15,           // never sent here: every frame is drawn by the frame loop
    MSG_CLOSE = 16,           // a close request from the platform; the default destroys
    MSG_QUIT = 18,            // taken by the frame loop, which then ends; wparam: exit code
    MSG_KEYDOWN = 256,        // wparam: the virtual-key code; repeats while held
    MSG_LBUTTONDOWN = 513,    // lparam: x in the low, y in the high 16 bits
    MSG_LBUTTONDBLCLK = 515,  // the second press of a double click, instead of a press
};

// Class style bits.
enum : unsigned {
    CLASS_VREDRAW = 0x1,  // redraw on a height change; nothing reads it here
    CLASS_HREDRAW = 0x2,  // redraw on a width change; nothing reads it here
    CLASS_DBLCLKS = 0x8,  // second presses arrive as MSG_LBUTTONDBLCLK
    CLASS_OWNDC = 0x20,   // a drawing context of its own; nothing reads it here
};

// Window style bits.
enum : unsigned {
    STYLE_VISIBLE = 0x10000000,  // shown at once; every window is, here
    STYLE_POPUP = 0x80000000,    // no frame or caption bar; nothing reads it here
};

struct Window;
typedef intptr_t (*WindowProc)(Window* window, uint32_t message, uintptr_t wparam, intptr_t lparam);

struct WindowMessage {
    Window* window;
    uint32_t message;
    uintptr_t wparam;
    intptr_t lparam;
};

struct WindowClass {
    unsigned style;
    WindowProc proc;
    const char* name;
    int icon;    // resource number of the icon
    int cursor;  // resource number of the cursor
};

struct Window {
    int alive;
    const WindowClass* window_class;
    unsigned style;
    Rect rect;  // screen rectangle
    char caption[64];
};

// Registers the one window class; 0 when a class is already registered or the class has
// no procedure or name.
int window_register_class(const WindowClass* window_class);
// Creates the window, opens it on the platform and sends MSG_CREATE; null on failure.
Window* window_create(const char* class_name, const char* caption, unsigned style, int x, int y,
                      int width, int height);
// Sends MSG_DESTROY to the window's procedure and closes the platform window.
int window_destroy(Window* window);
// The window's screen rectangle.
int window_get_rect(const Window* window, Rect* out);

// Appends a message to the queue; 0 when the queue is full.
int window_post(Window* window, uint32_t message, uintptr_t wparam, intptr_t lparam);
// Asks for the loop to end: MSG_QUIT is taken once the queue holds nothing else.
void window_post_quit(int exit_code);
// Takes at most one message; 1 if taken. Never waits.
int window_peek(WindowMessage* out);
// Calls the procedure of the message's window.
intptr_t window_dispatch(const WindowMessage* message);
// Default handling: a close request destroys the window; everything else returns 0.
intptr_t window_default_proc(Window* window, uint32_t message, uintptr_t wparam, intptr_t lparam);

// 1 while the key is held down now: held during this pass, as its record says.
int window_key_held(int key);
// Cursor visibility: a plain shown/hidden state.
void window_set_cursor_visible(int visible);
int window_cursor_visible();

// A pass begins with its input: the keys its record holds are the ones held from now on,
// and its message, if any, joins the queue behind those posted before.
void window_begin_pass(const InputRecord* record);
// Input turned into queued messages: a key press, a left-button press, a close request.
void window_input_key_down(int key);
void window_input_button_down(int x, int y, int double_click);
void window_input_close();

// The messages waiting, the quit asked for and the cursor, as blocks of state for snapshots
// (the window and its class stay as they are).
extern const StateBlockList window_state;

// Forgets every message, the held keys, the class and the window (for tests and a second
// run).
void window_service_reset();
