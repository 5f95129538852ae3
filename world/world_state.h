// The counters and links the world's modules share during play. Each holds at load the value
// a new program starts with; world_state_restore puts those back.
#pragma once
#include "engine/sprite.h"
#include "engine/state.h"
#include "world/level.h"

constexpr int STOMP_FIRST_VALUE = 100;
constexpr int COIN_IDLE = -1;

extern int next_backdrop;                 // number of the next backdrop picture to load
extern int hero_running;                  // 1 when a direction key was held this frame
extern int hero_airborne;                 // 1 from a take-off or stomp bounce until landed, keys up
extern float jump_lift;                   // extra upward push of a held jump, decaying each frame
extern SpriteObject* hero_support;        // what the hero stands on this frame, or null
extern int death_timer;                   // frames the dying hero has spent below the screen
extern int stomp_value;                   // points for the next squashed enemy
extern int stomp_shown;                   // points last awarded, shown above squashed enemies
extern int scroll_total;                  // distance scrolled since the last world reset
extern int scroll_step;                   // distance scrolled this frame
extern int hero_is_large;                 // 1 while the large form is in use
extern SpriteObject* morph_from;          // the form being left during a form change, or null
extern int morph_timer;                   // frames of the current form change drawn so far
extern SpriteObject* bumped_block;        // the question block or brick bouncing now, or null
extern int bump_step;                     // pass of the current bounce, 0 to 6
extern int coin_step[COIN_SPRITE_COUNT];  // pop-up step of each coin sprite, or COIN_IDLE
extern int backdrop_picture[BACKDROP_COUNT];  // the picture each backdrop panel shows; 0: none

// The counters and links a new game starts from: all but the stomp award, the jump's push,
// the bounce and the coin pop-ups, which carry over into the next game.
void world_counters_restart();
// Every global above back to its value at load.
void world_state_restore();
// The blocks of state above, for snapshots.
extern const StateBlockList world_counters_state;
