// The game's two tunes as note data: the looping tune of play and the short title tune.
#pragma once
#include "engine/sound_ids.h"
#include "engine/tracker.h"

// The note data of a tune; null for MUSIC_NONE.
const Tune* music_tune(MusicId id);
