// The load steps, failed pictures, the backdrop strip, the world reset and the shutdown.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "engine/display.h"
#include "engine/gfx.h"
#include "engine/picture.h"
#include "platform/headless/headless.h"
#include "shell/game.h"
#include "tests/test_support.h"
#include "tests/world_test_support.h"

namespace {
// Runs f with the test pictures as the working directory.
template <typename F>
void in_picture_dir(const std::string& dir, F f) {
    char here[4096];
    ASSERT_NE(getcwd(here, sizeof here), nullptr);
    ASSERT_EQ(chdir(dir.c_str()), 0);
    f();
    ASSERT_EQ(chdir(here), 0);
}

int panel_color(int i) {
    return backdrops[i].frames[0]->pixels[0];
}

TEST(WorldLoad, BuildsEveryObjectFromTheTables) {
    ASSERT_TRUE(load_test_world());
    EXPECT_EQ(hero, &hero_small);
    EXPECT_EQ(hero_small.x, 20.0f);
    EXPECT_EQ(hero_small.y, 398.0f);
    EXPECT_EQ(hero_small.frame_count, 12);
    EXPECT_EQ(hero_small.anim_period, 2);
    EXPECT_EQ(hero_large.y, 366.0f);
    EXPECT_EQ(hero_large.frame_count, 10);
    EXPECT_EQ(hero_large.anim_period, 0);  // creation defaults
    EXPECT_EQ(pipes[4].x, 1310.0f);        // the top of pipe 1
    EXPECT_EQ(pipes[4].y, 334.0f);
    EXPECT_EQ(pipes[16].y, 366.0f);
    EXPECT_EQ(blocks[87].x, 6458.0f);  // the top of column 25
    EXPECT_EQ(blocks[87].y, 174.0f);
    EXPECT_EQ(blocks[9].y, 302.0f);
    EXPECT_EQ(bricks[23].x, bricks[24].x);
    EXPECT_EQ(qblocks[12].anim_period, 6);
    EXPECT_EQ(skivits[4].y, 123.0f);
    EXPECT_EQ(skivits[13].vx, -2.0f);
    EXPECT_EQ(power_up.state, 0);
    EXPECT_EQ(brick_frags[3].y, -1.0f);
    EXPECT_EQ(coin_sprites[1].anim_period, 1);
    EXPECT_EQ(backdrops[2].x, 1096.0f);
    EXPECT_EQ(panel_color(2), 13);  // dorvo3.bmp
}

TEST(WorldLoad, UnreadableOrTooSmallPictureFailsItsStepAndIsNamed) {
    test_display_up();
    const std::string dir = make_test_pictures();
    ASSERT_FALSE(dir.empty());
    std::remove((dir + "/skivit.bmp").c_str());
    ASSERT_TRUE(write_test_bitmap(dir + "/coin.bmp", 40, 20, 7));
    in_picture_dir(dir, [] {
        EXPECT_EQ(load_power_up(), 1);
        EXPECT_EQ(load_skivits(), 0);
        EXPECT_STREQ(picture_refused(), "skivit.bmp");
        picture_shutdown();
        EXPECT_EQ(load_coin_sprites(), 0);
        EXPECT_STREQ(picture_refused(), "coin.bmp");
        EXPECT_EQ(load_bitmap.buffer, nullptr);
    });
}

TEST(WorldLoad, ShutdownReleasesEverySurface) {
    test_display_up();
    const int before = gfx_live_surfaces();
    ASSERT_TRUE(load_test_world());
    EXPECT_GT(gfx_live_surfaces(), before + 200);
    world_shutdown();
    EXPECT_EQ(gfx_live_surfaces(), before);
}

class BackdropTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(load_test_world()); }
};

TEST_F(BackdropTest, PanelIsRecycledOnlyWhenWhollyOut) {
    in_picture_dir(test_picture_dir(), [] {
        backdrops[0].x = -548;
        backdrops_draw();
        EXPECT_EQ(backdrops[0].x, -548.0f);
        EXPECT_EQ(next_backdrop, 4);
        backdrops[0].x = -549;
        backdrops_draw();
        EXPECT_EQ(backdrops[0].x, 1095.0f);
        EXPECT_EQ(next_backdrop, 5);
        EXPECT_EQ(panel_color(0), 14);  // dorvo4.bmp
    });
}

TEST_F(BackdropTest, NoPictureAfterThirteenAndAnUnreadableOneKeepsTheOld) {
    std::remove((test_picture_dir() + "/dorvo4.bmp").c_str());
    in_picture_dir(test_picture_dir(), [] {
        backdrops[0].x = -549;
        backdrops_draw();
        EXPECT_EQ(next_backdrop, 5);
        EXPECT_EQ(panel_color(0), 11);  // still dorvo1.bmp
        next_backdrop = 13;
        backdrops[1].x = -549;
        backdrops_draw();
        EXPECT_EQ(next_backdrop, 14);
        EXPECT_EQ(panel_color(1), 23);
        backdrops[2].x = -549;
        backdrops_draw();
        EXPECT_EQ(next_backdrop, 15);
        EXPECT_EQ(panel_color(2), 13);  // kept
    });
}

// The frame's clear is left out only while the panels drawn in the pass cover the screen
// and hold no key pixel; anywhere else the frame shows the clear, never an older frame.
TEST_F(BackdropTest, ClearIsLeftOutOnlyWhereThePanelsCoverTheScreen) {
    EXPECT_TRUE(backdrops_cover_screen());
    backdrops[0].x = -549;  // recycled in this pass, not drawn
    backdrops[1].x = -1.5f;
    backdrops[2].x = 546.5f;  // drawn from column 546: still seamless
    EXPECT_TRUE(backdrops_cover_screen());
    backdrops[2].x = 547;  // column 546 left bare
    EXPECT_FALSE(backdrops_cover_screen());
    backdrops[0].x = 0;
    backdrops[1].x = 548;
    backdrops[2].x = 1096;
    GfxSurface* frame = backdrops[1].frames[0];
    uint8_t* pixels = display_lock_surface(frame, nullptr);
    ASSERT_NE(pixels, nullptr);
    pixels[frame->pitch * 100 + 30] = BACKDROP_COLOR_KEY;
    ASSERT_EQ(display_unlock_surface(frame), 1);
    EXPECT_FALSE(backdrops_cover_screen());

    clear_stage();
    game_mode = MODE_PLAYING;
    backdrops[1].x = 600;  // a gap from 548 to 600
    display_fill_surface(back_surface, 77, nullptr);
    game_frame();
    const uint8_t* shown = headless_frame_pixels();
    EXPECT_EQ(shown[200 * 640 + 580], 0);
    EXPECT_EQ(shown[200 * 640 + 500], 11);  // dorvo1.bmp
    EXPECT_EQ(shown[200 * 640 + 620], 12);
}

TEST_F(BackdropTest, StripStaysSeamlessAndShowsThePicturesInOrderOverTheLevel) {
    in_picture_dir(test_picture_dir(), [] {
        for (int frame = 0; frame < 7000 / 14; ++frame) {
            hero->x = SCROLL_LINE + 14;
            scroll_world();
            backdrops_draw();
            float lo = backdrops[0].x, hi = backdrops[0].x;
            for (const SpriteObject& p : backdrops) {
                lo = std::min(lo, p.x);
                hi = std::max(hi, p.x);
            }
            ASSERT_EQ(hi - lo, 2.0f * BACKDROP_DRAW_WIDTH) << frame;
            // Each panel shows the picture of its place in the level, up to 13.
            for (const SpriteObject& p : backdrops) {
                const int number = static_cast<int>(p.x + scroll_total) / 548 + 1;
                if (number <= 13) {
                    ASSERT_EQ(p.frames[0]->pixels[0], 10 + number) << frame;
                }
            }
        }
        EXPECT_EQ(next_backdrop, 4 + 12);
    });
}

TEST(WorldReset, RestoresTheStartAndLeavesTheRest) {
    ASSERT_TRUE(load_test_world());
    const int surfaces = gfx_live_surfaces();
    // A game played for a while.
    scroll_total = 3000;
    scroll_step = 6;
    level_won = 1;
    death_timer = 50;
    score = 1234;
    coins = 3;
    time_left = -3.5f;
    next_backdrop = 9;
    hero_airborne = hero_running = 1;
    hero_support = &blocks[0];
    hero_grow();
    morph_timer = 5;
    hero_large.state = 2;
    pipes[3].x = -50;
    blocks[60].x = 7;
    qblocks[5].state = 0;
    qblocks[5].frame = 3;
    qblocks[5].y = 150;
    skivits[2].state = 2;
    skivits[2].aux_state = 5;
    skivits[2].x = 99;
    skivits[2].vx = 2;
    bricks[9].state = 0;
    bricks[9].x = 1;
    brick_frags[0].y = 490;
    coin_sprites[1].x = 44;
    power_up.state = 1;
    backdrops[0].x = -200;
    // What the reset must leave as it is.
    stomp_value = 400;
    stomp_shown = 200;
    jump_lift = 2.5f;
    coin_step[0] = 3;
    bumped_block = &bricks[4];
    bump_step = 4;
    game_mode = MODE_INFO2;
    menu_selection = 2;

    in_picture_dir(test_picture_dir(), [] { world_reset(); });

    EXPECT_EQ(gfx_live_surfaces(), surfaces);  // panels re-created, none leaked
    EXPECT_EQ(scroll_total, 0);
    EXPECT_EQ(scroll_step, 0);
    EXPECT_EQ(level_won, 0);
    EXPECT_EQ(death_timer, 0);
    EXPECT_EQ(score, 0);
    EXPECT_EQ(coins, 0);
    EXPECT_EQ(time_left, 400.0f);
    EXPECT_EQ(next_backdrop, 4);
    EXPECT_EQ(hero_airborne, 0);
    EXPECT_EQ(hero_running, 0);
    EXPECT_EQ(hero_support, nullptr);
    EXPECT_EQ(hero_is_large, 0);
    EXPECT_EQ(morph_from, nullptr);
    EXPECT_EQ(morph_timer, 0);
    EXPECT_EQ(hero, &hero_small);
    EXPECT_EQ(hero->x, 20.0f);
    EXPECT_EQ(hero->y, 398.0f);
    EXPECT_EQ(hero->anim_period, 2);
    EXPECT_EQ(hero->state, 1);
    EXPECT_EQ(hero_large.state, 1);
    EXPECT_EQ(pipes[3].x, 1310.0f);  // pipe 1
    EXPECT_EQ(blocks[60].x, 6362.0f);
    EXPECT_EQ(qblocks[5].state, 1);
    EXPECT_EQ(qblocks[5].y, 155.0f);
    EXPECT_EQ(skivits[2].state, 1);
    EXPECT_EQ(skivits[2].x, 1746.0f);
    EXPECT_EQ(skivits[2].vx, -2.0f);
    EXPECT_EQ(bricks[9].state, 1);
    EXPECT_EQ(bricks[9].x, 2865.0f);
    EXPECT_EQ(brick_frags[0].y, -1.0f);
    EXPECT_EQ(coin_sprites[1].x, 0.0f);
    EXPECT_EQ(power_up.state, 0);
    EXPECT_EQ(backdrops[0].x, 0.0f);
    EXPECT_EQ(panel_color(0), 11);

    EXPECT_EQ(stomp_value, 400);
    EXPECT_EQ(stomp_shown, 200);
    EXPECT_EQ(jump_lift, 2.5f);
    EXPECT_EQ(coin_step[0], 3);
    EXPECT_EQ(bumped_block, &bricks[4]);
    EXPECT_EQ(bump_step, 4);
    EXPECT_EQ(game_mode, MODE_INFO2);
    EXPECT_EQ(menu_selection, 2);
    EXPECT_EQ(skivits[2].aux_state, 5);
    EXPECT_EQ(qblocks[5].frame, 3);
}
}  // namespace
