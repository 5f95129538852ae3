// The tunes: a bright looping piece in G for play and a short call in C for the title. Both
// sit well under the effects' loudness so that every jump and coin is heard over them.
#include "engine/tunes.h"

namespace {

// Play: sixteen bars of sixteen steps, a tune over a chord each bar (or two).
//   G  Em  C  D | G  Em  C-D  G | C  D  Bm  Em | C  D  Am-D  G
constexpr TuneChannel PLAY_CHANNELS[] = {
    // Lead: a thin square with a slow, slight vibrato.
    {{.wave = WAVE_SQUARE,
      .duty = 4,
      .level = 3200,
      .attack = 4,
      .decay = 90,
      .sustain = 150,
      .gate = 85,
      .release = 60,
      .vibrato = 12,
      .vibrato_time = 180},
     "D5:2 B4 G4 B4 D5:4 G5:2 F#5 | E5:4 -:2 E5 G5 E5 B4:4 |"
     "C5:2 E5 G5 E5 A5:4 G5:2 E5 | F#5:6 E5:2 D5:4 -:4 |"
     "D5:2 B4 G4 B4 D5:4 G5:2 A5 | B5:4 -:2 A5 G5 E5 G5:4 |"
     "E5:2 G5 C6:4 D6:2 C6 A5:4 | G5:8 -:4 D5:2 E5 |"
     "G5:4 E5:2 G5 C6:4 B5:2 A5 | A5:4 F#5:2 A5 D6:6 -:2 |"
     "F#5:2 B5 D6 B5 F#5:4 D5:4 | E5:2 G5 B5:4 A5:2 G5 E5:4 |"
     "C6:4 B5:2 A5 G5:4 E5:2 G5 | A5:4 B5:2 A5 F#5:4 D5:4 |"
     "C5:2 E5 A5:4 D5:2 F#5 A5 C6 | B5:4 G5:2 D5 G4:4 -:4 |"},
    // Off-beat chord tones: a soft, hollow square.
    {{.wave = WAVE_SQUARE,
      .duty = 8,
      .level = 1400,
      .attack = 3,
      .decay = 60,
      .sustain = 90,
      .gate = 70,
      .release = 40},
     "[-:2 B4 - D5]2 | [-:2 G4 - B4]2 | [-:2 C5 - E5]2 | [-:2 F#4 - A4]2 |"
     "[-:2 B4 - D5]2 | [-:2 G4 - B4]2 | -:2 C5 - E5 - F#4 - A4 | [-:2 B4 - D5]2 |"
     "[-:2 C5 - E5]2 | [-:2 F#4 - A4]2 | [-:2 F#4 - B4]2 | [-:2 G4 - B4]2 |"
     "[-:2 C5 - E5]2 | [-:2 F#4 - A4]2 | -:2 A4 - C5 - F#4 - A4 | [-:2 B4 - D5]2 |"},
    // Bass: root, octave, fifth, octave in eighths, on a triangle.
    {{.wave = WAVE_TRIANGLE,
      .level = 5500,
      .attack = 3,
      .decay = 100,
      .sustain = 180,
      .gate = 85,
      .release = 30},
     "[G2:2 G3 D3 G3]2 | [E2 E3 B2 E3]2 | [C2 C3 G2 C3]2 | [D2 D3 A2 D3]2 |"
     "[G2 G3 D3 G3]2 | [E2 E3 B2 E3]2 | C2 C3 G2 C3 D2 D3 A2 D3 | [G2 G3 D3 G3]2 |"
     "[C2 C3 G2 C3]2 | [D2 D3 A2 D3]2 | [B1 B2 F#2 B2]2 | [E2 E3 B2 E3]2 |"
     "[C2 C3 G2 C3]2 | [D2 D3 A2 D3]2 | A1 A2 E2 A2 D2 D3 A2 D3 | [G2 G3 D3 G3]2 |"},
    // Drums from noise: a low thump, a hiss, a snap, a hiss.
    {{.wave = WAVE_NOISE, .level = 1600, .decay = 45, .release = 10}, "[D4:2 F7 A6 F7]32"},
};

// Title: four bars of sixteen steps, played once.   C | Am | F-G | C
constexpr TuneChannel TITLE_CHANNELS[] = {
    {{.wave = WAVE_SQUARE,
      .duty = 4,
      .level = 2600,
      .attack = 6,
      .decay = 120,
      .sustain = 140,
      .gate = 90,
      .release = 120,
      .vibrato = 15,
      .vibrato_time = 160},
     "G4:2 C5 E5 G5 C6:4 B5:2 G5 | A5:4 E5:2 A5 C6:6 -:2 |"
     "F5:2 A5 C6 A5 B5 D6 G6:4 | E6:2 D6 C6:12 |"},
    {{.wave = WAVE_SQUARE,
      .duty = 8,
      .level = 1100,
      .attack = 3,
      .decay = 80,
      .sustain = 80,
      .gate = 70,
      .release = 60},
     "[-:2 E4 - G4]2 | [-:2 E4 - A4]2 | -:2 F4 - A4 - G4 - B4 | E4:16 |"},
    {{.wave = WAVE_TRIANGLE,
      .level = 4600,
      .attack = 4,
      .decay = 150,
      .sustain = 170,
      .gate = 90,
      .release = 80},
     "C3:4 G2 C3 G2 | A2 E2 A2 E2 | F2 C3 G2 D3 | C3:16 |"},
};

constexpr Tune PLAY_TUNE = {115, 16, true, 4, PLAY_CHANNELS};
constexpr Tune TITLE_TUNE = {110, 16, false, 3, TITLE_CHANNELS};

}  // namespace

const Tune* music_tune(MusicId id) {
    switch (id) {
        case MUSIC_PLAY:
            return &PLAY_TUNE;
        case MUSIC_TITLE:
            return &TITLE_TUNE;
        default:
            return nullptr;
    }
}
