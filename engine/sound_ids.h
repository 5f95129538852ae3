// The game's sound effects and tunes: their ids, the names the runner prints and the file
// names under assets/sounds/. The world raises these ids; the backends play them.
#pragma once
#include <cstddef>
#include <cstdio>

// Samples a second of every sound file, rendered tune and mix (which is stereo).
constexpr int SOUND_RATE = 44100;

enum SoundId : int {
    SOUND_JUMP_SMALL,
    SOUND_JUMP_LARGE,
    SOUND_COIN,            // a coin out of a question block
    SOUND_BUMP,            // a used block bumped from below
    SOUND_BRICK_BOUNCE,    // a brick bumped by the small hero
    SOUND_BRICK_BREAK,     // a brick broken by the large hero
    SOUND_POWERUP_APPEAR,  // the power-up rising out of its block
    SOUND_POWERUP_TAKEN,   // the pick-up and the growth that follows
    SOUND_SHRINK,          // harm to the large hero
    SOUND_STOMP_1,         // the first stomp of a jump; each further one a step higher
    SOUND_STOMP_2,
    SOUND_STOMP_3,
    SOUND_STOMP_4,
    SOUND_KNOCK,  // an enemy knocked out from below by a bumped block
    SOUND_DEATH,  // harm to the small hero
    SOUND_PIT,    // a fall below the screen
    SOUND_WIN,
    SOUND_MENU_MOVE,
    SOUND_MENU_CHOOSE,
    SOUND_COUNT
};

enum MusicId : int { MUSIC_NONE, MUSIC_PLAY, MUSIC_TITLE, MUSIC_COUNT };

// Printed by the runner and used as the file name (name + ".wav").
inline constexpr const char* SOUND_NAMES[SOUND_COUNT] = {
    "jump_small",     "jump_large",    "coin",   "bump",    "brick_bounce", "brick_break",
    "powerup_appear", "powerup_taken", "shrink", "stomp_1", "stomp_2",      "stomp_3",
    "stomp_4",        "knock",         "death",  "pit",     "win",          "menu_move",
    "menu_choose"};

inline constexpr const char* MUSIC_NAMES[MUSIC_COUNT] = {"none", "play", "title"};

// The sounds heard most come in variants that differ a little, played in turn, so that the
// same sound twice in a row is never the same samples. A variant after the first is a file
// of its own: "jump_small-2.wav", "jump_small-3.wav".
constexpr int SOUND_VARIANTS_MAX = 3;
constexpr int sound_variants(int id) {
    return id == SOUND_JUMP_SMALL || id == SOUND_JUMP_LARGE ||
                   (id >= SOUND_STOMP_1 && id <= SOUND_STOMP_4)
               ? SOUND_VARIANTS_MAX
               : 1;
}
// The file name of variant variant (0 first) of effect id, without folder or extension.
inline void sound_file_stem(int id, int variant, char* out, size_t size) {
    if (variant == 0)
        std::snprintf(out, size, "%s", SOUND_NAMES[id]);
    else
        std::snprintf(out, size, "%s-%d", SOUND_NAMES[id], variant + 1);
}

// The stomp sound for the chain-th stomp of one jump (1 for the first); chains longer than
// the four steps repeat the top one.
constexpr SoundId sound_stomp(int chain) {
    if (chain < 1)
        chain = 1;
    if (chain > 4)
        chain = 4;
    return static_cast<SoundId>(SOUND_STOMP_1 + chain - 1);
}

// The chain step for a stomp worth points (100, 200, 400, ... as the awards double).
constexpr int sound_stomp_chain(int points) {
    int chain = 1;
    while (points > 100 && chain < 4) {
        points /= 2;
        ++chain;
    }
    return chain;
}
