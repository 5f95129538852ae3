// The sound file reader on any bytes: a file it takes has its samples inside the bytes, and
// reading them gives as many as it promised.
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "engine/wav.h"
#include "fuzz/fuzz_targets.h"

int fuzz_wav(const uint8_t* data, size_t size) {
    WavInfo info{};
    if (!wav_parse(data, size, &info))
        return 0;
    FUZZ_CHECK(info.rate > 0 && info.frames >= 0);
    FUZZ_CHECK(info.data_offset + static_cast<size_t>(info.frames) * 2 <= size);
    std::vector<int16_t> samples(static_cast<size_t>(info.frames) + 1);
    int rate = 0;
    FUZZ_CHECK(wav_read(data, size, samples.data(), info.frames, &rate) == info.frames);
    FUZZ_CHECK(rate == info.rate);
    if (info.frames > 0)
        FUZZ_CHECK(wav_read(data, size, samples.data(), info.frames - 1, nullptr) == -1);
    return 0;
}

FUZZ_ENTRY(fuzz_wav)
