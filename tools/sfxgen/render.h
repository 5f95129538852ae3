// Rendering note data into 16-bit samples, as sfxgen writes them and the tests check them.
#pragma once
#include <cstdint>
#include <vector>

#include "engine/tracker.h"

struct Rendered {
    bool ok = false;  // false for malformed notes
    std::vector<int16_t> samples;
    int32_t peak = 0;  // largest magnitude before narrowing to 16 bits
};

Rendered render_tune(const Tune& tune, int rate);
