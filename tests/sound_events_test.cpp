// Sound events: every change of state the player should hear raises exactly one sound, on
// the pass the change happens. Whole games are read from the runner's state lines (each
// pass's sounds against the changes between it and the pass before); the rarer events are
// played out on the world directly.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <vector>

#include "engine/sound.h"
#include "engine/sound_ids.h"
#include "platform/headless/headless.h"
#include "tests/test_support.h"
#include "tests/world_test_support.h"

namespace {

using nlohmann::json;
using Sounds = std::multiset<std::string>;

const std::string SCRIPTS = std::string(QUELLARO_SOURCE_DIR) + "/tests/scripts/";

// The state lines of a script played for a number of passes, or until it quits.
std::vector<json> play(const std::string& script_path, int passes) {
    const std::string dir = test_temp_dir();
    const std::string command = std::string(QUELLARO_RUNNER) + " --assets " + QUELLARO_SOURCE_DIR +
                                "/assets --script " + script_path + " --passes " +
                                std::to_string(passes) + " --state " + dir + "/state.jsonl";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    std::vector<json> lines;
    std::ifstream in(dir + "/state.jsonl");
    for (std::string line; std::getline(in, line);)
        lines.push_back(json::parse(line));
    EXPECT_FALSE(lines.empty());
    return lines;
}

std::vector<json> play_text(const std::string& script, int passes) {
    const std::string path = test_temp_dir() + "/script.txt";
    std::ofstream(path) << script;
    return play(path, passes);
}

// Counts the items of an array of objects whose field went from one value to another.
int changed(const json& before, const json& now, const char* array, int from, int to) {
    int count = 0;
    for (size_t i = 0; i < now[array].size(); ++i)
        count += before[array][i]["state"] == from && now[array][i]["state"] == to;
    return count;
}

// The tune for what a pass shows.
std::string music_for(const json& s) {
    if (s["game_mode"] != 0)
        return "title";
    return s["level_won"] == 1 || s["hero"]["state"] == 2 ? "none" : "play";
}

// The sounds the changes from before to now call for, tunes as "music:NAME" (music_before:
// the tune before). A used block bumped changes no state at all, so bumps are left to their
// own test; next (null after the last pass) shows whether a brick began to bounce.
Sounds expected(const json& before, const std::string& music_before, const json& now,
                const json* next) {
    Sounds s;
    auto add = [&s](const std::string& name, int times = 1) {
        for (int i = 0; i < times; ++i)
            s.insert(name);
    };
    const int mode_before = before["game_mode"], mode = now["game_mode"];
    if (mode_before == -1 && mode == -1 && before["menu_selection"] != now["menu_selection"])
        add("menu_move");
    // Leaving play by Escape or by the death is not a menu choice.
    if (mode != mode_before && !(mode_before == 0 && mode == -1))
        add("menu_choose");
    if (music_before != music_for(now))
        add("music:" + music_for(now));

    const int large_before = before["hero_is_large"], large = now["hero_is_large"];
    const int squashed = changed(before, now, "skivits", 1, 2);
    const bool stomped = now["hero"]["vy"] == -10;  // the stomp's bounce, set last in a pass
    if (before["hero_airborne"] == 0 && now["hero_airborne"] == 1 && !stomped)
        add(large_before ? "jump_large" : "jump_small");
    add("coin", std::max(0, now["coins"].get<int>() - before["coins"].get<int>()));
    add("powerup_appear", before["power_up"]["state"] == 0 && now["power_up"]["state"] == 1);
    add("powerup_taken", large_before == 0 && large == 1);
    add("shrink", large_before == 1 && large == 0 && mode == 0);  // not the reset after a death
    add("brick_break", changed(before, now, "bricks", 1, 0));
    if (before["hero"]["state"] == 1 && now["hero"]["state"] == 2)
        add(before["hero"]["y"].get<double>() > 480 ? "pit" : "death");
    add("win", before["level_won"] == 0 && now["level_won"] == 1);
    // Stomps sound the chain step of the points each will be awarded in the next pass:
    // the value now, doubled for each award before it.
    for (int i = 0; i < squashed; ++i) {
        if (stomped)
            add(SOUND_NAMES[sound_stomp(sound_stomp_chain(now["stomp_value"].get<int>() << i))]);
        else
            add("knock");
    }
    if (next && now["bump_step"] == 0 && (*next)["bump_step"] == 1) {
        for (size_t i = 0; i < now["bricks"].size(); ++i)
            add("brick_bounce",
                (*next)["bricks"][i]["y"] == now["bricks"][i]["y"].get<double>() - 2);
    }
    return s;
}

Sounds heard(const json& state) {
    Sounds s;
    for (const std::string name : state["sounds"])
        if (name != "bump")
            s.insert(name);
    return s;
}

// Every pass's sounds as its changes call for; the names of all sounds heard.
std::set<std::string> check_every_pass(const std::vector<json>& lines) {
    std::set<std::string> all;
    json start = lines.at(0);  // the state at start-up: the title menu, no tune yet
    start["game_mode"] = MODE_MENU;
    for (size_t p = 0; p < lines.size(); ++p) {
        const json& before = p ? lines[p - 1] : start;
        const json* next = p + 1 < lines.size() ? &lines[p + 1] : nullptr;
        const Sounds want = expected(before, p ? music_for(before) : "none", lines[p], next);
        EXPECT_EQ(heard(lines[p]), want) << "pass " << p;
        for (const std::string name : lines[p]["sounds"])
            all.insert(name);
    }
    return all;
}

}  // namespace

TEST(SoundEvents, EveryCommittedScriptSoundsEachEventOnceOnItsPass) {
    std::ifstream table(SCRIPTS + "digests.txt");
    std::set<std::string> all;
    for (std::string line; std::getline(table, line);) {
        if (line.empty() || line[0] == '#')
            continue;
        const std::string name = line.substr(0, line.find(' '));
        SCOPED_TRACE(name);
        const int passes = std::atoi(line.c_str() + name.size());
        for (const std::string& sound : check_every_pass(play(SCRIPTS + name + ".txt", passes)))
            all.insert(sound);
    }
    // Between them the scripts sound nearly every effect and every tune change.
    for (const char* name :
         {"menu_move", "menu_choose", "jump_small", "jump_large", "coin", "brick_bounce",
          "brick_break", "powerup_appear", "powerup_taken", "stomp_1", "stomp_2", "death", "pit",
          "win", "music:title", "music:play", "music:none"})
        EXPECT_EQ(all.count(name), 1u) << name;
}

TEST(SoundEvents, AUsedBlockBumpedSoundsAndAShrinkOnce) {
    // The power-up's block bumped again from below once it has released the power-up; on
    // the way, Enter in play on the entry that is showing already changes nothing.
    auto lines = play_text(
        "key 1 S\nkey 20 RETURN\nhold 2 88 RIGHT\nhold 70 74 C\nhold 96 107 C\nhold 116 128 C\n",
        130);
    check_every_pass(lines);
    for (size_t p = 0; p < lines.size(); ++p)
        EXPECT_EQ(lines[p]["sounds"].dump().find("bump") != std::string::npos, p == 124) << p;

    // The large hero walks into an enemy: it shrinks, and the enemies it meets while
    // changing form harm it no more.
    std::ifstream grow(SCRIPTS + "power_up_brick.txt");
    std::string script((std::istreambuf_iterator<char>(grow)), std::istreambuf_iterator<char>());
    lines = play_text(script + "hold 260 470 RIGHT\nhold 296 310 C\nhold 330 344 C\n", 470);
    const auto all = check_every_pass(lines);
    EXPECT_EQ(all.count("shrink"), 1u);
}

namespace {
class WorldSounds : public WorldTest {
  protected:
    void SetUp() override {
        WorldTest::SetUp();
        headless_clear_sounds();
    }
    // The effects raised since the last call, in order.
    static std::vector<std::string> taken() {
        std::vector<std::string> names;
        for (int i = 0; i < headless_sound_count(); ++i) {
            const HeadlessSound s = headless_sound(i);
            if (!s.music)
                names.push_back(SOUND_NAMES[s.id]);
        }
        headless_clear_sounds();
        return names;
    }
    static SpriteObject* enemy(int i, float x, float y) {
        SpriteObject* e = &skivits[i];
        e->state = SKIVIT_WALKING;
        e->x = x;
        e->y = y;
        e->vx = -2;
        e->vy = 0;
        return e;
    }
};
}  // namespace

TEST_F(WorldSounds, StompsRiseAlongAChainAndAfterAKnockOutInTheSamePass) {
    hold_keys({KEY_C});
    for (int k = 0; k < 3; ++k) {
        enemy(k, 200, 398);
        hero->x = 204;
        hero->y = 398 - 32 - 4;
        hero->vy = 4;
        hero_airborne = 1;
        play_world_frame();
        EXPECT_EQ(taken(), std::vector<std::string>{SOUND_NAMES[SOUND_STOMP_1 + k]});
        play_world_frame();
        skivits[k].state = SKIVIT_GONE;
    }
    // Past the last step the chain stays on top: 800 and more.
    enemy(3, 200, 398);
    hero->y = 398 - 32 - 4;
    hero->vy = 4;
    play_world_frame();
    EXPECT_EQ(taken(), std::vector<std::string>{"stomp_4"});
    play_world_frame();
    skivits[3].state = SKIVIT_GONE;

    // A new chain, and an enemy knocked out earlier in the same pass (awarded first, the
    // drawing pass having yet to come): the stomp is worth 200 and sounds a step higher.
    stomp_value = STOMP_FIRST_VALUE;
    SpriteObject* knocked = enemy(4, 400, 398);
    knocked->state = SKIVIT_SQUASHED;
    knocked->aux_state = 0;
    enemy(5, 200, 398);
    hero->y = 398 - 32 - 4;
    hero->vy = 4;
    lock_test_frame();
    skivits_update();
    unlock_test_frame();
    EXPECT_EQ(taken(), std::vector<std::string>{"stomp_2"});
    const int score_before = score;
    play_world_frame();
    EXPECT_EQ(score - score_before, 100 + 200);
}

TEST_F(WorldSounds, HeadBumpsHarmAndFallsSoundOnceEach) {
    // An enemy standing on a brick bumped from below: the bounce and the knock-out.
    bricks[0].x = 300;
    bricks[0].y = 292;
    SpriteObject* on = enemy(0, 300, 259);
    on->vy = 2;
    bump_block(&bricks[0]);
    EXPECT_EQ(taken(), (std::vector<std::string>{"brick_bounce", "knock"}));
    // A fresh question block caught during that bounce releases nothing: it sounds used.
    qblocks[0].x = 400;
    qblocks[0].y = 292;
    bricks_draw();
    bump_block(&qblocks[0]);
    EXPECT_EQ(taken(), std::vector<std::string>{"bump"});
    qblocks_draw();
    EXPECT_TRUE(taken().empty());

    // Harm: large to small once (then immune while changing form), small to dead once.
    hero_grow();
    morph_from = nullptr;
    hero_hurt();
    hero_hurt();
    EXPECT_EQ(taken(), std::vector<std::string>{"shrink"});
    morph_from = nullptr;
    hero_hurt();
    EXPECT_EQ(taken(), std::vector<std::string>{"death"});
}

TEST_F(WorldSounds, ABlockSoundsFromWhereItIsGentlyAndTurnsOfTheSameEffectVary) {
    const int xs[] = {0, 300, 608};
    int pans[3];
    for (int i = 0; i < 3; ++i) {
        bricks[i].x = static_cast<float>(xs[i]);
        bricks[i].y = 292;
        bump_block(&bricks[i]);
        ASSERT_GE(headless_sound_count(), 1);
        pans[i] = headless_sound(0).pan;
        headless_clear_sounds();
        bump_step = 0;
        bumped_block = nullptr;
    }
    EXPECT_LT(pans[0], -40);
    EXPECT_GT(pans[0], -70);  // never from one speaker alone
    EXPECT_NEAR(pans[1], 0, 3);
    EXPECT_GT(pans[2], 40);
    // Far off the screen, still within the gentle range.
    EXPECT_EQ(sound_pan_at(-5000), sound_pan_at(0));
    EXPECT_EQ(sound_pan_at(5000), sound_pan_at(640));

    // Stomps in a row: every variant in turn, then the first again.
    for (int k = 0; k <= SOUND_VARIANTS_MAX; ++k)
        sound_event_from(SOUND_STOMP_1, hero);
    ASSERT_EQ(headless_sound_count(), SOUND_VARIANTS_MAX + 1);
    std::set<int> variants;
    for (int k = 0; k < SOUND_VARIANTS_MAX; ++k)
        variants.insert(headless_sound(k).variant);
    EXPECT_EQ(variants.size(), static_cast<size_t>(SOUND_VARIANTS_MAX));
    EXPECT_EQ(headless_sound(SOUND_VARIANTS_MAX).variant, headless_sound(0).variant);
}
