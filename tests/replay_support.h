// What the replay tests share: a replay's records as the cursor hands them, the game's state
// now as replays code their start against it, and a replay played back to its verdict.
#pragma once
#include <cstdint>
#include <vector>

#include "platform/input_record.h"
#include "programs/common/replay_format.h"
#include "programs/common/replay_play.h"

std::vector<InputRecord> replay_records(const Replay& replay);
std::vector<uint8_t> game_state_now();
// Plays replay from base (the game must have started) to its end; the verdict.
ReplayVerdict replay_played(const Replay& replay, const std::vector<uint8_t>& base);
