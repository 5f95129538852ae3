// Helpers shared by the tests.
#include "tests/test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "engine/bitmap.h"
#include "engine/clock.h"
#include "engine/display.h"
#include "engine/error_log.h"
#include "engine/sound_ids.h"
#include "engine/wav.h"
#include "platform/headless/headless.h"
#include "platform/script.h"
#include "shell/app.h"
#include "shell/commands.h"
#include "shell/game.h"
#include "shell/window.h"
#include "tests/temp_dir.h"

namespace {

// The folder the tests were started in (assets/ under ctest).
const std::filesystem::path start_folder = std::filesystem::current_path();

class TearDownAfterEachTest : public testing::EmptyTestEventListener {
    void OnTestEnd(const testing::TestInfo&) override { test_tear_down(); }
};

const bool tear_down_listener_added = [] {
    testing::UnitTest::GetInstance()->listeners().Append(new TearDownAfterEachTest);
    return true;
}();

}  // namespace

void test_tear_down() {
    // Whatever a test left locked is unlocked; most leave nothing.
    static_cast<void>(display_unlock_back());
    static_cast<void>(display_unlock_primary());
    static_cast<void>(app_finish());
    game_shutdown();
    window_service_reset();
    main_window = nullptr;
    headless_reset();
    input_queue_clear();
    error_log_close();
    if (const int left = gfx_shutdown())
        ADD_FAILURE() << left << " display objects were left behind";
    std::error_code error;
    std::filesystem::current_path(start_folder, error);
}

int test_run_program(const std::string& script, int passes, void (*after)(int pass),
                     void (*before)(int pass)) {
    Script run_script;
    EXPECT_EQ(script_parse(script, &run_script), 0) << script;
    if (app_start(nullptr)) {
        for (int pass = app_next_pass(); pass < passes; pass = app_next_pass()) {
            clock_start();
            if (before)
                before(pass);
            InputRecord record;
            script_record(run_script, pass, &record);
            if (!app_run_pass(&record))
                break;
            if (after)
                after(pass);
            clock_wait(30);
        }
    }
    return app_finish();
}

void test_display_up(int windowed, int bpp) {
    window_service_reset();
    static const WindowClass cls = {CLASS_DBLCLKS, window_proc, "WINCLASS1", 0, 0};
    window_register_class(&cls);
    main_window = window_create("WINCLASS1", "Quellaro 2005", STYLE_POPUP, 0, 0, 640, 480);
    ASSERT_NE(main_window, nullptr);
    display_set_window(&main_window->rect);
    ASSERT_EQ(display_init(640, 480, bpp, windowed), 1);
}

namespace {
void put16(std::vector<uint8_t>& out, size_t at, uint32_t v) {
    out[at] = static_cast<uint8_t>(v);
    out[at + 1] = static_cast<uint8_t>(v >> 8);
}
void put32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out[at + i] = static_cast<uint8_t>(v >> (8 * i));
}
}  // namespace

std::vector<uint8_t> test_bmp_bytes(const TestBmp& bmp) {
    const int bytes = bmp.bits / 8;
    const size_t stride = ((static_cast<size_t>(bmp.width) * bmp.bits + 31) / 32) * 4;
    const int entries = bmp.bits == 8 ? bmp.palette_entries : 0;
    const size_t table = 14 + static_cast<size_t>(bmp.header_size);
    const size_t offset = table + static_cast<size_t>(entries) * 4 + bmp.gap_after_palette;
    const size_t image = stride * bmp.height;
    std::vector<uint8_t> out(offset + image + bmp.trailing_bytes, 0);
    out[0] = 'B';
    out[1] = 'M';
    put32(out, 2, static_cast<uint32_t>(out.size()));
    put32(out, 10, static_cast<uint32_t>(offset));
    put32(out, 14, static_cast<uint32_t>(bmp.header_size));
    put32(out, 18, static_cast<uint32_t>(bmp.width));
    put32(out, 22, static_cast<uint32_t>(bmp.top_down ? -bmp.height : bmp.height));
    put16(out, 26, 1);
    put16(out, 28, static_cast<uint32_t>(bmp.bits));
    put32(out, 30, bmp.compression);
    put32(out, 34, bmp.zero_size_image ? 0 : static_cast<uint32_t>(image));
    put32(out, 46, bmp.clr_used);
    for (int i = 0; i < entries && i < static_cast<int>(bmp.palette.size()); ++i) {
        out[table + i * 4] = bmp.palette[i].blue;
        out[table + i * 4 + 1] = bmp.palette[i].green;
        out[table + i * 4 + 2] = bmp.palette[i].red;
    }
    for (int y = 0; y < bmp.height; ++y) {
        const int file_row = bmp.top_down ? y : bmp.height - 1 - y;
        for (int x = 0; x < bmp.width * bytes; ++x) {
            const size_t from = static_cast<size_t>(y) * bmp.width * bytes + x;
            if (from < bmp.pixels.size())
                out[offset + file_row * stride + x] = bmp.pixels[from];
        }
    }
    return out;
}

void test_write_file(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr) << path;
    // An empty vector may hold no buffer at all, which fwrite must not be given.
    if (!bytes.empty()) {
        EXPECT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), f), bytes.size());
    }
    std::fclose(f);
}

std::string test_temp_dir() {
    return make_temp_dir("quellaro-test");
}

namespace {

void write_picture(const std::string& dir, const char* name, int width, int height, uint8_t fill,
                   bool palette_ramp) {
    TestBmp bmp;
    bmp.width = width;
    bmp.height = height;
    bmp.pixels.assign(static_cast<size_t>(width) * height, fill);
    bmp.palette.resize(256);
    for (int k = 0; k < 256; ++k) {
        bmp.palette[k] = palette_ramp
                             ? PaletteEntry{static_cast<uint8_t>(k), static_cast<uint8_t>(255 - k),
                                            static_cast<uint8_t>(k / 2), 0}
                             : PaletteEntry{0, 0, 0, 0};
    }
    test_write_file(dir + "/" + name, test_bmp_bytes(bmp));
}

}  // namespace

void test_write_fake_assets(const std::string& dir) {
    char name[64];
    for (int i = 1; i <= 4; ++i) {
        std::snprintf(name, sizeof(name), "menubackground%d.bmp", i);
        write_picture(dir, name, 640, 480, static_cast<uint8_t>(9 + i), false);
    }
    write_picture(dir, "option2.bmp", 640, 480, 20, false);
    write_picture(dir, "option3.bmp", 640, 480, 21, true);
    for (int i = 1; i <= 13; ++i) {
        std::snprintf(name, sizeof(name), "dorvo%d.bmp", i);
        write_picture(dir, name, 256, 224, static_cast<uint8_t>(100 + i), false);
    }
    write_picture(dir, "dorvosprites.bmp", 128, 100, 30, false);
    write_picture(dir, "dorvospritelarge.bmp", 128, 131, 31, false);
    write_picture(dir, "questionblock.bmp", 136, 34, 32, false);
    write_picture(dir, "brick.bmp", 100, 34, 33, false);
    write_picture(dir, "mushroom.bmp", 36, 34, 34, false);
    write_picture(dir, "skivit.bmp", 68, 67, 35, false);
    write_picture(dir, "coin.bmp", 72, 30, 36, false);
    write_picture(dir, "pipe.bmp", 68, 67, 37, false);
    write_picture(dir, "block.bmp", 32, 32, 38, false);
    const PaletteEntry black[256] = {};
    ASSERT_EQ(palette_save_file((dir + "/" + DISPLAY_PALETTE_FILE).c_str(), black), 1);
    // Each sound a short tone whose level tells which it is.
    std::filesystem::create_directories(dir + "/sounds");
    for (int id = 0; id < SOUND_COUNT; ++id) {
        std::vector<int16_t> samples(100);
        for (size_t i = 0; i < samples.size(); ++i)
            samples[i] = static_cast<int16_t>(i % 2 ? -100 * (id + 1) : 100 * (id + 1));
        std::vector<uint8_t> bytes(wav_file_size(100));
        wav_write(samples.data(), 100, SOUND_RATE, bytes.data());
        for (int variant = 0; variant < sound_variants(id); ++variant) {
            char stem[48];
            sound_file_stem(id, variant, stem, sizeof stem);
            test_write_file(dir + "/sounds/" + stem + ".wav", bytes);
        }
    }
}

std::string test_enter_fake_assets() {
    std::string dir = test_temp_dir();
    test_write_fake_assets(dir);
    std::filesystem::current_path(dir);
    return dir;
}
