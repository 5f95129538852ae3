// The main window's procedure and the key and click commands it carries out.
#pragma once
#include <cstdint>

struct Window;

intptr_t window_proc(Window* window, uint32_t message, uintptr_t wparam, intptr_t lparam);
// Key handler while playing; 0 when it handled the key, 1 when not.
int play_keys(int key);
// Key handler outside play; 0 when it handled the key, 1 when not.
int menu_keys(int key);
// A left-button press on the title menu, position word as in the message.
void menu_click(intptr_t position);
// The title-menu entry (0 to 3) a press at (x, y) falls on; -1 for none.
int menu_click_entry(unsigned x, unsigned y);
