// The headless backend's controls: scripted held keys, the virtual clock, the presented
// frames, and the window and cursor as a test or the runner sees them.
#pragma once
#include <cstdint>

#include "platform/platform.h"
#include "platform/types.h"

// Keys held down from now on (until released).
void headless_set_key_held(int key, int held);
void headless_release_all_keys();

// The virtual clock: a frame costs no real time; only waits advance it.
uint32_t headless_time();
void headless_set_time(uint32_t ms);

// The last presented frame as it came, rows of width pixels (8-bit indices, or 16-bit words
// of a 16-bit frame), and the palette in force then.
int headless_frames_presented();
int headless_frame_width();
int headless_frame_height();
const uint8_t* headless_frame_pixels();
const PaletteEntry* headless_frame_palette();
// The last presented frame as RGB, 3 bytes a pixel, top row first; made when first asked
// for after each present.
const uint8_t* headless_frame_rgb();

int headless_window_open();
int headless_cursor_visible();
// Makes the next window opening fail (for start-up failure tests).
void headless_fail_window_open(int fail);
// The sound events taken note of since the last headless_clear_sounds, in the order they
// came: effects started and tunes asked for (at most HEADLESS_SOUNDS_MAX; later ones are
// counted but not kept).
struct HeadlessSound {
    int music;  // 0: effect id started; 1: tune id asked for (0 for none)
    int id;
    int variant;  // an effect's variant and pan
    int pan;
    int64_t at;  // the frame of the recording it starts on (0 when not recording)
};
constexpr int HEADLESS_SOUNDS_MAX = 64;
int headless_sound_count();
HeadlessSound headless_sound(int index);
void headless_clear_sounds();
// Records what the desktop game would play, frame for frame as the virtual clock moves (the
// audio opening then says the sounds are played): the whole mix, and the effects and the
// music each alone, at the desktop's default volumes (effects 100 %, music 70 %). Off at
// start-up; turned on before the program starts.
void headless_record_audio(int on);
enum HeadlessStem : int { HEADLESS_MIX, HEADLESS_EFFECTS, HEADLESS_MUSIC };
// What was recorded of one stem since the audio opened, left and right: its frames (0 when
// none, -1 when the recording stopped short for want of memory) and *samples, valid until
// the next recording or the audio's opening.
int64_t headless_recording(int stem, const int16_t** samples);
// The frame of the recording where the mix first played tune id since the audio opened (a
// tune starts as soon as it is asked for: the music is rendered as it plays), or -1.
int64_t headless_music_first_heard(int id);
// The tune handed over with number id (null when none).
const PlatformMusic* headless_music(int id);
// Mixes what the recording owes up to the virtual time now (the clock calls it).
void headless_audio_catch_up();

// The backend back to its state at start-up: no keys held, the clock at 0, no frame kept,
// no window, the cursor shown, window openings allowed, no sound events, the audio noting
// only (not recording).
void headless_reset();
