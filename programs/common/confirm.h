// The confirmation before a game in progress is left or the program quits. It stands between
// the player's live input and the game: a message that would leave the game (Escape in play,
// Enter in play on another entry) or end the program (Escape, Q or Enter on QUIT in the
// title, a click on QUIT, a close request) is held back while a game is in progress, and
// reaches the game only once the player confirms, as the next pass's message. The game sees
// confirmed messages exactly as it always did, so recordings and replays hold what it got;
// scripts and replays never pass through here.
#pragma once
#include "platform/input_record.h"

enum ConfirmKind : int { CONFIRM_NONE, CONFIRM_LEAVE, CONFIRM_QUIT };

// Whether a game is in progress: started, and neither won nor ended by a death.
int confirm_game_in_progress();
// What the message of record would do to a game in progress now (CONFIRM_NONE when no game
// is in progress, or when it does not leave it).
int confirm_judge(const InputRecord& record);
// Takes the pass's message from the input queue into record, as input_queue_take does; a
// message that needs asking is held back (record gets none), the messages waiting behind it
// are dropped (they were typed blind) and the confirmation opens. A message confirmed since
// the last pass comes first.
void confirm_take(InputRecord* record);
// The menus' own requests: back to the title (Escape) or quit (a close request), asked first
// when a game is in progress.
void confirm_request(int kind);
// The player's answer (the menus close themselves); yes hands the message on to the next
// pass. Answering what is not asked does nothing.
void confirm_answer(int yes);
// A close request from the window system: while the quit is being asked it is the answer
// (closing twice quits); otherwise it goes to the input queue like any message.
void confirm_close_request();
// A quit that is not to be asked about (the system ends the program): any question goes and
// the close request is the next pass's message.
void confirm_close_now();
// A program's own action that would take a game in progress away (a replay opened over it):
// asked first with the game's question, then done on yes; no leaves the game as it was. Done
// at once when no game is in progress or nothing can ask.
void confirm_then(const char* question, const char* detail, const char* yes, void (*then)());
// Forgets what waits (a new run).
void confirm_reset();
