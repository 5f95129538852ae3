// Savestates: the saved form goes back whole, in this process and in a fresh one (the
// runner's --save-state and --load-state); forms that are cut, damaged, of another version or
// another set of data files, or that hold what the rules never reach, are refused with a
// reason and the running game untouched; files are written whole or not at all.
#include "shell/savestate.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cmath>
#include <cstddef>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "platform/headless/headless.h"
#include "platform/script.h"
#include "shell/app.h"
#include "shell/game_state.h"
#include "shell/snapshot.h"
#include "tests/runner_support.h"
#include "tests/temp_dir.h"
#include "tests/test_support.h"
#include "world/objects.h"

namespace {

// Where the header keeps its fields (the layout the form promises).
constexpr size_t AT_VERSION = 12, AT_DATA = 28, AT_CHECKSUM = 44;

std::vector<uint8_t> snapshot_now() {
    std::vector<uint8_t> bytes(GAME_SNAPSHOT_MAX);
    bytes.resize(game_snapshot(bytes.data(), bytes.size()));
    return bytes;
}

std::vector<uint8_t> form_now(uint32_t ticks = 1234) {
    std::vector<uint8_t> form(SAVESTATE_MAX);
    form.resize(savestate_write(form.data(), form.size(), ticks));
    return form;
}

// The game started on the real pictures and played into the level: the hero large, enemies
// squashed, a block bounced.
void play_into_the_level(int passes) {
    Script script;
    ASSERT_EQ(script_parse(read_text_file(scripts_dir() + "/power_up_brick.txt"), &script), 0);
    ASSERT_EQ(app_start(nullptr), 1);
    for (int pass = 0; pass < passes; ++pass) {
        InputRecord record;
        script_record(script, pass, &record);
        ASSERT_EQ(app_run_pass(&record), 1);
    }
}

// Where block n's values lie in a snapshot.
size_t payload_at(const std::vector<uint8_t>& state, const char* name) {
    size_t at = 0;
    for (int n = 0; n < game_state_block_count(); ++n) {
        uint32_t length;
        std::memcpy(&length, state.data() + at + 4, 4);
        if (std::strcmp(game_state_block(n)->name, name) == 0)
            return at + 8;
        at += 8 + length;
    }
    ADD_FAILURE() << name << " is no block";
    return 0;
}

// A form whose state was changed by edit, sealed again with a good checksum.
std::vector<uint8_t> sealed(std::vector<uint8_t> form,
                            const std::function<void(std::vector<uint8_t>*)>& edit) {
    std::vector<uint8_t> state(form.begin() + SAVESTATE_HEADER, form.end());
    edit(&state);
    std::copy(state.begin(), state.end(), form.begin() + SAVESTATE_HEADER);
    const uint64_t sum = fnv1a(state.data(), state.size());
    std::memcpy(form.data() + AT_CHECKSUM, &sum, sizeof sum);
    return form;
}

void put_int(std::vector<uint8_t>* state, size_t at, int value) {
    std::memcpy(state->data() + at, &value, sizeof value);
}

TEST(Savestate, GoesBackWholeAndRefusesWhatIsNotAStateOfThisGameLeavingTheGameAlone) {
    play_into_the_level(240);
    const std::vector<uint8_t> form = form_now();
    ASSERT_GT(form.size(), SAVESTATE_HEADER);

    struct Bad {
        const char* what;
        std::vector<uint8_t> form;
        const char* why;  // words the reason must hold
    };
    std::vector<Bad> bad;
    bad.push_back({"empty", {}, "not a Quellaro 2005 savestate"});
    for (size_t cut : {size_t{7}, SAVESTATE_HEADER - 1, SAVESTATE_HEADER, form.size() - 1})
        bad.push_back({"cut", std::vector<uint8_t>(form.begin(), form.begin() + cut), ""});
    auto changed = [&](size_t at, std::vector<uint8_t> bytes) {
        std::vector<uint8_t> copy = form;
        std::copy(bytes.begin(), bytes.end(), copy.begin() + static_cast<long>(at));
        return copy;
    };
    bad.push_back({"magic", changed(0, {'Q', 'L', 'R', 'S', 'T', 'A', 'T', 'X'}),
                   "not a Quellaro 2005 savestate"});
    bad.push_back({"version", changed(AT_VERSION, {'0', '.', '9', '.', '0', 0, 0, 0}),
                   "another version of the game (0.9.0, this is"});
    bad.push_back({"format", changed(8, {7, 0, 0, 0}), "another version"});
    bad.push_back({"data", changed(AT_DATA, {1, 2}), "other pictures and sounds"});
    std::vector<uint8_t> flipped = form;
    flipped[SAVESTATE_HEADER + 100] ^= 0x10;
    bad.push_back({"damaged", flipped, "damaged"});
    std::vector<uint8_t> longer = form;
    longer.push_back(0);
    bad.push_back({"longer", longer, "too long"});
    // Sealed again, so that only the state's own checks can refuse them.
    const auto block = [&](const char* name) {
        return payload_at(std::vector<uint8_t>(form.begin() + SAVESTATE_HEADER, form.end()), name);
    };
    bad.push_back({"mode",
                   sealed(form, [&](auto* s) { put_int(s, block("game.cpp:game_mode"), 9); }),
                   "game.cpp:game_mode holds values the game never reaches"});
    bad.push_back({"hero a block",
                   sealed(form,
                          [&](auto* s) {
                              put_int(s, block("objects.cpp:hero"), 3 + 2);  // a question block
                          }),
                   "objects.cpp:hero"});
    bad.push_back(
        {"no sprite",
         sealed(form, [&](auto* s) { put_int(s, block("world_state.cpp:hero_support"), 100000); }),
         "hero_support"});
    const size_t anim_pos = offsetof(SpriteObject, anim_pos);
    bad.push_back(
        {"sequence",
         sealed(form, [&](auto* s) { put_int(s, block("objects.cpp:hero_large") + anim_pos, 4); }),
         "hero_large"});
    const size_t width = offsetof(SpriteObject, width);
    bad.push_back(
        {"size",
         sealed(form, [&](auto* s) { put_int(s, block("objects.cpp:skivits") + width, 640); }),
         "skivits"});
    const size_t x = offsetof(SpriteObject, x);
    bad.push_back({"position",
                   sealed(form,
                          [&](auto* s) {
                              const float nan = std::nanf("");
                              std::memcpy(s->data() + block("objects.cpp:bricks") + x, &nan, 4);
                          }),
                   "bricks"});
    bad.push_back({"queue",
                   sealed(form,
                          [&](auto* s) {
                              put_int(s, block("window.cpp:queue,queue_head,queue_count"), 257);
                          }),
                   "queue"});
    bad.push_back(
        {"tag", sealed(form, [&](auto* s) { (*s)[0] ^= 1; }), "its blocks are not this game's"});

    const std::vector<uint8_t> before = snapshot_now();
    headless_clear_sounds();
    for (const Bad& b : bad) {
        char why[SAVESTATE_WHY_MAX] = "";
        uint32_t ticks = 99;
        EXPECT_EQ(savestate_read(b.form.data(), b.form.size(), &ticks, why, sizeof why), 0)
            << b.what;
        EXPECT_NE(std::string(why).find(b.why), std::string::npos) << b.what << ": " << why;
        EXPECT_NE(why[0], '\0') << b.what;
        EXPECT_EQ(ticks, 99u) << b.what;
    }
    EXPECT_EQ(snapshot_now(), before);
    EXPECT_EQ(headless_sound_count(), 0);

    // The good form still goes back, whatever came between.
    InputRecord record = INPUT_RECORD_EMPTY;
    for (int i = 0; i < 30; ++i)
        ASSERT_EQ(app_run_pass(&record), 1);
    ASSERT_NE(snapshot_now(), before);
    uint32_t ticks = 0;
    char why[SAVESTATE_WHY_MAX] = "";
    ASSERT_EQ(savestate_read(form.data(), form.size(), &ticks, why, sizeof why), 1) << why;
    EXPECT_EQ(ticks, 1234u);
    EXPECT_EQ(snapshot_now(), before);
}

TEST(Savestate, FilesAreWrittenWholeOrNotAtAllAndReadBack) {
    play_into_the_level(150);
    const std::string dir = test_temp_dir();
    const std::string path = dir + "/slot.sav";
    char why[SAVESTATE_WHY_MAX] = "";
    ASSERT_EQ(savestate_save_file(path.c_str(), 77, why, sizeof why), 1) << why;
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    EXPECT_EQ(bytes, form_now(77));

    // A folder that is not there: reported, nothing left behind, the old file as it was.
    const std::string nowhere = dir + "/no/such/folder/slot.sav";
    EXPECT_EQ(savestate_save_file(nowhere.c_str(), 77, why, sizeof why), 0);
    EXPECT_NE(std::string(why).find("cannot write " + nowhere), std::string::npos) << why;
    EXPECT_EQ(savestate_save_file(dir.c_str(), 77, why, sizeof why), 0);  // a folder
    size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        files += entry.is_regular_file();
    EXPECT_EQ(files, 1u);  // the slot alone: nothing half-written left beside it

    const std::vector<uint8_t> saved = snapshot_now();
    InputRecord record = INPUT_RECORD_EMPTY;
    ASSERT_EQ(app_run_pass(&record), 1);
    uint32_t ticks = 0;
    ASSERT_EQ(savestate_load_file(path.c_str(), &ticks, why, sizeof why), 1) << why;
    EXPECT_EQ(ticks, 77u);
    EXPECT_EQ(snapshot_now(), saved);
    EXPECT_EQ(savestate_load_file((dir + "/missing.sav").c_str(), &ticks, why, sizeof why), 0);
    EXPECT_NE(std::string(why).find("cannot read"), std::string::npos) << why;
    // A file longer than any savestate is not read whole, and refused.
    std::ofstream(dir + "/long.sav", std::ios::binary) << std::string(SAVESTATE_MAX + 10, 'x');
    EXPECT_EQ(savestate_load_file((dir + "/long.sav").c_str(), &ticks, why, sizeof why), 0);
}

TEST(Savestate, TheDataDigestCoversEveryFileTheGameReads) {
    // Every file of the data folder but the desktop's own cursor and icons.
    std::set<std::string> on_disk;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(assets_dir())) {
        if (entry.is_regular_file())
            on_disk.insert(std::filesystem::relative(entry.path(), assets_dir()).string());
    }
    for (const char* own : {"cursor.bmp", "cursor_hotspot.txt", "icon16.bmp", "icon32.bmp"})
        EXPECT_EQ(on_disk.erase(own), 1u) << own;
    std::set<std::string> digested;
    for (int i = 0; const char* name = savestate_data_file(i); ++i)
        digested.insert(name);
    EXPECT_EQ(digested, on_disk);
}

// The runner saves the state before a pass in one process and starts from it in another:
// the state lines and frames from there on are those of the run that went straight through.
TEST(Savestate, AStateSavedByTheRunnerGoesOnTheSameInAFreshOne) {
    for (const char* name : {"win_level", "stomp_chain", "pit_death", "menus"}) {
        const std::string script = read_text_file(scripts_dir() + "/" + name + ".txt");
        for (int at : {1, 97, 333}) {
            SCOPED_TRACE(std::string(name) + " from pass " + std::to_string(at));
            RunnerRun straight;
            straight.play(script, "--passes 420 --save-state " + std::to_string(at) + " " +
                                      straight.dir + "/state.sav");
            if (straight.states.size() < static_cast<size_t>(at)) {
                EXPECT_EQ(WEXITSTATUS(straight.status), 1);  // the game quit first
                EXPECT_NE(straight.errors.find("no state saved"), std::string::npos);
                continue;
            }
            ASSERT_EQ(straight.status, 0) << straight.errors;
            RunnerRun resumed;
            resumed.play(script, "--passes 420 --load-state " + straight.dir + "/state.sav");
            ASSERT_EQ(resumed.status, 0) << resumed.errors;
            ASSERT_EQ(resumed.states.size(), straight.states.size() - at);
            for (size_t i = 0; i < resumed.states.size(); ++i)
                ASSERT_EQ(resumed.states[i], straight.states[at + i]) << "pass " << at + i;
        }
    }
}

TEST(Savestate, TheRunnerSaysWhyAStateIsNotSavedOrNotLoaded) {
    RunnerRun run;
    run.play("key 0 S\n", "--passes 5 --save-state 3 " + run.dir + "/no/such/x.sav");
    EXPECT_EQ(WEXITSTATUS(run.status), 1);
    EXPECT_NE(run.errors.find("the state before pass 3 is not saved: cannot write"),
              std::string::npos)
        << run.errors;
    std::ofstream(run.dir + "/junk.sav") << "not a state";
    RunnerRun refused;
    refused.play("", "--passes 5 --load-state " + run.dir + "/junk.sav");
    EXPECT_EQ(WEXITSTATUS(refused.status), 1);
    EXPECT_TRUE(refused.states.empty());
    EXPECT_NE(refused.errors.find("it is not a Quellaro 2005 savestate"), std::string::npos)
        << refused.errors;
}

}  // namespace
