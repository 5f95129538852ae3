// The audio output the backends share: numbers to samples and tunes, percent to mixer volumes.
#include "platform/common/audio_out.h"

#include <algorithm>

namespace {

bool valid(int id) {
    return id >= 0 && id < AUDIO_IDS;
}

int mixer_volume(int percent) {
    return std::clamp(percent, 0, 100) * MIXER_UNITY / 100;
}

}  // namespace

void audio_out_reset(AudioOut& a, int rate) {
    for (auto& variants : a.effects) {
        for (AudioOut::Effect& e : variants)
            e = {nullptr, 0};
    }
    for (const PlatformMusic*& tune : a.tunes)
        tune = nullptr;
    a.music_asked = 0;
    mixer_reset(a.mixer, rate);
    audio_out_set_levels(a, 100, 100, false);
}

void audio_out_sound_load(AudioOut& a, int id, int variant, const int16_t* samples,
                          int64_t length) {
    if (valid(id) && variant >= 0 && variant < AUDIO_VARIANTS)
        a.effects[id][variant] = {samples, length};
}

void audio_out_music_load(AudioOut& a, int id, const PlatformMusic* music) {
    if (!valid(id))
        return;
    a.tunes[id] = music;
    if (id == a.music_asked)
        audio_out_play_music(a, id);
}

int audio_out_play_sound(AudioOut& a, int id, int variant, int pan) {
    if (!valid(id) || variant < 0 || variant >= AUDIO_VARIANTS)
        return 0;
    const AudioOut::Effect& e = a.effects[id][variant];
    return mixer_play(a.mixer, e.samples, e.length, MIXER_UNITY, pan) >= 0;
}

int audio_out_play_music(AudioOut& a, int id) {
    a.music_asked = valid(id) ? id : 0;
    const PlatformMusic* tune = a.music_asked != 0 ? a.tunes[a.music_asked] : nullptr;
    mixer_set_music(a.mixer, tune);
    return tune != nullptr;
}

void audio_out_set_levels(AudioOut& a, int effects_percent, int music_percent, bool muted) {
    a.effects_volume = std::clamp(effects_percent, 0, 100);
    a.music_volume = std::clamp(music_percent, 0, 100);
    a.muted = muted;
    mixer_set_volumes(a.mixer, MIXER_UNITY, mixer_volume(a.effects_volume),
                      mixer_volume(a.music_volume));
    mixer_set_muted(a.mixer, muted);
}

void audio_out_mix(AudioOut& a, int16_t* out, int frames) {
    mixer_mix(a.mixer, out, frames);
}
