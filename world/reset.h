// The world reset after a death: counters, the hero and every object back to the start of
// the level.
#pragma once

void world_reset();
