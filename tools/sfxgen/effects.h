// The sound effects as note data for the synthesizer, one short tune each.
#pragma once
#include "engine/sound_ids.h"
#include "engine/tracker.h"

const Tune& effect_tune(SoundId id);
