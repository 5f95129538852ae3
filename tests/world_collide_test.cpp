// The box test, how a mover meets another sprite, and the floor test with its pits.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine/display.h"
#include "world/collide.h"
#include "world/objects.h"
#include "world/world_state.h"

namespace {
SpriteObject box(float x, float y, int w, int h, float vx = 0, float vy = 0) {
    SpriteObject s{};
    s.state = 1;
    s.x = x;
    s.y = y;
    s.width = w;
    s.height = h;
    s.vx = vx;
    s.vy = vy;
    return s;
}

TEST(OverlapFraction, EdgesAndFractions) {
    // Sharing only a vertical edge: met, but no width in common.
    EXPECT_EQ(overlap_fraction(0, 0, 10, 10, 10, 0, 10, 10), 0.0f);
    EXPECT_EQ(overlap_fraction(10, 0, 10, 10, 0, 0, 10, 10), 0.0f);
    // Sharing a horizontal edge while overlapping in x: they meet.
    EXPECT_EQ(overlap_fraction(0, 0, 10, 10, 5, 10, 10, 10), 0.5f);
    // Only B's top edge lies on A's bottom edge: the far end of a range counts too.
    EXPECT_EQ(overlap_fraction(0, 0, 100, 10, 40, 10, 10, 10), 0.6f);
    EXPECT_EQ(overlap_fraction(40, 10, 10, 10, 0, 0, 100, 10), 1.0f);
    // Like a plus sign: neither has an edge inside the other on both axes.
    EXPECT_EQ(overlap_fraction(0, 10, 100, 10, 40, 0, 10, 100), 0.0f);
    // Always relative to A's width.
    EXPECT_EQ(overlap_fraction(0, 0, 24, 10, 16, 0, 32, 10), 8.0f / 24.0f);
    EXPECT_EQ(overlap_fraction(20, 0, 24, 10, 0, 0, 32, 10), 12.0f / 24.0f);
    EXPECT_EQ(overlap_fraction(4, 0, 24, 10, 0, 0, 32, 10), 1.0f);
    EXPECT_EQ(overlap_fraction(0, 0, 10, 10, 50, 50, 10, 10), 0.0f);
}

TEST(OverlapFraction, ZeroWidthBoxThatMeetsIsContactNotNaN) {
    const float r = overlap_fraction(5, 0, 0, 10, 5, 0, 10, 10);
    EXPECT_FALSE(std::isnan(r));
    EXPECT_NE(r, 0.0f);
    EXPECT_NE(static_cast<int>(r), 0);  // callers that truncate see it too
    EXPECT_EQ(overlap_fraction(3, 0, 0, 10, 5, 0, 10, 10), 0.0f);  // apart: still none
}

class CollideTest : public ::testing::Test {
  protected:
    void SetUp() override {
        hero = &hero_small;
        hero_small = box(100, 398, 24, 32);
        hero_support = nullptr;
        power_up = box(0, 0, 32, 32);
        power_up.state = 0;
        for (int i = 0; i < BRICK_COUNT; ++i)
            bricks[i] = box(2000, 292, 32, 32);
        floor_pixels.assign(480 * PITCH, 7);
        back_buffer = floor_pixels.data();
        back_pitch = PITCH;
    }
    void TearDown() override {
        back_buffer = nullptr;
        back_pitch = 0;
    }
    static constexpr int PITCH = 656;
    std::vector<uint8_t> floor_pixels;
};

TEST_F(CollideTest, LandingToleranceOfARestingAndAFallingMover) {
    SpriteObject block = box(100, 300, 32, 32);
    for (int gap = 0; gap <= 3; ++gap) {
        SpriteObject mover = box(110, 300 - 32 - gap, 32, 32);
        EXPECT_EQ(sprite_collide(&mover, &block, 0), gap <= 2 ? 3.0f : 0.0f) << gap;
    }
    // Falling at 10, a block up to 22 pixels below the feet is landed on.
    SpriteObject falling = box(110, 300 - 32 - 22, 32, 32, 0, 10);
    EXPECT_EQ(sprite_collide(&falling, &block, 0), 3.0f);
    falling.y -= 1;
    EXPECT_EQ(sprite_collide(&falling, &block, 0), 0.0f);
    // Only the hero records what carries it.
    EXPECT_EQ(hero_support, nullptr);
    hero_small = box(110, 300 - 32, 24, 32);
    EXPECT_EQ(sprite_collide(hero, &block, 0), 3.0f);
    EXPECT_EQ(hero_support, &block);
}

TEST_F(CollideTest, SideContact) {
    SpriteObject block = box(150, 398, 32, 32);
    // Right edge 3 short at speed 4: a quarter of the strip reaches the edge.
    hero_small = box(150 - 24 - 3, 398, 24, 32, 4, 0);
    EXPECT_EQ(sprite_collide(hero, &block, 0), 2.0f);
    hero_small.x -= 1;  // the step ends flush: no contact
    EXPECT_EQ(sprite_collide(hero, &block, 0), 0.0f);
    // Moving left into the right edge.
    SpriteObject left = box(150 + 32 + 1, 398, 32, 32, -2, 0);
    EXPECT_EQ(sprite_collide(&left, &block, 0), 2.0f);
    // Standing on a block beside the next: no side hit against the lower one.
    SpriteObject lower = box(150, 398, 32, 32);
    SpriteObject top = box(118, 366, 32, 32, 2, 0);
    EXPECT_EQ(sprite_collide(&top, &lower, 0), 0.0f);
}

TEST_F(CollideTest, HeadBumpOnlyForTheRisingHero) {
    SpriteObject block = box(100, 292, 32, 32);
    hero_small = box(116, 310, 24, 32, 0, -4);  // left edge inside, right edge past
    EXPECT_EQ(sprite_collide(hero, &block, 0), 16.0f / 24.0f);
    hero_small.x = 90;  // left edge left of the block
    EXPECT_EQ(sprite_collide(hero, &block, 0), 14.0f / 24.0f);
    SpriteObject other = hero_small;  // not the hero: no head test
    EXPECT_EQ(sprite_collide(&other, &block, 0), 0.0f);
}

TEST_F(CollideTest, BrokenBricksAndThePowerUpOutOfPlay) {
    SpriteObject walker = box(100, 292 - 32, 32, 32, -2, 0);
    bricks[3] = box(100, 292, 32, 32);
    EXPECT_EQ(sprite_collide(&walker, &bricks[3], 0), 3.0f);
    bricks[3].state = 0;
    EXPECT_EQ(sprite_collide(&walker, &bricks[3], 0), 0.0f);
    EXPECT_NE(sprite_collide(&walker, &bricks[3], 1), 0.0f);  // still there when swept
    // A used question block (state 0) is not a brick: still solid.
    SpriteObject used = box(100, 292, 32, 32);
    used.state = 0;
    EXPECT_EQ(sprite_collide(&walker, &used, 0), 3.0f);

    power_up = box(100, 260, 32, 32);
    power_up.state = 0;
    EXPECT_EQ(sprite_collide(&walker, &power_up, 1), 0.0f);
    EXPECT_EQ(sprite_collide(&walker, &power_up, 0), 0.0f);
    power_up.state = 1;
    EXPECT_NE(sprite_collide(&walker, &power_up, 1), 0.0f);
}

TEST_F(CollideTest, HeroRunningLeftAtTwelveStillTakesThePowerUp) {
    // Its swept box has no width left; meeting the power-up is contact all the same.
    hero_small = box(100, 398, 24, 32, -12, 0);
    power_up = box(112, 398, 32, 32);
    power_up.state = 1;
    const float r = sprite_collide(hero, &power_up, 1);
    EXPECT_FALSE(std::isnan(r));
    EXPECT_NE(r, 0.0f);
}

TEST_F(CollideTest, FloorLineAndPits) {
    SpriteObject s = box(100, 398, 24, 32);
    EXPECT_EQ(sprite_on_floor(&s), 1);
    // One pit pixel anywhere from x to x + width in the bottom row.
    for (int column : {100, 112, 124}) {
        floor_pixels[430 * PITCH + column] = PIT_COLOR;
        EXPECT_EQ(sprite_on_floor(&s), 0) << column;
        floor_pixels[430 * PITCH + column] = 7;
    }
    floor_pixels[430 * PITCH + 125] = PIT_COLOR;
    EXPECT_EQ(sprite_on_floor(&s), 1);
    // Above the line it is not on the floor until the step reaches it.
    s.y = 390;
    s.vy = 7;
    EXPECT_EQ(sprite_on_floor(&s), 0);
    s.vy = 8;
    EXPECT_EQ(sprite_on_floor(&s), 1);
    // Rising: never over a pit, on the floor only when bottom + vy reaches 430.
    for (int column = 90; column < 140; ++column)
        floor_pixels[435 * PITCH + column] = PIT_COLOR;
    s.y = 440 - 32;
    s.vy = -5;
    EXPECT_EQ(sprite_on_floor(&s), 1);
    s.vy = -11;
    EXPECT_EQ(sprite_on_floor(&s), 0);
}
}  // namespace
