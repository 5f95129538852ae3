// The page's replays. The link's text comes from the page (it reads the address); the
// verdict goes to the page's status and, in a few words, to a notice.
#include "programs/web/web_replays.h"

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/web/web_program.h"
#include "programs/common/confirm.h"
#include "programs/common/ghost.h"
#include "programs/common/replay_format.h"
#include "programs/common/replay_play.h"
#include "programs/common/run_overlay.h"
#include "programs/desktop/run_keeper.h"
#include "programs/desktop/run_panels.h"
#include "shell/game_state.h"
#include "shell/snapshot.h"

// The page's side (page_calls.js): the link the page was opened with, copied into out when
// it fits; its length in any case (0: none).
extern "C" int page_replay_link(char* out, int room);

namespace {

// A link's text is a third longer than the replay's bytes.
constexpr int LINK_MAX = static_cast<int>(REPLAY_FILE_MAX / 3 * 4 + 4096);

uint8_t base[GAME_SNAPSHOT_MAX];
size_t base_length;
Replay replay;
ReplayPlayer player;
bool loaded, playing;
// For the status: none, playing, matches, differs, unplayable.
const char* state = "none";
uint64_t final_digest;
int replay_passes;
// The page offered a replay (a file opened): the game starts again to play it.
bool offered, wanted;
// The last finished run's link, kept when its game ends.
std::string last_link;
// The last replay the page played (a link or a file): the ghost while no win is the best.
std::string last_played;

// The best and its win in the page's storage.
int store_get(const char* name, uint8_t* out, int room) {
    return web_store_get(name, out, room);
}
bool store_put(const char* name, const uint8_t* bytes, int size) {
    return web_store_put(name, bytes, size) != 0;
}
const BestStore page_store = {store_get, store_put};

// The last replay played as the ghost, when the storage gave none.
void ghost_from_last_played() {
    if (ghost_passes() > 0 || last_played.empty())
        return;
    char why[REPLAY_WHY_MAX] = "";
    if (!ghost_load(reinterpret_cast<const uint8_t*>(last_played.data()), last_played.size(), base,
                    base_length, why, sizeof why))
        std::fprintf(stderr, "Quellaro 2005: the replay cannot be the ghost: %s\n", why);
}

void judge() {
    ReplayVerdict verdict;
    char text[512];
    replay_play_judge(&player, &verdict, text, sizeof text);
    playing = false;
    run_keeper_own();
    final_digest = verdict.final_digest;
    replay_passes = verdict.passes;
    state = verdict.result == VERDICT_MATCHES ? "matches" : "differs";
    std::fprintf(stderr, "Quellaro 2005: the replay: %s\n", text);
    web_notice(verdict.result == VERDICT_MATCHES
                   ? "The replay played as it was recorded. The game is yours now."
                   : "The replay did not play as it was recorded (see the console). The game "
                     "is yours now.");
    replay_free(&replay);
    loaded = false;
}

void refuse(const char* why) {
    state = "unplayable";
    // The replay came from the address, a picked file or a drop: the message fits all three.
    std::fprintf(stderr, "Quellaro 2005: the replay cannot be played: %s\n", why);
    char text[REPLAY_WHY_MAX + 96];
    std::snprintf(text, sizeof text, "This replay cannot be played: %s. The game is yours.", why);
    web_notice(text);
}

}  // namespace

void web_replays_started() {
    base_length = game_snapshot(base, sizeof base);
    // Runs are recorded as the desktop's are, but kept only in memory, for their links; the
    // best and its win in the page's storage.
    run_keeper_begin_stored(&page_store, true);
    ghost_from_last_played();
    // The address is read once, and an offered replay when it was offered: a game started
    // again after a quit is the player's.
    static bool asked;
    if (asked && !offered)
        return;
    asked = true;
    offered = wanted = false;
    const int length = page_replay_link(nullptr, 0);
    if (length < 0) {
        refuse("the link holds characters no replay link has");
        return;
    }
    if (length == 0)
        return;
    if (length > LINK_MAX) {
        refuse("the link is longer than any replay's");
        return;
    }
    char* text = static_cast<char*>(std::malloc(static_cast<size_t>(length) + 1));
    if (text == nullptr) {
        refuse("there is no memory for it");
        return;
    }
    const int copied = page_replay_link(text, length + 1);
    char why[REPLAY_WHY_MAX] = "";
    const bool decoded = copied == length &&
                         replay_decode_any(reinterpret_cast<const uint8_t*>(text),
                                           static_cast<size_t>(length), &replay, why, sizeof why);
    if (decoded) {
        last_played.assign(text, static_cast<size_t>(length));
        ghost_from_last_played();
    }
    std::free(text);
    if (!decoded) {
        refuse(why[0] ? why : "the link changed while it was read");
        return;
    }
    loaded = true;
    if (!replay_play_begin(&player, &replay, base, base_length, why, sizeof why)) {
        replay_free(&replay);
        loaded = false;
        refuse(why);
        return;
    }
    // A replay from a saved game starts where this page's recorder never was; and no replay's
    // run is the player's best.
    if (replay.start.count > 0)
        run_keeper_end();
    run_keeper_disown();
    playing = true;
    state = "playing";
    web_notice("Playing the replay from the link…");
}

bool web_replay_next(InputRecord* record) {
    if (!playing)
        return false;
    if (replay_play_next(&player, record))
        return true;
    judge();
    return false;
}

void web_replays_after(const InputRecord& record, int going) {
    if (playing)
        replay_play_after(&player, going);
    run_keeper_after(record, going);
}

void web_replays_stop() {
    if (playing)
        judge();
    last_link = web_run_link();
    run_keeper_end();
}

bool web_replay_wanted() {
    return wanted;
}

bool web_replaying() {
    return playing;
}

const char* web_replay_status() {
    static char text[256];
    std::snprintf(text, sizeof text,
                  ",\"replay\":\"%s\",\"replay_passes\":%d,\"replay_digest\":\"%016" PRIx64
                  "\",\"run_link\":%d,\"timer\":%d,\"best_time\":%d,\"ghost_passes\":%d,"
                  "\"card\":%d",
                  state, playing ? replay_play_done(player) : replay_passes, final_digest,
                  web_run_link()[0] != '\0', run_keeper_timer().passes, run_keeper_best().time,
                  ghost_passes(),
                  run_keeper_result() != nullptr ? run_keeper_result()->outcome : 0);
    return text;
}

const char* web_replay_progress() {
    if (!playing)
        return nullptr;
    static char text[64];
    std::snprintf(text, sizeof text, "Replay %d / %d", replay_play_done(player), replay.passes);
    return text;
}

WEB_EXPORT const char* web_run_link() {
    size_t size = 0;
    const uint8_t* run = run_keeper_last_run(&size);
    if (run == nullptr)
        return last_link.c_str();
    static ReplayBytes text;
    static std::string link;
    if (!replay_to_text(run, size, &text))
        return last_link.c_str();
    link.assign("#replay=");
    link.append(reinterpret_cast<const char*>(text.items), static_cast<size_t>(text.count));
    return link.c_str();
}

namespace {

void open_offered() {
    offered = wanted = true;
}

}  // namespace

WEB_EXPORT void web_replay_open() {
    // A replay starts a fresh game: one in progress is not taken away unasked.
    confirm_then("Watch this replay?", "The game in progress will be lost.", "Watch", open_offered);
}

namespace {

RunPanelsChoice choice() {
    return {web_settings.show_timer != 0, web_settings.show_ghost != 0,
            keycode_name(web_settings.keys.keys[ROLE_START][0]),
            keycode_name(web_settings.keys.keys[ROLE_ESCAPE][0])};
}

}  // namespace

int web_runs_look() {
    return run_panels_look(choice());
}

void web_runs_draw(uint32_t* rgba, int pitch, int width, int height) {
    // The canvas's pixels are RGBA in memory: red in the lowest byte.
    run_overlay_red_low(true);
    ghost_red_low(true);
    run_panels_draw(choice(), rgba, pitch, width, height);
}
