// The mixer: effects and music summed at 64 bits in chunks, scaled by the master volume, then
// the limiter.
#include "platform/common/mixer.h"

#include <algorithm>

namespace {

constexpr int32_t GAIN_ONE = 1 << 24;  // a tune's fade, at full
constexpr int32_t NEED_ONE = 65536;    // the limiter's gains
// The limiter lets go by 1/4096 of what is left each frame (a time constant of 93 ms at
// 44.1 kHz), and a step more so that it gets all the way back.
constexpr int RELEASE_SHIFT = 12;

// sin(x) for x in [0, pi/2], worked out by the compiler.
constexpr double taylor_sine(double x) {
    double term = x, sum = x;
    for (int k = 1; k < 12; ++k) {
        term *= -x * x / ((2 * k) * (2 * k + 1));
        sum += term;
    }
    return sum;
}

// The nearest whole number to a value of zero or more.
constexpr int16_t nearest(double v) {
    return static_cast<int16_t>(static_cast<int>(2 * v + 1) / 2);
}

// Gains of 4096 for every pan: sqrt(2) times the cosine and sine of an angle from 0 (left)
// to a quarter turn (right), so the power stays the same and the centre is unchanged.
struct PanGains {
    int16_t left[2 * MIXER_PAN_MAX + 1], right[2 * MIXER_PAN_MAX + 1];
};
constexpr PanGains make_pan_gains() {
    PanGains g{};
    constexpr double quarter_turn = 1.5707963267948966;
    constexpr double root_two_4096 = 5792.618751480198;
    for (int i = 0; i <= 2 * MIXER_PAN_MAX; ++i) {
        const double angle = quarter_turn * i / (2 * MIXER_PAN_MAX);
        g.left[i] = nearest(root_two_4096 * taylor_sine(quarter_turn - angle));
        g.right[i] = nearest(root_two_4096 * taylor_sine(angle));
    }
    return g;
}
constexpr PanGains PAN = make_pan_gains();
static_assert(PAN.left[MIXER_PAN_MAX] == 4096 && PAN.right[MIXER_PAN_MAX] == 4096);

int clamp_volume(int v) {
    return std::clamp(v, 0, MIXER_UNITY);
}

// A voice's gains of 4096 on each side: its volume, the effects' volume and its pan.
void voice_gains(const Mixer& m, const MixerVoice& v, int* left, int* right) {
    const int volume = v.volume * m.effects_volume;  // of 65536
    const int at = std::clamp(v.pan, -MIXER_PAN_MAX, MIXER_PAN_MAX) + MIXER_PAN_MAX;
    *left = PAN.left[at] * volume >> 16;
    *right = PAN.right[at] * volume >> 16;
}

// Adds n samples of a mono stream at gains of 4096 into sum and moves it on; it stops after
// its last sample.
void add_stream(MixerStream& s, int64_t* sum, int n, int left, int right) {
    const int run = static_cast<int>(std::min<int64_t>(n, s.length - s.position));
    const int16_t* from = s.samples + s.position;
    for (int k = 0; k < run; ++k) {
        sum[2 * k] += from[k] * left;
        sum[2 * k + 1] += from[k] * right;
    }
    s.position += run;
    if (s.position == s.length)
        s.samples = nullptr;
}

void add_fade(MixerFade& f, int64_t* sum, int n) {
    for (int i = 0; i < n && f.fade_left > 0 && f.stream.samples; ++i) {
        const int64_t s = f.stream.samples[f.stream.position];
        sum[2 * i] += s * f.gain_left * f.fade_left / MIXER_FADE_SAMPLES;
        sum[2 * i + 1] += s * f.gain_right * f.fade_left / MIXER_FADE_SAMPLES;
        --f.fade_left;
        if (++f.stream.position == f.stream.length)
            f.stream.samples = nullptr;
    }
}

// Renders n frames of a tune into the mixer's piece and adds them at its fading gain; the
// slot is freed once the tune has ended or faded out.
void add_music(Mixer& m, MixerMusic& slot, int n) {
    const int got = slot.music->render(slot.state, m.music_piece, n);
    for (int i = 0; i < got; ++i) {
        if (slot.gain != slot.target) {
            slot.gain = slot.gain < slot.target
                            ? std::min(slot.target, slot.gain + m.music_fade_step)
                            : std::max(slot.target, slot.gain - m.music_fade_step);
        }
        const int64_t gain = static_cast<int64_t>(slot.gain >> 12) * m.music_volume >> 8;
        m.sum[2 * i] += m.music_piece[2 * i] * gain;
        m.sum[2 * i + 1] += m.music_piece[2 * i + 1] * gain;
    }
    if (got < n || (slot.gain == 0 && slot.target == 0))
        slot.music = nullptr;
}

void limiter_reset(MixerLimiter& l) {
    l = MixerLimiter{};
    l.eased = NEED_ONE;
    std::fill(l.eased_ring, l.eased_ring + MIXER_LOOKAHEAD, NEED_ONE);
    l.eased_sum = int64_t{NEED_ONE} * MIXER_LOOKAHEAD;
}

// One frame in, the frame from MIXER_LOOKAHEAD - 1 frames before out. Every frame in the
// look-ahead counts the frame coming out among those whose least need it takes, so the
// average of the eased gains is never above that frame's need: it cannot pass the ceiling.
void limit(MixerLimiter& l, int32_t left, int32_t right, int16_t* out) {
    const int64_t peak =
        std::max(left < 0 ? -int64_t{left} : left, right < 0 ? -int64_t{right} : right);
    const int32_t need = peak > MIXER_CEILING
                             ? static_cast<int32_t>((int64_t{MIXER_CEILING} << 16) / peak)
                             : NEED_ONE;
    // The least need over the look-ahead: the oldest leaves it, and needs behind a smaller
    // one never matter again.
    if (l.queue_count > 0 && l.queue_frame[l.queue_head] <= l.frame - MIXER_LOOKAHEAD) {
        l.queue_head = (l.queue_head + 1) % MIXER_LOOKAHEAD;
        --l.queue_count;
    }
    while (l.queue_count > 0 &&
           l.queue_need[(l.queue_head + l.queue_count - 1) % MIXER_LOOKAHEAD] >= need)
        --l.queue_count;
    const int tail = (l.queue_head + l.queue_count) % MIXER_LOOKAHEAD;
    l.queue_frame[tail] = l.frame;
    l.queue_need[tail] = need;
    ++l.queue_count;
    const int32_t least = l.queue_need[l.queue_head];
    l.eased = std::min({least, NEED_ONE, l.eased + ((NEED_ONE - l.eased) >> RELEASE_SHIFT) + 1});
    const int at = static_cast<int>(l.frame % MIXER_LOOKAHEAD);
    l.eased_sum += l.eased - l.eased_ring[at];
    l.eased_ring[at] = l.eased;
    const int64_t gain = l.eased_sum / MIXER_LOOKAHEAD;
    l.delay[2 * at] = left;
    l.delay[2 * at + 1] = right;
    const int oldest = static_cast<int>((l.frame + 1) % MIXER_LOOKAHEAD);
    out[0] = static_cast<int16_t>(l.delay[2 * oldest] * gain >> 16);
    out[1] = static_cast<int16_t>(l.delay[2 * oldest + 1] * gain >> 16);
    l.limited += gain < NEED_ONE;
    ++l.frame;
}

void start_fade(Mixer& m, const MixerVoice& v) {
    if (!v.stream.samples)
        return;
    int left, right;
    voice_gains(m, v, &left, &right);
    m.fade = {v.stream, left, right, MIXER_FADE_SAMPLES};
}

}  // namespace

void mixer_reset(Mixer& m, int rate) {
    m = Mixer{};
    m.master = m.effects_volume = m.music_volume = MIXER_UNITY;
    const int64_t fade_frames = std::max<int64_t>(1, int64_t{rate} * MIXER_MUSIC_FADE_MS / 1000);
    m.music_fade_step = static_cast<int32_t>(std::max<int64_t>(1, GAIN_ONE / fade_frames));
    limiter_reset(m.limiter);
}

int mixer_play(Mixer& m, const int16_t* samples, int64_t length, int volume, int pan) {
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
        start_fade(m, m.voices[chosen]);
    }
    m.voices[chosen] = {{samples, length, 0},
                        m.next_start++,
                        clamp_volume(volume),
                        std::clamp(pan, -MIXER_PAN_MAX, MIXER_PAN_MAX)};
    return chosen;
}

void mixer_set_music(Mixer& m, const PlatformMusic* music) {
    MixerMusic* keep = nullptr;
    bool heard = false;
    for (MixerMusic& slot : m.music) {
        if (music && slot.music == music)
            keep = &slot;
        heard |= slot.music && slot.gain > 0;
    }
    for (MixerMusic& slot : m.music)
        slot.target = &slot == keep ? GAIN_ONE : 0;
    if (keep || !music)
        return;
    // A free slot, else the quieter one (which is cut off; only a third tune within one
    // fade could ask for that).
    MixerMusic* slot = &m.music[0];
    for (MixerMusic& s : m.music) {
        if (!s.music || (slot->music && s.gain < slot->gain))
            slot = &s;
    }
    slot->music = music;
    // Over another tune it fades in; out of silence it starts at once.
    slot->gain = heard ? 0 : GAIN_ONE;
    slot->target = GAIN_ONE;
    music->start(slot->state, music->data);
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
            std::fill(out, out + 2 * n, int16_t{0});
            out += 2 * n;
            frames -= n;
            continue;
        }
        std::fill(m.sum, m.sum + 2 * n, 0);
        for (MixerVoice& v : m.voices) {
            if (v.stream.samples) {
                int left, right;
                voice_gains(m, v, &left, &right);
                add_stream(v.stream, m.sum, n, left, right);
            }
        }
        add_fade(m.fade, m.sum, n);
        for (MixerMusic& slot : m.music) {
            if (slot.music)
                add_music(m, slot, n);
        }
        // The sums are of 4096 for a sample passing unchanged.
        for (int i = 0; i < n; ++i) {
            const int64_t left = m.sum[2 * i] * m.master >> 20;
            const int64_t right = m.sum[2 * i + 1] * m.master >> 20;
            limit(m.limiter, static_cast<int32_t>(left), static_cast<int32_t>(right), out + 2 * i);
        }
        if (m.muted)
            std::fill(out, out + 2 * n, int16_t{0});
        out += 2 * n;
        frames -= n;
    }
}

int mixer_voices_playing(const Mixer& m) {
    int playing = 0;
    for (const MixerVoice& v : m.voices)
        playing += v.stream.samples != nullptr;
    return playing;
}

bool mixer_music_playing(const Mixer& m) {
    for (const MixerMusic& slot : m.music) {
        if (slot.music && slot.target > 0)
            return true;
    }
    return false;
}
