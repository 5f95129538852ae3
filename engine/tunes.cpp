// The tunes: a bright piece in G for play, two sections of sixteen bars over a drum kit that
// changes with them, and a calmer one in C for the menus; both loop. They sit well under the
// effects so that every jump and coin is heard over them, spread a little between the
// speakers: the bass and the kick in the middle, the tune to the left, the chords and the
// cymbal to the right.
#include "engine/tunes.h"

namespace {

// Play, at 115 ms a step: sixteen bars of an eighth-note groove, then sixteen of a half-time
// one with a new tune over it, each bar a chord (or two):
//   A: G  Em  C  D | G  Em  C-D  G | C  D  Bm  Em | C  D  Am-D  G
//   B: Em C   G  D | Em C   Am   D | Em C  G   D  | C  D  C-D   G
constexpr TuneChannel PLAY_CHANNELS[] = {
    // Lead: a thin square with a slow, slight vibrato.
    {{.wave = WAVE_SQUARE,
      .duty = 4,
      .level = 1900,
      .attack = 4,
      .decay = 90,
      .sustain = 150,
      .gate = 85,
      .release = 60,
      .vibrato = 12,
      .vibrato_time = 180},
     "D5:2!100 B4!85 G4 B4 D5:4!95 G5:2 F#5!85 | E5:4!100 -:2 E5!85 G5 E5 B4:4 |"
     "C5:2!95 E5!85 G5 E5 A5:4!100 G5:2!85 E5 | F#5:6!100 E5:2!85 D5:4 -:4 |"
     "D5:2!100 B4!85 G4 B4 D5:4!95 G5:2 A5 | B5:4!100 -:2 A5!85 G5 E5 G5:4 |"
     "E5:2!90 G5 C6:4!100 D6:2 C6!85 A5:4 | G5:8!95 -:4 D5:2!80 E5 |"
     "G5:4!100 E5:2!85 G5 C6:4!100 B5:2!85 A5 | A5:4!95 F#5:2!85 A5 D6:6!100 -:2 |"
     "F#5:2!90 B5 D6 B5 F#5:4 D5:4!85 | E5:2!90 G5 B5:4!100 A5:2!85 G5 E5:4 |"
     "C6:4!100 B5:2!85 A5 G5:4!95 E5:2!85 G5 | A5:4!95 B5:2!85 A5 F#5:4 D5:4 |"
     "C5:2!90 E5 A5:4!100 D5:2!85 F#5 A5 C6 | B5:4!100 G5:2!85 D5 G4:4 -:4 |"
     "B4:6!85 E5:2!75 G5:4!90 F#5:4!80 | E5:6!85 G5:2!75 C6:4!90 B5:2!80 A5 |"
     "B5:6!90 D6:2!80 B5:4!85 G5:4!80 | A5:8!90 F#5:4!80 D5:4 |"
     "B4:6!85 E5:2!75 G5:4!90 B5:4!85 | C6:6!95 B5:2!80 A5:4!85 G5:4!80 |"
     "E5:2!85 A5 C6 E6 D6:4!95 C6:2!85 A5 | F#5:12!90 -:4 |"
     "G5:4!100 B5:2!85 E6 D6:4!95 B5:4!85 | C6:4!100 E6:2!90 C6!85 G5:8!90 |"
     "D6:4!100 B5:2!85 G5 D6:4!95 G6:4!100 | F#6:6!100 E6:2!85 D6:4!90 A5:4!85 |"
     "E6:4!100 D6:2!85 C6 B5:4!90 A5:4!85 | A5:4!90 B5:2!85 C6 D6:8!100 |"
     "E6:2!95 D6!85 C6 B5 A5:4!90 F#5:4!85 | G5:8!95 D5:2!75 E5 F#5:4!85 |",
     -35},
    // Off-beat chord tones: a soft, hollow square.
    {{.wave = WAVE_SQUARE,
      .duty = 8,
      .level = 900,
      .attack = 3,
      .decay = 60,
      .sustain = 90,
      .gate = 70,
      .release = 40},
     "[-:2 B4!90 -!75 D5]2 | [-:2 G4!90 -!75 B4]2 | [-:2 C5!90 -!75 E5]2 | [-:2 F#4!90 -!75 A4]2 |"
     "[-:2 B4!90 -!75 D5]2 | [-:2 G4!90 -!75 B4]2 | -:2 C5!90 - E5!75 - F#4!90 - A4!75 |"
     "[-:2 B4!90 -!75 D5]2 | [-:2 C5!90 -!75 E5]2 | [-:2 F#4!90 -!75 A4]2 |"
     "[-:2 F#4!90 -!75 B4]2 | [-:2 G4!90 -!75 B4]2 | [-:2 C5!90 -!75 E5]2 |"
     "[-:2 F#4!90 -!75 A4]2 | -:2 A4!90 - C5!75 - F#4!90 - A4!75 | [-:2 B4!90 -!75 D5]2 |"
     "[-:4 G4:2!85 B4!70]2 | [-:4 G4:2!85 C5!70]2 | [-:4 B4:2!85 D5!70]2 | [-:4 A4:2!85 D5!70]2 |"
     "[-:4 G4:2!85 B4!70]2 | [-:4 G4:2!85 C5!70]2 | [-:4 A4:2!85 C5!70]2 |"
     "[-:4 F#4:2!85 A4!70]2 | [-:4 G4:2!85 B4!70]2 | [-:4 G4:2!85 C5!70]2 |"
     "[-:4 B4:2!85 D5!70]2 | [-:4 A4:2!85 D5!70]2 | [-:4 G4:2!85 C5!70]2 |"
     "[-:4 F#4:2!85 A4!70]2 | -:4 G4:2!85 C5!70 -:4 F#4:2!85 A4!70 | [-:4 B4:2!85 D5!70]2 |",
     45},
    // Bass on a triangle: root, octave, fifth, octave in eighths, then in quarters.
    {{.wave = WAVE_TRIANGLE,
      .level = 3650,
      .attack = 3,
      .decay = 100,
      .sustain = 180,
      .gate = 85,
      .release = 30},
     "[G2:2!95 G3!65 D3!80 G3!65]2 | [E2!95 E3!65 B2!80 E3!65]2 |"
     "[C2!95 C3!65 G2!80 C3!65]2 | [D2!95 D3!65 A2!80 D3!65]2 |"
     "[G2!95 G3!65 D3!80 G3!65]2 | [E2!95 E3!65 B2!80 E3!65]2 |"
     "C2!95 C3!65 G2!80 C3!65 D2!95 D3!65 A2!80 D3!65 | [G2!95 G3!65 D3!80 G3!65]2 |"
     "[C2!95 C3!65 G2!80 C3!65]2 | [D2!95 D3!65 A2!80 D3!65]2 |"
     "[B1!95 B2!65 F#2!80 B2!65]2 | [E2!95 E3!65 B2!80 E3!65]2 |"
     "[C2!95 C3!65 G2!80 C3!65]2 | [D2!95 D3!65 A2!80 D3!65]2 |"
     "A1!95 A2!65 E2!80 A2!65 D2!95 D3!65 A2!80 D3!65 | [G2!95 G3!65 D3!80 G3!65]2 |"
     "E2:4!95 B2!75 E3!85 B2!75 | C2!95 G2!75 C3!85 G2!75 |"
     "G2!95 D3!75 G3!85 D3!75 | D2!95 A2!75 D3!85 A2!75 |"
     "E2!95 B2!75 E3!85 B2!75 | C2!95 G2!75 C3!85 G2!75 |"
     "A1!95 E2!75 A2!85 E2!75 | D2!95 A2!75 D3!85 F#2!75 |"
     "E2!95 B2!75 E3!85 B2!75 | C2!95 G2!75 C3!85 G2!75 |"
     "G2!95 D3!75 G3!85 D3!75 | F#2!95 A2!75 D3!85 A2!75 |"
     "C2!95 G2!75 C3!85 G2!75 | D2!95 A2!75 D3!85 A2!75 |"
     "C2!95 G2!75 D2!95 A2!75 | G2:8!95 D2:4!80 F#2!85 |"},
    // Kick: a triangle thrown down an octave. On one and three, a pick-up every other bar
    // and a break at the end of each phrase; then half time.
    {{.wave = WAVE_TRIANGLE,
      .level = 5000,
      .attack = 1,
      .decay = 90,
      .release = 10,
      .slide = -16000},
     "[[E3:8!100 E3!85 | E3:6!100 E3:2!65 E3:8!85 |]3 E3:8!100 E3!85 | E3:8!100 -:8 |]2"
     "[[E3:10!100 E3:6!80 |]7 E3:4!100 E3!85 E3!90 E3!100 |]2"},
    // Snare: noise on two and four, a roll into each new phrase; then on three only.
    {{.wave = WAVE_NOISE, .level = 2100, .attack = 1, .decay = 110, .release = 20},
     "[[-:4 E6:8!85 E6:4!85 |]7 -:4 E6:2!55 E6!65 E6:1!50 E6!60 E6!70 E6!80 E6:2!90 E6!100 |]2"
     "[[-:8 E6:8!90 |]7 -:8 E6:2!65 E6!75 E6!85 E6!100 |]2",
     -15},
    // Cymbal: a short tick of high noise, in eighths, then lighter sixteenths.
    {{.wave = WAVE_NOISE, .level = 1050, .attack = 1, .decay = 30, .release = 8},
     "[F7:2!60 F7!35]64 [F7:1!50 F7!25 F7!40 F7!25]64",
     50},
};

// Title, at 110 ms a step: a phrase and its answer, then a middle part with a light shaker.
//   C  Am  F  G | C  Am  Dm-G  C | F  G  Em  Am | F  G  F-G  C
constexpr TuneChannel TITLE_CHANNELS[] = {
    {{.wave = WAVE_SQUARE,
      .duty = 4,
      .level = 1750,
      .attack = 6,
      .decay = 120,
      .sustain = 140,
      .gate = 90,
      .release = 120,
      .vibrato = 15,
      .vibrato_time = 160},
     "G4:2!90 C5 E5 G5 C6:4!100 B5:2!85 G5 | A5:4!100 E5:2!85 A5 C6:6!95 -:2 |"
     "F5:2!90 A5 C6 A5 F5:4!95 E5:2!85 F5 | G5:6!95 D5:2!85 B4:4 -:4 |"
     "G4:2!90 C5 E5 G5 C6:4!100 D6:2!85 E6 | C6:4!100 A5:2!85 E5 A5:6!95 -:2 |"
     "F5:2!90 A5 D6:4!100 B5:2!85 G5 D5:4 | C5:12!95 -:4 |"
     "A5:4!95 G5:2!80 F5 C5:4!85 F5:2!80 A5 | B5:4!95 A5:2!80 G5 D5:6!85 -:2 |"
     "G5:2!90 B5 E6:4!100 D6:2!85 B5 G5:4 | A5:6!95 E5:2!80 C5:4 E5:4 |"
     "F5:2!90 A5 C6 A5 D6:4!100 C6:2!85 A5 | B5:4!95 G5:2!80 B5 D6:6!95 -:2 |"
     "C6:2!90 A5 F5 A5 B5:2!95 D6 G6:4!100 | E6:2!95 D6!85 C6:8!95 -:4 |",
     -30},
    {{.wave = WAVE_SQUARE,
      .duty = 8,
      .level = 750,
      .attack = 3,
      .decay = 80,
      .sustain = 80,
      .gate = 70,
      .release = 60},
     "[-:2 E4!90 -!75 G4]2 | [-:2 E4!90 -!75 A4]2 | [-:2 F4!90 -!75 A4]2 | [-:2 D4!90 -!75 G4]2 |"
     "[-:2 E4!90 -!75 G4]2 | [-:2 E4!90 -!75 A4]2 | -:2 F4!90 - A4!75 - D4!90 - G4!75 |"
     "[-:2 E4!90 -!75 G4]2 |"
     "[-:2 F4!90 -!75 A4]2 | [-:2 D4!90 -!75 G4]2 | [-:2 G4!90 -!75 B4]2 | [-:2 E4!90 -!75 A4]2 |"
     "[-:2 F4!90 -!75 A4]2 | [-:2 D4!90 -!75 G4]2 | -:2 F4!90 - A4!75 - D4!90 - G4!75 |"
     "[-:2 E4!90 -!75 G4]2 |",
     40},
    {{.wave = WAVE_TRIANGLE,
      .level = 3100,
      .attack = 4,
      .decay = 150,
      .sustain = 170,
      .gate = 90,
      .release = 80},
     "C3:4!95 G2!75 C3!85 G2!75 | A2!95 E2!75 A2!85 E2!75 | F2!95 C3!75 F2!85 C3!75 |"
     "G2!95 D3!75 G2!85 D3!75 | C3!95 G2!75 C3!85 G2!75 | A2!95 E2!75 A2!85 E2!75 |"
     "D3!95 A2!75 G2!95 D3!75 | C3!95 G2!75 C3:8!85 |"
     "F2:4!95 C3!75 F2!85 A2!75 | G2!95 D3!75 G2!85 B2!75 | E2!95 B2!75 E3!85 B2!75 |"
     "A2!95 E3!75 A2!85 C3!75 | F2!95 C3!75 F2!85 A2!75 | G2!95 D3!75 G2!85 B2!75 |"
     "F2!95 C3!75 G2!95 D3!75 | C3!95 G2!75 C3:8!85 |"},
    {{.wave = WAVE_NOISE, .level = 700, .attack = 2, .decay = 40, .release = 10},
     "-:128 [-:2 F7!35 -:2 F7!55]16",
     50},
};

constexpr Tune PLAY_TUNE = {115, 16, true, 6, PLAY_CHANNELS};
constexpr Tune TITLE_TUNE = {110, 16, true, 4, TITLE_CHANNELS};

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
