// The processor's present: every output pixel shows the frame pixel the click mapping names,
// the bars stay untouched, and the fill reaches exactly the bars.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/sdl/scale.h"

namespace {

constexpr uint32_t UNTOUCHED = 0xDEADBEEFu;

struct Output {
    int width, height, pitch;  // pitch in bytes, wider than the row by pad
    std::vector<uint32_t> storage;
    uint32_t* pixels;  // 32-byte aligned, as a window surface is
    Output(int w, int h, int pad = 12)
        : width(w),
          height(h),
          pitch(4 * w + pad),
          storage(static_cast<size_t>(pitch / 4) * h + 8, UNTOUCHED) {
        pixels = storage.data() + (8 - reinterpret_cast<uintptr_t>(storage.data()) % 32 / 4) % 8;
    }
    uint8_t* bytes() { return reinterpret_cast<uint8_t*>(pixels); }
    uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * (pitch / 4) + x]; }
};

// A frame whose every pixel differs from its neighbours, with a padded pitch.
struct Frame {
    int width, height, pitch;
    std::vector<uint8_t> pixels;
    ColourTable table;
    Frame(int w, int h) : width(w), height(h), pitch(w + 5), pixels(pitch * h, 0xFF) {
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++)
                pixels[y * pitch + x] = static_cast<uint8_t>((x * 7 + y * 13) % 251);
        PaletteEntry palette[256];
        for (int i = 0; i < 256; i++)
            palette[i] = {static_cast<uint8_t>(i), static_cast<uint8_t>(2 * i),
                          static_cast<uint8_t>(3 * i), 0};
        palette_to_argb(palette, -1, &table);
    }
};

void expect_mapped(const Frame& frame, const Output& out, const Letterbox& box, const char* what) {
    for (int y = 0; y < out.height; y++) {
        for (int x = 0; x < out.width; x++) {
            int fx, fy;
            const uint32_t want = letterbox_to_frame(box, x, y, &fx, &fy)
                                      ? frame.table.argb[frame.pixels[fy * frame.pitch + fx]]
                                      : UNTOUCHED;
            ASSERT_EQ(out.at(x, y), want)
                << what << " at " << x << "," << y << " of " << out.width << "x" << out.height;
        }
    }
}

// Scales the frame into outputs of each size in both modes and checks every pixel.
void scale_and_check(const Frame& frame, const std::vector<std::pair<int, int>>& sizes,
                     int pad = 12) {
    auto map = std::make_unique<ScaleMap>();
    for (auto [width, height] : sizes) {
        for (int mode : {SCALE_INTEGER, SCALE_FIT}) {
            Output out(width, height, pad);
            const Letterbox box =
                letterbox_for_mode(mode, width, height, frame.width, frame.height);
            scale_map_build(map.get(), box);
            scale_frame_8(map.get(), frame.pixels.data(), frame.pitch, frame.table, out.bytes(),
                          out.pitch);
            expect_mapped(frame, out, box, mode == SCALE_INTEGER ? "integer" : "fit");
        }
    }
}

TEST(SdlScale, EveryOutputPixelShowsTheFramePixelUnderItsCentre) {
    scale_and_check(Frame(64, 48), {{64, 48},
                                    {128, 96},
                                    {192, 144},
                                    {256, 192},
                                    {200, 100},
                                    {100, 200},
                                    {77, 61},
                                    {300, 217},
                                    {40, 30},
                                    {3, 500},
                                    {1, 1},
                                    {129, 97},
                                    {640, 48}});
}

TEST(SdlScale, TheGamesFrameAtFullScreenSizesInBothModes) {
    scale_and_check(Frame(640, 480), {{1920, 1080}, {1280, 1024}, {2560, 1440}});
    // Rows on 32-byte boundaries, and large: written around the caches where that is possible.
    scale_and_check(Frame(640, 480), {{3840, 2160}}, 0);
}

// Only the output rows showing changed frame rows are written, and the bands sent to the
// display cover exactly those rows (joined into one when there are too many).
TEST(SdlScale, ChangedRowsAloneAreWrittenAndSentAsBands) {
    auto map = std::make_unique<ScaleMap>();
    const Frame frame(640, 480);
    std::vector<uint8_t> changed(480, 0);
    for (int row : {0, 1, 2, 100, 250, 251, 479})
        changed[row] = 1;
    for (auto [width, height, mode] :
         {std::tuple{1920, 1080, SCALE_FIT}, {1280, 960, SCALE_INTEGER}, {300, 217, SCALE_FIT}}) {
        Output out(width, height);
        const Letterbox box = letterbox_for_mode(mode, width, height, 640, 480);
        scale_map_build(map.get(), box);
        scale_frame_8(map.get(), frame.pixels.data(), frame.pitch, frame.table, out.bytes(),
                      out.pitch, changed.data());
        ScaleRect bands[16];
        const int count = scale_changed_bands(map.get(), changed.data(), bands, 16);
        for (int y = 0; y < height; y++) {
            int in_bands = 0;
            for (int i = 0; i < count; i++)
                in_bands += y >= bands[i].y && y < bands[i].y + bands[i].height &&
                            bands[i].x == box.x && bands[i].width == box.width;
            for (int x = 0; x < width; x++) {
                int fx, fy;
                const bool shown = letterbox_to_frame(box, x, y, &fx, &fy) && changed[fy];
                ASSERT_EQ(out.at(x, y),
                          shown ? frame.table.argb[frame.pixels[fy * frame.pitch + fx]] : UNTOUCHED)
                    << x << "," << y << " of " << width << "x" << height;
                if (x == box.x) {
                    ASSERT_EQ(in_bands, shown ? 1 : 0) << "row " << y;
                }
            }
        }
        // Too many bands become one, from the first changed row to the last.
        ScaleRect one[2];
        ASSERT_EQ(scale_changed_bands(map.get(), changed.data(), one, 2), 1);
        EXPECT_EQ(one[0].y, bands[0].y);
        EXPECT_EQ(one[0].y + one[0].height, bands[count - 1].y + bands[count - 1].height);
    }
}

TEST(SdlScale, ThirtyTwoBitFramesScaleAlikeAndTheBarFillStaysOutsideTheBox) {
    auto map = std::make_unique<ScaleMap>();
    const Frame frame(64, 48);
    // The same frame already converted, pitch in pixels.
    std::vector<uint32_t> converted(70 * 48);
    for (int y = 0; y < 48; y++)
        for (int x = 0; x < 64; x++)
            converted[y * 70 + x] = frame.table.argb[frame.pixels[y * frame.pitch + x]];
    for (auto size : {std::pair{150, 90}, {64, 48}, {300, 400}}) {
        Output out(size.first, size.second);
        const Letterbox box = letterbox_fit(size.first, size.second, 64, 48);
        scale_map_build(map.get(), box);
        scale_frame_32(map.get(), converted.data(), 70, out.bytes(), out.pitch);
        expect_mapped(frame, out, box, "32-bit");

        Output bars(size.first, size.second);
        scale_fill_bars(box, bars.width, bars.height, 0xFF000000u, bars.bytes(), bars.pitch);
        int x, y;
        for (int oy = 0; oy < bars.height; oy++)
            for (int ox = 0; ox < bars.width; ox++)
                ASSERT_EQ(bars.at(ox, oy),
                          letterbox_to_frame(box, ox, oy, &x, &y) ? UNTOUCHED : 0xFF000000u)
                    << ox << "," << oy;
        // Nothing beyond the rows' width (the pitch's padding) is written.
        for (int oy = 0; oy < bars.height; oy++)
            for (int pad = bars.width; pad < bars.pitch / 4; pad++)
                ASSERT_EQ(bars.pixels[oy * (bars.pitch / 4) + pad], UNTOUCHED);
    }
    Output empty(20, 10);
    scale_fill_bars(letterbox_fit(0, 0, 64, 48), 20, 10, 1u, empty.bytes(), empty.pitch);
    EXPECT_EQ(empty.at(19, 9), 1u);
}

}  // namespace
