// The desktop's ghost, timer panel and results card, from the run keeper and the settings.
#include "programs/desktop/run_screen.h"

#include "platform/sdl/keymap.h"
#include "platform/sdl/sdl_program.h"
#include "programs/common/ghost.h"
#include "programs/common/run_overlay.h"
#include "programs/desktop/run_keeper.h"
#include "shell/game_state.h"
#include "world/world_state.h"

namespace {

// The timer as the frame shown tells it: the keeper's, with the pass being shown counted.
RunTimer shown;

// The timer's panel in play (the win's screen included); the title has the card instead. Its
// figure is the frame's, so that the last one shown is the run's time on the card.
const RunTimer* timer_now() {
    const RunTimer& timer = run_keeper_timer();
    if (!sdl_settings.show_timer || timer.last.game_mode != MODE_PLAYING)
        return nullptr;
    shown = run_timer_now(timer);
    return &shown;
}

// The ghost's figure of the timer, in play with the ghost on; -1: no ghost now.
int ghost_now() {
    const RunTimer& timer = run_keeper_timer();
    return sdl_settings.show_ghost && timer.last.game_mode == MODE_PLAYING
               ? run_timer_figure_now(timer)
               : -1;
}

// The card as the keeper's result and the keys bound now say.
bool card_now(RunCard* card) {
    const RunResult* result = run_keeper_result();
    if (result == nullptr)
        return false;
    const char* again = keycode_name(sdl_settings.keys.keys[ROLE_START][0]);
    const char* title = keycode_name(sdl_settings.keys.keys[ROLE_ESCAPE][0]);
    *card = RunCard{result->outcome,     result->passes,
                    result->score,       result->coins,
                    result->percent,     result->beaten,
                    result->practised,   result->kept ? 1 : result->keeping ? 0 : -1,
                    again ? again : "S", title ? title : "Escape"};
    return true;
}

}  // namespace

int desktop_runs_look() {
    RunCard card;
    const bool carded = card_now(&card);
    const unsigned runs =
        static_cast<unsigned>(run_overlay_look(timer_now(), carded ? &card : nullptr));
    const unsigned ghost = static_cast<unsigned>(ghost_look(ghost_now(), scroll_total));
    return ghost == 0 ? static_cast<int>(runs) : static_cast<int>((runs * 31u + ghost) | 1u);
}

void desktop_runs_draw(uint32_t* argb, int pitch, int width, int height) {
    // Under the panels: the ghost is part of the play's picture.
    ghost_draw(argb, pitch, width, height, ghost_now(), scroll_total);
    if (const RunTimer* timer = timer_now())
        run_overlay_timer(argb, pitch, width, height, *timer, run_keeper_best());
    RunCard card;
    if (card_now(&card))
        run_overlay_card(argb, pitch, width, height, card);
}
