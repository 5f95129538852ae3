// Question blocks, bricks, coins, fragments and the power-up.
#include <gtest/gtest.h>

#include <vector>

#include "tests/world_test_support.h"

namespace {
class BlocksTest : public WorldTest {
  protected:
    static SpriteObject* place(SpriteObject* s, float x, float y) {
        s->x = x;
        s->y = y;
        return s;
    }
};

TEST_F(BlocksTest, BounceHeightsAndTheEnd) {
    SpriteObject* q = place(&qblocks[2], 300, 292);
    bump_block(q);
    std::vector<float> heights;
    for (int pass = 0; pass < 7; ++pass) {
        qblocks_draw();
        heights.push_back(292 - q->y);
    }
    EXPECT_EQ(heights, (std::vector<float>{2, 4, 6, 4, 2, 0, 0}));
    EXPECT_EQ(bumped_block, nullptr);
    EXPECT_EQ(bump_step, 0);
    // A used block bumped again: frame 3, no bounce, no release.
    const int score_before = score;
    bump_block(q);
    EXPECT_EQ(bumped_block, nullptr);
    EXPECT_EQ(q->frame, 3);
    qblocks_draw();
    EXPECT_EQ(q->y, 292.0f);
    EXPECT_EQ(score, score_before);
}

TEST_F(BlocksTest, BrickBouncesForTheSmallHeroAndStallsWhileLarge) {
    SpriteObject* b = place(&bricks[2], 300, 292);
    bump_block(b);
    bricks_draw();
    bricks_draw();
    EXPECT_EQ(b->y, 288.0f);
    hero_is_large = 1;
    bricks_draw();
    EXPECT_EQ(b->y, 288.0f);
    EXPECT_EQ(bump_step, 2);
}

TEST_F(BlocksTest, CoinReleaseScoresAndPopsUpForNinePasses) {
    SpriteObject* q = place(&qblocks[0], 300, 292);
    bump_block(q);
    qblocks_draw();
    EXPECT_EQ(coins, 1);
    EXPECT_EQ(score, 200);
    EXPECT_EQ(coin_step[0], 0);
    // Placed from the block's position before its lift.
    EXPECT_EQ(coin_sprites[0].x, 308.0f);
    EXPECT_EQ(coin_sprites[0].y, 292.0f - 38);
    std::vector<float> rise;
    int passes = 0;
    while (coin_step[0] != -1 && passes < 20) {
        coin_sprites_draw();
        rise.push_back(254 - coin_sprites[0].y);
        ++passes;
    }
    EXPECT_EQ(passes, 9);
    EXPECT_EQ(rise, (std::vector<float>{4, 8, 12, 16, 20, 16, 12, 8, 4}));
    coin_sprites_draw();
    EXPECT_EQ(coin_sprites[0].y, 250.0f);  // idle: stays
}

TEST_F(BlocksTest, CoinSlotsSecondIsTakenEvenWhenBusy) {
    for (int i : {0, 2, 3}) {
        bump_block(place(&qblocks[i], 100.0f + 100 * i, 292));
        qblocks_draw();
        coin_sprites_draw();
        bumped_block = nullptr;
        bump_step = 0;
    }
    EXPECT_EQ(coin_step[0], 3);
    EXPECT_EQ(coin_step[1], 1);  // restarted by the third coin
    EXPECT_EQ(coin_sprites[1].x, 408.0f);
    EXPECT_EQ(coins, 3);
}

TEST_F(BlocksTest, SecondBumpDuringABounceTakesOverItsCount) {
    SpriteObject* brick = place(&bricks[0], 100, 292);
    SpriteObject* q = place(&qblocks[0], 300, 292);
    bump_block(brick);
    bricks_draw();
    bricks_draw();
    bump_block(q);  // reached at step 2: releases nothing
    qblocks_draw();
    EXPECT_EQ(coins, 0);
    EXPECT_EQ(q->y, 290.0f);
    EXPECT_EQ(brick->y, 288.0f);  // left where its bounce stopped
}

TEST_F(BlocksTest, PowerUpEmergesWalksAndRestsOnItsBlock) {
    const float R = 292, X = 300;
    SpriteObject* q = place(&qblocks[1], X, R);
    bump_block(q);
    play_world_frame();
    EXPECT_EQ(power_up.state, 1);
    EXPECT_EQ(score, 0);
    std::vector<float> ys{power_up.y}, xs{power_up.x};
    for (int update = 2; update <= 6; ++update) {
        play_world_frame();
        ys.push_back(power_up.y);
        xs.push_back(power_up.x);
        if (update == 4) {
            EXPECT_EQ(power_up.vy, 2.0f);
        }
    }
    EXPECT_EQ(ys, (std::vector<float>{R - 35, R - 37, R - 39, R - 39, R - 35, R - 33}));
    EXPECT_EQ(xs, (std::vector<float>{X, X, X, X + 4, X + 8, X + 12}));
    // Off the end of the block it falls 2, 4, 6 ... and lands on the floor.
    std::vector<float> fall;
    for (int n = 0; n < 40 && power_up.y != 398.0f; ++n) {
        play_world_frame();
        if (power_up.y > R - 33 && fall.size() < 3)
            fall.push_back(power_up.vy);
    }
    EXPECT_EQ(power_up.y, 398.0f);
    ASSERT_EQ(fall.size(), 3u);
    EXPECT_EQ(fall, (std::vector<float>{4, 6, 8}));
}

TEST_F(BlocksTest, PowerUpReversesOnPipesAndLeavesBelowTheScreen) {
    power_up.state = 1;
    place(&power_up, 200, 398);
    power_up.vx = 4;
    power_up.vy = 0;
    place(&pipes[0], 240, 398);
    lock_test_frame();
    for (int n = 0; n < 3; ++n)
        power_up_update();  // flush after two, then the hit
    EXPECT_EQ(power_up.vx, -4.0f);
    EXPECT_EQ(power_up.x, 204.0f);
    // Over a pit it falls; drawn once more when below 480, then out of play.
    paint_pit(100, 300);
    for (int n = 0; n < 40 && power_up.y <= 480; ++n)
        power_up_update();
    unlock_test_frame();
    EXPECT_GT(power_up.y, 480.0f);
    power_up_draw();
    EXPECT_EQ(power_up.state, 0);
}

TEST_F(BlocksTest, FragmentFromABrickAtY292FliesAndFallsOut) {
    hero_is_large = 1;
    SpriteObject* b = place(&bricks[4], 300, 292);
    bump_block(b);
    SpriteObject* f = &brick_frags[0];
    std::vector<float> vy;
    int passes = 0;
    while (f->y <= 480 && passes < 100) {
        brick_frags_draw();
        if (passes < 3)
            vy.push_back(f->vy);
        ++passes;
    }
    EXPECT_EQ(vy, (std::vector<float>{-18, -16, -14}));
    EXPECT_EQ(passes, 28);  // 292 - 20n + n(n - 1) first passes 480 at n = 28
    EXPECT_EQ(f->y, 488.0f);
    EXPECT_EQ(f->x, 300.0f - 4 * 28);
    brick_frags_draw();  // no longer processed
    EXPECT_EQ(f->y, 488.0f);
    // A parked fragment stays parked.
    brick_frags[1].y = -1;
    brick_frags[1].vy = 5;
    brick_frags_draw();
    EXPECT_EQ(brick_frags[1].y, -1.0f);
}
}  // namespace
