// The sound effects as note data for the synthesizer, one short tune each, and the variants
// of those heard most.
#pragma once
#include "engine/sound_ids.h"
#include "engine/tracker.h"

// Variant variant (0 first, up to sound_variants(id) - 1) of effect id.
const Tune& effect_tune(SoundId id, int variant = 0);
