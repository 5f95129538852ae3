// Whole games played by the headless runner from the title menu with the real pictures:
// the level won, deaths by an enemy and in each pit followed by a fresh game, the power-up
// and a broken brick, and a chain of stomps. Each reads the state line of every pass.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/test_support.h"

namespace {
const std::string SCRIPTS = std::string(QUELLARO_SOURCE_DIR) + "/tests/scripts/";

std::string read_text(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The state lines of a script played for a number of passes.
std::vector<std::string> play(const std::string& script, int passes) {
    const std::string dir = test_temp_dir();
    const std::string script_path = dir + "/script.txt";
    std::ofstream(script_path) << script;
    const std::string state = dir + "/state.jsonl";
    const std::string command = std::string(QUELLARO_RUNNER) + " --assets " + QUELLARO_SOURCE_DIR +
                                "/assets --script " + script_path + " --passes " +
                                std::to_string(passes) + " --state " + state + " 2>" + dir +
                                "/stderr.txt";
    EXPECT_EQ(std::system(command.c_str()), 0);
    std::vector<std::string> lines;
    std::ifstream in(state);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    EXPECT_EQ(lines.size(), static_cast<size_t>(passes));
    return lines;
}

// The object or array named key, from its bracket to the matching one.
std::string part(const std::string& text, const std::string& key) {
    const size_t at = text.find("\"" + key + "\":");
    if (at == std::string::npos)
        return "";
    const size_t start = text.find_first_of("{[", at);
    int depth = 0;
    for (size_t i = start; i < text.size(); ++i) {
        if (text[i] == '{' || text[i] == '[')
            ++depth;
        if ((text[i] == '}' || text[i] == ']') && --depth == 0)
            return text.substr(start, i + 1 - start);
    }
    return "";
}

// Object i of an array of objects.
std::string item(const std::string& array, int i) {
    size_t at = 0;
    for (int n = 0; n <= i; ++n) {
        at = array.find('{', at + 1);
        if (at == std::string::npos)
            return "";
    }
    return array.substr(at, array.find('}', at) + 1 - at);
}

// The first number named key in the text.
double num(const std::string& text, const std::string& key) {
    const std::string name = "\"" + key + "\":";
    const size_t at = text.find(name);
    EXPECT_NE(at, std::string::npos) << key;
    return at == std::string::npos ? 0 : std::strtod(text.c_str() + at + name.size(), nullptr);
}

double hero(const std::string& line, const std::string& key) {
    return num(part(line, "hero"), key);
}
double skivit(const std::string& line, int i, const std::string& key) {
    return num(item(part(line, "skivits"), i), key);
}
double brick(const std::string& line, int i, const std::string& key) {
    return num(item(part(line, "bricks"), i), key);
}
// Where the hero is in the level.
double level_x(const std::string& line) {
    return num(line, "scroll_total") + hero(line, "x");
}

// The first pass at or after from whose line satisfies the test, or -1.
template <typename Test>
int first_pass(const std::vector<std::string>& lines, int from, Test test) {
    for (int pass = from; pass < static_cast<int>(lines.size()); ++pass) {
        if (test(lines[pass]))
            return pass;
    }
    return -1;
}

// After a death: the menu came back on the given pass with the world as at the start.
void expect_fresh_world(const std::string& line) {
    EXPECT_EQ(num(line, "game_mode"), -1);
    EXPECT_EQ(num(line, "score"), 0);
    EXPECT_EQ(num(line, "coins"), 0);
    EXPECT_EQ(num(line, "time_left"), 400);
    EXPECT_EQ(num(line, "scroll_total"), 0);
    EXPECT_EQ(num(line, "death_timer"), 0);
    EXPECT_EQ(hero(line, "state"), 1);
    EXPECT_EQ(hero(line, "x"), 20);
    EXPECT_EQ(hero(line, "y"), 398);
    EXPECT_NE(part(line, "hero").find("\"small\""), std::string::npos);
    EXPECT_EQ(num(line, "hero_is_large"), 0);
    EXPECT_EQ(skivit(line, 0, "x"), 755);
    EXPECT_EQ(skivit(line, 13, "x"), 5930);
    for (int i = 0; i < 14; ++i)
        EXPECT_EQ(skivit(line, i, "state"), 1) << i;
    EXPECT_EQ(num(item(part(line, "qblocks"), 1), "state"), 1);
    EXPECT_EQ(num(part(line, "power_up"), "state"), 0);
}

// After the menu: S starts play again from the start of the level.
void expect_new_game_starts(const std::vector<std::string>& lines, int reset_pass) {
    const int started = first_pass(
        lines, reset_pass, [](const std::string& line) { return num(line, "game_mode") == 0; });
    ASSERT_GT(started, reset_pass);
    EXPECT_EQ(num(lines[started], "time_left"), 399.970001);
    EXPECT_LT(level_x(lines[started]), 30);
    EXPECT_EQ(hero(lines.back(), "state"), 1);
    EXPECT_GT(level_x(lines.back()), level_x(lines[started]));
}

TEST(WorldScripts, TheLevelIsWonFromTheTitleMenu) {
    const auto lines = play(read_text(SCRIPTS + "win_level.txt"), 640);
    ASSERT_EQ(lines.size(), 640u);
    EXPECT_EQ(num(lines[0], "game_mode"), -1);
    const int won =
        first_pass(lines, 0, [](const std::string& l) { return num(l, "level_won") == 1; });
    ASSERT_GT(won, 1);
    for (int pass = 1; pass < won; ++pass)
        ASSERT_EQ(hero(lines[pass], "state"), 1) << pass;
    // Won in the update that starts past 6600.
    EXPECT_GT(level_x(lines[won - 1]), 6600);
    EXPECT_LE(level_x(lines[won - 2]), 6600);
    // Enemies were met on the way: every award is a stomp.
    EXPECT_GE(num(lines[won], "score"), 500);
    // Then everything stands: hero, clock, score and the walking enemies.
    const std::string& last = lines.back();
    EXPECT_EQ(num(last, "game_mode"), 0);
    EXPECT_EQ(part(last, "hero"), part(lines[won], "hero"));
    EXPECT_EQ(num(last, "time_left"), num(lines[won], "time_left"));
    EXPECT_EQ(num(last, "score"), num(lines[won], "score"));
    EXPECT_EQ(skivit(last, 13, "x"), skivit(lines[won + 10], 13, "x"));
}

TEST(WorldScripts, DeathByAnEnemyThenTheMenuAndAFreshGame) {
    const auto lines = play(read_text(SCRIPTS + "enemy_death.txt"), 340);
    const int hurt =
        first_pass(lines, 0, [](const std::string& l) { return hero(l, "state") == 2; });
    ASSERT_GT(hurt, 0);
    EXPECT_EQ(hero(lines[hurt], "frame"), 10);
    EXPECT_EQ(hero(lines[hurt], "vy"), -20);
    EXPECT_EQ(hero(lines[hurt], "vx"), 0);
    // Harmed on the floor: up to top edge 188 after 20 frames, below the screen on the 45th.
    EXPECT_EQ(hero(lines[hurt + 20], "y"), 188);
    const int below =
        first_pass(lines, hurt, [](const std::string& l) { return hero(l, "y") > 480; });
    EXPECT_EQ(below - hurt, 45);
    const int reset =
        first_pass(lines, hurt, [](const std::string& l) { return num(l, "game_mode") == -1; });
    EXPECT_EQ(reset - hurt, 146);
    expect_fresh_world(lines[reset]);
    expect_new_game_starts(lines, reset);
}

// The win script cut at a pass, then walking right: into the next pit.
std::string walk_from(int cut) {
    std::istringstream win(read_text(SCRIPTS + "win_level.txt"));
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

void expect_pit_death(const std::vector<std::string>& lines, int pit_left, int pit_right) {
    const int falls =
        first_pass(lines, 0, [](const std::string& l) { return hero(l, "state") == 2; });
    ASSERT_GT(falls, 0);
    // Over the pit, not killed by anything else: the standing picture, no death jump.
    EXPECT_GE(level_x(lines[falls]), pit_left - 24);
    EXPECT_LE(level_x(lines[falls]), pit_right);
    EXPECT_NE(hero(lines[falls], "frame"), 10);
    EXPECT_GT(hero(lines[falls], "y"), 480);
    const int reset =
        first_pass(lines, falls, [](const std::string& l) { return num(l, "game_mode") == -1; });
    EXPECT_EQ(reset - falls, 102);
    expect_fresh_world(lines[reset]);
}

TEST(WorldScripts, DeathInAPitThenTheMenuAndAFreshGame) {
    const auto lines = play(read_text(SCRIPTS + "pit_death.txt"), 380);
    expect_pit_death(lines, 2370, 2433);
    const int reset = first_pass(lines, 0, [](const std::string& l) {
        return num(l, "game_mode") == -1 && hero(l, "state") == 1 && num(l, "pass") > 2;
    });
    expect_new_game_starts(lines, reset);
}

TEST(WorldScripts, TheOtherTwoPitsSwallowTheHeroToo) {
    expect_pit_death(play(walk_from(235), 420), 2950, 3045);
    expect_pit_death(play(walk_from(440), 600), 5238, 5323);
}

TEST(WorldScripts, PowerUpTakenAndABrickBrokenByTheLargeHero) {
    const auto lines = play(read_text(SCRIPTS + "power_up_brick.txt"), 270);
    const int released = first_pass(
        lines, 0, [](const std::string& l) { return num(part(l, "power_up"), "state") == 1; });
    ASSERT_GT(released, 0);
    EXPECT_EQ(num(item(part(lines[released], "qblocks"), 1), "state"), 0);
    const int grown = first_pass(lines, released,
                                 [](const std::string& l) { return num(l, "hero_is_large") == 1; });
    ASSERT_GT(grown, released);
    EXPECT_EQ(num(lines[grown], "score") - num(lines[grown - 1], "score"), 1000);
    EXPECT_EQ(num(part(lines[grown], "power_up"), "state"), 0);
    EXPECT_NE(part(lines[grown], "hero").find("\"large\""), std::string::npos);
    // Frozen through the form change, which ends in its 32nd drawn frame.
    EXPECT_EQ(num(lines[grown], "morph_timer"), 1);
    EXPECT_EQ(num(lines[grown + 30], "morph_timer"), 31);
    EXPECT_EQ(num(lines[grown + 31], "morph_timer"), 0);
    EXPECT_EQ(hero(lines[grown + 30], "y"), hero(lines[grown], "y"));
    const int broken =
        first_pass(lines, grown, [](const std::string& l) { return brick(l, 1, "state") == 0; });
    ASSERT_GT(broken, grown);
    EXPECT_EQ(num(lines[broken], "score") - num(lines[broken - 1], "score"), 50);
    EXPECT_EQ(num(lines.back(), "hero_is_large"), 1);
    EXPECT_EQ(hero(lines.back(), "state"), 1);
}

TEST(WorldScripts, AChainOfStompsDoublesThePoints) {
    const auto lines = play(read_text(SCRIPTS + "stomp_chain.txt"), 360);
    std::vector<double> awards;
    for (size_t pass = 1; pass < lines.size(); ++pass) {
        for (int i = 0; i < 14; ++i) {
            // A squash is awarded in the next frame's drawing pass.
            if (skivit(lines[pass - 1], i, "state") == 1 && skivit(lines[pass], i, "state") == 2 &&
                pass + 1 < lines.size()) {
                awards.push_back(num(lines[pass + 1], "score") - num(lines[pass], "score"));
            }
        }
    }
    // The first enemy of the run alone, then two in one jump with the key held.
    ASSERT_EQ(awards.size(), 3u);
    EXPECT_EQ(awards[1], 100);
    EXPECT_EQ(awards[2], 200);
    const int doubled =
        first_pass(lines, 300, [](const std::string& l) { return num(l, "stomp_value") == 400; });
    EXPECT_GT(doubled, 300);
}
}  // namespace
