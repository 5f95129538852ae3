// The player's settings file (settings.ini): full screen or window, the window's size, the
// scale mode, the key bindings, the gamepad switch and the sound's volumes and mute. Read at start
// (a missing file means the defaults; a bad line is reported with its number and skipped), written
// whole and atomically when the player changes something. No SDL in here.
#pragma once
#include <cstddef>

#include "platform/sdl/keymap.h"

struct Settings {
    int fullscreen;                    // 1: borderless full screen on the desktop's mode
    int window_width, window_height;   // the window's size; 0 x 0: chosen from the desktop
    int scale_mode;                    // ScaleMode
    int gamepad;                       // 1: gamepads play the game
    int effects_volume, music_volume;  // percent, 0 to 100
    int muted;                         // 1: every sound plays unheard (M)
    KeyBindings keys;
};

// Receives one complaint about a line (1-based) of the file.
typedef void (*SettingsReport)(void* context, int line, const char* message);

void settings_default(Settings* settings);
// Reads settings text over *settings (which holds the defaults or earlier values): every
// good line applies, every bad one is reported and skipped. Returns the count of bad lines.
int settings_parse(const char* text, size_t length, Settings* settings, SettingsReport report,
                   void* context);
// The whole file for these settings, with comments; the length, or 0 when size is too small.
size_t settings_format(const Settings* settings, char* out, size_t size);

// The file's place: $XDG_CONFIG_HOME/quellaro/settings.ini, else ~/.config/quellaro/...;
// 0 when neither variable gives an absolute folder (then nothing is read or written).
int settings_path(const char* config_home, const char* home, char* out, size_t size);
// Reads the file at path over *settings. 1 when read, 0 when there is none (defaults stay),
// -1 when it exists but cannot be read (reported with line 0).
int settings_load(const char* path, Settings* settings, SettingsReport report, void* context);
// Writes the file through a temporary file in the same folder and a rename, so a reader
// sees the old file or the new one, never a part; makes the folders. 1 or 0.
int settings_save(const char* path, const Settings* settings);
