// The SDL backend driven through SDL's own event queue on the dummy video driver: what
// reaches the game from keys, clicks and a gamepad, the port's own keys, the pause, and a
// recording made through this real input path that the headless runner replays to the same
// state and the same last frame.
#include "platform/sdl/sdl_backend.h"

#include <SDL.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "engine/clock.h"
#include "engine/sound_ids.h"
#include "platform/platform.h"
#include "platform/types.h"
#include "programs/common/practice.h"
#include "programs/common/replay_format.h"
#include "programs/desktop/desktop_loop.h"
#include "programs/desktop/recording.h"
#include "shell/app.h"
#include "shell/game_state.h"
#include "shell/snapshot.h"
#include "shell/window.h"
#include "tests/temp_dir.h"
#include "world/objects.h"
#include "world/world_state.h"

namespace {

// What a test does at the top of a pass (after the pause has had its way); true ends the
// loop before that pass runs. And what it looks at after each pass.
std::function<bool(int)> script;
std::function<void(int)> after;

// What the replays' end gave in the last run_game: the verdict's and the recording's status.
int replays_status;

// Runs the real program as the game's entry does (a paced pass at a time, none while
// paused) on the dummy driver, full screen (1024 x 768 there) unless asked, else in a window
// of the size the settings give.
int run_game(std::function<bool(int)> each_pass, int fullscreen = 1, const char* present = "cpu",
             int window_width = 800, int window_height = 600) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 0);  // the tests play nothing aloud
    setenv("QUELLARO_PRESENT", present, 1);
    settings_default(&sdl_settings);
    sdl_settings.fullscreen = fullscreen;
    sdl_settings.window_width = window_width;
    sdl_settings.window_height = window_height;
    sdl_settings.gamepad = 1;
    sdl_settings_path[0] = '\0';
    script = std::move(each_pass);
    EXPECT_EQ(sdl_video_start(), 1);
    if (app_start(nullptr) && desktop_replays_begin()) {
        for (;;) {
            sdl_wait_while_paused(nullptr);
            clock_start();
            const int pass = app_next_pass();
            sdl_pass = pass;
            if (script(pass) || !desktop_pass())
                break;
            if (after)
                after(pass);
            clock_wait(30);
        }
    }
    after = nullptr;
    replays_status = desktop_replays_finish();
    desktop_reset();
    return app_finish();
}

Uint32 window_id() {
    return sdl_window ? SDL_GetWindowID(sdl_window) : 0;
}

void push_key(SDL_Keycode code, bool down, Uint16 mod = 0) {
    SDL_Event e{};
    e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    e.key.windowID = window_id();
    e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.key.keysym.sym = code;
    e.key.keysym.scancode = SDL_GetScancodeFromKey(code);
    e.key.keysym.mod = mod;
    SDL_PushEvent(&e);
}

void tap(SDL_Keycode code, Uint16 mod = 0) {
    push_key(code, true, mod);
    push_key(code, false, mod);
}

// A left click on a frame pixel, placed where the frame is drawn in the window.
void click_frame(int x, int y, int clicks = 1) {
    int w, h;
    const Letterbox box = sdl_frame_box(&w, &h);
    SDL_Event e{};
    e.type = SDL_MOUSEBUTTONDOWN;
    e.button.windowID = window_id();
    e.button.button = SDL_BUTTON_LEFT;
    e.button.state = SDL_PRESSED;
    e.button.clicks = static_cast<Uint8>(clicks);
    e.button.x = box.x + (2 * x + 1) * box.width / (2 * 640);
    e.button.y = box.y + (2 * y + 1) * box.height / (2 * 480);
    SDL_PushEvent(&e);
}

void push_window_event(Uint8 what) {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.windowID = window_id();
    e.window.event = what;
    SDL_PushEvent(&e);
}

void push_quit() {
    SDL_Event e{};
    e.type = SDL_QUIT;
    SDL_PushEvent(&e);
}

std::string field(const std::string& line, const std::string& name) {
    const std::string key = "\"" + name + "\":";
    const size_t at = line.find(key);
    if (at == std::string::npos)
        return "?";
    const size_t start = at + key.size();
    return line.substr(start, line.find_first_of(",}", start) - start);
}

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", value);
    return text;
}

TEST(SdlBackend, KeyNamesAreSdlsOwn) {
    for (int i = 0; keycode_at(i) != 0; i++) {
        const int32_t keycode = keycode_at(i);
        EXPECT_STREQ(SDL_GetKeyName(keycode), keycode_name(keycode)) << keycode;
        EXPECT_EQ(SDL_GetKeyFromName(keycode_name(keycode)), keycode) << keycode_name(keycode);
    }
}

// The player's input through SDL events, recorded as a replay; the runner verifies it and
// ends in the same state with the same last frame; the desktop plays it back to the same end.
TEST(SdlBackend, ARecordingOfRealInputReplaysHeadlessToTheSameStateAndFrame) {
    const std::string dir = make_temp_dir("quellaro-sdl-test");
    const std::string path = dir + "/recording.qrp";
    desktop_record_to(path.c_str());
    std::string live;
    after = [&](int) {
        char text[512];
        std::snprintf(text, sizeof text, "%d %d %d %d %s %s %s %d", game_mode, menu_selection,
                      score, coins, number(time_left).c_str(), number(hero->x).c_str(),
                      number(hero->y).c_str(), scroll_total);
        live = text;
    };
    const int status = run_game([](int pass) {
        switch (pass) {
            case 2:
                tap(SDLK_DOWN);
                break;  // the highlight to HELP...
            case 3:
                tap(SDLK_UP);
                break;  // ...and back
            case 4:
                tap(SDLK_s);
                break;  // play
            case 6:
                push_key(SDLK_RIGHT, true);
                break;
            case 14:
                push_key(SDLK_PAGEDOWN, true);
                break;  // jump, held for height
            case 24:
                push_key(SDLK_PAGEDOWN, false);
                break;
            case 26:
                push_key(SDLK_DELETE, true);
                break;  // run
            case 40:
                push_key(SDLK_RIGHT, false);
                push_key(SDLK_DELETE, false);
                break;
            case 42:
                push_key(SDLK_d, true);
                break;  // the other right key
            case 50:
                push_key(SDLK_d, false);
                break;
            case 52:
                tap(SDLK_ESCAPE);
                break;  // to the menu...
            case 54:
                click_frame(300, 281);
                break;  // ...and the PLAY entry
            case 56:
                push_key(SDLK_c, true);
                break;
            case 60:
                push_key(SDLK_c, false);
                break;
            case 63:
                push_quit();
                break;
        }
        return pass > 80;
    });
    char last_frame[64];
    std::snprintf(last_frame, sizeof last_frame, "%d %016llx", sdl_last_frame_pass(),
                  static_cast<unsigned long long>(sdl_last_frame_digest()));
    EXPECT_EQ(status, 0);
    ASSERT_EQ(replays_status, 0) << "the recording is written whole";

    const std::string command = std::string(QUELLARO_RUNNER) + " --verify " + path + " --state " +
                                dir + "/state.jsonl --frame-digests " + dir + "/digests.txt";
    ASSERT_EQ(std::system(command.c_str()), 0);
    std::ifstream state(dir + "/state.jsonl");
    std::string line, last;
    while (std::getline(state, line))
        last = line;
    const std::string replayed = field(last, "game_mode") + " " + field(last, "menu_selection") +
                                 " " + field(last, "score") + " " + field(last, "coins") + " " +
                                 field(last, "time_left") + " " + field(last, "x") + " " +
                                 field(last, "y") + " " + field(last, "scroll_total");
    EXPECT_EQ(replayed, live);
    // The hero really moved: the recording is not of an idle game.
    EXPECT_NE(field(last, "scroll_total"), "0");
    // The last frame the player saw is the runner's frame of the same pass.
    std::ifstream digests(dir + "/digests.txt");
    bool found = false;
    while (std::getline(digests, line))
        found = found || line == last_frame;
    EXPECT_TRUE(found) << last_frame;
}

// The recording played back on the desktop ends as it was recorded (status 0); the same
// replay with a stretch of its keys changed is judged different (1); a damaged one is
// refused before the game starts.
TEST(SdlBackend, ADesktopReplayEndsAsRecordedAndAnAlteredOneDiffers) {
    const std::string dir = make_temp_dir("quellaro-sdl-test");
    const std::string path = dir + "/recording.qrp";
    desktop_record_to(path.c_str());
    std::string live, replayed;
    std::string* into = &live;
    after = [&](int) {
        *into = std::to_string(score) + " " + number(hero->x) + " " + number(hero->y);
    };
    run_game([](int pass) {
        if (pass == 4)
            tap(SDLK_s);
        if (pass == 6)
            push_key(SDLK_RIGHT, true);
        if (pass == 20)
            push_key(SDLK_PAGEDOWN, true);
        if (pass == 30)
            push_key(SDLK_PAGEDOWN, false);
        if (pass == 70)
            push_key(SDLK_RIGHT, false);
        if (pass == 75)
            tap(SDLK_ESCAPE);
        if (pass == 78)
            tap(SDLK_q);  // the menu's quit: the game ends within the recording
        return pass > 200;
    });
    ASSERT_EQ(replays_status, 0);

    char why[512] = "";
    ASSERT_EQ(desktop_replay_read(path.c_str(), why, sizeof why), DESKTOP_REPLAY_READ) << why;
    into = &replayed;
    std::vector<int> looks;  // the overlay's look: the progress shown changes it every pass
    after = [&](int) {
        *into = std::to_string(score) + " " + number(hero->x) + " " + number(hero->y);
        looks.push_back(desktop_overlay.look(0));
    };
    run_game([](int pass) { return pass > 200; });
    EXPECT_EQ(replays_status, 0);
    EXPECT_EQ(replayed, live);
    ASSERT_GT(looks.size(), 10u);
    EXPECT_NE(looks[0], 0);
    EXPECT_NE(looks[0], looks[1]);

    // The right arrow let go of early: a stretch's keys cleared.
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Replay altered;
    ASSERT_TRUE(replay_decode(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(),
                              &altered, why, sizeof why))
        << why;
    int at = 0, op = 0;
    while (op < altered.ops.count && at + altered.ops.items[op].passes <= 40)
        at += altered.ops.items[op++].passes;
    ASSERT_LT(op, altered.ops.count);
    ASSERT_TRUE(input_held(altered.ops.items[op].record, KEY_RIGHT));
    std::memset(altered.ops.items[op].record.held, 0, sizeof altered.ops.items[op].record.held);
    ReplayBytes changed;
    ASSERT_TRUE(replay_encode(altered, true, &changed));
    replay_free(&altered);
    const std::string altered_path = dir + "/altered.qrp";
    std::ofstream(altered_path, std::ios::binary)
        .write(reinterpret_cast<const char*>(changed.items), changed.count);
    changed.release();
    ASSERT_EQ(desktop_replay_read(altered_path.c_str(), why, sizeof why), DESKTOP_REPLAY_READ);
    run_game([](int pass) { return pass > 200; });
    EXPECT_EQ(replays_status, 1);

    // The same run given as a link's text on the command line.
    const std::string link_command = std::string(QUELLARO_RUNNER) + " --link " + path;
    FILE* pipe = popen(link_command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    char link[8192] = "";
    ASSERT_NE(std::fgets(link, sizeof link, pipe), nullptr);
    pclose(pipe);
    link[std::strcspn(link, "\n")] = '\0';
    const std::string address = std::string("https://example.org/quellaro/") + link;
    ASSERT_EQ(desktop_replay_read(address.c_str(), why, sizeof why), DESKTOP_REPLAY_READ) << why;
    run_game([](int pass) { return pass > 200; });
    EXPECT_EQ(replays_status, 0);

    std::ofstream(dir + "/cut.qrp", std::ios::binary).write(bytes.data(), 100);
    EXPECT_EQ(desktop_replay_read((dir + "/cut.qrp").c_str(), why, sizeof why), DESKTOP_REPLAY_BAD);
    EXPECT_STRNE(why, "");
}

// The title menu's frames repeat: shown once on either path; played frames all show.
TEST(SdlBackend, IdenticalFramesAreNotPresentedAgainOnEitherPath) {
    for (const char* path : {"cpu", "gpu"}) {
        int64_t menu_shown = -1, play_shown = -1;
        run_game(
            [&](int pass) {
                if (pass == 3)  // after the window's own start-up events
                    sdl_frames_shown = 0;
                if (pass == 13) {
                    menu_shown = sdl_frames_shown;
                    tap(SDLK_s);
                    push_key(SDLK_RIGHT, true);  // the world scrolls: every frame differs
                }
                if (pass == 15)
                    sdl_frames_shown = 0;
                if (pass == 25)
                    play_shown = sdl_frames_shown;
                return pass == 25;
            },
            1, path);
        EXPECT_EQ(menu_shown, 0) << path;
        EXPECT_EQ(play_shown, 10) << path;
    }
}

// A size set for a larger display (or by hand) opens a window that fits this one, and stays
// the size the settings keep.
TEST(SdlBackend, AWindowLargerThanTheDisplayOpensWithinItsUsableArea) {
    int width = 0, height = 0;
    SDL_Rect usable = {};
    run_game(
        [&](int) {
            SDL_GetWindowSize(sdl_window, &width, &height);
            SDL_GetDisplayUsableBounds(0, &usable);
            return true;
        },
        0, "cpu", 4000, 3000);
    ASSERT_GT(usable.w, 0);
    EXPECT_EQ(width, usable.w);
    EXPECT_EQ(height, usable.h);
    EXPECT_EQ(sdl_settings.window_width, 4000);
}

TEST(SdlBackend, AltEnterAndTheFunctionKeysNeverReachTheGame) {
    bool windowed_after_alt_enter = false, fullscreen_after_f11 = false;
    int mode_after = 99;
    int scale_before = -1, scale_after = -1;
    run_game([&](int pass) {
        if (pass == 2)
            tap(SDLK_RETURN, KMOD_LALT);  // Enter alone would start the game
        if (pass == 4) {
            windowed_after_alt_enter = !(SDL_GetWindowFlags(sdl_window) & SDL_WINDOW_FULLSCREEN);
            tap(SDLK_F11);
        }
        if (pass == 6) {
            fullscreen_after_f11 = (SDL_GetWindowFlags(sdl_window) & SDL_WINDOW_FULLSCREEN) != 0;
            scale_before = sdl_settings.scale_mode;
            tap(SDLK_F10);
        }
        if (pass == 8) {
            scale_after = sdl_settings.scale_mode;
            mode_after = game_mode;
        }
        return pass == 9;
    });
    EXPECT_TRUE(windowed_after_alt_enter);
    EXPECT_TRUE(fullscreen_after_f11);
    EXPECT_EQ(mode_after, MODE_MENU);
    EXPECT_EQ(scale_before, SCALE_AUTO);
    EXPECT_EQ(scale_after, SCALE_INTEGER);  // 1024 x 768 gives 1x in whole steps: fit showed
}

// No pass runs while paused; the click that ends it and keys pressed meanwhile never reach
// the game; the cursor shows.
TEST(SdlBackend, PauseStopsThePassesAndSwallowsInputUntilItEnds) {
    static int cursor_while_paused, resumed;
    cursor_while_paused = -1;
    resumed = 0;
    float time_before = 0;
    int resumed_before_pass_6 = -1, mode_after = 99;
    run_game([&](int pass) {
        if (pass == 1)
            tap(SDLK_s);
        if (pass == 5) {
            time_before = time_left;
            tap(SDLK_p);  // taken in this pass: pass 6 waits
            SDL_AddTimer(
                300,
                [](Uint32, void*) -> Uint32 {
                    cursor_while_paused = SDL_ShowCursor(SDL_QUERY);
                    tap(SDLK_ESCAPE);     // dropped: the game stays in play
                    resumed = 1;          // (set before the click that ends the pause)
                    click_frame(10, 10);  // ends the pause, reaches nobody
                    return 0;
                },
                nullptr);
        }
        if (pass == 6)
            resumed_before_pass_6 = resumed;
        if (pass == 7) {
            mode_after = game_mode;
            // Passes 5 and 6 ran, nothing between them.
            float expected = time_before;
            for (int i = 0; i < 2; i++)
                expected = static_cast<float>(static_cast<double>(expected) - 0.03);
            EXPECT_EQ(time_left, expected);
        }
        return pass == 8;
    });
    EXPECT_EQ(resumed_before_pass_6, 1);
    EXPECT_EQ(cursor_while_paused, SDL_ENABLE);
    EXPECT_EQ(mode_after, MODE_PLAYING);
}

// The device opens after the first frame; the menu's keys and play sound on it (the
// diagnostics say where each sound starts), the pause holds it, M mutes and unmutes without
// ever reaching the game, and an options page's levels are kept in the settings.
TEST(SdlBackend, SoundFollowsTheGameAndThePauseAndMMutes) {
    static SdlAudioState while_paused;
    static Settings levels_set;
    std::vector<SdlAudioState> seen;
    std::vector<int> modes;
    after = [&](int) {
        seen.push_back(sdl_audio_state());
        modes.push_back(game_mode);
    };
    setenv("QUELLARO_FRAME_STATS", "1", 1);
    testing::internal::CaptureStderr();
    run_game([](int pass) {
        if (pass == 2)
            tap(SDLK_DOWN);  // a menu move
        if (pass == 4)
            tap(SDLK_m);
        if (pass == 6)
            tap(SDLK_UP);
        if (pass == 7)
            tap(SDLK_m);
        if (pass == 8)
            tap(SDLK_s);
        if (pass == 9) {
            sdl_audio_set_levels(140, -5, 1);
            levels_set = sdl_settings;
            sdl_audio_set_levels(100, 70, 0);
        }
        if (pass == 10) {
            tap(SDLK_p);  // taken in this pass: pass 11 waits
            SDL_AddTimer(
                200,
                [](Uint32, void*) -> Uint32 {
                    while_paused = sdl_audio_state();
                    tap(SDLK_p);
                    return 0;
                },
                nullptr);
        }
        return pass == 12;
    });
    const std::string said = testing::internal::GetCapturedStderr();
    unsetenv("QUELLARO_FRAME_STATS");
    ASSERT_EQ(seen.size(), 12u);
    EXPECT_EQ(seen[0].open, 0);  // the first frame does not wait for the device
    EXPECT_EQ(seen[1].open, 1);
    EXPECT_EQ(seen[1].music, 1);  // the title's tune, from the device's opening
    EXPECT_EQ(seen[4].muted, 1);
    EXPECT_EQ(seen[7].muted, 0);
    // Muted sounds play on unheard: the move in pass 6 starts like the one in pass 2.
    std::string starts;
    for (size_t at = said.find("sound: pass "); at != std::string::npos;
         at = said.find("sound: pass ", at + 1)) {
        int pass = 0, id = 0;
        char what[16] = "";
        if (std::sscanf(said.c_str() + at, "sound: pass %d %15s %d", &pass, what, &id) == 3)
            starts += std::to_string(pass) + what + std::to_string(id) + " ";
    }
    char want[128];
    std::snprintf(want, sizeof want, "1tune%d 2effect%d 6effect%d 8effect%d 8tune%d ", MUSIC_TITLE,
                  SOUND_MENU_MOVE, SOUND_MENU_MOVE, SOUND_MENU_CHOOSE, MUSIC_PLAY);
    EXPECT_EQ(starts, want) << said;
    EXPECT_EQ(modes[7], MODE_MENU);  // M is no key of the game
    EXPECT_EQ(levels_set.effects_volume, 100);
    EXPECT_EQ(levels_set.music_volume, 0);
    EXPECT_EQ(levels_set.muted, 1);
    EXPECT_EQ(modes[8], MODE_PLAYING);
    EXPECT_EQ(seen[10].paused, 1);
    EXPECT_EQ(while_paused.paused, 1);
    EXPECT_EQ(seen[11].paused, 0);
    EXPECT_EQ(seen[11].music, 1);
    EXPECT_EQ(sdl_audio_state().open, 0);  // closed with the game
}

// The audio library's own complaints (ALSA's, with no such device) do not reach standard
// error when the game says itself why it is silent.
TEST(SdlBackend, WithoutASoundDeviceTheGameRunsSilentlyAndSaysSoOnceInItsOwnWords) {
    for (const char* driver : {"no-such-driver", "alsa"}) {
        setenv("SDL_AUDIODRIVER", driver, 1);
        setenv("AUDIODEV", "quellaro_no_such_device", 1);
        testing::internal::CaptureStderr();
        int passes = 0;
        run_game([&](int pass) {
            passes = pass;
            if (pass == 2)
                tap(SDLK_s);
            return pass == 6;
        });
        const std::string said = testing::internal::GetCapturedStderr();
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        unsetenv("AUDIODEV");
        EXPECT_EQ(passes, 6) << driver;
        const size_t first = said.find("Quellaro 2005: no sound (");
        ASSERT_NE(first, std::string::npos) << driver << ": " << said;
        EXPECT_EQ(first, 0u) << driver << ": " << said;
        EXPECT_EQ(said.find('\n'), said.size() - 1) << driver << ": " << said;
        EXPECT_NE(said.find("runs silently"), std::string::npos) << driver << ": " << said;
    }
}

TEST(SdlBackend, LosingFocusPausesPlayButNotTheMenuAndFocusBackKeepsThePause) {
    static int paused_after_focus_back;
    paused_after_focus_back = -1;
    int paused_in_menu = -1, seen_before_pass_6 = -1;
    run_game([&](int pass) {
        if (pass == 1)
            push_window_event(SDL_WINDOWEVENT_FOCUS_LOST);
        if (pass == 3) {
            paused_in_menu = sdl_paused;
            tap(SDLK_s);
        }
        if (pass == 5) {
            push_window_event(SDL_WINDOWEVENT_FOCUS_LOST);
            SDL_AddTimer(
                100,
                [](Uint32, void*) -> Uint32 {
                    push_window_event(SDL_WINDOWEVENT_FOCUS_GAINED);
                    return 0;
                },
                nullptr);
            SDL_AddTimer(
                300,
                [](Uint32, void*) -> Uint32 {
                    paused_after_focus_back = sdl_paused;
                    tap(SDLK_p);
                    return 0;
                },
                nullptr);
        }
        if (pass == 6)
            seen_before_pass_6 = paused_after_focus_back;
        return pass == 7;
    });
    EXPECT_EQ(paused_in_menu, 0);
    EXPECT_EQ(seen_before_pass_6, 1);  // still paused with the focus back, until P
}

TEST(SdlBackend, AKeyPressedAndReleasedWithinOnePassIsHeldForTheNextPassOnly) {
    std::vector<int> right;
    float x_before = 0, x_after = 0;
    after = [&](int pass) {
        right.push_back(window_key_held(KEY_RIGHT));
        if (pass == 2)
            x_before = hero->x;
        if (pass == 3)
            x_after = hero->x;
    };
    run_game([&](int pass) {
        if (pass == 1)
            tap(SDLK_s);
        if (pass == 3)
            tap(SDLK_RIGHT);  // down and up again before the pass reads the keys
        return pass == 5;
    });
    EXPECT_EQ(right, (std::vector<int>{0, 0, 0, 1, 0}));
    // The game saw the tap: the hero took a step.
    EXPECT_GT(x_after, x_before);
}

TEST(SdlBackend, RemappedKeysDriveTheHeldQueryAndTheMenu) {
    int mode_after_s = 99, mode_after_f = 99;
    std::vector<int> held_then, held_later;
    auto held = [] {
        return std::vector<int>{window_key_held(KEY_NEXT), window_key_held(KEY_C),
                                window_key_held(KEY_RIGHT), window_key_held(KEY_D)};
    };
    after = [&](int pass) {
        if (pass == 1)
            mode_after_s = game_mode;
        if (pass == 4)
            held_then = held();
        if (pass == 5)
            held_later = held();
    };
    run_game([&](int pass) {
        if (pass == 0) {
            // As settings.ini would say: jump = Space; start = F.
            sdl_settings.keys.keys[ROLE_JUMP][0] = SDLK_SPACE;
            sdl_settings.keys.keys[ROLE_JUMP][1] = 0;
            sdl_settings.keys.keys[ROLE_START][0] = SDLK_f;
        }
        if (pass == 1)
            tap(SDLK_s);  // no longer starts the game
        if (pass == 2)
            tap(SDLK_f);
        if (pass == 3)
            mode_after_f = game_mode;
        if (pass == 4) {
            push_key(SDLK_SPACE, true);
            push_key(SDLK_d, true);
        }
        if (pass == 5) {
            push_key(SDLK_PAGEDOWN, true);
            push_key(SDLK_SPACE, false);
        }
        return pass == 6;
    });
    EXPECT_EQ(mode_after_s, MODE_MENU);
    EXPECT_EQ(mode_after_f, MODE_PLAYING);
    // Both of the game's jump keys answer to Space, both right keys to D.
    EXPECT_EQ(held_then, (std::vector<int>{1, 1, 1, 1}));
    EXPECT_EQ(held_later, (std::vector<int>{0, 0, 1, 1}));  // Page Down no longer jumps
}

TEST(SdlBackend, AGamepadPlaysLikeTheKeyboard) {
    SDL_Joystick* pad = nullptr;
    int mode_after_south = 99, jump_held_from_menu = -1, right_by_dpad = -1, right_by_stick = -1;
    int jump_pressed_in_play = -1, mode_after_back = 99;
    after = [&](int pass) {
        if (pass == 6)
            jump_held_from_menu = window_key_held(KEY_NEXT);
        if (pass == 9)
            right_by_dpad = window_key_held(KEY_RIGHT);
        if (pass == 11)
            right_by_stick = window_key_held(KEY_D);
        if (pass == 13)
            jump_pressed_in_play = window_key_held(KEY_C);
    };
    // The dummy driver's window never has the keyboard's focus, and SDL drops pad presses
    // that come while no window of the program has it.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    run_game([&](int pass) {
        if (pass == 2) {  // the pads are looked for after the first frame
            SDL_VirtualJoystickDesc desc{};
            desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
            desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
            desc.naxes = SDL_CONTROLLER_AXIS_MAX;
            desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
            desc.name = "test pad";
            pad = SDL_JoystickOpen(SDL_JoystickAttachVirtualEx(&desc));
        }
        if (pass == 4)
            SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_A, 1);  // PLAY, held on
        if (pass == 6)
            mode_after_south = game_mode;
        if (pass == 8) {
            SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_A, 0);
            SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_DPAD_RIGHT, 1);
        }
        if (pass == 10) {
            SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_DPAD_RIGHT, 0);
            SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTX, 20000);
        }
        if (pass == 12) {
            SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTX, 0);
            SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_A, 1);
        }
        if (pass == 14)
            SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_BACK, 1);
        if (pass == 16)
            mode_after_back = game_mode;
        return pass == 17;
    });
    EXPECT_NE(pad, nullptr);
    EXPECT_EQ(mode_after_south, MODE_PLAYING);
    EXPECT_EQ(jump_held_from_menu, 0);
    EXPECT_EQ(right_by_dpad, 1);
    EXPECT_EQ(right_by_stick, 1);
    EXPECT_EQ(jump_pressed_in_play, 1);
    EXPECT_EQ(mode_after_back, MODE_MENU);
}

}  // namespace

namespace {

// The quick-save slot in memory.
std::vector<uint8_t> slot_bytes;
int store_slot(const uint8_t* form, size_t size, char*, size_t) {
    slot_bytes.assign(form, form + size);
    return 1;
}
size_t fetch_slot(uint8_t* out, size_t room, char* why, size_t) {
    why[0] = '\0';
    if (slot_bytes.empty() || slot_bytes.size() > room)
        return 0;
    std::memcpy(out, slot_bytes.data(), slot_bytes.size());
    return slot_bytes.size();
}
const PracticeSlot memory_slot = {store_slot, fetch_slot};

// The game with the desktop's practice tools and overlay, as desktop_run has them.
void with_practice(const std::function<void()>& run) {
    slot_bytes.clear();
    ASSERT_EQ(practice_start(&memory_slot), 1);
    sdl_set_overlay(&desktop_overlay);
    run();
    sdl_set_overlay(nullptr);
    practice_stop();
}

// The window's pixel over frame pixel (x, y), as shown (the processor's path).
Uint32 shown_pixel(int x, int y) {
    int w, h;
    const Letterbox box = sdl_frame_box(&w, &h);
    SDL_Surface* surface = SDL_GetWindowSurface(sdl_window);
    if (surface == nullptr || surface->format->BytesPerPixel != 4)
        return 0;
    const int wx = box.x + (2 * x + 1) * box.width / (2 * 640);
    const int wy = box.y + (2 * y + 1) * box.height / (2 * 480);
    return static_cast<const Uint32*>(surface->pixels)[wy * surface->pitch / 4 + wx] & 0xFFFFFF;
}

std::vector<uint8_t> state_now() {
    std::vector<uint8_t> bytes(GAME_SNAPSHOT_MAX);
    bytes.resize(game_snapshot(bytes.data(), bytes.size()));
    return bytes;
}

}  // namespace

// F5 and F9 reach the program, not the game: the load goes back to the pass the save was
// made before; Backspace held steps back a pass at a time. (Pass numbers go back with them:
// the script counts the loop's turns.)
TEST(SdlBackend, QuickSaveQuickLoadAndRewindKeysWorkThePracticeTools) {
    int next_after_load = -1, next_before_rewind = -1, next_after_rewind = -1;
    int turn = 0;
    with_practice([&] {
        run_game([&](int) {
            if (turn == 1)
                tap(SDLK_s);
            if (turn == 2)
                push_key(SDLK_RIGHT, true);
            if (turn == 10)
                tap(SDLK_F5);
            if (turn == 20) {
                next_before_rewind = app_next_pass();
                push_key(SDLK_BACKSPACE, true);
            }
            if (turn == 30)
                push_key(SDLK_BACKSPACE, false);
            if (turn == 31)
                next_after_rewind = app_next_pass();
            if (turn == 35)
                tap(SDLK_F9);
            if (turn == 36)
                next_after_load = app_next_pass();
            return turn++ == 37;
        });
    });
    // The state before pass 10 came back, and pass 10 ran again.
    EXPECT_EQ(next_after_load, 11);
    // Ten turns of rewind, ten passes back; the turn that let go played one.
    EXPECT_EQ(next_after_rewind, next_before_rewind - 10 + 1);
    EXPECT_GT(slot_bytes.size(), 0u);
}

TEST(SdlBackend, FrameAdvanceWhilePausedRunsExactlyOnePassAndThePauseGoesOn) {
    static int paused_in_stepped_passes;
    paused_in_stepped_passes = 0;
    float time_before = 0, time_after = 0;
    with_practice([&] {
        after = [&](int pass) {
            if (pass >= 6 && pass <= 7)
                paused_in_stepped_passes += sdl_paused;
        };
        run_game([&](int pass) {
            if (pass == 1)
                tap(SDLK_s);
            if (pass == 5) {
                tap(SDLK_p);
                time_before = time_left;
                // While paused: two single passes, then play on.
                SDL_AddTimer(
                    200,
                    [](Uint32, void*) -> Uint32 {
                        tap(SDLK_F6);
                        return 0;
                    },
                    nullptr);
                SDL_AddTimer(
                    400,
                    [](Uint32, void*) -> Uint32 {
                        tap(SDLK_F6);
                        return 0;
                    },
                    nullptr);
                SDL_AddTimer(
                    700,
                    [](Uint32, void*) -> Uint32 {
                        tap(SDLK_p);
                        return 0;
                    },
                    nullptr);
            }
            if (pass == 8)
                time_after = time_left;
            return pass == 9;
        });
    });
    // Passes 5, 6 and 7: the one that paused and the two stepped, each one played frame.
    float expected = time_before;
    for (int i = 0; i < 3; i++)
        expected = static_cast<float>(static_cast<double>(expected) - 0.03);
    EXPECT_EQ(time_after, expected);
    EXPECT_EQ(paused_in_stepped_passes, 2);
}

// The note is drawn over the frame as it is shown: the game's frame (its digest) and its
// state are those of a run without it.
TEST(SdlBackend, ANoteShowsOverTheFrameAndLeavesTheGamesFrameAndStateAlone) {
    struct Run {
        std::vector<uint64_t> digests;
        std::vector<std::vector<uint8_t>> states;
        Uint32 note_pixel = 0;
    };
    Run runs[2];
    for (int noted = 0; noted < 2; noted++) {
        Run& run = runs[noted];
        with_practice([&] {
            after = [&](int pass) {
                run.digests.push_back(sdl_last_frame_digest());
                run.states.push_back(state_now());
                if (pass == 14)
                    run.note_pixel = shown_pixel(320 - 40, 60);
            };
            run_game([&](int pass) {
                if (pass == 1)
                    tap(SDLK_s);
                if (pass == 2)
                    push_key(SDLK_RIGHT, true);
                if (pass == 12 && noted)
                    tap(SDLK_F7);  // "0.5x": only the time between passes changes
                return pass == 16;
            });
        });
    }
    EXPECT_EQ(runs[0].digests, runs[1].digests);
    EXPECT_TRUE(runs[0].states == runs[1].states);
    EXPECT_NE(runs[0].note_pixel, runs[1].note_pixel);
    // The note's box is the sky dimmed twice: dark.
    const Uint32 p = runs[1].note_pixel;
    EXPECT_LT((p >> 16 & 0xFF) + (p >> 8 & 0xFF) + (p & 0xFF), 3u * 80u) << std::hex << p;
}
