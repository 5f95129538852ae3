// The ghost: the hero of a winning run, drawn translucent over the play where that run's hero
// was at the same figure of the run timer. Its track (position, form and frame at every pass
// of play) is worked out once, when it is loaded, by playing its replay unseen and unheard and
// putting the game back after; drawing it then only reads the track. Drawn over the finished
// frame as it is shown, never into the game's frame.
#pragma once
#include <cstddef>
#include <cstdint>

// Passes of play a track holds: more than the level's clock lets one game run.
constexpr int GHOST_TRACK_MAX = 16384;

// Where the ghost's hero was after a pass of play.
struct GhostStep {
    int16_t world_x;  // its left edge in the level
    int16_t y;
    uint8_t large;  // the large form
    uint8_t frame;
    uint8_t shown;  // drawn at all (the game hides the hero at times)
};

// The ghost from a replay's bytes (a file's, or a link's text): played from its start (base is
// the state the game started in, as replays code their start against it), from the pass the
// run timer starts a new game until the run ends, then the game is put back as it was. false
// with why when it cannot be played here or holds no run from a new game; the ghost loaded
// before then stays.
bool ghost_load(const uint8_t* bytes, size_t size, const uint8_t* base, size_t base_length,
                char* why, size_t why_size);
// No ghost.
void ghost_clear();
// Passes of play in the ghost's track (0: no ghost).
int ghost_passes();
// The ghost after passes of play; false past its end or with none.
bool ghost_step(int passes, GhostStep* out);

// Red in the pixels' lowest byte (the canvas's RGBA) rather than the third (ARGB).
void ghost_red_low(bool low);
// The ghost at the run timer's figure passes, with the world scrolled by scroll (the game's
// as it is shown), half over what lies under it. Nothing when there is no step there.
void ghost_draw(uint32_t* pixels, int pitch, int width, int height, int passes, int scroll);
// A number for the ghost's look at passes (0: nothing drawn), for "did it change".
int ghost_look(int passes, int scroll);
