// The world reset after a death: counters, the hero and every object back to the start of
// the level. What it leaves alone carries over into the next game on purpose.
#include "world/reset.h"

#include "shell/game_state.h"
#include "world/load.h"
#include "world/object_groups.h"
#include "world/world_state.h"

void world_reset() {
    scroll_total = 0;
    level_won = 0;
    death_timer = 0;
    morph_timer = 0;
    morph_from = nullptr;
    score = 0;
    time_left = TIME_AT_START;
    coins = 0;
    next_backdrop = FIRST_RECYCLED_BACKDROP;
    scroll_step = 0;
    hero_airborne = 0;
    hero_running = 0;
    hero_support = nullptr;
    hero_is_large = 0;

    // The panels are made again with their first pictures; a failure leaves what it could.
    static_cast<void>(load_backdrops());
    hero_start();
    for (const ObjectGroup* group : object_groups) {
        for (int i = 0; i < group->count; ++i)
            group_restart(*group, i);
    }
}
