// The run's panels from the run keeper, for either program.
#include "programs/desktop/run_panels.h"

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
const RunTimer* timer_now(const RunPanelsChoice& choice) {
    const RunTimer& timer = run_keeper_timer();
    if (!choice.timer || timer.last.game_mode != MODE_PLAYING)
        return nullptr;
    shown = run_timer_now(timer);
    return &shown;
}

// The ghost's figure of the timer, in play with the ghost on; -1: no ghost now.
int ghost_now(const RunPanelsChoice& choice) {
    const RunTimer& timer = run_keeper_timer();
    return choice.ghost && timer.last.game_mode == MODE_PLAYING ? run_timer_figure_now(timer) : -1;
}

// The card as the keeper's result and the keys bound now say.
bool card_now(const RunPanelsChoice& choice, RunCard* card) {
    const RunResult* result = run_keeper_result();
    if (result == nullptr)
        return false;
    const int kept = result->kept ? 1 : result->keeping ? 0 : -1;
    *card = RunCard{result->outcome,
                    result->passes,
                    result->score,
                    result->coins,
                    result->percent,
                    result->beaten,
                    result->practised,
                    kept,
                    choice.again_key ? choice.again_key : "S",
                    choice.title_key ? choice.title_key : "Escape"};
    return true;
}

}  // namespace

int run_panels_look(const RunPanelsChoice& choice) {
    RunCard card;
    const bool carded = card_now(choice, &card);
    const unsigned runs =
        static_cast<unsigned>(run_overlay_look(timer_now(choice), carded ? &card : nullptr));
    const unsigned ghost = static_cast<unsigned>(ghost_look(ghost_now(choice), scroll_total));
    return ghost == 0 ? static_cast<int>(runs) : static_cast<int>((runs * 31u + ghost) | 1u);
}

void run_panels_draw(const RunPanelsChoice& choice, uint32_t* pixels, int pitch, int width,
                     int height) {
    // Under the panels: the ghost is part of the play's picture.
    ghost_draw(pixels, pitch, width, height, ghost_now(choice), scroll_total);
    if (const RunTimer* timer = timer_now(choice))
        run_overlay_timer(pixels, pitch, width, height, *timer, run_keeper_best());
    RunCard card;
    if (card_now(choice, &card))
        run_overlay_card(pixels, pitch, width, height, card);
}
