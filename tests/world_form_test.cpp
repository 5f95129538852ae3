// Growth, harm, the flickering form change and the death jump.
#include <gtest/gtest.h>

#include <string>

#include "engine/display.h"
#include "tests/world_test_support.h"

namespace {
class FormTest : public WorldTest {
  protected:
    void SetUp() override {
        WorldTest::SetUp();
        lock_test_frame();
    }
    static void end_form_change() {
        morph_from = nullptr;
        morph_timer = 0;
    }
};

TEST_F(FormTest, HarmedSmallHeroJumpsOffTheScreenAndTheResetComesOnFrame146) {
    hero->x = 100;
    hero->vx = 6;
    hero_hurt();
    EXPECT_EQ(hero->state, 2);
    EXPECT_EQ(hero->frame, 10);
    EXPECT_EQ(hero->vx, 0.0f);
    int first_below = 0, reset_frame = 0;
    for (int frame = 1; frame <= 200 && reset_frame == 0; ++frame) {
        hero_update();
        if (frame == 20) {
            EXPECT_EQ(hero->y, 188.0f);
        }
        if (first_below == 0 && hero->y > 480)
            first_below = frame;
        if (game_mode == MODE_MENU)
            reset_frame = frame;
    }
    EXPECT_EQ(first_below, 45);
    EXPECT_EQ(reset_frame, 146);
    EXPECT_EQ(hero->state, 1);
}

TEST_F(FormTest, ShrinkKeepsTheBottomEdgeAndGivesImmunityUntilTheChangeEnds) {
    hero_grow();
    end_form_change();
    hero->x = 100;
    hero->y = 366;
    hero->vx = 4;
    hero->anim = 1;
    hero_hurt();
    EXPECT_EQ(hero, &hero_small);
    EXPECT_EQ(hero_is_large, 0);
    EXPECT_EQ(morph_from, &hero_large);
    EXPECT_EQ(hero->x, 100.0f);
    EXPECT_EQ(hero->y + hero->height, 430.0f);
    EXPECT_EQ(hero->vx, 4.0f);
    EXPECT_EQ(hero->anim, 1);
    // Frozen during the change: keys are read but the hero does not move.
    hold_keys({KEY_RIGHT});
    hero_update();
    EXPECT_EQ(hero->x, 100.0f);
    hero_hurt();  // immune
    EXPECT_EQ(hero->state, 1);
    unlock_test_frame();
    for (int i = 0; i < 32; ++i)
        hero_draw();
    EXPECT_EQ(morph_from, nullptr);
    hero_hurt();
    EXPECT_EQ(hero->state, 2);
}

TEST_F(FormTest, HarmDuringGrowthShrinksAtOnceAndTheCountGoesOn) {
    hero_grow();
    unlock_test_frame();
    for (int i = 0; i < 7; ++i)
        hero_draw();
    hero_hurt();
    EXPECT_EQ(hero, &hero_small);
    EXPECT_EQ(morph_from, &hero_large);
    EXPECT_EQ(morph_timer, 7);
    int draws = 0;
    while (morph_from != nullptr && draws < 100) {
        hero_draw();
        ++draws;
    }
    EXPECT_EQ(draws, 31 - 7 + 1);
}

TEST_F(FormTest, GrowthWhileJumpingTruncatesTheVelocityAndFreezes) {
    hero->x = 50.5f;
    hero->y = 300;
    hero->vx = 6;
    hero->vy = -7.2f;
    hero_grow();
    EXPECT_EQ(hero, &hero_large);
    EXPECT_EQ(hero->x, 50.0f);
    EXPECT_EQ(hero->y, 268.0f);  // same bottom edge
    EXPECT_EQ(hero->vy, -7.0f);
    EXPECT_EQ(hero->vx, 6.0f);
    EXPECT_EQ(morph_from, &hero_small);
    hero_grow();  // already large: nothing
    EXPECT_EQ(morph_from, &hero_small);
    hold_keys({KEY_C});
    hero_update();
    EXPECT_EQ(hero->y, 268.0f);
    EXPECT_EQ(hero->vy, -7.0f);
}

// Draws the hero over a cleared frame and tells which form showed: 1 small, 2 large.
int drawn_form() {
    display_fill_surface(back_surface, 3, nullptr);
    hero_draw();
    EXPECT_NE(display_lock_back(), nullptr);
    auto shown = [](const SpriteObject& s) {
        const int x = static_cast<int>(s.x) + 12, y = static_cast<int>(s.y) + 8;
        return back_buffer[y * back_pitch + x] == TEST_GROUND_COLOR;
    };
    const int form = (shown(hero_small) ? 1 : 0) | (shown(hero_large) ? 2 : 0);
    EXPECT_EQ(display_unlock_back(), 1);
    return form;
}

TEST_F(FormTest, FormChangeFlickersInGroupsOfThreeAndEndsOnThe32ndDraw) {
    unlock_test_frame();
    hero_small.x = 100;
    hero_grow();
    hero_large.x = 300;  // apart, so each form shows where it is
    std::string seen;
    for (int i = 0; i < 32; ++i)
        seen += static_cast<char>('0' + drawn_form());
    EXPECT_EQ(seen, "11122211122211122211122211122212");
    EXPECT_EQ(morph_from, nullptr);
    EXPECT_EQ(morph_timer, 0);
    EXPECT_EQ(drawn_form(), 2);
}
}  // namespace
