// What the browser program asks of the browser backend, with no Emscripten inside: the
// settings kept in the page's storage, the browser's animation frames, the pause, the
// scaling, what is drawn over the frame, the page's notices, and exporting a function to the
// page.
#pragma once
#include <cstddef>
#include <cstdint>

#include "platform/sdl/settings.h"
#include "platform/types.h"
#include "platform/web/layout.h"

// Reads the player's settings from the page's storage (the defaults where there are none);
// the program's first call, before the game starts.
void web_program_start();
// The settings in force: the desktop's (sound, keys, gamepad; its display part unused), and
// the page's scaling (WebScaleMode). An options page changes them, then calls
// web_settings_changed, which applies them and keeps them in the page's storage (0 when the
// browser refused: full, or storage turned off; they then last until the page closes).
extern Settings web_settings;
extern int web_scale;
int web_settings_changed();
// Scales the frame by another mode (WebScaleMode; web_scale_mode_name names each of the
// WEB_SCALE_MODES, for an options page), at once, and keeps the choice.
void web_set_scale_mode(int mode);

// Calls frame at the browser's animation frames (by a timer alone when a worker draws) with
// the time in milliseconds. frame returns how long it can wait for the next one (ms; 0 for
// the next refresh), or a negative number to stop. Waiting, the page sleeps: a display
// refreshing at 60 or 120 Hz costs the processor a frame only when the game has a pass to run.
void web_run_frames(double (*frame)(double now_ms));
// 1 while the game is paused: the page is hidden or lost the focus, or the player pressed P.
int web_paused();
// 1, once, when frame advance asked for one pass while paused (the pause goes on).
int web_take_advance();

// What the program draws over every frame as it is put on the canvas (never into the game's
// frame): look gives 0 when there is nothing to draw, else a number that changes whenever the
// drawing would; draw draws on the frame's RGBA pixels (pitch in pixels).
struct WebOverlay {
    int (*look)(int paused);
    void (*draw)(uint32_t* rgba, int pitch, int width, int height, int paused);
};
void web_set_overlay(const WebOverlay* overlay);
// A colour filter for the frames shown: the palette's 256 colours go through it on their way
// to the canvas (the game's frame is never touched); null for none. Shows the last frame
// again through the new one.
typedef void (*WebPaletteFilter)(const PaletteEntry* in, PaletteEntry* out, int count);
void web_set_palette_filter(WebPaletteFilter filter);
// The last frame's digest as the game drew it (frame_digest.h: before any filter; 0 before
// any frame), for checking that what is shown never changes what is played.
uint64_t web_shown_frame_digest();
// Puts the last frame on the canvas again when the overlay's look changed.
void web_present_when_overlay_changed();

// A menu the program shows over the held game takes the input the game would have: keys and
// the page's touch buttons as virtual-key codes (the arrows, Enter, Escape...), a pad's
// presses as the same codes (its Start as Escape), left-button presses in frame pixels.
// paused tells it the pause began or ended, by whatever means; while a menu shows, the page's
// own pause notice is not shown. bind (null: never) is offered every key first, as its
// keycode (keymap.h), and gives 1 when it took the key for a binding it waited for. pad
// (null: the menu ignores pads) takes the pad buttons newly pressed (PadButton bits) while
// the menu shows.
struct WebMenu {
    int (*shown)();
    void (*key)(int key);
    void (*click)(int x, int y);
    void (*paused)(int paused);
    int (*bind)(int32_t keycode);
    void (*pad)(uint32_t pressed);
};
void web_set_menu(const WebMenu* menu);
// Starts or ends the pause from the program (a menu's Resume); one pass while the pause goes
// on (frame advance from a menu).
void web_hold(int paused);
void web_advance_once();
// The sound's levels in percent and its switch, as heard now; and as the player chose them
// in a menu (held to 0-100, heard at once).
void web_audio_levels(int* effects_percent, int* music_percent, int* muted);
void web_audio_set_levels(int effects_percent, int music_percent, int muted);

// A short notice for the player, shown by the page for a few seconds beside the game.
void web_notice(const char* text);

// The page's storage (localStorage, kept across visits): stores size bytes under name (1, or
// 0 when the browser refuses: full, or storage turned off); fetches them into out (their
// length; 0 when there are none; -1 when they cannot be read or are longer than room).
extern "C" int web_store_put(const char* name, const uint8_t* data, int size);
extern "C" int web_store_get(const char* name, uint8_t* out, int room);
// Makes a function of the program callable from the page (as Module._name).
#define WEB_EXPORT extern "C" __attribute__((used, visibility("default")))
