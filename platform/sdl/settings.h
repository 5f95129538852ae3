// The player's settings file (settings.ini): full screen or window, the window's size, the
// scale mode, the key bindings, the gamepad switch and its buttons and the sound's volumes and
// mute. Read at start (a missing file means the defaults; a bad line is reported with its number
// and skipped), written whole and atomically when the player changes something. What the game did
// not use (bad lines, unknown sections, the player's comments) is written back too, so no rewrite
// loses what the player wrote. No SDL in here.
#pragma once
#include <cstddef>

#include "platform/sdl/keymap.h"
#include "platform/sdl/pad_bindings.h"

struct Settings {
    int fullscreen;                    // 1: borderless full screen on the desktop's own mode
    int window_width, window_height;   // the window's size; 0 x 0: chosen from the desktop
    int scale_mode;                    // ScaleMode
    int colours;                       // the colour filter shown: 0 none, 1 red-green,
                                       // 2 blue-yellow, 3 high contrast
    int gamepad;                       // 1: gamepads play the game
    int effects_volume, music_volume;  // percent, 0 to 100
    int muted;                         // 1: every sound plays unheard (M)
    int show_timer;                    // 1: the run timer over the play (T)
    int show_ghost;                    // 1: the best win's ghost over the play (G)
    int speed;                         // the game-speed assist: 100, 90, 75 or 50 percent
    KeyBindings keys;
    PadBindings pads;  // the pad buttons of each action
};

// No one writes a settings file this large by hand: a larger one is not read at all (nor
// written over), and the game never writes one this large.
constexpr size_t SETTINGS_FILE_MAX = 64 * 1024;

// What a file held that the game did not use: lines it could not use, with the reasons, the
// sections it does not know, and the player's own comments, each by the section it was in.
// The file written back keeps them, every line not used under a comment saying why.
struct SettingsKept {
    size_t length;                 // bytes of text in use
    bool overflow;                 // more than text holds: the file cannot be written back whole
    char text[SETTINGS_FILE_MAX];  // entries: a section byte, a kind byte, the bytes, '\n'
};

// Receives one complaint about a line (1-based) of the file; line 0 is about the whole file.
// Bytes of the file in a message are escaped (platform/text_escape.h).
typedef void (*SettingsReport)(void* context, int line, const char* message);

void settings_default(Settings* settings);
// Reads settings text over *settings (which holds the defaults or earlier values): every
// good line applies, every bad one is reported and skipped (and, when kept is given, kept
// with what else was not used). Returns the count of bad lines.
int settings_parse(const char* text, size_t length, Settings* settings, SettingsReport report,
                   void* context, SettingsKept* kept = nullptr);
// The whole file for these settings, with comments and what was kept; the length, or 0 when
// it does not fit in size bytes.
size_t settings_format(const Settings* settings, char* out, size_t size,
                       const SettingsKept* kept = nullptr);

// The file's place: $XDG_CONFIG_HOME/quellaro/settings.ini, else ~/.config/quellaro/...;
// 0 when neither variable gives an absolute folder (then nothing is read or written).
int settings_path(const char* config_home, const char* home, char* out, size_t size);
// Reads the file at path over *settings (a regular file of at most SETTINGS_FILE_MAX bytes,
// never waiting on a FIFO). 1 when read, 0 when there is none (defaults stay), -1 when it
// exists but cannot be read, which is reported with line 0 and the reason: the defaults stay,
// and the caller must not write over the file this run (what it holds would be lost).
int settings_load(const char* path, Settings* settings, SettingsReport report, void* context,
                  SettingsKept* kept = nullptr);
// Writes the file whole or not at all (platform/file_write.h: a symbolic link stays a link),
// with what was kept from the file read; makes the folders. 1, or 0 with why saying the reason.
int settings_save(const char* path, const Settings* settings, const SettingsKept* kept, char* why,
                  size_t why_size);
