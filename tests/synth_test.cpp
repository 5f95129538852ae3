// The synthesizer and the note format: pitches in tune, envelopes shaped as asked, note
// strings read as written and refused when malformed, looping tunes seamless.
#include "engine/synth.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "engine/tracker.h"

namespace {

constexpr int RATE = 22050;

std::vector<int32_t> note(const SynthPatch& p, int pitch, int64_t gate, int64_t frames) {
    std::vector<int32_t> mix(static_cast<size_t>(frames), 0);
    synth_add_note(mix.data(), frames, RATE, p, pitch, 0, gate, false);
    return mix;
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

struct Collected {
    std::vector<int> pitch, step, steps;
};

void collect(void* c, int pitch, int step, int steps) {
    Collected& out = *static_cast<Collected*>(c);
    out.pitch.push_back(pitch);
    out.step.push_back(step);
    out.steps.push_back(steps);
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
    const int64_t ms = RATE / 1000, gate = 100 * RATE / 1000;
    EXPECT_NEAR(synth_envelope(p, RATE, 5 * ms, gate), 32768, 200);
    EXPECT_EQ(synth_envelope(p, RATE, 10 * ms, gate), 65536);
    EXPECT_NEAR(synth_envelope(p, RATE, 20 * ms, gate), (65536 + 32896) / 2, 200);
    EXPECT_EQ(synth_envelope(p, RATE, 50 * ms, gate), 32896);
    EXPECT_NEAR(synth_envelope(p, RATE, gate + 20 * ms, gate), 32896 / 2, 200);
    // Let go during the attack: the release starts from where the attack had got to.
    EXPECT_NEAR(synth_envelope(p, RATE, 5 * ms + 1, 5 * ms), 32768, 200);

    const std::vector<int32_t> s = note(p, 6900, gate, RATE / 5);
    EXPECT_NEAR(peak(s, 0, s.size()), 20000, 200);
    EXPECT_NEAR(peak(s, 40 * ms, gate), 10000, 200);
    const int64_t end = synth_note_length(p, RATE, gate);
    EXPECT_EQ(end, gate + 40 * RATE / 1000);
    EXPECT_GT(peak(s, end - 20, end), 0);
    EXPECT_EQ(peak(s, end, s.size()), 0);
}

TEST(Synth, SquaresStayInRangeAtEveryDutyAndPitch) {
    SynthPatch p;
    p.level = 32767;
    p.sustain = 255;
    for (int duty : {1, 2, 8, 15, 40}) {
        p.duty = static_cast<uint8_t>(duty);
        for (int pitch : {2400, 6900, 11000, SYNTH_PITCH_MAX + 500}) {
            const std::vector<int32_t> s = note(p, pitch, RATE / 20, RATE / 20);
            EXPECT_LE(peak(s, 0, s.size()), 32767) << duty << " " << pitch;
            EXPECT_GT(peak(s, 0, s.size()), 16000) << duty << " " << pitch;
        }
    }
}

TEST(Tracker, NotesRestsLengthsAndRepeatsReadAsWritten) {
    Collected c;
    EXPECT_EQ(tune_walk("C4:2 C#4 -:3 Bb3:1 | [E4 [G4]3 ]2 A0 B9:16", 8, collect, &c), 33);
    const std::vector<int> pitch = {6000, 6100, 5800, 6400, 6700, 6700, 6700,
                                    6400, 6700, 6700, 6700, 2100, 13100};
    const std::vector<int> step = {0, 2, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17};
    EXPECT_EQ(c.pitch, pitch);
    EXPECT_EQ(c.step, step);
    EXPECT_EQ(c.steps.back(), 16);
    EXPECT_EQ(c.steps[1], 2);  // a length carries on to the notes after it
    EXPECT_EQ(c.steps[3], 1);
}

TEST(Tracker, MalformedNotesAreRefused) {
    const char* bad[] = {
        "H4",                          // no such letter
        "C",                           // no octave
        "C4:0",                        // no length
        "C4:257",                      // too long
        "C4:1234",                     // too many digits
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

TEST(Tracker, LoopingTunesWrapTheirTailsAndMustBeEven) {
    TuneChannel ch[2] = {
        {{.level = 10000, .sustain = 255, .release = 100}, "- - - C5"},
        {{.level = 10000, .sustain = 255}, "- - - -"},
    };
    Tune tune = {50, 0, true, 2, ch};
    const int64_t frames = tune_frames(tune, RATE);
    EXPECT_EQ(frames, 4 * (50 * RATE / 1000));
    std::vector<int32_t> mix(static_cast<size_t>(frames), 0);
    ASSERT_EQ(tune_render(tune, RATE, mix.data(), frames), 1);
    // The last note's release sounds at the start of the next pass, and only there.
    const size_t release = static_cast<size_t>(RATE) / 10;
    EXPECT_GT(peak(mix, 0, release / 2), 3000);
    EXPECT_EQ(peak(mix, release + 1, static_cast<size_t>(frames) * 3 / 4), 0);

    // Played once, the same tune runs on to the end of the release.
    tune.loops = false;
    EXPECT_EQ(tune_frames(tune, RATE), frames + static_cast<int64_t>(release));

    tune.loops = true;
    ch[1].notes = "- - -";
    EXPECT_EQ(tune_frames(tune, RATE), -1);
    ch[1].notes = "- - - Q";
    EXPECT_EQ(tune_frames(tune, RATE), -1);
    EXPECT_EQ(tune_render(tune, RATE, mix.data(), frames), 0);
}
