// The browser menus' host and input.
#include "programs/web/web_menu.h"

#include <cstdio>

#include "platform/platform.h"
#include "programs/common/bindings.h"
#include "programs/common/filters.h"
#include "programs/common/pause_menu_input.h"
#include "programs/common/practice.h"

namespace {

void command_keys(int command, char* out, size_t size) {
    out[0] = '\0';
    for (int role = FIRST_PRACTICE_ROLE; role < ROLE_COUNT; ++role) {
        if (key_role_command(role) == command)
            binding_keys_text(&web_settings.keys, role, out, size);
    }
}

// The Controls page: the keys and pad buttons as the page's settings bind them, each change
// kept at once.
int action_count() {
    return ROLE_COUNT;
}
void action_keys(int action, char* out, size_t size) {
    binding_keys_text(&web_settings.keys, action, out, size);
}
void action_pad(int action, char* out, size_t size) {
    binding_pad_text(&web_settings.pads, action, out, size);
}
int action_conflict(int action) {
    const int key = binding_conflict(&web_settings.keys, action);
    return key >= 0 ? key : binding_pad_conflict(&web_settings.pads, action);
}
// A pad button shared acts for both: only keys have a winner.
void action_shared_text(int action, int other, char* out, size_t size) {
    binding_shared_text(&web_settings.keys, action, other, out, size);
}
int action_overruled(int action) {
    return binding_overruled(&web_settings.keys, action);
}
void reset_bindings() {
    key_bindings_default(&web_settings.keys);
    pad_bindings_default(&web_settings.pads);
    web_settings_changed();
}

void settings_changed() {
    web_settings_changed();
}

int bind(int32_t keycode) {
    return pause_menu_bind_key(&web_settings.keys, keycode, settings_changed);
}

void menu_pad(uint32_t pressed) {
    pause_menu_pad(&web_settings.pads, pressed, settings_changed);
}

// The page's scalings, as the display names them.
int scale_count() {
    return WEB_SCALE_MODES;
}
int scale() {
    return web_scale;
}

void filter_palette(const PaletteEntry* in, PaletteEntry* out, int count) {
    filter_colours(filter_current(), in, out, count);
}

// Shown at once and kept with the page's settings, as the desktop keeps it in its file (the
// settings keep the filter by number).
void filter_chosen(int filter) {
    web_set_palette_filter(filter == FILTER_NONE ? nullptr : filter_palette);
    web_settings.colours = filter;
    web_settings_changed();
}

// Kept with the page's settings, as the desktop keeps it in its file.
void speed_chosen(int percent) {
    web_settings.speed = percent;
    web_settings_changed();
}

void menu_key(int key) {
    if (pause_menu_page() == PAGE_NONE) {
        if (key == KEY_ESCAPE)
            pause_menu_input(MENU_BACK);  // from frame advance to the menu
        return;
    }
    switch (key) {
        case KEY_UP:
            pause_menu_input(MENU_UP);
            break;
        case KEY_DOWN:
            pause_menu_input(MENU_DOWN);
            break;
        case KEY_LEFT:
        case KEY_A:
            pause_menu_input(MENU_LEFT);
            break;
        case KEY_RIGHT:
        case KEY_D:
            pause_menu_input(MENU_RIGHT);
            break;
        case KEY_RETURN:
            pause_menu_input(MENU_ACCEPT);
            break;
        case KEY_ESCAPE:
            pause_menu_input(MENU_BACK);
            break;
        default:
            break;
    }
}

void menu_click(int x, int y) {
    pause_menu_click(x, y);
}

}  // namespace

const MenuHost web_menu_host = {web_hold,
                                nullptr,
                                nullptr,
                                scale_count,
                                web_scale_mode_name,
                                scale,
                                web_set_scale_mode,
                                web_audio_levels,
                                web_audio_set_levels,
                                filter_chosen,
                                speed_chosen,
                                action_count,
                                binding_action_name,
                                action_keys,
                                action_pad,
                                action_conflict,
                                action_shared_text,
                                action_overruled,
                                reset_bindings,
                                command_keys,
                                web_advance_once};

const WebMenu web_menu_input = {pause_menu_shown,         menu_key, menu_click,
                                pause_menu_pause_changed, bind,     menu_pad};

void web_menu_start() {
    practice_set_assist(web_settings.speed);
    filter_choose(web_settings.colours);
    web_set_palette_filter(filter_current() == FILTER_NONE ? nullptr : filter_palette);
}

void web_menu_advance_asked() {
    // The page's pause may have come first, with its menu: frame advance steps instead.
    if (pause_menu_page() == PAGE_PAUSE)
        pause_menu_held(1, 1);
    else
        pause_menu_advance_asked();
}
