// The PNG writer, written and read back: any small picture (the input's first bytes choose its
// kind, size and row step, the rest its pixels) comes back from the file with exactly its
// pixels, as a viewer would read it; a size the writer refuses leaves no file.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz/fuzz_targets.h"
#include "fuzz/memory_file.h"
#include "platform/png.h"
#include "tests/png_read.h"

namespace {

const std::string& picture_path() {
    static const std::string path = std::string(memory_folder()) + "/picture.png";
    return path;
}

}  // namespace

int fuzz_png(const uint8_t* data, size_t size) {
    if (size < 4)
        return 0;
    const int kind = data[0] % 3;    // RGB, RGBA, indexed
    const int width = data[1] % 70;  // 0 is refused
    const int height = data[2] % 40;
    const int extra = data[3] % 5;  // bytes between rows beyond the row's own
    const int channels = kind == 0 ? 3 : kind == 1 ? 4 : 1;
    const int stride = width * channels + (kind == 0 ? 0 : extra);
    std::vector<uint8_t> pixels(static_cast<size_t>(stride) * (height > 0 ? height : 1) + 1);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = size > 4 ? data[4 + i % (size - 4)] : static_cast<uint8_t>(i);
    PaletteEntry palette[256];
    for (int i = 0; i < 256; ++i)
        palette[i] = {static_cast<uint8_t>(i * 7), static_cast<uint8_t>(255 - i),
                      static_cast<uint8_t>(i ^ 0x5A), 0};

    const std::string& path = picture_path();
    std::remove(path.c_str());
    char why[FILE_WHY_MAX] = "";
    int written = 0;
    if (kind == 0)
        written = png_write_rgb(path.c_str(), pixels.data(), width, height, why, sizeof why);
    else if (kind == 1)
        written =
            png_write_rgba(path.c_str(), pixels.data(), stride, width, height, why, sizeof why);
    else
        written = png_write_indexed(path.c_str(), pixels.data(), stride, width, height, palette,
                                    why, sizeof why);
    const bool taken = width > 0 && height > 0;
    FUZZ_CHECK(written == (taken ? 1 : 0));
    if (!taken) {
        FUZZ_CHECK(why[0] != '\0' && access(path.c_str(), F_OK) != 0);
        return 0;
    }
    PngPicture back;
    FUZZ_CHECK(png_read(path, &back));
    FUZZ_CHECK(back.width == width && back.height == height);
    FUZZ_CHECK(back.channels == (kind == 1 ? 4 : 3));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint8_t* got = &back.pixels[(static_cast<size_t>(y) * width + x) * back.channels];
            const uint8_t* in = &pixels[static_cast<size_t>(y) * stride + x * channels];
            if (kind == 2) {
                const PaletteEntry& c = palette[in[0]];
                FUZZ_CHECK(got[0] == c.red && got[1] == c.green && got[2] == c.blue);
            } else {
                for (int k = 0; k < channels; ++k)
                    FUZZ_CHECK(got[k] == in[k]);
            }
        }
    }
    return 0;
}

FUZZ_ENTRY(fuzz_png)
