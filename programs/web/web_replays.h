// The page's replays: a replay given in the page's address (#replay=...) plays from the
// game's start with the same player as the desktop's, then the game is the player's again.
#pragma once

#include "platform/input_record.h"

// After a game started: the state replays code their start against, and the page's link,
// whose replay begins now. A link that cannot be played is said in a notice; the game then
// is simply the player's.
void web_replays_started();
// The record of the next pass while a replay plays (false: it is not playing, or it has just
// ended and has been judged).
bool web_replay_next(InputRecord* record);
// After a pass ran (going: what the game gave).
void web_replays_after(int going);
// The game ended: a replay still playing is judged.
void web_replays_stop();
// Whether a replay plays now (live input waits).
bool web_replaying();
// The replay's part of the page's status: ,"replay":"...","replay_digest":"...".
const char* web_replay_status();
