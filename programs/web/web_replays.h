// The page's replays: a replay given in the page's address (#replay=...) plays from the
// game's start with the same player as the desktop's, then the game is the player's again.
#pragma once

#include <cstdint>

#include "platform/input_record.h"
#include "platform/web/web_program.h"

// After a game started: the state replays code their start against, and the page's link,
// whose replay begins now. A link that cannot be played is said in a notice; the game then
// is simply the player's.
void web_replays_started();
// The record of the next pass while a replay plays (false: it is not playing, or it has just
// ended and has been judged).
bool web_replay_next(InputRecord* record);
// After a pass ran from record (going: what the game gave): the replay's checkpoints, and the
// run's recording.
void web_replays_after(const InputRecord& record, int going);
// The game ends: a replay still playing is judged, the last run's link kept.
void web_replays_stop();
// The page offered a replay (web_replay_open): the game should start again to play it.
bool web_replay_wanted();
// Whether a replay plays now (live input waits).
bool web_replaying();
// "Replay 120 / 640" while one plays, else null.
const char* web_replay_progress();
// The replay's part of the page's status: ,"replay":"...","replay_digest":"...".
const char* web_replay_status();

// The best win's ghost (G) and the run timer (T) when the player has them on, and the results
// card after a win or a death, over the frame as it is put on the canvas: a number for what is
// shown (0: nothing), and the drawing.
int web_runs_look();
void web_runs_draw(uint32_t* rgba, int pitch, int width, int height);

// For the page: the link of the last finished run ("#replay=..."), or "" before any.
WEB_EXPORT const char* web_run_link();
// For the page: a replay is offered (Module.replayLink gives it); the game starts again and
// plays it.
WEB_EXPORT void web_replay_open();
