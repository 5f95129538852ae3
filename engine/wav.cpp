// Reading 16-bit mono PCM WAVE files, and writing them (stereo too).
#include "engine/wav.h"

#include <cstring>

namespace {

constexpr int MAX_RATE = 384000;
constexpr size_t HEADER_SIZE = 44;  // RIFF header, a 16-byte "fmt " chunk, the "data" header

uint32_t le32(const uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}
uint16_t le16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

void put32(uint8_t*& p, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        *p++ = static_cast<uint8_t>(v >> (8 * i));
}
void put16(uint8_t*& p, uint16_t v) {
    *p++ = static_cast<uint8_t>(v);
    *p++ = static_cast<uint8_t>(v >> 8);
}
// A four-letter chunk name, without a terminator.
void put_id(uint8_t*& p, const char* id) {
    for (int i = 0; i < 4; ++i)
        *p++ = static_cast<uint8_t>(id[i]);
}

bool is_id(const uint8_t* p, const char* id) {
    return std::memcmp(p, id, 4) == 0;
}

// The "fmt " chunk of 16-bit mono PCM; its rate, or 0.
int pcm16_mono_rate(const uint8_t* body, uint32_t size) {
    if (size < 16)
        return 0;
    const uint32_t rate = le32(body + 4);
    if (le16(body) != 1 || le16(body + 2) != 1 || rate == 0 || rate > MAX_RATE)
        return 0;
    if (le32(body + 8) != rate * 2 || le16(body + 12) != 2 || le16(body + 14) != 16)
        return 0;
    return static_cast<int>(rate);
}

}  // namespace

int wav_parse(const uint8_t* bytes, size_t size, WavInfo* info) {
    if (!bytes || size < 12 || !is_id(bytes, "RIFF") || !is_id(bytes + 8, "WAVE"))
        return 0;
    const uint64_t riff_end = 8ull + le32(bytes + 4);
    if (riff_end > size)
        return 0;  // cut short
    int rate = 0;
    uint64_t at = 12;
    while (at + 8 <= riff_end) {
        const uint8_t* chunk = bytes + at;
        const uint32_t chunk_size = le32(chunk + 4);
        const uint64_t body = at + 8;
        if (chunk_size > riff_end - body)
            return 0;
        if (is_id(chunk, "fmt ")) {
            if (rate != 0)
                return 0;
            rate = pcm16_mono_rate(bytes + body, chunk_size);
            if (rate == 0)
                return 0;
        } else if (is_id(chunk, "data")) {
            if (rate == 0 || chunk_size % 2 != 0)
                return 0;
            info->rate = rate;
            info->frames = chunk_size / 2;
            info->data_offset = static_cast<size_t>(body);
            return 1;
        }
        at = body + chunk_size + (chunk_size & 1);  // chunks keep an even alignment
    }
    return 0;
}

int64_t wav_read(const uint8_t* bytes, size_t size, int16_t* out, int64_t capacity, int* rate) {
    WavInfo info;
    if (!wav_parse(bytes, size, &info) || info.frames > capacity)
        return -1;
    const uint8_t* p = bytes + info.data_offset;
    for (int64_t i = 0; i < info.frames; ++i, p += 2)
        out[i] = static_cast<int16_t>(le16(p));
    if (rate)
        *rate = info.rate;
    return info.frames;
}

size_t wav_file_size(int64_t frames, int channels) {
    return HEADER_SIZE + static_cast<size_t>(frames) * 2 * static_cast<size_t>(channels);
}

void wav_write(const int16_t* samples, int64_t frames, int rate, uint8_t* out, int channels) {
    const int64_t count = frames * channels;
    const uint32_t data_size = static_cast<uint32_t>(count * 2);
    uint8_t* p = out;
    put_id(p, "RIFF");
    put32(p, static_cast<uint32_t>(HEADER_SIZE - 8) + data_size);
    put_id(p, "WAVE");
    put_id(p, "fmt ");
    put32(p, 16);
    put16(p, 1);  // PCM
    put16(p, static_cast<uint16_t>(channels));
    put32(p, static_cast<uint32_t>(rate));
    put32(p, static_cast<uint32_t>(rate) * 2 * static_cast<uint32_t>(channels));
    put16(p, static_cast<uint16_t>(2 * channels));
    put16(p, 16);
    put_id(p, "data");
    put32(p, data_size);
    for (int64_t i = 0; i < count; ++i)
        put16(p, static_cast<uint16_t>(samples[i]));
}
