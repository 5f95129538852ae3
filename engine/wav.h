// The game's sound files: RIFF WAVE, 16-bit mono PCM. Reading checks everything, since the
// files come from outside the program; anything else is refused.
#pragma once
#include <cstddef>
#include <cstdint>

struct WavInfo {
    int rate;            // samples a second
    int64_t frames;      // samples in the file
    size_t data_offset;  // where the little-endian samples start
};

// Checks a whole file's bytes; 1 and *info filled, or 0 for anything but 16-bit mono PCM
// whose samples lie inside the bytes.
int wav_parse(const uint8_t* bytes, size_t size, WavInfo* info);
// Parses the bytes and copies up to capacity samples into out; the sample count, or -1 when
// the bytes are refused or hold more than capacity samples.
int64_t wav_read(const uint8_t* bytes, size_t size, int16_t* out, int64_t capacity, int* rate);
// The file size of frames samples (of frames interleaved pairs for 2 channels).
size_t wav_file_size(int64_t frames, int channels = 1);
// Writes a file of frames samples (or pairs, left first) into out, which holds
// wav_file_size(frames, channels) bytes.
void wav_write(const int16_t* samples, int64_t frames, int rate, uint8_t* out, int channels = 1);
