// The world reset after a death: counters, the hero and every object back to the start of
// the level. What it leaves alone carries over into the next game on purpose.
#include "world/reset.h"

#include "shell/game_state.h"
#include "world/load.h"
#include "world/object_groups.h"
#include "world/world_state.h"

void world_reset() {
    world_counters_restart();
    game_counters_restart();

    // The panels are made again with their first pictures; a failure leaves what it could.
    static_cast<void>(load_backdrop_panels());
    hero_start();
    for (const ObjectGroup* group : object_groups) {
        for (int i = 0; i < group->count; ++i)
            group_restart(*group, i);
    }
}
