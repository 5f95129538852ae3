// Shared set-up for the world tests.
#include "tests/world_test_support.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "engine/display.h"
#include "platform/headless/headless.h"
#include "shell/game.h"
#include "shell/window.h"
#include "tests/temp_dir.h"
#include "tests/test_support.h"

bool write_test_bitmap(const std::string& path, int w, int h, int color) {
    const int stride = (w + 3) & ~3;
    const uint32_t offset = 14 + 40 + 1024;
    const uint32_t size = offset + static_cast<uint32_t>(stride * h);
    std::vector<uint8_t> file(size, 0);
    auto put16 = [&](int at, uint16_t v) { std::memcpy(&file[at], &v, 2); };
    auto put32 = [&](int at, uint32_t v) { std::memcpy(&file[at], &v, 4); };
    put16(0, 0x4D42);
    put32(2, size);
    put32(10, offset);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(w));
    put32(22, static_cast<uint32_t>(h));
    put16(26, 1);
    put16(28, 8);
    put32(34, static_cast<uint32_t>(stride * h));
    put32(46, 256);
    for (int i = 0; i < 256; ++i) {
        file[54 + 4 * i] = static_cast<uint8_t>(i);
        file[54 + 4 * i + 1] = static_cast<uint8_t>(255 - i);
        file[54 + 4 * i + 2] = static_cast<uint8_t>(i * 7);
    }
    for (int row = 0; row < h; ++row)
        std::memset(&file[offset + row * stride], color, w);
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr)
        return false;
    const bool ok = std::fwrite(file.data(), 1, file.size(), f) == file.size();
    std::fclose(f);
    return ok;
}

std::string make_test_pictures() {
    std::string base = make_temp_dir("quellaro-world-test");
    struct Picture {
        const char* name;
        int w, h;
    };
    // Every sheet at the size the game takes: its grid of cells, the width padded to four.
    static const Picture pictures[] = {
        {"dorvosprites.bmp", 128, 100}, {"dorvospritelarge.bmp", 128, 131},
        {"questionblock.bmp", 136, 34}, {"brick.bmp", 100, 34},
        {"mushroom.bmp", 36, 34},       {"skivit.bmp", 68, 67},
        {"coin.bmp", 72, 30},           {"pipe.bmp", 68, 67},
        {"block.bmp", 32, 32},
    };
    for (const Picture& p : pictures) {
        if (!write_test_bitmap(base + "/" + p.name, p.w, p.h, TEST_GROUND_COLOR))
            return "";
    }
    for (int i = 1; i <= 13; ++i) {
        const std::string name = base + "/dorvo" + std::to_string(i) + ".bmp";
        if (!write_test_bitmap(name, 256, 224, 10 + i))
            return "";
    }
    return base;
}

namespace {
std::string picture_dir;
}

const std::string& test_picture_dir() {
    return picture_dir;
}

bool load_test_world() {
    if (back_surface == nullptr)
        test_display_up();
    if (back_surface == nullptr)
        return false;
    picture_dir = make_test_pictures();
    const std::string& dir = picture_dir;
    if (dir.empty())
        return false;
    char here[4096];
    if (getcwd(here, sizeof here) == nullptr || chdir(dir.c_str()) != 0)
        return false;
    const bool ok = load_backdrops() && load_hero() && load_qblocks() && load_bricks() &&
                    load_brick_frags() && load_power_up() && load_skivits() &&
                    load_coin_sprites() && load_pipes() && load_blocks();
    return chdir(here) == 0 && ok;
}

void lock_test_frame() {
    display_fill_surface(back_surface, TEST_GROUND_COLOR, nullptr);
    EXPECT_NE(display_lock_back(), nullptr);
}

void unlock_test_frame() {
    EXPECT_EQ(display_unlock_back(), 1);
}

void paint_pit(int x0, int x1) {
    for (int y = FLOOR_LINE; y < 480; ++y) {
        for (int x = x0; x <= x1; ++x)
            back_buffer[y * back_pitch + x] = PIT_COLOR;
    }
}

void hold_keys(std::initializer_list<int> keys) {
    InputRecord record = INPUT_RECORD_EMPTY;
    for (int key : keys)
        input_hold(&record, key);
    window_begin_pass(&record);
}

void clear_stage() {
    auto park = [](SpriteObject* sprites, int count) {
        for (int i = 0; i < count; ++i)
            sprites[i].x = 5000;
    };
    park(qblocks, QBLOCK_COUNT);
    park(bricks, BRICK_COUNT);
    park(pipes, PIPE_PIECE_COUNT);
    park(blocks, BLOCK_COUNT);
    park(skivits, SKIVIT_COUNT);
    for (SpriteObject& e : skivits)
        e.state = 0;
    power_up.state = 0;
}

void play_world_frame() {
    display_fill_surface(back_surface, TEST_GROUND_COLOR, nullptr);
    world_draw();
    EXPECT_NE(display_lock_back(), nullptr);
    if (level_won == 0)
        world_update();
    unlock_test_frame();
    if (level_won == 0)
        hero_draw();
}

void WorldTest::SetUp() {
    ASSERT_TRUE(load_test_world());
    clear_stage();
    hold_keys({});
    game_mode = MODE_PLAYING;
}

void WorldTest::TearDown() {
    test_tear_down();
}
