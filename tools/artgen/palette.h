// The game's one 256-colour palette: named ramps for every material of the art.
#pragma once
#include <cstdint>

#include "engine/types.h"

// Palette indices. Ramps run from dark to light.
enum : uint8_t {
    C_BLACK = 0,  // backdrops' colour key: shows the cleared screen
    C_INK = 1,    // 1..7 neutral outline and greys
    C_WHITE = 8,
    C_SKY = 16,       // 16..31 sky, zenith to horizon
    C_CLOUD = 32,     // 32..36 cloud, shadow to light
    C_MOUNT = 38,     // 38..43 distant mountains, dark to snow
    C_LEAF = 44,      // 44..52 foliage greens
    C_HILL = 53,      // 53..55 hazy middle-distance greens
    C_WOOD = 56,      // 56..61 bark and planks
    C_SOIL = 62,      // 62..69 earth
    C_STONE = 70,     // 70..71 pebbles in the earth (with the greys)
    C_GRASS = 72,     // 72..77 turf
    C_SAND = 78,      // 78..84 sandstone of the staircase blocks
    C_FLOWER = 86,    // 86..90 flowers: red, pink, yellow, violet, lilac
    C_PIT = 91,       // the pits' openings, and nothing else
    C_SKIN = 96,      // 96..100 Dorvo's skin
    C_CAP = 101,      // 101..105 Dorvo's knitted cap
    C_COAT = 106,     // 106..111 Dorvo's coat
    C_TROUSER = 112,  // 112..115
    C_BOOT = 116,     // 116..119
    C_SCARF = 120,    // 120..123
    C_HAIR = 124,     // 124..126
    C_EYE = 127,
    C_SKIVIT = 128,  // 128..134 the skivits' shells
    C_EYEWHITE = 135,
    C_IRIS = 136,
    C_PUPIL = 137,
    C_CLAW = 138,         // 138..140 skivit legs
    C_GOLD = 141,         // 141..148
    C_GEM = 149,          // 149..155
    C_SLATE = 156,        // 156..163 bricks
    C_COPPER = 164,       // 164..171 pipes
    C_VERDI = 172,        // 172..175 patina
    C_BERRY = 176,        // 176..181 the sunberry power-up
    C_NIGHT = 182,        // 182..187 menu panels, deep blue
    C_MENU_TEXT = 188,    // menu entries, plain: used for nothing else
    C_MENU_HILITE = 189,  // the highlighted menu entry: used for nothing else
    C_KEY = 253,          // sprites' colour key, never visible
};

// The palette, flags 0.
const PaletteEntry* art_palette();
