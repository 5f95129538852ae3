// Loudness as EBU R 128 measures it (the K-weighting of ITU-R BS.1770), for the effects'
// levels and the tests of the mix. Sounds at the game's rate only.
#pragma once
#include <cstdint>

// The loudness in LUFS of count frames of 1 or 2 interleaved channels, over all of them
// (no gating): -0.691 + 10 log10 of the K-weighted mean square summed over the channels.
// -infinity for silence.
double loudness_lufs(const int16_t* samples, int64_t count, int channels);
// The frames of a sound that sound: up to the end of its last 10 ms block within 30 dB of
// its loudest (a release's faint tail does not make a short sound quieter).
int64_t loudness_sounding_frames(const int16_t* samples, int64_t count, int channels);
// The loudness of the sounding part, and the K-weighted mean square it comes from.
double loudness_while_sounding(const int16_t* samples, int64_t count, int channels);
double loudness_mean_square_while_sounding(const int16_t* samples, int64_t count, int channels);
// The K-weighted power of each frame summed over the channels, of full scale squared, into
// power (count values): for loudness over any stretch of a longer recording.
void loudness_weighted_power(const int16_t* samples, int64_t count, int channels, double* power);
