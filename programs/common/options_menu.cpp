// The option pages' entries and what Left, Right and Enter do to them.
#include "programs/common/options_menu.h"

#include <cstdio>

#include "programs/common/filters.h"
#include "programs/common/practice.h"

namespace {

constexpr int LEVEL_STEP = 10;

int clamp_level(int percent) {
    return percent < 0 ? 0 : percent > 100 ? 100 : percent;
}

void options_entries(const MenuHost* host, MenuEntries* out) {
    if (host->set_fullscreen != nullptr || host->set_scale != nullptr ||
        host->filter_chosen != nullptr)
        menu_add(out, ITEM_VIDEO, "Video");
    if (host->set_levels != nullptr)
        menu_add(out, ITEM_SOUND, "Sound");
    if (host->action_count != nullptr)
        menu_add(out, ITEM_KEYS, "Controls");
    MenuEntry& speed = menu_add(out, ITEM_SPEED, "Game speed");
    std::snprintf(speed.value, sizeof speed.value, "%d %%", practice_assist());
    menu_add(out, ITEM_BACK, "Back");
}

void video_entries(const MenuHost* host, MenuEntries* out) {
    if (host->fullscreen != nullptr && host->set_fullscreen != nullptr) {
        MenuEntry& e = menu_add(out, ITEM_FULLSCREEN, "Display");
        std::snprintf(e.value, sizeof e.value, "%s", host->fullscreen() ? "Full screen" : "Window");
    }
    if (host->scale_count != nullptr && host->scale != nullptr && host->set_scale != nullptr) {
        MenuEntry& e = menu_add(out, ITEM_SCALE, "Scaling");
        std::snprintf(e.value, sizeof e.value, "%s", host->scale_name(host->scale()));
    }
    if (host->filter_chosen != nullptr) {
        MenuEntry& e = menu_add(out, ITEM_FILTER, "Colours");
        std::snprintf(e.value, sizeof e.value, "%s", filter_name(filter_current()));
    }
    menu_add(out, ITEM_BACK, "Back");
}

void sound_entries(const MenuHost* host, MenuEntries* out) {
    int effects = 0, music = 0, muted = 0;
    host->levels(&effects, &music, &muted);
    MenuEntry& e = menu_add(out, ITEM_EFFECTS, "Effects");
    std::snprintf(e.value, sizeof e.value, "%d %%", effects);
    MenuEntry& m = menu_add(out, ITEM_MUSIC, "Music");
    std::snprintf(m.value, sizeof m.value, "%d %%", music);
    MenuEntry& s = menu_add(out, ITEM_MUTE, "Sound");
    std::snprintf(s.value, sizeof s.value, "%s", muted ? "Off" : "On");
    menu_add(out, ITEM_BACK, "Back");
}

void controls_entries(const MenuHost* host, MenuEntries* out) {
    // Room is kept for Reset and Back.
    const int count = host->action_count();
    for (int action = 0; action < count && out->count < MENU_ENTRIES_MAX - 2; ++action) {
        MenuEntry& e = menu_add(out, ITEM_ACTION + action, host->action_name(action));
        char keys[40] = "", pad[16] = "";
        host->action_keys(action, keys, sizeof keys);
        if (host->action_pad != nullptr)
            host->action_pad(action, pad, sizeof pad);
        const bool overruled =
            host->action_overruled != nullptr && host->action_overruled(action) >= 0;
        std::snprintf(e.value, sizeof e.value, "%s%s%s%s", keys[0] ? keys : "(none)",
                      overruled ? " (does nothing)" : "", pad[0] ? "  / pad " : "", pad);
        e.marked = overruled ? MARK_OVERRULED
                   : host->action_conflict != nullptr && host->action_conflict(action) >= 0
                       ? MARK_SHARED
                       : MARK_NONE;
    }
    if (host->reset_bindings != nullptr)
        menu_add(out, ITEM_RESET_KEYS, "Reset to defaults");
    menu_add(out, ITEM_BACK, "Back");
}

}  // namespace

void options_menu_entries(const MenuHost* host, int page, MenuEntries* out) {
    if (host == nullptr) {
        menu_add(out, ITEM_BACK, "Back");
        return;
    }
    switch (page) {
        case PAGE_OPTIONS:
            options_entries(host, out);
            break;
        case PAGE_VIDEO:
            video_entries(host, out);
            break;
        case PAGE_SOUND:
            if (host->levels != nullptr)
                sound_entries(host, out);
            break;
        case PAGE_CONTROLS:
            if (host->action_count != nullptr)
                controls_entries(host, out);
            break;
        default:
            break;
    }
    if (out->count == 0)
        menu_add(out, ITEM_BACK, "Back");
}

int options_menu_has_value(int item) {
    switch (item) {
        case ITEM_FULLSCREEN:
        case ITEM_SCALE:
        case ITEM_FILTER:
        case ITEM_SPEED:
        case ITEM_EFFECTS:
        case ITEM_MUSIC:
        case ITEM_MUTE:
            return 1;
        default:
            return 0;
    }
}

void options_menu_act(const MenuHost* host, int item, int input) {
    if (host == nullptr)
        return;
    const int step = input == MENU_LEFT ? -1 : 1;
    switch (item) {
        case ITEM_VIDEO:
            pause_menu_open_over(PAGE_VIDEO);
            break;
        case ITEM_SOUND:
            pause_menu_open_over(PAGE_SOUND);
            break;
        case ITEM_KEYS:
            pause_menu_open_over(PAGE_CONTROLS);
            break;
        case ITEM_FULLSCREEN:
            host->set_fullscreen(!host->fullscreen());
            break;
        case ITEM_SCALE: {
            const int count = host->scale_count();
            host->set_scale((host->scale() + step + count) % count);
            break;
        }
        case ITEM_FILTER:
            filter_choose((filter_current() + step + FILTER_COUNT) % FILTER_COUNT);
            host->filter_chosen(filter_current());
            break;
        case ITEM_EFFECTS:
        case ITEM_MUSIC:
        case ITEM_MUTE: {
            int effects = 0, music = 0, muted = 0;
            host->levels(&effects, &music, &muted);
            // Enter on a level goes up and wraps round, so a pad's South alone reaches every one.
            const int delta = input == MENU_ACCEPT ? LEVEL_STEP : step * LEVEL_STEP;
            if (item == ITEM_EFFECTS)
                effects = input == MENU_ACCEPT && effects == 100 ? 0 : clamp_level(effects + delta);
            else if (item == ITEM_MUSIC)
                music = input == MENU_ACCEPT && music == 100 ? 0 : clamp_level(music + delta);
            else
                muted = !muted;
            host->set_levels(effects, music, muted);
            break;
        }
        case ITEM_SPEED: {
            static const int speeds[] = {100, 90, 75, 50};
            int at = 0;
            while (at < 3 && speeds[at] != practice_assist())
                ++at;
            // Enter and Right go slower, Left faster; round at either end.
            at = (at + (input == MENU_LEFT ? 3 : 1)) % 4;
            practice_set_assist(speeds[at]);
            if (host->speed_chosen != nullptr)
                host->speed_chosen(practice_assist());
            break;
        }
        case ITEM_RESET_KEYS:
            host->reset_bindings();
            break;
        default:
            break;
    }
}
