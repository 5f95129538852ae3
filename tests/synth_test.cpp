// The synthesizer and the note format: pitches in tune, envelopes shaped as asked, waves with
// no DC and no alias a listener could hear, the same samples however the rendering is cut,
// note strings read as written and refused when malformed, looping tunes seamless.
#include "engine/synth.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "engine/tracker.h"

namespace {

constexpr int RATE = 44100;

// The left side of a note rendered alone from the centre.
std::vector<int32_t> note(const SynthPatch& p, int pitch, int64_t gate, int64_t frames,
                          int velocity = 100) {
    std::vector<int32_t> mix(2 * static_cast<size_t>(frames), 0);
    SynthVoice v;
    synth_voice_start(&v, &p, pitch, gate, velocity, 0, RATE);
    synth_voice_add(&v, mix.data(), static_cast<int>(frames), RATE);
    std::vector<int32_t> left(static_cast<size_t>(frames));
    for (size_t i = 0; i < left.size(); ++i)
        left[i] = mix[2 * i];
    return left;
}

int rising_crossings(const std::vector<int32_t>& s) {
    int n = 0;
    for (size_t i = 1; i < s.size(); ++i)
        n += s[i - 1] < 0 && s[i] >= 0;
    return n;
}

int32_t peak(const std::vector<int32_t>& s, size_t from, size_t to) {
    int32_t m = 0;
    for (size_t i = from; i < to; ++i)
        m = std::max(m, std::abs(s[i]));
    return m;
}

// The amplitude of the component at hz, through a Blackman window (sidelobes under -58 dB).
double amplitude_at(const std::vector<int32_t>& s, double hz) {
    const double n = static_cast<double>(s.size());
    double re = 0, im = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        const double x = 2 * M_PI * static_cast<double>(i) / (n - 1);
        const double w = 0.42 - 0.5 * std::cos(x) + 0.08 * std::cos(2 * x);
        const double a = 2 * M_PI * hz * static_cast<double>(i) / RATE;
        re += s[i] * w * std::cos(a);
        im += s[i] * w * std::sin(a);
    }
    return std::hypot(re, im);
}

struct Collected {
    std::vector<TuneNote> notes;
};

void collect(void* c, const TuneNote& n) {
    static_cast<Collected*>(c)->notes.push_back(n);
}

}  // namespace

TEST(Synth, NotesAreInTuneAcrossOctavesForEveryWave) {
    // One second of each note: the cycles counted are its frequency in Hz.
    struct Case {
        int pitch;
        int hz;
    };
    const Case cases[] = {{6900, 440}, {5700, 220}, {8100, 880}, {6000, 262}, {9600, 2093}};
    for (SynthWave wave : {WAVE_SQUARE, WAVE_TRIANGLE}) {
        SynthPatch p;
        p.wave = wave;
        p.level = 10000;
        p.sustain = 255;
        for (const Case& c : cases) {
            const int counted = rising_crossings(note(p, c.pitch, RATE, RATE));
            EXPECT_NEAR(counted, c.hz, 1) << c.pitch << " wave " << wave;
        }
    }
}

TEST(Synth, SlidesAndArpeggiosMoveThePitch) {
    SynthPatch p;
    p.level = 10000;
    p.sustain = 255;
    p.slide = 1200;  // an octave a second: A4 to A5 over one second averages ~635 Hz
    EXPECT_NEAR(rising_crossings(note(p, 6900, RATE, RATE)), 635, 3);
    p.slide = 0;
    p.arp_time = 100;
    p.arp[1] = 12;  // alternating A4 and A5 every 100 ms: half a second of each
    p.arp_steps = 2;
    EXPECT_NEAR(rising_crossings(note(p, 6900, RATE, RATE)), 660, 3);
}

TEST(Synth, EnvelopeRisesDecaysHoldsAndReleasesToSilence) {
    SynthPatch p;
    p.level = 20000;
    p.attack = 10;
    p.decay = 20;
    p.sustain = 128;
    p.release = 40;
    auto at = [](int64_t ms) { return ms * RATE / 1000; };
    const int64_t gate = at(100);
    EXPECT_NEAR(synth_envelope(p, RATE, at(5), gate), 32768, 200);
    EXPECT_EQ(synth_envelope(p, RATE, at(10), gate), 65536);
    EXPECT_NEAR(synth_envelope(p, RATE, at(20), gate), (65536 + 32896) / 2, 200);
    EXPECT_EQ(synth_envelope(p, RATE, at(50), gate), 32896);
    EXPECT_NEAR(synth_envelope(p, RATE, gate + at(20), gate), 32896 / 2, 200);
    // Let go during the attack: the release starts from where the attack had got to.
    EXPECT_NEAR(synth_envelope(p, RATE, at(5) + 1, at(5)), 32768, 200);

    // A square of duty 8 swings its level either way (its edges ring a little past it);
    // velocity scales it.
    auto rms = [](const std::vector<int32_t>& s, int64_t from, int64_t to) {
        double sum = 0;
        for (int64_t i = from; i < to; ++i)
            sum += static_cast<double>(s[static_cast<size_t>(i)]) * s[static_cast<size_t>(i)];
        return std::sqrt(sum / static_cast<double>(to - from));
    };
    const std::vector<int32_t> s = note(p, 6900, gate, RATE / 5);
    EXPECT_NEAR(rms(s, at(40), gate), 10000, 300);
    EXPECT_LT(peak(s, 0, s.size()), 20000 * 1.2);
    EXPECT_NEAR(rms(note(p, 6900, gate, RATE / 5, 50), at(40), gate), 5000, 150);
    const int64_t end = synth_note_length(p, RATE, gate);
    EXPECT_EQ(end, gate + at(40));
    EXPECT_GT(peak(s, end - 100, end), 0);
    EXPECT_EQ(peak(s, end, s.size()), 0);
}

// At C7 (2093 Hz) the harmonics above half the rate would fold back between the ones below:
// none of those places may hold more than -40 dB of the fundamental, and a pulse of any
// duty swings about zero.
TEST(Synth, WavesAreBandLimitedAndCarryNoDc) {
    const double f = synth_phase_step(9600, RATE) * static_cast<double>(RATE) / 4294967296.0;
    ASSERT_NEAR(f, 2093.0, 0.5);
    SynthPatch p;
    p.level = 12000;
    p.sustain = 255;
    for (int duty : {1, 2, 3, 4, 8, 13, 0}) {
        p.wave = duty ? WAVE_SQUARE : WAVE_TRIANGLE;
        p.duty = static_cast<uint8_t>(duty);
        SCOPED_TRACE(duty ? "square of duty " + std::to_string(duty) : std::string("triangle"));
        const std::vector<int32_t> s = note(p, 9600, RATE / 4, RATE / 4);
        const double fundamental = amplitude_at(s, f);
        double worst = 0;
        for (int n = 11; n <= 40; ++n) {
            double alias = std::fmod(n * f, RATE);
            alias = alias > RATE / 2 ? RATE - alias : alias;
            worst = std::max(worst, amplitude_at(s, alias));
        }
        EXPECT_LT(20 * std::log10(worst / fundamental), -40);
        double sum = 0;
        for (int32_t v : s)
            sum += v;
        EXPECT_LT(std::abs(sum / static_cast<double>(s.size())), 0.01 * peak(s, 0, s.size()));
    }
}

TEST(Synth, AVoiceRendersTheSameSamplesHoweverItsRenderingIsCut) {
    SynthPatch p;
    p.wave = WAVE_SQUARE;
    p.duty = 3;
    p.level = 9000;
    p.attack = 3;
    p.decay = 80;
    p.sustain = 100;
    p.release = 50;
    p.slide = -2000;
    p.vibrato = 30;
    p.vibrato_time = 70;
    for (SynthWave wave : {WAVE_SQUARE, WAVE_NOISE}) {
        p.wave = wave;
        const int frames = RATE / 4;
        std::vector<int32_t> whole(2 * frames, 0), pieces(2 * frames, 0);
        SynthVoice a, b;
        synth_voice_start(&a, &p, 7000, RATE / 8, 80, -30, RATE);
        b = a;
        EXPECT_LT(synth_voice_add(&a, whole.data(), frames, RATE), frames);
        EXPECT_EQ(a.patch, nullptr);  // the note is over, the voice free
        int done = 0;
        for (int cut = 1; done < frames; cut = cut * 3 % 997 + 1)
            done += std::max(1, synth_voice_add(&b, pieces.data() + 2 * done,
                                                std::min(cut, frames - done), RATE));
        EXPECT_EQ(whole, pieces) << wave;
        // Panned left: the left side is the louder.
        int64_t left = 0, right = 0;
        for (int i = 0; i < frames; ++i) {
            left += std::abs(whole[2 * i]);
            right += std::abs(whole[2 * i + 1]);
        }
        EXPECT_GT(left, right * 5 / 4);
    }
}

TEST(Tracker, NotesRestsLengthsVelocitiesAndRepeatsReadAsWritten) {
    Collected c;
    EXPECT_EQ(tune_walk("C4:2 C#4!50 -:3 Bb3:1 | [E4!100 [G4]3 ]2 A0!7 B9:16", 8, collect, &c), 33);
    const std::vector<int> pitch = {6000, 6100, 5800, 6400, 6700, 6700, 6700,
                                    6400, 6700, 6700, 6700, 2100, 13100};
    const std::vector<int> step = {0, 2, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17};
    const std::vector<int> velocity = {100, 50, 50, 100, 100, 100, 100, 100, 100, 100, 100, 7, 7};
    ASSERT_EQ(c.notes.size(), pitch.size());
    for (size_t i = 0; i < pitch.size(); ++i) {
        EXPECT_EQ(c.notes[i].pitch, pitch[i]) << i;
        EXPECT_EQ(c.notes[i].step, step[i]) << i;
        EXPECT_EQ(c.notes[i].velocity, velocity[i]) << i;
    }
    EXPECT_EQ(c.notes.back().steps, 16);
    EXPECT_EQ(c.notes[1].steps, 2);  // a length carries on to the notes after it
    EXPECT_EQ(c.notes[3].steps, 1);
}

TEST(Tracker, MalformedNotesAreRefused) {
    const char* bad[] = {
        "H4",                          // no such letter
        "C",                           // no octave
        "C4:0",                        // no length
        "C4:257",                      // too long
        "C4:1234",                     // too many digits
        "C4!0",                        // silent
        "C4!101",                      // louder than the patch
        "C4!",                         // no velocity
        "C4x",                         // trailing junk
        "c4",                          // lower case
        "[C4",                         // repeat never closed
        "C4]",                         // closed, never opened
        "[C4]0",                       // played no times
        "[[[[[C4]]]]]",                // nested too deep
        "C4:3 |",                      // bar line a step early
        "C4:5 |",                      // and a step late
        "[[[[C4:256]999]999]999]999",  // runs away
    };
    for (const char* notes : bad)
        EXPECT_EQ(tune_walk(notes, 4, nullptr, nullptr), -1) << notes;
    EXPECT_EQ(tune_walk(nullptr, 4, nullptr, nullptr), -1);
    EXPECT_EQ(tune_walk("C4:3 |", 0, nullptr, nullptr), 3);  // bars unchecked
    EXPECT_EQ(tune_walk("", 4, nullptr, nullptr), 0);
}

TEST(Tracker, LoopingTunesRingIntoTheirNextPassAndMustBeEven) {
    TuneChannel ch[2] = {
        {{.level = 10000, .sustain = 255, .release = 100}, "- - - C5"},
        {{.level = 10000, .sustain = 255}, "- - - -"},
    };
    Tune tune = {50, 0, true, 2, ch};
    const int64_t frames = tune_frames(tune, RATE);
    EXPECT_EQ(frames, 4 * (50 * RATE / 1000));
    TunePlayer player;
    ASSERT_EQ(tune_player_start(&player, tune, RATE), 1);
    std::vector<int32_t> mix(4 * static_cast<size_t>(frames));
    ASSERT_EQ(tune_player_render(&player, mix.data(), static_cast<int>(2 * frames)), 2 * frames);
    auto left_peak = [&mix](int64_t from, int64_t to) {
        int32_t m = 0;
        for (int64_t i = from; i < to; ++i)
            m = std::max(m, std::abs(mix[2 * static_cast<size_t>(i)]));
        return m;
    };
    // The first pass starts in silence; the last note's release sounds at the start of the
    // next pass, and only there.
    const int64_t release = RATE / 10;
    EXPECT_EQ(left_peak(0, frames * 3 / 4), 0);
    EXPECT_GT(left_peak(frames, frames + release / 2), 3000);
    EXPECT_LT(left_peak(frames + release + 40, frames * 7 / 4), 50);  // the DC blocker's tail

    // Played once, the same tune runs on to the end of the release, and then ends.
    tune.loops = false;
    EXPECT_EQ(tune_frames(tune, RATE), frames + release);
    ASSERT_EQ(tune_player_start(&player, tune, RATE), 1);
    EXPECT_EQ(tune_player_render(&player, mix.data(), static_cast<int>(2 * frames)),
              frames + release);

    tune.loops = true;
    ch[1].notes = "- - -";
    EXPECT_EQ(tune_frames(tune, RATE), -1);
    ch[1].notes = "- - - Q";
    EXPECT_EQ(tune_frames(tune, RATE), -1);
    EXPECT_EQ(tune_player_start(&player, tune, RATE), 0);
    EXPECT_EQ(tune_player_render(&player, mix.data(), 10), 0);
}
