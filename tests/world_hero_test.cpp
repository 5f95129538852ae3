// The hero's frame: speeds, jumps, bounds, contacts with the scenery, head bumps, pits,
// scrolling and the goal.
#include <gtest/gtest.h>

#include <vector>

#include "tests/world_test_support.h"
#include "world/object_groups.h"

namespace {
class HeroTest : public WorldTest {
  protected:
    void SetUp() override {
        WorldTest::SetUp();
        lock_test_frame();
    }

    static float bottom() { return hero->y + hero->height; }
    // Places a scenery piece at a screen position.
    static void put(SpriteObject* s, float x, float y) {
        s->x = x;
        s->y = y;
    }
};

TEST_F(HeroTest, HeldJumpRisesThroughTheWorkedHeightsThenFalls) {
    const float expected[17] = {430.0f, 425.2f, 418.0f, 408.8f, 398.0f, 386.0f,
                                373.2f, 360.0f, 346.8f, 334.0f, 322.0f, 311.2f,
                                302.0f, 294.8f, 289.6f, 286.4f, 285.2f};
    hold_keys({KEY_C});
    for (int frame = 0; frame < 17; ++frame) {
        hero_update();
        EXPECT_NEAR(bottom(), expected[frame], 1e-3) << "frame " << frame + 1;
    }
    EXPECT_EQ(hero->frame, 4);  // jumping, facing right
    // Falling from the top: vy grows by 2 a frame.
    float last_vy = hero->vy;
    hero_update();
    EXPECT_GT(bottom(), 285.2f);
    hero_update();
    EXPECT_NEAR(hero->vy - last_vy, 4.0f, 1e-3);
    // Lands on the floor and, with the key still held, does not jump again.
    for (int frame = 0; frame < 40; ++frame)
        hero_update();
    EXPECT_FLOAT_EQ(bottom(), 430.0f);
    EXPECT_NEAR(hero->vy, 0.0f, 1e-6);  // the spent lift is a hair below zero
    EXPECT_EQ(hero_airborne, 1);
    EXPECT_EQ(hero->frame, 0);  // standing once on the ground
    hold_keys({});
    hero_update();
    EXPECT_EQ(hero_airborne, 0);
    hold_keys({KEY_NEXT});
    hero_update();
    hero_update();
    EXPECT_LT(bottom(), 430.0f);  // a new press jumps
}

TEST_F(HeroTest, JumpKeyHeldForOneFrameLiftsEightPointFour) {
    hold_keys({KEY_NEXT});
    hero_update();
    hold_keys({});
    float highest = bottom();
    for (int frame = 0; frame < 20; ++frame) {
        hero_update();
        if (bottom() < highest)
            highest = bottom();
    }
    EXPECT_NEAR(430.0f - highest, 8.4f, 1e-3);
    EXPECT_FLOAT_EQ(bottom(), 430.0f);
}

TEST_F(HeroTest, WalkingAndRunningSpeeds) {
    std::vector<float> seen;
    hold_keys({KEY_RIGHT});
    for (int i = 0; i < 5; ++i) {
        hero_update();
        seen.push_back(hero->vx);
    }
    hold_keys({KEY_RIGHT, KEY_DELETE});
    hero_update();
    seen.push_back(hero->vx);  // 8 + 4
    hero_update();
    seen.push_back(hero->vx);  // no more at 12
    hold_keys({KEY_D});
    hero_update();
    seen.push_back(hero->vx);  // braked to walking speed at once
    EXPECT_EQ(seen, (std::vector<float>{2, 4, 6, 8, 8, 12, 12, 8}));

    // From 2 the run reaches 14 and stays.
    hero->vx = 0;
    seen.clear();
    hold_keys({KEY_RIGHT});
    hero_update();
    hold_keys({KEY_D, KEY_Z});
    for (int i = 0; i < 4; ++i) {
        hero_update();
        seen.push_back(hero->vx);
    }
    EXPECT_EQ(seen, (std::vector<float>{6, 10, 14, 14}));

    // The same to the left, and the facing follows.
    hero->vx = 0;
    seen.clear();
    hold_keys({KEY_A});
    hero_update();
    seen.push_back(hero->vx);
    EXPECT_EQ(hero->anim, 1);
    hold_keys({KEY_LEFT, KEY_Z});
    for (int i = 0; i < 4; ++i) {
        hero_update();
        seen.push_back(hero->vx);
    }
    hold_keys({KEY_LEFT});
    hero_update();
    seen.push_back(hero->vx);
    EXPECT_EQ(seen, (std::vector<float>{-2, -6, -10, -14, -14, -8}));
}

TEST_F(HeroTest, FrictionEndsExactlyAtZero) {
    hero->x = 100;
    hero->vx = 14;
    std::vector<float> seen;
    for (int i = 0; i < 8; ++i) {
        hero_update();
        seen.push_back(hero->vx);
    }
    EXPECT_EQ(seen, (std::vector<float>{12, 10, 8, 6, 4, 2, 0, 0}));
    hero->vx = -6;
    hero_update();
    hero_update();
    hero_update();
    EXPECT_EQ(hero->vx, 0.0f);
}

TEST_F(HeroTest, BothDirectionsHeldMoveRight) {
    hold_keys({KEY_LEFT, KEY_RIGHT});
    hero_update();
    EXPECT_EQ(hero->vx, 2.0f);
    EXPECT_EQ(hero->anim, 0);
}

TEST_F(HeroTest, ScreenBounds) {
    hero->x = 2;
    hold_keys({KEY_LEFT});
    for (int i = 0; i < 4; ++i)
        hero_update();
    EXPECT_EQ(hero->x, 0.0f);
    EXPECT_EQ(hero->vx, -8.0f);  // no friction while the key is held
    // The right edge is clamped before the scroll takes the rest.
    hold_keys({});
    hero->x = 630;
    hero->vx = 0;
    hero_update();
    EXPECT_EQ(scroll_step, 640 - 24 - SCROLL_LINE);
}

TEST_F(HeroTest, WalkingIntoABlockStopsFlushAgainstIt) {
    // A block ahead on the floor; the hero walks into it.
    put(&blocks[0], 150, 398);
    hero->x = 100;
    hold_keys({KEY_RIGHT});
    for (int i = 0; i < 30; ++i)
        hero_update();
    EXPECT_EQ(hero->x + hero->width, 150.0f);  // flush, not into it
    EXPECT_EQ(hero->vx, 0.0f);
}

TEST_F(HeroTest, StandsOnPipesAndBlocksAndWalksOffShowingTheStandingPicture) {
    // Land on a pipe top from a jump.
    put(&pipes[0], 80, 398);
    put(&pipes[1], 80, 366);
    hero->x = 50;
    hold_keys({KEY_C, KEY_RIGHT});
    for (int i = 0; i < 12; ++i)
        hero_update();
    hold_keys({KEY_C});
    for (int i = 0; i < 30; ++i)
        hero_update();
    EXPECT_EQ(hero_support, &pipes[1]);
    EXPECT_FLOAT_EQ(bottom(), 366.0f);
    // Walk off the far edge without jumping: standing picture while falling.
    hold_keys({});
    hero_update();
    hold_keys({KEY_RIGHT});
    int falling_frames = 0;
    for (int i = 0; i < 30; ++i) {
        hero_update();
        if (hero_support == nullptr && bottom() < 430.0f) {
            ++falling_frames;
            EXPECT_EQ(hero->frame, 0);
        }
    }
    EXPECT_GT(falling_frames, 0);
    EXPECT_FLOAT_EQ(bottom(), 430.0f);
}

// Jumps from the floor under the two blocks until something is bumped.
void jump_until_bump() {
    hero->x = 100;
    hold_keys({KEY_C});
    for (int frame = 0; frame < 30 && bumped_block == nullptr; ++frame)
        hero_update();
}

TEST_F(HeroTest, HeadBumpPicksTheLargerFraction) {
    put(&qblocks[0], 100 - 32 + 8, 292);  // over 8 of the hero's 24 columns
    put(&bricks[0], 108, 292);            // over the other 16
    jump_until_bump();
    EXPECT_EQ(bumped_block, &bricks[0]);
    EXPECT_EQ(hero->vy, 2.0f);  // stopped rising at once: only this frame's gravity
    EXPECT_EQ(jump_lift, 0.0f);
    EXPECT_EQ(qblocks[0].state, 1);
    EXPECT_EQ(bricks[0].state, 1);  // the small hero only bounces it
    hero_update();
    EXPECT_GT(hero->vy, 0.0f);
}

TEST_F(HeroTest, HeadBumpTieGoesToTheQuestionBlock) {
    put(&qblocks[0], 100 - 32 + 12, 292);
    put(&bricks[0], 112, 292);
    jump_until_bump();
    EXPECT_EQ(bumped_block, &qblocks[0]);
    EXPECT_EQ(qblocks[0].state, 0);
    EXPECT_EQ(qblocks[0].frame, 3);
}

TEST_F(HeroTest, LargeHeroBreaksABrickForFiftyPoints) {
    hero_grow();
    morph_from = nullptr;  // skip the form change
    hero->x = 100;
    put(&bricks[0], 96, 292);
    hold_keys({KEY_C});
    int frames = 0;
    while (bricks[0].state == 1 && frames++ < 30)
        hero_update();
    EXPECT_EQ(bricks[0].state, 0);
    EXPECT_EQ(score, 50);
    EXPECT_EQ(bumped_block, nullptr);
    EXPECT_EQ(brick_frags[0].x, 96.0f);
    EXPECT_EQ(brick_frags[3].x, 112.0f);
    EXPECT_EQ(brick_frags[3].y, 308.0f);
    EXPECT_EQ(brick_frags[1].vx, 4.0f);
    EXPECT_EQ(brick_frags[1].vy, -20.0f);
    EXPECT_EQ(brick_frags[2].vy, -10.0f);
    // A broken brick is no longer solid.
    hero->vy = -4;
    EXPECT_EQ(sprite_collide(hero, &bricks[0], 0), 0.0f);
}

TEST_F(HeroTest, PowerUpTakenWhenSmallPassedThroughWhenLarge) {
    power_up.state = 1;
    power_up.x = 60;
    power_up.y = 398;
    power_up.vx = 0;
    hero->x = 40;
    hold_keys({KEY_RIGHT});
    hero_update();
    EXPECT_EQ(hero, &hero_large);
    EXPECT_EQ(score, 1000);
    EXPECT_EQ(power_up.state, 0);
    // Out of play, the spot gives nothing again.
    hero_hurt();
    morph_from = nullptr;
    hero_update();
    EXPECT_EQ(hero, &hero_small);
    // Large: walks through it, and it stays.
    hero_grow();
    morph_from = nullptr;
    power_up.state = 1;
    power_up.x = hero->x + 10;
    power_up.y = 398;
    score = 0;
    hero_update();
    EXPECT_EQ(power_up.state, 1);
    EXPECT_EQ(score, 0);
}

TEST_F(HeroTest, PitFallKillsAndTheWorldResetsOnTheHundredAndSecondUpdateAfter) {
    paint_pit(120, 180);
    hero->x = 100;
    hold_keys({KEY_RIGHT});
    int marked = -1, frame = 0;
    for (; frame < 400 && game_mode == MODE_PLAYING; ++frame) {
        hero_update();
        if (marked < 0 && hero->state == 2)
            marked = frame;
    }
    ASSERT_GE(marked, 0);
    EXPECT_EQ(frame - 1 - marked, 102);
    EXPECT_EQ(game_mode, MODE_MENU);
    EXPECT_EQ(hero, &hero_small);
    EXPECT_EQ(hero->state, 1);
    EXPECT_EQ(hero->x, 20.0f);
    EXPECT_EQ(hero->y, 398.0f);
    EXPECT_EQ(death_timer, 0);
}

TEST_F(HeroTest, ScrollingAtTheLine) {
    hero->x = 207;
    hero->vx = 6;
    hold_keys({KEY_RIGHT});
    // Every object of every group, and the backdrop panels, move by the step.
    std::vector<SpriteObject*> world;
    for (const ObjectGroup* group : object_groups) {
        for (int i = 0; i < group->count; ++i)
            world.push_back(&group->sprites[i]);
    }
    for (SpriteObject& panel : backdrops)
        world.push_back(&panel);
    std::vector<float> x0;
    x0.reserve(world.size());
    for (const SpriteObject* s : world)
        x0.push_back(s->x);
    hero_update();
    EXPECT_EQ(hero->x, 213.0f);
    EXPECT_EQ(scroll_step, 2);
    EXPECT_EQ(scroll_total, 2);
    for (size_t i = 0; i < world.size(); ++i)
        EXPECT_EQ(world[i]->x, x0[i] - 2) << "object " << i;
    hold_keys({KEY_RIGHT, KEY_Z});
    hero_update();
    hero_update();
    EXPECT_EQ(scroll_step, 12);
    EXPECT_EQ(hero->x, 213.0f);
    EXPECT_EQ(scroll_total, 2 + 12 + 12);
    // Turning back: the world scrolls while the hero still moves right, then stands.
    hold_keys({KEY_LEFT});
    for (int i = 0; i < 12; ++i)
        hero_update();
    EXPECT_EQ(scroll_total, 26 + 10 + 8 + 6 + 4 + 2);
    for (int i = 0; i < 5; ++i)
        hero_update();
    EXPECT_EQ(scroll_step, 0);
    EXPECT_LT(hero->x, 213.0f);
    EXPECT_EQ(scroll_total, 56);
    // At or before the line nothing scrolls.
    hold_keys({});
    hero->x = 213;
    hero->vx = 0;
    hero_update();
    EXPECT_EQ(scroll_step, 0);
}

TEST_F(HeroTest, TheLevelIsWonTheFrameAfterTheScrollPassesTheEnd) {
    scroll_total = 6380;
    hero->x = 213;
    hero->vx = 8;
    hold_keys({KEY_RIGHT});
    hero_update();
    EXPECT_EQ(scroll_total, 6388);
    EXPECT_EQ(level_won, 0);
    hero_update();
    EXPECT_EQ(level_won, 1);
}
}  // namespace
