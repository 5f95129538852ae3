// The walking enemies: walking and reversing, standing on bricks, stomps and their points,
// harm, knock-outs and removal.
#include <gtest/gtest.h>

#include <vector>

#include "tests/world_test_support.h"

namespace {
class SkivitTest : public WorldTest {
  protected:
    static SpriteObject* enemy(int i, float x, float y, float vx) {
        SpriteObject* e = &skivits[i];
        e->state = 1;
        e->x = x;
        e->y = y;
        e->vx = vx;
        e->vy = 0;
        return e;
    }
    static void update() {
        lock_test_frame();
        skivits_update();
        unlock_test_frame();
    }
};

TEST_F(SkivitTest, TwoEnemiesMeetInThe25thUpdateAndThenMoveRightTogether) {
    hero->state = 2;  // out of the way
    SpriteObject* left = enemy(0, 100, 398, 2);
    SpriteObject* right = enemy(1, 200, 398, -2);
    for (int n = 1; n <= 24; ++n)
        update();
    EXPECT_EQ(left->vx, 2.0f);
    EXPECT_EQ(right->vx, -2.0f);
    EXPECT_EQ(left->x, 148.0f);
    EXPECT_EQ(right->x, 152.0f);
    update();  // the right enemy's pass finds them at 150 and 152
    EXPECT_EQ(left->x, 150.0f);
    EXPECT_EQ(left->vx, -2.0f);
    EXPECT_EQ(right->vx, 2.0f);
    EXPECT_EQ(right->x, 154.0f);
    for (int n = 1; n <= 10; ++n) {
        update();
        EXPECT_EQ(left->x, 150.0f + 2 * n);
        EXPECT_EQ(right->x, 154.0f + 2 * n);
    }
    EXPECT_EQ(left->y, 398.0f);
}

TEST_F(SkivitTest, EnemyOnTheBrickRowStandsAtY122) {
    SpriteObject* e = enemy(4, 169, 123, -2);
    for (int i : {5, 6, 7}) {
        bricks[i].x = static_cast<float>(brick_x[i] - 2600);
        bricks[i].y = 155;
    }
    update();
    EXPECT_EQ(e->y, 122.0f);
    EXPECT_EQ(e->x, 167.0f);
    update();
    EXPECT_EQ(e->y, 122.0f);
}

TEST_F(SkivitTest, WalksIntoAPipeAndReversesOnce) {
    pipes[0].x = 300;  // body at 398
    pipes[1].x = 300;  // top at 366
    SpriteObject* e = enemy(0, 370, 398, -2);
    int reversals = 0;
    float last_vx = e->vx;
    for (int n = 0; n < 30; ++n) {
        update();
        if (e->vx != last_vx)
            ++reversals;
        last_vx = e->vx;
    }
    EXPECT_EQ(reversals, 1);
    EXPECT_EQ(e->vx, 2.0f);
    EXPECT_GE(e->x, 364.0f);
}

TEST_F(SkivitTest, WalksOffAnEdgeFallsAndKeepsItsFallSpeed) {
    for (int i : {0, 1}) {
        bricks[i].x = 100 + 32 * i;
        bricks[i].y = 292;
    }
    SpriteObject* e = enemy(0, 102, 259, -2);
    std::vector<float> fall;
    for (int n = 0; n < 40 && e->y != 398.0f; ++n) {
        update();
        if (e->vy != 0)
            fall.push_back(e->vy);
    }
    ASSERT_GE(fall.size(), 3u);
    EXPECT_EQ(fall[0], 2.0f);
    EXPECT_EQ(fall[1], 4.0f);
    EXPECT_EQ(fall[2], 6.0f);
    EXPECT_EQ(e->y, 398.0f);
    EXPECT_GT(e->vy, 0.0f);  // never cleared
}

TEST_F(SkivitTest, ThreeStompsInOneJumpAward100Then200Then400) {
    hold_keys({KEY_C});
    int expected_score = 0;
    for (int k = 0; k < 3; ++k) {
        SCOPED_TRACE(k);
        SpriteObject* e = enemy(k, 200, 398, -2);
        hero->x = 204;
        hero->y = 398 - 32 - 4;
        hero->vy = 4;
        hero_airborne = 1;
        play_world_frame();  // the stomp
        EXPECT_EQ(e->state, 2);
        EXPECT_EQ(e->frame, 2);
        EXPECT_EQ(hero->vy, -10.0f);  // the bounce, after this frame's hero update
        play_world_frame();           // its first squash pass awards the points
        expected_score += 100 << k;
        EXPECT_EQ(score, expected_score);
        EXPECT_EQ(stomp_shown, 100 << k);
        e->state = 0;
    }
    EXPECT_EQ(stomp_value, 800);
    // Standing with the jump key up starts the count again.
    hold_keys({});
    for (int n = 0; n < 30; ++n)
        play_world_frame();
    EXPECT_EQ(stomp_value, 100);
}

TEST_F(SkivitTest, SquashShowsForEightPassesThenGoes) {
    SpriteObject* e = enemy(0, 300, 398, -2);
    e->state = 2;
    e->aux_state = 0;
    for (int pass = 1; pass <= 8; ++pass) {
        skivits_draw();
        EXPECT_EQ(e->state, 2);
        EXPECT_EQ(e->aux_state, pass);
    }
    EXPECT_EQ(stomp_shown, 100);
    skivits_draw();
    EXPECT_EQ(e->state, 0);
    EXPECT_EQ(stomp_shown, 0);
    EXPECT_EQ(score, 100);
}

TEST_F(SkivitTest, ContactThatIsNotAStompHarms) {
    // Touching from above with vy exactly 0 harms.
    SpriteObject* e = enemy(0, 200, 398, -2);
    hero->x = 204;
    hero->y = 398 - 32;
    hero->vy = 0;
    update();
    EXPECT_EQ(hero->state, 2);
    EXPECT_EQ(e->state, 1);

    // An enemy standing on a brick meets the hero two pixels higher than it stands: four
    // pixels above it is a touch there, but not above one on the floor.
    hero->state = 1;
    hero->vy = 0;
    hero->y = 398 - 32 - 4;
    update();
    EXPECT_EQ(hero->state, 1);
    e = enemy(4, 169, 123, -2);
    for (int i : {5, 6, 7}) {
        bricks[i].x = static_cast<float>(brick_x[i] - 2600);
        bricks[i].y = 155;
    }
    hero->x = 173;
    hero->y = 123 - 32 - 4;
    update();
    EXPECT_EQ(hero->state, 2);
    EXPECT_EQ(e->y, 122.0f);
}

TEST_F(SkivitTest, StandingSmallHeroIsWalkedThroughButALargeOneIsHarmed) {
    hero->x = 100;
    enemy(0, 140, 398, -2);
    for (int n = 0; n < 40; ++n)
        play_world_frame();
    EXPECT_EQ(hero->state, 1);
    EXPECT_LT(skivits[0].x, 100.0f);

    hero_grow();
    morph_from = nullptr;
    enemy(0, 140, 398, -2);
    for (int n = 0; n < 40 && hero_is_large; ++n)
        play_world_frame();
    EXPECT_EQ(hero_is_large, 0);
    EXPECT_EQ(hero->state, 1);
}

TEST_F(SkivitTest, BumpedBlockKnocksOutAnEnemyThatLandedOnIt) {
    bricks[0].x = 300;
    bricks[0].y = 292;
    bricks[1].x = 400;
    bricks[1].y = 292;
    // Landed after a fall, so its swept box reaches down into the brick.
    SpriteObject* on = enemy(0, 300, 259, -2);
    on->vy = 2;
    // One that never fell rests a pixel above with no fall speed: the sweep misses it.
    SpriteObject* resting = enemy(1, 400, 259, -2);
    bump_block(&bricks[0]);
    bump_block(&bricks[1]);
    EXPECT_EQ(on->state, 2);
    EXPECT_EQ(on->frame, 2);
    EXPECT_EQ(on->aux_state, 0);
    EXPECT_EQ(resting->state, 1);
    skivits_draw();
    EXPECT_EQ(score, 100);
}

TEST_F(SkivitTest, OnScreenBoundsAndFallingOut) {
    SpriteObject* at_edge = enemy(0, 640, 398, -2);
    SpriteObject* beyond = enemy(1, 640.5f, 398, -2);
    SpriteObject* left = enemy(2, -32, 398, 2);
    SpriteObject* gone_left = enemy(3, -32.5f, 398, 2);
    update();
    EXPECT_EQ(at_edge->x, 638.0f);
    EXPECT_EQ(beyond->x, 640.5f);
    EXPECT_EQ(left->x, -30.0f);
    EXPECT_EQ(gone_left->x, -32.5f);
    // Below the screen it is removed in the drawing pass.
    at_edge->y = 481;
    skivits_draw();
    EXPECT_EQ(at_edge->state, 0);
    beyond->y = 481;
    skivits_draw();
    EXPECT_EQ(beyond->state, 1);  // off screen: frozen, not removed
}
}  // namespace
