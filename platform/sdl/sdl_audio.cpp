// The desktop's sound: SDL's audio device, fed by the shared mixer from SDL's audio thread,
// which also renders the music as it plays it. The game thread locks the device around every
// mixer call; the callback allocates nothing. The device opens after the first frame, as the
// pads start, so the title waits for neither; with no device the game runs silently and says
// so once.
#include <SDL.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "platform/common/audio_out.h"
#include "platform/platform.h"
#include "platform/sdl/sdl_backend.h"

namespace {

// Frames in one buffer of the device: about 23 ms at 44100 a second, short enough that a
// sound starts with its frame and long enough that a busy machine does not starve it.
constexpr Uint16 DEVICE_FRAMES = 1024;

// What the callback mixes; touched by the game thread only with the device locked.
AudioOut audio;
// The device (0 while none is open), its rate, and whether the game asked for audio and
// whether opening the device has been tried since.
SDL_AudioDeviceID device;
int device_rate;
bool asked, tried;
bool subsystem_started;
// Frames mixed since the device opened: a sound started now begins at this one. Written by
// the audio thread, read by the game thread with the device locked.
int64_t samples_mixed;
// Diagnostics (QUELLARO_FRAME_STATS): the callback's time and buffers, written by the audio
// thread only and read once the device is closed, and when the device opened.
Uint64 callback_ticks;
int64_t callback_buffers;
Uint64 opened_at;
// The longest the game thread spent in one call to the sound (a tune started, an effect),
// and the pass it was in: nothing it asks for may hold up a pass.
Uint64 longest_call_ticks;
int longest_call_pass;

// Times one call of the game thread's, with the diagnostics on.
struct CallTimer {
    Uint64 start = sdl_stats_enabled ? SDL_GetPerformanceCounter() : 0;
    CallTimer() = default;
    CallTimer(const CallTimer&) = delete;
    CallTimer& operator=(const CallTimer&) = delete;
    ~CallTimer() {
        if (sdl_stats_enabled && device != 0) {
            const Uint64 took = SDL_GetPerformanceCounter() - start;
            if (took > longest_call_ticks) {
                longest_call_ticks = took;
                longest_call_pass = sdl_pass;
            }
        }
    }
};

void mix_callback(void*, Uint8* stream, int bytes) {
    const Uint64 start = sdl_stats_enabled ? SDL_GetPerformanceCounter() : 0;
    audio_out_mix(audio, reinterpret_cast<int16_t*>(stream), bytes / 4);
    samples_mixed += bytes / 4;
    if (sdl_stats_enabled) {
        callback_ticks += SDL_GetPerformanceCounter() - start;
        callback_buffers++;
    }
}

// With the diagnostics on, where each sound starts in the device's output, so that a
// recording of it (SDL's disk driver) can be checked against the passes.
void note_effect(int id, int variant, int pan) {
    if (sdl_stats_enabled && device != 0) {
        std::fprintf(stderr, "sound: pass %d effect %d variant %d pan %d at sample %lld\n",
                     sdl_pass, id, variant, pan, static_cast<long long>(samples_mixed));
    }
}

void note_tune(int id) {
    if (sdl_stats_enabled && device != 0) {
        std::fprintf(stderr, "sound: pass %d tune %d at sample %lld\n", sdl_pass, id,
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

void start_music(int id) {
    const CallTimer timer;
    DeviceLock lock;
    if (audio_out_play_music(audio, id)) {
        note_tune(id);
    }
}

void say_silent(const char* why) {
    std::fprintf(stderr, "Quellaro 2005: no sound (%s); the game runs silently\n", why);
}

// Where there is no sound device, the audio libraries under SDL write line after line of
// their own to standard error before SDL gives up, and the player then reads the game's one
// line among them. Their words are held aside while the device opens: shown after all when
// the sound works, dropped when the game says itself why it is silent.
struct HeldMessages {
    int saved = -1;  // standard error as it was
    int held = -1;   // where the libraries write meanwhile (memory, no file)
};

HeldMessages hold_messages() {
    HeldMessages h;
    std::fflush(stderr);
    h.held = memfd_create("quellaro-audio-messages", MFD_CLOEXEC);
    h.saved = h.held >= 0 ? dup(STDERR_FILENO) : -1;
    if (h.saved < 0 || dup2(h.held, STDERR_FILENO) < 0) {
        if (h.saved >= 0) {
            close(h.saved);
        }
        if (h.held >= 0) {
            close(h.held);
        }
        return HeldMessages{};  // nothing held: the messages go where they always went
    }
    return h;
}

void release_messages(HeldMessages* h, bool show) {
    if (h->saved < 0) {
        return;
    }
    std::fflush(stderr);
    dup2(h->saved, STDERR_FILENO);
    close(h->saved);
    if (show && lseek(h->held, 0, SEEK_SET) == 0) {
        char buffer[4096];
        ssize_t got;
        while ((got = read(h->held, buffer, sizeof buffer)) > 0) {
            std::fwrite(buffer, 1, static_cast<size_t>(got), stderr);
        }
    }
    close(h->held);
    *h = HeldMessages{};
}

// SDL's audio started and a device opened on it; 0 after saying why not.
SDL_AudioDeviceID open_sdl_device(const SDL_AudioSpec& want) {
    HeldMessages messages = hold_messages();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        release_messages(&messages, false);
        say_silent(SDL_GetError());
        return 0;
    }
    const SDL_AudioDeviceID opened = SDL_OpenAudioDevice(nullptr, 0, &want, nullptr, 0);
    if (opened == 0) {
        // Read before SDL_QuitSubSystem, which may set another error.
        char why[256];
        std::snprintf(why, sizeof why, "%s", SDL_GetError());
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        release_messages(&messages, false);
        say_silent(why);
        return 0;
    }
    release_messages(&messages, true);
    return opened;
}

void open_device() {
    tried = true;
    SDL_AudioSpec want{};
    want.freq = device_rate;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = DEVICE_FRAMES;
    want.callback = mix_callback;
    // No changes allowed: SDL converts our 16-bit stereo to whatever the hardware takes.
    device = open_sdl_device(want);
    if (device == 0) {
        return;
    }
    subsystem_started = true;
    samples_mixed = 0;
    callback_ticks = 0;
    callback_buffers = 0;
    longest_call_ticks = 0;
    opened_at = SDL_GetPerformanceCounter();
    if (sdl_stats_enabled) {
        std::fprintf(stderr,
                     "audio: %s, a buffer of %d frames at %d a second (%.1f ms), stereo, the "
                     "limiter's ceiling %d, look-ahead %d frames\n",
                     SDL_GetCurrentAudioDriver(), DEVICE_FRAMES, device_rate,
                     1000.0 * DEVICE_FRAMES / device_rate, MIXER_CEILING, MIXER_LOOKAHEAD);
    }
    sdl_audio_apply_settings();
    mixer_set_paused(audio.mixer, sdl_paused != 0);
    start_music(audio.music_asked);
    SDL_PauseAudioDevice(device, 0);
}

void print_stats() {
    const double frequency = static_cast<double>(SDL_GetPerformanceFrequency());
    const double open_s = static_cast<double>(SDL_GetPerformanceCounter() - opened_at) / frequency;
    const double busy_s = static_cast<double>(callback_ticks) / frequency;
    std::fprintf(stderr,
                 "audio: %lld buffers in %.1f s, the callback %.3f%% of one core (%.1f us a "
                 "buffer); the limiter turned %lld frames down\n",
                 static_cast<long long>(callback_buffers), open_s,
                 open_s > 0 ? 100.0 * busy_s / open_s : 0.0,
                 callback_buffers > 0 ? 1e6 * busy_s / static_cast<double>(callback_buffers) : 0.0,
                 static_cast<long long>(audio.mixer.limiter.limited));
    std::fprintf(stderr, "audio: the game's longest call to the sound took %.1f us (pass %d)\n",
                 1e6 * static_cast<double>(longest_call_ticks) / frequency, longest_call_pass);
}

}  // namespace

int platform_audio_open(int rate) {
    if (rate <= 0) {
        return 0;
    }
    audio_out_reset(audio, rate);
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
    audio_out_reset(audio, device_rate > 0 ? device_rate : 1);
    asked = tried = false;
}

void platform_sound_load(int id, int variant, const int16_t* samples, int64_t length) {
    DeviceLock lock;
    audio_out_sound_load(audio, id, variant, samples, length);
}

void platform_music_load(int id, const PlatformMusic* music) {
    DeviceLock lock;
    audio_out_music_load(audio, id, music);
}

void platform_play_sound(int id, int variant, int pan) {
    if (device == 0) {
        return;
    }
    const CallTimer timer;
    DeviceLock lock;
    if (audio_out_play_sound(audio, id, variant, pan)) {
        note_effect(id, variant, pan);
    }
}

void platform_play_music(int id) {
    start_music(id);
}

void sdl_audio_start_when_due() {
    if (asked && !tried && sdl_pass >= 1) {
        open_device();
    }
}

void sdl_audio_set_paused(int paused) {
    DeviceLock lock;
    mixer_set_paused(audio.mixer, paused != 0);
}

void sdl_audio_toggle_mute() {
    sdl_settings.muted = !sdl_settings.muted;
    sdl_run_only &= ~RUN_ONLY_MUTE;
    sdl_settings_changed();
    sdl_audio_apply_settings();
}

SdlAudioState sdl_audio_state() {
    DeviceLock lock;
    return {device != 0, audio.mixer.paused, audio.mixer.muted, mixer_voices_playing(audio.mixer),
            mixer_music_playing(audio.mixer)};
}

void sdl_audio_set_levels(int effects_percent, int music_percent, int muted) {
    sdl_settings.effects_volume = std::clamp(effects_percent, 0, 100);
    sdl_settings.music_volume = std::clamp(music_percent, 0, 100);
    sdl_settings.muted = muted ? 1 : 0;
    sdl_run_only &= ~RUN_ONLY_MUTE;
    sdl_settings_changed();
    sdl_audio_apply_settings();
}

void sdl_audio_apply_settings() {
    DeviceLock lock;
    audio_out_set_levels(audio, sdl_settings.effects_volume, sdl_settings.music_volume,
                         sdl_settings.muted != 0);
}
