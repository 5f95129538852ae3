// The desktop menus' host and input.
#include "programs/desktop/desktop_menu.h"

#include <cstdio>
#include <cstring>

#include "platform/platform.h"
#include "platform/sdl/gamepad.h"
#include "programs/common/bindings.h"
#include "programs/common/confirm.h"
#include "programs/common/filters.h"
#include "programs/common/pause_menu_input.h"
#include "programs/common/practice.h"

namespace {

void keys_text(int role, char* out, size_t size) {
    binding_keys_text(&sdl_settings.keys, role, out, size);
}

void hold(int held) {
    sdl_set_paused(held);
}
int fullscreen() {
    return sdl_settings.fullscreen;
}
int scale_count() {
    return 3;
}
const char* scale_name(int mode) {
    static const char* const names[] = {"Auto", "Integer", "Fit"};
    return mode >= 0 && mode < 3 ? names[mode] : "?";
}
int scale() {
    return sdl_settings.scale_mode;
}
void levels(int* effects, int* music, int* muted) {
    *effects = sdl_settings.effects_volume;
    *music = sdl_settings.music_volume;
    *muted = sdl_settings.muted;
}
void filter_palette(const PaletteEntry* in, PaletteEntry* out, int count) {
    filter_colours(filter_current(), in, out, count);
}
// The settings keep the filter by number.
static_assert(FILTER_NONE == 0 && FILTER_RED_GREEN == 1 && FILTER_BLUE_YELLOW == 2 &&
              FILTER_HIGH_CONTRAST == 3 && FILTER_COUNT == 4);

void filter_chosen(int filter) {
    sdl_set_palette_filter(filter == FILTER_NONE ? nullptr : filter_palette);
    sdl_settings.colours = filter;
    sdl_keys_changed();  // kept at once, as a binding is
}
void speed_chosen(int percent) {
    sdl_settings.speed = percent;
    sdl_keys_changed();  // kept at once, as a binding is
}
int action_count() {
    return ROLE_COUNT;
}
const char* action_name(int action) {
    return binding_action_name(action);
}
void action_keys(int action, char* out, size_t size) {
    keys_text(action, out, size);
}
void action_pad(int action, char* out, size_t size) {
    binding_pad_text(&sdl_settings.pads, action, out, size);
}
int action_conflict(int action) {
    const int key = binding_conflict(&sdl_settings.keys, action);
    return key >= 0 ? key : binding_pad_conflict(&sdl_settings.pads, action);
}
// A pad button shared acts for both: only keys have a winner.
void action_shared_text(int action, int other, char* out, size_t size) {
    binding_shared_text(&sdl_settings.keys, action, other, out, size);
}
int action_overruled(int action) {
    return binding_overruled(&sdl_settings.keys, action);
}
void reset_bindings() {
    key_bindings_default(&sdl_settings.keys);
    pad_bindings_default(&sdl_settings.pads);
    sdl_keys_changed();
}
void command_keys(int command, char* out, size_t size) {
    for (int role = FIRST_PRACTICE_ROLE; role < ROLE_COUNT; ++role) {
        if (key_role_command(role) == command)
            keys_text(role, out, size);
    }
}

int menu_key(int32_t code) {
    if (pause_menu_bind_key(&sdl_settings.keys, code, sdl_keys_changed))
        return 1;
    const KeyBindings* keys = &sdl_settings.keys;
    if (pause_menu_page() == PAGE_NONE) {
        // Held for frame advance: Escape brings the menu; the rest keep their roles.
        if (code != KEYCODE_ESCAPE)
            return 0;
        pause_menu_input(MENU_BACK);
        return 1;
    }
    int input = -1;
    if (code == KEYCODE_UP || key_has_role(keys, ROLE_UP, code))
        input = MENU_UP;
    else if (code == KEYCODE_DOWN || key_has_role(keys, ROLE_DOWN, code))
        input = MENU_DOWN;
    else if (code == KEYCODE_LEFT || key_has_role(keys, ROLE_LEFT, code))
        input = MENU_LEFT;
    else if (code == KEYCODE_RIGHT || key_has_role(keys, ROLE_RIGHT, code))
        input = MENU_RIGHT;
    else if (code == KEYCODE_RETURN || code == KEYCODE_KP_ENTER || code == KEYCODE_SPACE ||
             key_has_role(keys, ROLE_ENTER, code))
        input = MENU_ACCEPT;
    else if (code == KEYCODE_ESCAPE || code == KEYCODE_BACKSPACE ||
             key_has_role(keys, ROLE_ESCAPE, code))
        input = MENU_BACK;
    if (input < 0)
        return 0;
    pause_menu_input(input);
    return 1;
}

void menu_pad(uint32_t pressed) {
    pause_menu_pad(&sdl_settings.pads, pressed, sdl_keys_changed);
}

void menu_click(int x, int y) {
    pause_menu_click(x, y);
}

}  // namespace

const MenuHost desktop_menu_host = {hold,
                                    fullscreen,
                                    sdl_set_fullscreen,
                                    scale_count,
                                    scale_name,
                                    scale,
                                    sdl_set_scale_mode,
                                    levels,
                                    sdl_audio_set_levels,
                                    filter_chosen,
                                    speed_chosen,
                                    action_count,
                                    action_name,
                                    action_keys,
                                    action_pad,
                                    action_conflict,
                                    action_shared_text,
                                    action_overruled,
                                    reset_bindings,
                                    command_keys,
                                    sdl_advance_once};

const SdlMenu desktop_menu_input = {
    pause_menu_shown, menu_key, menu_pad, menu_click, pause_menu_pause_changed, confirm_close_now};

void desktop_menu_start() {
    practice_set_assist(sdl_settings.speed);
    filter_choose(sdl_settings.colours);
    sdl_set_palette_filter(filter_current() == FILTER_NONE ? nullptr : filter_palette);
}

void desktop_menu_advance_asked() {
    pause_menu_advance_asked();
}
