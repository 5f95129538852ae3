// The mixer: voices summed at 32 bits in chunks, then scaled by the master volume and clamped.
#include "platform/common/mixer.h"

#include <algorithm>

namespace {

int clamp_volume(int v) {
    return std::clamp(v, 0, MIXER_UNITY);
}

// Adds n samples of a stream at gain (of MIXER_UNITY) into sum and moves it on; a stream that
// does not loop stops after its last sample.
void add_stream(MixerStream& s, int32_t* sum, int n, int gain) {
    int i = 0;
    while (i < n && s.samples) {
        const int run = static_cast<int>(std::min<int64_t>(n - i, s.length - s.position));
        const int16_t* from = s.samples + s.position;
        for (int k = 0; k < run; ++k)
            sum[i + k] += from[k] * gain;
        i += run;
        s.position += run;
        if (s.position == s.length) {
            s.position = 0;
            if (!s.loops)
                s.samples = nullptr;
        }
    }
}

void add_fade(MixerFade& f, int32_t* sum, int n) {
    for (int i = 0; i < n && f.fade_left > 0 && f.stream.samples; ++i) {
        MixerStream& s = f.stream;
        const int gain = f.gain * f.fade_left / MIXER_FADE_SAMPLES;
        sum[i] += s.samples[s.position] * gain;
        --f.fade_left;
        if (++s.position == s.length) {
            s.position = 0;
            if (!s.loops)
                s.samples = nullptr;
        }
    }
}

void start_fade(Mixer& m, const MixerStream& s, int gain) {
    if (!s.samples)
        return;
    m.fade = {s, gain, MIXER_FADE_SAMPLES};
}

}  // namespace

void mixer_reset(Mixer& m) {
    m = Mixer{};
    m.master = m.effects_volume = m.music_volume = MIXER_UNITY;
}

int mixer_play(Mixer& m, const int16_t* samples, int64_t length, int volume) {
    if (!samples || length <= 0)
        return -1;
    for (int i = 0; i < MIXER_VOICES; ++i) {
        MixerVoice& v = m.voices[i];
        if (v.stream.samples == samples && v.stream.length == length && v.stream.position == 0) {
            v.volume = std::max(v.volume, clamp_volume(volume));
            return i;
        }
    }
    int chosen = -1;
    for (int i = 0; i < MIXER_VOICES && chosen < 0; ++i)
        if (!m.voices[i].stream.samples)
            chosen = i;
    if (chosen < 0) {
        // Every voice is busy: the one started longest ago gives way. Start numbers wrap,
        // so compare their distances from the newest rather than their values.
        chosen = 0;
        for (int i = 1; i < MIXER_VOICES; ++i)
            if (m.next_start - m.voices[i].started > m.next_start - m.voices[chosen].started)
                chosen = i;
        const MixerVoice& old = m.voices[chosen];
        start_fade(m, old.stream, old.volume * m.effects_volume / MIXER_UNITY);
    }
    m.voices[chosen] = {{samples, length, 0, false}, m.next_start++, clamp_volume(volume)};
    return chosen;
}

void mixer_set_music(Mixer& m, const int16_t* samples, int64_t length, bool loops) {
    if (samples && samples == m.music.samples && length == m.music.length) {
        m.music.loops = loops;
        return;
    }
    start_fade(m, m.music, m.music_volume);
    m.music = {};
    if (samples && length > 0)
        m.music = {samples, length, 0, loops};
}

void mixer_set_volumes(Mixer& m, int master, int effects, int music) {
    m.master = clamp_volume(master);
    m.effects_volume = clamp_volume(effects);
    m.music_volume = clamp_volume(music);
}

void mixer_set_muted(Mixer& m, bool muted) {
    m.muted = muted;
}

void mixer_set_paused(Mixer& m, bool paused) {
    m.paused = paused;
}

void mixer_mix(Mixer& m, int16_t* out, int frames) {
    while (frames > 0) {
        const int n = std::min(frames, MIXER_CHUNK);
        if (m.paused) {
            std::fill(out, out + n, int16_t{0});
            out += n;
            frames -= n;
            continue;
        }
        std::fill(m.sum, m.sum + n, 0);
        for (MixerVoice& v : m.voices)
            add_stream(v.stream, m.sum, n, v.volume * m.effects_volume / MIXER_UNITY);
        add_stream(m.music, m.sum, n, m.music_volume);
        add_fade(m.fade, m.sum, n);
        const int64_t master = m.muted ? 0 : m.master;
        for (int i = 0; i < n; ++i) {
            const int64_t v = m.sum[i] * master / (MIXER_UNITY * MIXER_UNITY);
            out[i] = static_cast<int16_t>(std::clamp<int64_t>(v, -32768, 32767));
        }
        out += n;
        frames -= n;
    }
}

int mixer_voices_playing(const Mixer& m) {
    int playing = 0;
    for (const MixerVoice& v : m.voices)
        playing += v.stream.samples != nullptr;
    return playing;
}
