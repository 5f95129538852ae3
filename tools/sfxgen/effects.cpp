// Every sound effect: a few channels of notes played by patches of the synthesizer.
// Each is timed to the event it marks: the growth and shrink sounds last the 32 frames of
// the form change and change pitch every three frames, as the hero's picture flickers.
#include "tools/sfxgen/effects.h"

#include <algorithm>

namespace {

// Patches shared by several effects.
constexpr SynthPatch CLICK = {
    .wave = WAVE_NOISE, .level = 4500, .attack = 1, .decay = 25, .release = 5};

constexpr TuneChannel JUMP_SMALL[] = {
    {{.wave = WAVE_SQUARE,
      .duty = 3,
      .level = 9500,
      .attack = 2,
      .decay = 140,
      .sustain = 110,
      .release = 40,
      .slide = 5200},
     "C5:16"},
    {{.wave = WAVE_SQUARE,
      .duty = 2,
      .level = 3000,
      .attack = 2,
      .decay = 120,
      .sustain = 60,
      .release = 40,
      .slide = 5200},
     "-:4 G5:12"},
};

constexpr TuneChannel JUMP_LARGE[] = {
    {{.wave = WAVE_SQUARE,
      .duty = 8,
      .level = 8000,
      .attack = 3,
      .decay = 170,
      .sustain = 120,
      .release = 50,
      .slide = 3600},
     "F4:20"},
    {{.wave = WAVE_TRIANGLE,
      .level = 12000,
      .attack = 3,
      .decay = 200,
      .sustain = 60,
      .release = 50,
      .slide = 3600},
     "F3:20"},
};

constexpr TuneChannel COIN[] = {
    {{.wave = WAVE_SQUARE, .duty = 4, .level = 7500, .attack = 1, .decay = 320, .release = 30},
     "A5:1 E6 A6:9"},
    {{.wave = WAVE_TRIANGLE,
      .level = 8000,
      .attack = 1,
      .decay = 360,
      .release = 30,
      .arp_time = 30,
      .arp = {0, 12},
      .arp_steps = 2},
     "A4:1 E5 A5:9"},
};

constexpr TuneChannel BUMP[] = {
    {{.wave = WAVE_TRIANGLE,
      .level = 20000,
      .attack = 1,
      .decay = 90,
      .release = 10,
      .slide = -3000},
     "A2:9"},
    {CLICK, "C8:3"},
};

constexpr TuneChannel BRICK_BOUNCE[] = {
    {{.wave = WAVE_SQUARE,
      .duty = 6,
      .level = 8000,
      .attack = 1,
      .decay = 80,
      .release = 10,
      .slide = -2500},
     "E4:9"},
    {{.wave = WAVE_TRIANGLE,
      .level = 14000,
      .attack = 1,
      .decay = 100,
      .release = 10,
      .slide = -2000},
     "E3:10"},
    {CLICK, "G7:2"},
};

constexpr TuneChannel BRICK_BREAK[] = {
    {{.wave = WAVE_NOISE, .level = 11000, .attack = 1, .decay = 320, .release = 20, .slide = -3500},
     "G4:33"},
    // Pieces landing.
    {{.wave = WAVE_NOISE, .level = 6000, .attack = 1, .decay = 40, .release = 10},
     "-:8 F6:4 -:5 D6:4 -:6 A5:4"},
    {{.wave = WAVE_TRIANGLE,
      .level = 14000,
      .attack = 1,
      .decay = 120,
      .release = 10,
      .slide = -2400},
     "D3:12"},
};

constexpr TuneChannel POWERUP_APPEAR[] = {
    {{.wave = WAVE_TRIANGLE,
      .level = 13000,
      .attack = 3,
      .decay = 80,
      .sustain = 150,
      .gate = 90,
      .release = 40,
      .vibrato = 20,
      .vibrato_time = 50},
     "C5:1 D5 E5 G5 A5 C6 D6 E6:3"},
    {{.wave = WAVE_SQUARE,
      .duty = 2,
      .level = 3500,
      .attack = 3,
      .decay = 80,
      .sustain = 150,
      .gate = 90,
      .release = 40},
     "-:1 C5 D5 E5 G5 A5 C6 D6 E6:2"},
};

// Low and high notes taking turns every three frames, the pair rising (growth) or falling
// (shrink) over the 32 frames of the change.
constexpr SynthPatch FORM_LEAD = {.wave = WAVE_SQUARE,
                                  .duty = 4,
                                  .level = 7000,
                                  .attack = 1,
                                  .decay = 60,
                                  .sustain = 120,
                                  .gate = 95,
                                  .release = 20};
constexpr SynthPatch FORM_BASS = {.wave = WAVE_TRIANGLE,
                                  .level = 9000,
                                  .attack = 1,
                                  .decay = 60,
                                  .sustain = 140,
                                  .gate = 95,
                                  .release = 20};

constexpr TuneChannel POWERUP_TAKEN[] = {
    {FORM_LEAD, "C4:3 G4 D4 A4 E4 B4 G4 D5 A4 E5 G5:2"},
    {FORM_BASS, "C3:3 G3 D3 A3 E3 B3 G3 D4 A3 E4 G4:2"},
};

constexpr TuneChannel SHRINK[] = {
    {{.wave = WAVE_SQUARE,
      .duty = 8,
      .level = 7000,
      .attack = 1,
      .decay = 60,
      .sustain = 120,
      .gate = 95,
      .release = 20},
     "C5:3 F4 B4 E4 A4 D4 G4 C4 F4 B3 C4:2"},
    {FORM_BASS, "C4:3 F3 B3 E3 A3 D3 G3 C3 F3 B2 C3:2"},
};

// A squash: a falling square over a falling triangle, and a click. The chain's steps only
// change the pitch, a fourth at a time.
constexpr SynthPatch SQUASH = {.wave = WAVE_SQUARE,
                               .duty = 8,
                               .level = 8000,
                               .attack = 1,
                               .decay = 70,
                               .release = 10,
                               .slide = -4500};
constexpr SynthPatch SQUASH_BODY = {
    .wave = WAVE_TRIANGLE, .level = 9000, .attack = 1, .decay = 80, .release = 10, .slide = -3000};
constexpr SynthPatch SQUASH_CLICK = {
    .wave = WAVE_NOISE, .level = 4000, .attack = 1, .decay = 30, .release = 5};

constexpr TuneChannel STOMP_1[] = {{SQUASH, "E4:8"}, {SQUASH_BODY, "E3:8"}, {SQUASH_CLICK, "A6:3"}};
constexpr TuneChannel STOMP_2[] = {{SQUASH, "A4:8"}, {SQUASH_BODY, "A3:8"}, {SQUASH_CLICK, "A6:3"}};
constexpr TuneChannel STOMP_3[] = {{SQUASH, "D5:8"}, {SQUASH_BODY, "D4:8"}, {SQUASH_CLICK, "A6:3"}};
constexpr TuneChannel STOMP_4[] = {{SQUASH, "G5:8"}, {SQUASH_BODY, "G4:8"}, {SQUASH_CLICK, "A6:3"}};

constexpr TuneChannel KNOCK[] = {
    {{.wave = WAVE_SQUARE,
      .duty = 4,
      .level = 8500,
      .attack = 1,
      .decay = 90,
      .sustain = 60,
      .release = 30,
      .slide = -1800},
     "B3:6 F#4 B4:14"},
    {CLICK, "E7:3"},
};

constexpr TuneChannel DEATH[] = {
    {{.wave = WAVE_SQUARE,
      .duty = 4,
      .level = 8000,
      .attack = 2,
      .decay = 100,
      .sustain = 150,
      .gate = 85,
      .release = 60,
      .vibrato = 25,
      .vibrato_time = 120},
     "-:2 E5 D#5 D5 C#5:3 -:1 C5:2 A4 F4 D4:6"},
    {{.wave = WAVE_TRIANGLE,
      .level = 11000,
      .attack = 2,
      .decay = 150,
      .sustain = 150,
      .gate = 90,
      .release = 80},
     "-:2 A3:4 -:2 F3:4 -:2 E3 D3 A2:6"},
};

constexpr TuneChannel PIT[] = {
    {{.wave = WAVE_SQUARE,
      .duty = 2,
      .level = 7500,
      .attack = 5,
      .decay = 400,
      .sustain = 170,
      .release = 150,
      .slide = -2600,
      .vibrato = 35,
      .vibrato_time = 70},
     "C6:24"},
    {{.wave = WAVE_TRIANGLE,
      .level = 15000,
      .attack = 1,
      .decay = 200,
      .release = 20,
      .slide = -1500},
     "-:24 C2:4"},
};

// A three-bar call in F: up the chord, a turn through the dominant, home.
constexpr TuneChannel WIN[] = {
    {{.wave = WAVE_SQUARE,
      .duty = 4,
      .level = 7000,
      .attack = 3,
      .decay = 90,
      .sustain = 170,
      .gate = 85,
      .release = 120,
      .vibrato = 15,
      .vibrato_time = 140},
     "C5:1 F5 A5 C6:2 A5:1 C6:2 | Bb5:1 G5 E5 G5 C6:4 | A5:1 C6 F6:6 |"},
    {{.wave = WAVE_SQUARE,
      .duty = 8,
      .level = 3000,
      .attack = 3,
      .decay = 90,
      .sustain = 140,
      .gate = 80,
      .release = 100},
     "F4:4 A4 | G4 E4 | F4:8 |"},
    {{.wave = WAVE_TRIANGLE,
      .level = 10000,
      .attack = 3,
      .decay = 120,
      .sustain = 170,
      .gate = 85,
      .release = 120},
     "F3:2 C3 F3 A3 | C3 G3 C4 C3 | F2:8 |"},
    {{.wave = WAVE_NOISE, .level = 2500, .attack = 1, .decay = 50, .release = 10},
     "[D7:1 -]4 | [D7:1 -]2 D7 D7 D7 D7 | D7:2 -:6 |"},
};

constexpr TuneChannel MENU_MOVE[] = {
    {{.wave = WAVE_SQUARE, .duty = 4, .level = 7000, .attack = 1, .decay = 45, .release = 10},
     "A5:4"},
};

constexpr TuneChannel MENU_CHOOSE[] = {
    {{.wave = WAVE_SQUARE,
      .duty = 4,
      .level = 7500,
      .attack = 1,
      .decay = 150,
      .sustain = 60,
      .release = 40},
     "E5:1 B5:3"},
    {{.wave = WAVE_TRIANGLE,
      .level = 9000,
      .attack = 1,
      .decay = 150,
      .sustain = 60,
      .release = 40},
     "E4:1 B4:3"},
};

template <int N>
constexpr Tune effect(int step_ms, const TuneChannel (&channels)[N], int bar_steps = 0) {
    return {static_cast<uint16_t>(step_ms), static_cast<uint8_t>(bar_steps), false,
            static_cast<uint8_t>(N), channels};
}

// In the order of SoundId.
constexpr Tune EFFECTS[SOUND_COUNT] = {
    effect(10, JUMP_SMALL),     effect(10, JUMP_LARGE),
    effect(35, COIN),           effect(10, BUMP),
    effect(10, BRICK_BOUNCE),   effect(10, BRICK_BREAK),
    effect(40, POWERUP_APPEAR), effect(30, POWERUP_TAKEN),
    effect(30, SHRINK),         effect(10, STOMP_1),
    effect(10, STOMP_2),        effect(10, STOMP_3),
    effect(10, STOMP_4),        effect(10, KNOCK),
    effect(60, DEATH),          effect(50, PIT),
    effect(80, WIN, 8),         effect(10, MENU_MOVE),
    effect(45, MENU_CHOOSE),
};

// The later variants: the same notes a little sharper or flatter, gliding a little more or
// less, and squares a sixteenth wider; enough to tell two apart, not to change the sound.
struct Variation {
    int detune;  // cents
    int slide;   // percent of the glide
    int decay;   // percent of the decay
    int duty;    // sixteenths added to a square's duty (a square of duty 8 keeps it)
};
constexpr Variation VARIATIONS[SOUND_VARIANTS_MAX] = {
    {0, 100, 100, 0}, {45, 108, 92, 1}, {-40, 93, 110, -1}};

struct Varied {
    TuneChannel channels[TUNE_CHANNELS_MAX];
    Tune tune;
};

void make_variant(Varied& out, const Tune& base, int variant) {
    const Variation& v = VARIATIONS[variant];
    out.tune = base;
    for (int c = 0; c < base.channel_count && c < TUNE_CHANNELS_MAX; ++c) {
        TuneChannel ch = base.channels[c];
        SynthPatch& p = ch.patch;
        p.detune = static_cast<int16_t>(p.detune + v.detune);
        p.slide = p.slide * v.slide / 100;
        p.decay = static_cast<uint16_t>(p.decay * v.decay / 100);
        if (p.wave == WAVE_SQUARE && p.duty != 0 && p.duty != 8)
            p.duty = static_cast<uint8_t>(std::clamp(p.duty + v.duty, 1, 7));
        out.channels[c] = ch;
    }
    out.tune.channels = out.channels;
}

}  // namespace

const Tune& effect_tune(SoundId id, int variant) {
    static Varied variants[SOUND_COUNT][SOUND_VARIANTS_MAX];
    static const bool made = [] {
        for (int i = 0; i < SOUND_COUNT; ++i) {
            for (int v = 1; v < sound_variants(i); ++v)
                make_variant(variants[i][v], EFFECTS[i], v);
        }
        return true;
    }();
    static_cast<void>(made);
    if (variant <= 0 || variant >= sound_variants(id))
        return EFFECTS[id];
    return variants[id][variant].tune;
}
