// The ghost's track, worked out by playing its replay unseen, and its drawing.
#include "programs/common/ghost.h"

#include <cstddef>
#include <cstdio>
#include <initializer_list>

#include "engine/display.h"
#include "engine/sound.h"
#include "programs/common/replay_format.h"
#include "programs/common/replay_play.h"
#include "programs/common/run_timer.h"
#include "shell/app.h"
#include "shell/snapshot.h"
#include "world/objects.h"
#include "world/world_state.h"

namespace {

// The hero's frames as the ghost draws them, converted when the ghost is loaded: 32-bit with
// the top byte 0 where the frame is clear (its colour key). Each form has fewer frames and is
// smaller than these.
constexpr int FRAMES = 16;
constexpr int FRAME_WIDTH = 32, FRAME_HEIGHT = 64;
struct GhostFrame {
    int width, height;  // 0: none
    uint32_t argb[FRAME_WIDTH * FRAME_HEIGHT];
};
GhostFrame frames[2][FRAMES];

// The track, one step for each figure of the run timer from 0, and how many it holds.
GhostStep track[GHOST_TRACK_MAX];
int track_length;
// Where red lies in the pixels drawn on.
bool red_low;
// The game as it was before the ghost's replay ran, and the replay's own records.
uint8_t kept[GAME_SNAPSHOT_MAX];
Replay replay;

uint32_t argb_of(const GfxSurface& surface, const uint8_t* at) {
    if (surface.bpp == 8) {
        const PaletteEntry& entry = shadow_palette[*at];
        return 0xFF000000u | uint32_t{entry.red} << 16 | uint32_t{entry.green} << 8 | entry.blue;
    }
    const uint32_t p = static_cast<uint32_t>(at[0] | at[1] << 8);
    const bool five_five_five = pixel_format == 15;
    const uint32_t red = five_five_five ? (p >> 10 & 31) : (p >> 11 & 31);
    const uint32_t green = five_five_five ? (p >> 5 & 31) << 1 : (p >> 5 & 63);
    const uint32_t blue = p & 31;
    return 0xFF000000u | (red << 3 | red >> 2) << 16 | (green << 2 | green >> 4) << 8 |
           (blue << 3 | blue >> 2);
}

uint32_t key_of(const GfxSurface& surface, const uint8_t* at) {
    return surface.bpp == 8 ? *at : static_cast<uint32_t>(at[0] | at[1] << 8);
}

// The hero's frames as they are now (the game's pictures and palette).
void take_frames() {
    const SpriteObject* forms[2] = {&hero_small, &hero_large};
    for (int form = 0; form < 2; ++form) {
        for (int i = 0; i < FRAMES; ++i) {
            GhostFrame& frame = frames[form][i];
            frame.width = frame.height = 0;
            const GfxSurface* surface =
                i < forms[form]->frame_count ? forms[form]->frames[i] : nullptr;
            if (surface == nullptr || surface->pixels == nullptr ||
                (surface->bpp != 8 && surface->bpp != 16) || surface->width > FRAME_WIDTH ||
                surface->height > FRAME_HEIGHT)
                continue;
            frame.width = surface->width;
            frame.height = surface->height;
            const int bytes = surface->bpp / 8;
            for (int y = 0; y < frame.height; ++y) {
                const uint8_t* row = surface->pixels + static_cast<ptrdiff_t>(y) * surface->pitch;
                for (int x = 0; x < frame.width; ++x) {
                    const uint8_t* at = row + x * bytes;
                    const bool clear =
                        surface->has_color_key != 0 && key_of(*surface, at) == surface->key_low;
                    frame.argb[y * FRAME_WIDTH + x] = clear ? 0 : argb_of(*surface, at);
                }
            }
        }
    }
}

GhostStep step_now() {
    GhostStep step = {};
    if (hero == nullptr)
        return step;
    step.world_x = static_cast<int16_t>(static_cast<int>(hero->x) + scroll_total);
    step.y = static_cast<int16_t>(static_cast<int>(hero->y));
    step.large = hero == &hero_large ? 1 : 0;
    step.frame = static_cast<uint8_t>(hero->frame >= 0 && hero->frame < FRAMES ? hero->frame : 0);
    step.shown = (hero->flags & SPRITE_VISIBLE) != 0 ? 1 : 0;
    return step;
}

// Plays the decoded replay from its start, keeping a step for each figure of the timer from
// the new game it starts to the end of that run. The length of the track (0: no new game).
int play_track(const uint8_t* base, size_t base_length, char* why, size_t why_size) {
    ReplayPlayer player;
    if (!replay_play_begin(&player, &replay, base, base_length, why, why_size))
        return -1;
    RunTimer timer;
    run_timer_start(&timer, replay.timer_start);
    int length = 0;
    bool started = false;
    InputRecord record;
    while (replay_play_next(&player, &record)) {
        const int going = app_run_pass(&record);
        const int what = run_timer_pass(&timer);
        if (what & RUN_STARTED) {
            started = true;
            length = 0;
        }
        if (started) {
            // Every figure up to the timer's has a step: the run's first, and any the timer
            // passed over, take where the hero is now.
            const GhostStep step = step_now();
            for (int t = length; t <= timer.passes && t < GHOST_TRACK_MAX; ++t)
                track[t] = step;
            track[timer.passes < GHOST_TRACK_MAX ? timer.passes : GHOST_TRACK_MAX - 1] = step;
            length = timer.passes + 1 < GHOST_TRACK_MAX ? timer.passes + 1 : GHOST_TRACK_MAX;
        }
        if (!going || (started && (what & (RUN_WON | RUN_DIED | RUN_LEFT))))
            break;
    }
    replay_play_stop(&player);
    if (!started)
        std::snprintf(why, why_size, "it holds no run from a new game");
    return started ? length : 0;
}

uint32_t colour(uint32_t argb) {
    if (!red_low)
        return argb;
    return (argb & 0xFF00FF00u) | (argb >> 16 & 0xFFu) | (argb & 0xFFu) << 16;
}

}  // namespace

bool ghost_load(const uint8_t* bytes, size_t size, const uint8_t* base, size_t base_length,
                char* why, size_t why_size) {
    if (!replay_decode_any(bytes, size, &replay, why, why_size))
        return false;
    const size_t kept_length = game_snapshot(kept, sizeof kept);
    if (kept_length == 0) {
        std::snprintf(why, why_size, "the game could not be put aside to play it");
        replay_free(&replay);
        return false;
    }
    display_set_presenting(0);
    sound_set_quiet(1);
    const int length = play_track(base, base_length, why, why_size);
    sound_set_quiet(0);
    display_set_presenting(1);
    const char* refused = "";
    const bool back = game_restore(kept, kept_length, &refused) != 0;
    replay_free(&replay);
    if (!back)
        std::fprintf(stderr, "Quellaro 2005: the game was not put back after the ghost: %s\n",
                     refused);
    // A replay that cannot be played, or holds no new game, wrote no step: the old ghost stays.
    if (length <= 0)
        return false;
    track_length = length;
    take_frames();
    return true;
}

void ghost_clear() {
    track_length = 0;
}

int ghost_passes() {
    return track_length;
}

bool ghost_step(int passes, GhostStep* out) {
    if (passes < 0 || passes >= track_length)
        return false;
    *out = track[passes];
    return true;
}

void ghost_red_low(bool low) {
    red_low = low;
}

void ghost_draw(uint32_t* pixels, int pitch, int width, int height, int passes, int scroll) {
    GhostStep step;
    if (pixels == nullptr || !ghost_step(passes, &step) || !step.shown)
        return;
    const GhostFrame& frame = frames[step.large][step.frame];
    const int left = step.world_x - scroll, top = step.y;
    for (int y = 0; y < frame.height; ++y) {
        const int at_y = top + y;
        if (at_y < 0 || at_y >= height)
            continue;
        uint32_t* row = pixels + static_cast<ptrdiff_t>(at_y) * pitch;
        for (int x = 0; x < frame.width; ++x) {
            const int at_x = left + x;
            const uint32_t argb = frame.argb[y * FRAME_WIDTH + x];
            if (at_x < 0 || at_x >= width || argb == 0)
                continue;
            // Half the hero, half what lies under it: seen, and seen not to be the player.
            row[at_x] =
                ((row[at_x] >> 1 & 0x007F7F7Fu) + (colour(argb) >> 1 & 0x007F7F7Fu)) | 0xFF000000u;
        }
    }
}

int ghost_look(int passes, int scroll) {
    GhostStep step;
    if (!ghost_step(passes, &step) || !step.shown)
        return 0;
    uint32_t hash = 2166136261u;
    for (const int value : {step.world_x - scroll, int{step.y}, int{step.large}, int{step.frame}})
        hash = (hash ^ static_cast<uint32_t>(value)) * 16777619u;
    return static_cast<int>(hash >> 1 | 1);
}
