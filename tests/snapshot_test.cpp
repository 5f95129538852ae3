// The game as a value: every writable global of the game is a block of state or said not to
// be; a snapshot taken at any pass of every committed script and of seeded random play,
// restored over a garbled frame, gives the same passes after it; the saved form goes back in
// a fresh process; and forms that are cut, damaged, foreign or impossible are refused with
// the running game untouched.
#include "shell/snapshot.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "engine/clock.h"
#include "engine/display.h"
#include "platform/headless/headless.h"
#include "platform/script.h"
#include "programs/runner/random_play.h"
#include "shell/app.h"
#include "shell/game_state.h"
#include "shell/savestate.h"
#include "tests/runner_support.h"
#include "tests/temp_dir.h"
#include "tests/test_support.h"
#include "world/level.h"
#include "world/objects.h"
#include "world/world_state.h"

namespace {

// The game's writable globals that are deliberately not state, by "file:global" as nm names
// them, with why.
const char* const NOT_STATE[] = {
    // The program's lifecycle, not the game's: whether it started, runs, its exit code, and
    // the program instance (kept for the window class; an optimised build drops it).
    "app.cpp:exit_code",
    "app.cpp:running",
    "app.cpp:started",
    "app.cpp:main_instance",
    // The picture loader's scratch and kept storage, empty between passes.
    "bitmap.cpp:read_rows_in_place::scrap",
    "bitmap.cpp:spare",
    "bitmap.cpp:spare_capacity",
    "picture.cpp:load_bitmap",
    "picture.cpp:loaded_name",
    // Start-up's diagnostics: the first picture or sound refused.
    "picture.cpp:refused_name",
    "picture.cpp:refused_why",
    "sound.cpp:refused",
    "sound.cpp:refused_why",
    "app.cpp:failed_start",
    // The pace: read at the top of every pass, before anything waits on it.
    "clock.cpp:clock_start_time",
    // The display as start-up made it, the same for every pass: device, surfaces, clippers,
    // mode, clip bounds; the lock's pointers (null between passes); whether frames are shown.
    "display.cpp:back_buffer",
    "display.cpp:back_clipper",
    "display.cpp:back_pitch",
    "display.cpp:back_surface",
    "display.cpp:clip_max_x",
    "display.cpp:clip_max_y",
    "display.cpp:clip_min_x",
    "display.cpp:clip_min_y",
    "display.cpp:display_device",
    "display.cpp:display_palette",
    "display.cpp:display_windowed",
    "display.cpp:lock_desc",
    "display.cpp:main_window_rect",
    "display.cpp:make_rgb16",
    "display.cpp:palette_file_read",
    "display.cpp:pixel_format",
    "display.cpp:primary_buffer",
    "display.cpp:primary_pitch",
    "display.cpp:primary_surface",
    "display.cpp:screen_bpp",
    "display.cpp:screen_height",
    "display.cpp:screen_rect",
    "display.cpp:screen_width",
    "display.cpp:presenting",
    "display.cpp:window_clipper",
    // The display service's pools and limits; what they hold is made at start-up.
    "gfx.cpp:blit_clipped::clip",
    "gfx.cpp:clippers",
    "gfx.cpp:column_source",
    "gfx.cpp:devices",
    "gfx.cpp:memory_limit",
    "gfx.cpp:memory_used",
    "gfx.cpp:palettes",
    "gfx.cpp:primary_palette",
    "gfx.cpp:surfaces",
    // The error log's file, which the game never opens.
    "error_log.cpp:error_log_file",
    "error_log.cpp:log_is_own_file",
    // Tables worked out once, the same every time.
    "fast_math.cpp:cos_table",
    "fast_math.cpp:sin_table",
    "palette_effects.cpp:blink_table",
    "palette_effects.cpp:blink_table_ready",
    // The window and its class, made once; the keys of the pass running, which every pass
    // takes from its record before anything reads them.
    "game.cpp:main_window",
    "window.cpp:class_registered",
    "window.cpp:registered_class",
    "window.cpp:the_window",
    "window.cpp:held_now",
    // Input not yet delivered: it belongs to its source until a pass takes it.
    "input_record.cpp:count",
    "input_record.cpp:head",
    "input_record.cpp:waiting",
    // Pictures read at start-up.
    "menu.cpp:info_images",
    "menu.cpp:menu_images",
    // What each backdrop panel's frame holds: follows backdrop_picture, which is state.
    "scenery.cpp:backdrop_panel_holds",
    // The sounds read and rendered, the device's state and the presentation's switches.
    "sound.cpp:audible",
    "sound.cpp:effect_length",
    "sound.cpp:effect_samples",
    "sound.cpp:effect_start",
    "sound.cpp:effect_used",
    "sound.cpp:frames_shown",
    "sound.cpp:tune_samples",
    "sound.cpp:tune_tried",
    "sound.cpp:quiet",
    "sound.cpp:music_heard",
    // The tunes handed to the audio, the synthesizer's wave tables built once, and the count
    // of tune frames rendered (for the sound's tests).
    "sound.cpp:tune_music",
    "synth.cpp:build::saw",
    "synth.cpp:build::triangle",
    "synth.cpp:waves::w",
    "synth.cpp:waves::built",
    "tracker.cpp:frames_rendered",
    // The serial of temporary files' names; the blit observer of the benchmarks.
    "file_write.cpp:temporary_serial::counter",
    "gfx.cpp:blit_observer",
    // Savestates' own: the data files' names and digest, and the form being read or written.
    "savestate.cpp:data_names",
    "savestate.cpp:data_names_made",
    "savestate.cpp:data_digest",
    "savestate.cpp:data_digest_known",
    "savestate.cpp:savestate_save_file::form",
    "savestate.cpp:savestate_load_file::form",
    "snapshot.cpp:refused",
};

// "file:global" for every writable global of the game library, from nm.
std::set<std::string> writable_globals() {
    const std::string command =
        std::string("nm -A -C -f sysv ") + QUELLARO_GAME_LIBRARY + " 2>/dev/null";
    std::set<std::string> found;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return found;
    char line[4096];
    while (std::fgets(line, sizeof line, pipe)) {
        std::vector<std::string> fields;
        std::stringstream in(line);
        for (std::string field; std::getline(in, field, '|');)
            fields.push_back(field.substr(0, field.find_last_not_of(" \n") + 1));
        if (fields.size() < 7 || fields[3].find("OBJECT") == std::string::npos)
            continue;
        const std::string& section = fields[6];
        if (section != ".data" && section != ".bss" && section != ".tbss" && section != ".tdata" &&
            section != ".data.rel" && section != ".data.rel.local")
            continue;
        // "path/libquellaro_game.a:file.cpp.o:name": the member and the name, without the
        // anonymous namespace and the parameter lists of functions with static locals.
        std::string name = fields[0];
        const size_t member_end = name.find(".o:");
        const size_t member_start = name.rfind(':', member_end) + 1;
        std::string symbol = name.substr(member_end + 3);
        for (size_t at; (at = symbol.find("(anonymous namespace)::")) != std::string::npos;)
            symbol.erase(at, 23);
        for (size_t open; (open = symbol.find('(')) != std::string::npos;) {
            int depth = 0;
            size_t close = open;
            for (; close < symbol.size(); ++close) {
                depth += symbol[close] == '(' ? 1 : symbol[close] == ')' ? -1 : 0;
                if (depth == 0)
                    break;
            }
            symbol.erase(open, close - open + 1);
        }
        // Sanitizers add globals of their own, and the compiler guards of static locals.
        if (symbol.rfind("__", 0) == 0 || symbol.rfind(".L", 0) == 0 ||
            symbol.rfind("guard variable for ", 0) == 0)
            continue;
        found.insert(name.substr(member_start, member_end - member_start) + ":" + symbol);
    }
    pclose(pipe);
    return found;
}

std::set<std::string> declared_state() {
    std::set<std::string> names;
    for (int n = 0; n < game_state_block_count(); ++n) {
        const std::string name = game_state_block(n)->name;
        const std::string file = name.substr(0, name.find(':') + 1);
        std::stringstream globals(name.substr(file.size()));
        for (std::string global; std::getline(globals, global, ',');)
            names.insert(file + global);
    }
    return names;
}

TEST(GameState, EveryWritableGlobalOfTheGameIsStateOrSaidNotToBe) {
    const std::set<std::string> globals = writable_globals();
    ASSERT_GT(globals.size(), 50u) << "nm found too little in " << QUELLARO_GAME_LIBRARY;
    const std::set<std::string> state = declared_state();
    const std::set<std::string> not_state(std::begin(NOT_STATE), std::end(NOT_STATE));
    for (const std::string& global : globals) {
        EXPECT_TRUE(state.count(global) || not_state.count(global))
            << global << " is neither a block of state nor listed as not state";
        EXPECT_FALSE(state.count(global) && not_state.count(global)) << global << " is both";
    }
    // The blocks name only what there is. (What is not state may be optimised away.)
    for (const std::string& name : state)
        EXPECT_TRUE(globals.count(name)) << name << " is a block of no global";
}

// What one pass gives: the state after it, its frame, its sounds, the clock and the cursor.
struct PassSeen {
    std::vector<uint8_t> state;
    std::vector<uint8_t> frame;  // its pixels, then its palette
    std::vector<int> sounds;
    uint32_t tick;
    int cursor;
    bool operator==(const PassSeen&) const = default;
};

PassSeen run_one(const InputRecord& record) {
    clock_start();
    PassSeen seen{};
    EXPECT_EQ(app_run_pass(&record), 1);
    seen.state.resize(GAME_SNAPSHOT_MAX);
    seen.state.resize(game_snapshot(seen.state.data(), seen.state.size()));
    const uint8_t* pixels = headless_frame_pixels();
    const auto* palette = reinterpret_cast<const uint8_t*>(headless_frame_palette());
    seen.frame.assign(pixels, pixels + headless_frame_width() * headless_frame_height());
    seen.frame.insert(seen.frame.end(), palette, palette + 256 * sizeof(PaletteEntry));
    for (int i = 0; i < headless_sound_count(); ++i)
        seen.sounds.push_back(headless_sound(i).music * 1000 + headless_sound(i).id);
    headless_clear_sounds();
    seen.tick = headless_time();
    seen.cursor = headless_cursor_visible();
    clock_wait(30);
    return seen;
}

// A frame the next pass must not read: every pixel the pit colour.
void garble_frames() {
    ASSERT_NE(display_lock_back(), nullptr);
    for (int y = 0; y < screen_height; ++y)
        std::memset(back_buffer + y * back_pitch, PIT_COLOR, screen_width);
    ASSERT_EQ(display_unlock_back(), 1);
    ASSERT_EQ(display_fill_surface(back_surface, PIT_COLOR, nullptr), 1);
}

// Plays passes records make, and every interval passes takes a snapshot, plays span passes,
// restores the snapshot over garbled frames and plays the same records again: the passes
// must be the same. Returns the number of round trips.
template <typename Source>
int round_trips(Source next_record, int passes, int interval, int span) {
    EXPECT_EQ(app_start(nullptr), 1);
    std::vector<uint8_t> snapshot(GAME_SNAPSHOT_MAX);
    int trips = 0;
    for (int pass = 0; pass < passes;) {
        const bool trip =
            pass % interval == 0 && pass + span <= passes && input_queue_length() == 0;
        const uint32_t tick = headless_time();
        if (trip)
            snapshot.resize(game_snapshot(snapshot.data(), GAME_SNAPSHOT_MAX));
        std::vector<InputRecord> records;
        std::vector<PassSeen> first;
        for (int i = 0; i < (trip ? span : 1); ++i, ++pass) {
            records.push_back(next_record(pass));
            first.push_back(run_one(records.back()));
        }
        if (!trip)
            continue;
        const char* why = "";
        EXPECT_EQ(game_restore(snapshot.data(), snapshot.size(), &why), 1) << why;
        headless_set_time(tick);
        headless_clear_sounds();
        garble_frames();
        for (size_t i = 0; i < records.size(); ++i)
            EXPECT_TRUE(run_one(records[i]) == first[i])
                << "pass " << pass - span + static_cast<int>(i) << " after the snapshot";
        ++trips;
        snapshot.resize(GAME_SNAPSHOT_MAX);
    }
    return trips;
}

TEST(GameState, EveryCommittedScriptGoesOnTheSameFromASnapshotAtManyPasses) {
    for (const auto& entry : std::filesystem::directory_iterator(scripts_dir())) {
        if (entry.path().extension() != ".txt" || entry.path().stem() == "digests")
            continue;
        SCOPED_TRACE(entry.path().filename().string());
        Script script;
        ASSERT_EQ(script_parse(read_text_file(entry.path().string()), &script), 0);
        const auto record_of = [&](int pass) {
            InputRecord record;
            script_record(script, pass, &record);
            return record;
        };
        // The passes before the script quits (a quit ends the program, not only the game).
        int passes = 0;
        ASSERT_EQ(app_start(nullptr), 1);
        for (InputRecord record; passes < 640; ++passes) {
            record = record_of(passes);
            if (!app_run_pass(&record))
                break;
        }
        test_tear_down();
        const int trips = round_trips(record_of, passes - 1, 12, 12);
        EXPECT_GT(trips, 3);
        test_tear_down();
    }
}

TEST(GameState, SeededRandomPlayGoesOnTheSameFromASnapshotAtManyPasses) {
    for (uint32_t seed : {1u, 2024u}) {
        SCOPED_TRACE(seed);
        random_play_start(seed);
        const int trips = round_trips(
            [](int) {
                InputRecord record = INPUT_RECORD_EMPTY;
                random_play_pass(&record, &input_queue);
                input_queue_take(&record);
                return record;
            },
            1500, 30, 30);
        EXPECT_GT(trips, 40);
        test_tear_down();
    }
}

}  // namespace
