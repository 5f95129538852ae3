// The level's load steps, which build every world object from the tables and the picture
// files, and the world's shutdown.
#pragma once

// Run by game_init in this order; each 1, or 0 at the first sprite whose creation or
// picture failed (the picture loader names a picture it refused). load_backdrops also checks
// the backdrop pictures that are read later, during play.
int load_backdrops();
int load_hero();
int load_qblocks();
int load_bricks();
int load_brick_frags();
int load_power_up();
int load_skivits();
int load_coin_sprites();
int load_pipes();
int load_blocks();
// The three backdrop panels made again with their first pictures (the world reset).
int load_backdrop_panels();
// Destroys every world sprite and returns the world's objects and counters to their state at
// load.
void world_shutdown();
