// The desktop's sound: SDL's audio device, fed by the shared mixer from SDL's audio thread.
// The game thread locks the device around every mixer call; the callback allocates nothing.
// The device opens after the first frame, as the pads start, so the title waits for neither;
// with no device the game runs silently and says so once.
#include <SDL.h>

#include <cstdio>

#include "platform/common/mixer.h"
#include "platform/platform.h"
#include "platform/sdl/sdl_backend.h"

namespace {

// Effect and tune numbers the game may give.
constexpr int MAX_IDS = 64;
// Samples in one buffer of the device: about 23 ms at 22050 a second, short enough that a
// sound starts with its frame and long enough that a busy machine does not starve it.
constexpr Uint16 DEVICE_SAMPLES = 512;
// The whole mix at three quarters: effects peak near full scale alone, and two at once with
// the music under them must not clip.
constexpr int MASTER_VOLUME = MIXER_UNITY * 3 / 4;

struct Sound {
    const int16_t* samples;
    int64_t length;
    int loops;
};

// Every effect and tune the game handed over, by number.
Sound effects[MAX_IDS], tunes[MAX_IDS];
// What the callback mixes; touched by the game thread only with the device locked.
Mixer mixer;
// The device (0 while none is open), its rate, and whether the game asked for audio and
// whether opening the device has been tried since.
SDL_AudioDeviceID device;
int device_rate;
bool asked, tried;
bool subsystem_started;
// The tune asked for last (0: none).
int music_asked;
// Samples mixed since the device opened: a sound started now begins at this one. Written by
// the audio thread, read by the game thread with the device locked.
int64_t samples_mixed;
// Diagnostics (QUELLARO_FRAME_STATS): the callback's time and buffers, written by the audio
// thread only and read once the device is closed, and when the device opened.
Uint64 callback_ticks;
int64_t callback_buffers;
Uint64 opened_at;

void mix_callback(void*, Uint8* stream, int bytes) {
    const Uint64 start = sdl_stats_enabled ? SDL_GetPerformanceCounter() : 0;
    mixer_mix(mixer, reinterpret_cast<int16_t*>(stream), bytes / 2);
    samples_mixed += bytes / 2;
    if (sdl_stats_enabled) {
        callback_ticks += SDL_GetPerformanceCounter() - start;
        callback_buffers++;
    }
}

// With the diagnostics on, where each sound starts in the device's output, so that a
// recording of it (SDL's disk driver) can be checked against the passes.
void note_start(const char* what, int id) {
    if (sdl_stats_enabled && device != 0) {
        std::fprintf(stderr, "sound: pass %d %s %d at sample %lld\n", sdl_pass, what, id,
                     static_cast<long long>(samples_mixed));
    }
}

// Holds the callback off while the game thread changes the mixer.
struct DeviceLock {
    DeviceLock() {
        if (device != 0) {
            SDL_LockAudioDevice(device);
        }
    }
    ~DeviceLock() {
        if (device != 0) {
            SDL_UnlockAudioDevice(device);
        }
    }
    DeviceLock(const DeviceLock&) = delete;
    DeviceLock& operator=(const DeviceLock&) = delete;
};

bool valid(int id) {
    return id >= 0 && id < MAX_IDS;
}

int percent_volume(int percent) {
    return percent * MIXER_UNITY / 100;
}

void start_music() {
    const Sound none = {nullptr, 0, 0};
    const Sound& tune = valid(music_asked) && music_asked != 0 ? tunes[music_asked] : none;
    DeviceLock lock;
    mixer_set_music(mixer, tune.samples, tune.length, tune.loops != 0);
    if (tune.samples != nullptr) {
        note_start("tune", music_asked);
    }
}

void say_silent(const char* why) {
    std::fprintf(stderr, "Quellaro 2005: no sound (%s); the game runs silently\n", why);
}

void open_device() {
    tried = true;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        say_silent(SDL_GetError());
        return;
    }
    subsystem_started = true;
    SDL_AudioSpec want{};
    want.freq = device_rate;
    want.format = AUDIO_S16SYS;
    want.channels = 1;
    want.samples = DEVICE_SAMPLES;
    want.callback = mix_callback;
    // No changes allowed: SDL converts our mono 16-bit to whatever the hardware takes.
    device = SDL_OpenAudioDevice(nullptr, 0, &want, nullptr, 0);
    if (device == 0) {
        say_silent(SDL_GetError());
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        subsystem_started = false;
        return;
    }
    samples_mixed = 0;
    callback_ticks = 0;
    callback_buffers = 0;
    opened_at = SDL_GetPerformanceCounter();
    if (sdl_stats_enabled) {
        std::fprintf(stderr,
                     "audio: %s, a buffer of %d samples at %d a second (%.1f ms), master %d/%d\n",
                     SDL_GetCurrentAudioDriver(), DEVICE_SAMPLES, device_rate,
                     1000.0 * DEVICE_SAMPLES / device_rate, MASTER_VOLUME, MIXER_UNITY);
    }
    sdl_audio_apply_settings();
    mixer_set_paused(mixer, sdl_paused != 0);
    start_music();
    SDL_PauseAudioDevice(device, 0);
}

void print_stats() {
    const double frequency = static_cast<double>(SDL_GetPerformanceFrequency());
    const double open_s = static_cast<double>(SDL_GetPerformanceCounter() - opened_at) / frequency;
    const double busy_s = static_cast<double>(callback_ticks) / frequency;
    std::fprintf(stderr,
                 "audio: %lld buffers in %.1f s, the callback %.3f%% of one core (%.1f us a "
                 "buffer)\n",
                 static_cast<long long>(callback_buffers), open_s,
                 open_s > 0 ? 100.0 * busy_s / open_s : 0.0,
                 callback_buffers > 0 ? 1e6 * busy_s / static_cast<double>(callback_buffers) : 0.0);
}

}  // namespace

int platform_audio_open(int rate) {
    if (rate <= 0) {
        return 0;
    }
    mixer_reset(mixer);
    device_rate = rate;
    asked = true;
    tried = false;
    return 1;
}

void platform_audio_close() {
    if (device != 0) {
        SDL_CloseAudioDevice(device);
        device = 0;
        if (sdl_stats_enabled) {
            print_stats();
        }
    }
    if (subsystem_started) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        subsystem_started = false;
    }
    for (int id = 0; id < MAX_IDS; id++) {
        effects[id] = tunes[id] = Sound{nullptr, 0, 0};
    }
    mixer_reset(mixer);
    asked = tried = false;
    music_asked = 0;
}

void platform_sound_load(int id, const int16_t* samples, int64_t length) {
    if (valid(id)) {
        effects[id] = {samples, length, 0};
    }
}

void platform_music_load(int id, const int16_t* samples, int64_t length, int loops) {
    if (!valid(id)) {
        return;
    }
    tunes[id] = {samples, length, loops};
    if (id == music_asked) {
        start_music();
    }
}

void platform_play_sound(int id) {
    if (device == 0 || !valid(id)) {
        return;
    }
    DeviceLock lock;
    mixer_play(mixer, effects[id].samples, effects[id].length, MIXER_UNITY);
    note_start("effect", id);
}

void platform_play_music(int id) {
    music_asked = id;
    start_music();
}

void sdl_audio_start_when_due() {
    if (asked && !tried && sdl_pass >= 1) {
        open_device();
    }
}

void sdl_audio_set_paused(int paused) {
    DeviceLock lock;
    mixer_set_paused(mixer, paused != 0);
}

void sdl_audio_toggle_mute() {
    sdl_settings.muted = !sdl_settings.muted;
    sdl_run_only &= ~RUN_ONLY_MUTE;
    sdl_settings_changed();
    sdl_audio_apply_settings();
}

SdlAudioState sdl_audio_state() {
    DeviceLock lock;
    return {device != 0, mixer.paused, mixer.muted, mixer_voices_playing(mixer),
            mixer.music.samples != nullptr};
}

void sdl_audio_apply_settings() {
    DeviceLock lock;
    mixer_set_volumes(mixer, MASTER_VOLUME, percent_volume(sdl_settings.effects_volume),
                      percent_volume(sdl_settings.music_volume));
    mixer_set_muted(mixer, sdl_settings.muted != 0);
}
