// Whole games played by the headless runner from the title menu with the real pictures:
// the level won, deaths by an enemy and in each pit followed by a fresh game, the power-up
// and a broken brick, and a chain of stomps. Each reads the state line of every pass.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "tests/runner_support.h"

namespace {
using nlohmann::json;

// The state lines of a script played for a number of passes.
std::vector<json> play(const std::string& script, int passes) {
    RunnerRun run;
    run.play(script, "--assets " + assets_dir() + " --passes " + std::to_string(passes));
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(run.states.size(), static_cast<size_t>(passes));
    return run.states;
}

double hero(const json& line, const std::string& key) {
    return num(line, "/hero/" + key);
}
double skivit(const json& line, int i, const std::string& key) {
    return num(line, "/skivits/" + std::to_string(i) + "/" + key);
}
std::string form(const json& line) {
    return line.value(json::json_pointer("/hero/form"), "");
}
// Where the hero is in the level.
double level_x(const json& line) {
    return num(line, "/scroll_total") + hero(line, "x");
}

// The first pass at or after from whose line satisfies the test, or -1.
template <typename Test>
int first_pass(const std::vector<json>& lines, int from, Test test) {
    for (int pass = from; pass < static_cast<int>(lines.size()); ++pass) {
        if (test(lines[pass]))
            return pass;
    }
    return -1;
}

// A state line without what may differ between the start and a reset: the pass, the clock,
// the animation pictures (the next update chooses them) and the enemies' squash counters (a
// squash sets them again).
json world_of(json line) {
    line.erase("pass");
    line.erase("tick");
    line["hero"].erase("frame");
    for (json& skivit : line["skivits"]) {
        skivit.erase("frame");
        skivit.erase("aux_state");
    }
    for (json& block : line["qblocks"])
        block.erase("frame");
    return line;
}

// After a death: the menu came back with the world as it was on the first pass.
void expect_fresh_world(const json& line, const json& start) {
    EXPECT_EQ(num(line, "/game_mode"), -1);
    EXPECT_EQ(num(start, "/game_mode"), -1);
    const json now = world_of(line), then = world_of(start);
    EXPECT_EQ(now, then) << json::diff(then, now).dump();
}

// After the menu: S starts play again from the start of the level.
void expect_new_game_starts(const std::vector<json>& lines, int reset_pass) {
    const int started = first_pass(lines, reset_pass,
                                   [](const json& line) { return num(line, "/game_mode") == 0; });
    ASSERT_GT(started, reset_pass);
    EXPECT_EQ(num(lines[started], "/time_left"), 399.970001);
    EXPECT_LT(level_x(lines[started]), 30);
    EXPECT_EQ(hero(lines.back(), "state"), 1);
    EXPECT_GT(level_x(lines.back()), level_x(lines[started]));
}

TEST(WorldScripts, TheLevelIsWonFromTheTitleMenu) {
    const auto lines = play(read_text_file(scripts_dir() + "win_level.txt"), 640);
    ASSERT_EQ(lines.size(), 640u);
    EXPECT_EQ(num(lines[0], "/game_mode"), -1);
    const int won = first_pass(lines, 0, [](const json& l) { return num(l, "/level_won") == 1; });
    ASSERT_GT(won, 1);
    for (int pass = 1; pass < won; ++pass)
        ASSERT_EQ(hero(lines[pass], "state"), 1) << pass;
    // Won in the update that starts past 6600.
    EXPECT_GT(level_x(lines[won - 1]), 6600);
    EXPECT_LE(level_x(lines[won - 2]), 6600);
    // Enemies were met on the way: every award is a stomp.
    EXPECT_GE(num(lines[won], "/score"), 500);
    // Then everything stands: hero, clock, score and the walking enemies.
    const json& last = lines.back();
    EXPECT_EQ(num(last, "/game_mode"), 0);
    EXPECT_EQ(last.at("hero"), lines[won].at("hero"));
    EXPECT_EQ(num(last, "/time_left"), num(lines[won], "/time_left"));
    EXPECT_EQ(num(last, "/score"), num(lines[won], "/score"));
    EXPECT_EQ(skivit(last, 13, "x"), skivit(lines[won + 10], 13, "x"));
}

TEST(WorldScripts, DeathByAnEnemyThenTheMenuAndAFreshGame) {
    const auto lines = play(read_text_file(scripts_dir() + "enemy_death.txt"), 340);
    const int hurt = first_pass(lines, 0, [](const json& l) { return hero(l, "state") == 2; });
    ASSERT_GT(hurt, 0);
    EXPECT_EQ(hero(lines[hurt], "frame"), 10);
    EXPECT_EQ(hero(lines[hurt], "vy"), -20);
    EXPECT_EQ(hero(lines[hurt], "vx"), 0);
    // Harmed on the floor: up to top edge 188 after 20 frames, below the screen on the 45th.
    EXPECT_EQ(hero(lines[hurt + 20], "y"), 188);
    const int below = first_pass(lines, hurt, [](const json& l) { return hero(l, "y") > 480; });
    EXPECT_EQ(below - hurt, 45);
    const int reset =
        first_pass(lines, hurt, [](const json& l) { return num(l, "/game_mode") == -1; });
    EXPECT_EQ(reset - hurt, 146);
    expect_fresh_world(lines[reset], lines[0]);
    expect_new_game_starts(lines, reset);
}

// The win script cut at a pass, then walking right: into the next pit.
std::string walk_from(int cut) {
    std::istringstream win(read_text_file(scripts_dir() + "win_level.txt"));
    std::ostringstream out;
    for (std::string line; std::getline(win, line);) {
        std::istringstream words(line);
        std::string command;
        int first = 0, last = 0;
        words >> command;
        if (command == "key") {
            out << line << "\n";
        } else if (command == "hold" && words >> first >> last && first < cut) {
            std::string keys;
            std::getline(words, keys);
            out << "hold " << first << " " << std::min(last, cut - 1) << keys << "\n";
        }
    }
    out << "hold " << cut << " " << cut + 300 << " RIGHT\n";
    return out.str();
}

void expect_pit_death(const std::vector<json>& lines, int pit_left, int pit_right) {
    const int falls = first_pass(lines, 0, [](const json& l) { return hero(l, "state") == 2; });
    ASSERT_GT(falls, 0);
    // Over the pit, not killed by anything else: the standing picture, no death jump.
    EXPECT_GE(level_x(lines[falls]), pit_left - 24);
    EXPECT_LE(level_x(lines[falls]), pit_right);
    EXPECT_NE(hero(lines[falls], "frame"), 10);
    EXPECT_GT(hero(lines[falls], "y"), 480);
    const int reset =
        first_pass(lines, falls, [](const json& l) { return num(l, "/game_mode") == -1; });
    EXPECT_EQ(reset - falls, 102);
    expect_fresh_world(lines[reset], lines[0]);
}

TEST(WorldScripts, DeathInAPitThenTheMenuAndAFreshGame) {
    const auto lines = play(read_text_file(scripts_dir() + "pit_death.txt"), 380);
    expect_pit_death(lines, 2370, 2433);
    const int reset = first_pass(lines, 0, [](const json& l) {
        return num(l, "/game_mode") == -1 && hero(l, "state") == 1 && num(l, "/pass") > 2;
    });
    expect_new_game_starts(lines, reset);
}

TEST(WorldScripts, TheOtherTwoPitsSwallowTheHeroToo) {
    expect_pit_death(play(walk_from(235), 420), 2950, 3045);
    expect_pit_death(play(walk_from(440), 600), 5238, 5323);
}

TEST(WorldScripts, PowerUpTakenAndABrickBrokenByTheLargeHero) {
    const auto lines = play(read_text_file(scripts_dir() + "power_up_brick.txt"), 270);
    const int released =
        first_pass(lines, 0, [](const json& l) { return num(l, "/power_up/state") == 1; });
    ASSERT_GT(released, 0);
    EXPECT_EQ(num(lines[released], "/qblocks/1/state"), 0);
    const int grown =
        first_pass(lines, released, [](const json& l) { return num(l, "/hero_is_large") == 1; });
    ASSERT_GT(grown, released);
    EXPECT_EQ(num(lines[grown], "/score") - num(lines[grown - 1], "/score"), 1000);
    EXPECT_EQ(num(lines[grown], "/power_up/state"), 0);
    EXPECT_EQ(form(lines[grown]), "large");
    // Frozen through the form change, which ends in its 32nd drawn frame.
    EXPECT_EQ(num(lines[grown], "/morph_timer"), 1);
    EXPECT_EQ(num(lines[grown + 30], "/morph_timer"), 31);
    EXPECT_EQ(num(lines[grown + 31], "/morph_timer"), 0);
    EXPECT_EQ(hero(lines[grown + 30], "y"), hero(lines[grown], "y"));
    const int broken =
        first_pass(lines, grown, [](const json& l) { return num(l, "/bricks/1/state") == 0; });
    ASSERT_GT(broken, grown);
    EXPECT_EQ(num(lines[broken], "/score") - num(lines[broken - 1], "/score"), 50);
    EXPECT_EQ(num(lines.back(), "/hero_is_large"), 1);
    EXPECT_EQ(hero(lines.back(), "state"), 1);
}

TEST(WorldScripts, AChainOfStompsDoublesThePoints) {
    const auto lines = play(read_text_file(scripts_dir() + "stomp_chain.txt"), 360);
    std::vector<double> awards;
    for (size_t pass = 1; pass < lines.size(); ++pass) {
        for (int i = 0; i < 14; ++i) {
            // A squash is awarded in the next frame's drawing pass.
            if (skivit(lines[pass - 1], i, "state") == 1 && skivit(lines[pass], i, "state") == 2 &&
                pass + 1 < lines.size()) {
                awards.push_back(num(lines[pass + 1], "/score") - num(lines[pass], "/score"));
            }
        }
    }
    // The first enemy of the run alone, then two in one jump with the key held.
    ASSERT_EQ(awards.size(), 3u);
    EXPECT_EQ(awards[1], 100);
    EXPECT_EQ(awards[2], 200);
    const int doubled =
        first_pass(lines, 300, [](const json& l) { return num(l, "/stomp_value") == 400; });
    EXPECT_GT(doubled, 300);
}
}  // namespace
