// Seeded random play for soaks: a player who reads the screen's mode and keeps pressing
// keys, so a long run goes in and out of games, through the menus and through deaths, and
// never quits. The same seed always gives the same input.
#pragma once
#include <cstdint>

#include "platform/input_record.h"

// Starts the player over with this seed.
void random_play_start(uint32_t seed);
// The input of one pass, chosen from the mode the game is in: the held keys, added to the
// record, and any presses and clicks, handed to input.
void random_play_pass(InputRecord* record, const PlatformInput* input);
