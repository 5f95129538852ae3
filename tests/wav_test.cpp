// The WAVE reader: our own files round-trip; anything else, or anything cut short or lying
// about its sizes, is refused without reading outside the bytes.
#include "engine/wav.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

std::vector<uint8_t> file_of(const std::vector<int16_t>& samples, int rate = 22050) {
    std::vector<uint8_t> bytes(wav_file_size(static_cast<int64_t>(samples.size())));
    wav_write(samples.data(), static_cast<int64_t>(samples.size()), rate, bytes.data());
    return bytes;
}

void put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}
void put16(std::vector<uint8_t>& b, size_t at, uint16_t v) {
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
}

// Offsets in the 44-byte header wav_write gives.
constexpr size_t RIFF_SIZE = 4, FORMAT = 20, CHANNELS = 22, RATE = 24, BYTE_RATE = 28,
                 BLOCK_ALIGN = 32, BITS = 34, DATA_ID = 36, DATA_SIZE = 40;

}  // namespace

TEST(Wav, WrittenFilesReadBackSampleForSample) {
    const std::vector<int16_t> samples = {0, 1, -1, 32767, -32768, 1234, -4321};
    const std::vector<uint8_t> bytes = file_of(samples, 44100);
    EXPECT_EQ(bytes.size(), 44 + 2 * samples.size());
    std::vector<int16_t> out(samples.size());
    int rate = 0;
    EXPECT_EQ(wav_read(bytes.data(), bytes.size(), out.data(), 7, &rate), 7);
    EXPECT_EQ(out, samples);
    EXPECT_EQ(rate, 44100);
    // A buffer one sample short is refused rather than overrun.
    EXPECT_EQ(wav_read(bytes.data(), bytes.size(), out.data(), 6, &rate), -1);
    // An empty sound is a valid file.
    const std::vector<uint8_t> empty = file_of({});
    EXPECT_EQ(wav_read(empty.data(), empty.size(), out.data(), 0, nullptr), 0);
}

TEST(Wav, ChunksBeforeTheDataAreSkippedWithTheirPadding) {
    std::vector<uint8_t> bytes = file_of({7, -7});
    // An odd-sized "LIST" chunk (3 bytes and a pad byte) between "fmt " and "data".
    const uint8_t list[] = {'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0};
    bytes.insert(bytes.begin() + DATA_ID, list, list + sizeof list);
    put32(bytes, RIFF_SIZE, static_cast<uint32_t>(bytes.size() - 8));
    WavInfo info;
    ASSERT_EQ(wav_parse(bytes.data(), bytes.size(), &info), 1);
    EXPECT_EQ(info.frames, 2);
    EXPECT_EQ(info.data_offset, 44u + sizeof list);
    // Trailing bytes after the RIFF body are ignored.
    bytes.push_back(0xEE);
    EXPECT_EQ(wav_parse(bytes.data(), bytes.size(), &info), 1);
}

TEST(Wav, AnythingButSixteenBitMonoPcmWhollyInsideTheBytesIsRefused) {
    using Edit = std::function<void(std::vector<uint8_t>&)>;
    struct Case {
        const char* what;
        Edit edit;
    };
    const Case cases[] = {
        {"not RIFF", [](auto& b) { b[0] = 'X'; }},
        {"not WAVE", [](auto& b) { b[8] = 'X'; }},
        {"compressed", [](auto& b) { put16(b, FORMAT, 2); }},
        {"stereo", [](auto& b) { put16(b, CHANNELS, 2); }},
        {"8-bit", [](auto& b) { put16(b, BITS, 8); }},
        {"rate 0", [](auto& b) { put32(b, RATE, 0); }},
        {"absurd rate", [](auto& b) { put32(b, RATE, 0x7FFFFFFF); }},
        {"byte rate", [](auto& b) { put32(b, BYTE_RATE, 22050); }},
        {"block align", [](auto& b) { put16(b, BLOCK_ALIGN, 4); }},
        {"short fmt", [](auto& b) { put32(b, 16, 14); }},
        {"short fmt whose next chunk starts like its bits",
         [](auto& b) {
             put32(b, 16, 14);  // the bits field now opens an empty chunk of its own
             const uint8_t rest[6] = {'x', 'x', 0, 0, 0, 0};
             b.insert(b.begin() + DATA_ID, rest, rest + 6);
             put32(b, RIFF_SIZE, static_cast<uint32_t>(b.size() - 8));
         }},
        {"no fmt", [](auto& b) { b[12] = 'x'; }},
        {"no data", [](auto& b) { b[DATA_ID] = 'x'; }},
        {"data past the end", [](auto& b) { put32(b, DATA_SIZE, 10); }},
        {"huge data", [](auto& b) { put32(b, DATA_SIZE, 0xFFFFFFF0u); }},
        {"odd data", [](auto& b) { put32(b, DATA_SIZE, 3); }},
        {"RIFF past the end", [](auto& b) { put32(b, RIFF_SIZE, 0xFFFFFFFFu); }},
        {"cut short", [](auto& b) { b.resize(b.size() - 1); }},
        {"header only", [](auto& b) { b.resize(12); }},
        {"too short for a header", [](auto& b) { b.resize(11); }},
        {"two fmt chunks",
         [](auto& b) {
             std::vector<uint8_t> fmt(b.begin() + 12, b.begin() + DATA_ID);
             b.insert(b.begin() + DATA_ID, fmt.begin(), fmt.end());
             put32(b, RIFF_SIZE, static_cast<uint32_t>(b.size() - 8));
         }},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes = file_of({1, 2, 3, 4});
        c.edit(bytes);
        // A copy of exactly the file's size, so that reading past it trips the sanitizer.
        std::vector<uint8_t> exact(bytes);
        WavInfo info;
        EXPECT_EQ(wav_parse(exact.data(), exact.size(), &info), 0) << c.what;
        int16_t out[8];
        EXPECT_EQ(wav_read(exact.data(), exact.size(), out, 8, nullptr), -1) << c.what;
    }
    EXPECT_EQ(wav_parse(nullptr, 0, nullptr), 0);
}
