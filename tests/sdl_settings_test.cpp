// The settings file and the command line: round trips, bad lines reported by number and
// skipped, remapped keys, the atomic write; every form of every option.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/file_write.h"
#include "platform/sdl/letterbox.h"
#include "platform/sdl/settings.h"
#include "programs/desktop/options.h"
#include "tests/test_support.h"

namespace {

struct Complaints {
    std::vector<int> lines;
    std::vector<std::string> messages;
};

void collect(void* context, int line, const char* message) {
    auto* c = static_cast<Complaints*>(context);
    c->lines.push_back(line);
    c->messages.push_back(message);
}

bool same(const Settings& a, const Settings& b) {
    return a.fullscreen == b.fullscreen && a.window_width == b.window_width &&
           a.window_height == b.window_height && a.scale_mode == b.scale_mode &&
           a.colours == b.colours && a.gamepad == b.gamepad &&
           a.effects_volume == b.effects_volume && a.music_volume == b.music_volume &&
           a.muted == b.muted && a.show_timer == b.show_timer && a.show_ghost == b.show_ghost &&
           a.speed == b.speed && std::memcmp(&a.keys, &b.keys, sizeof a.keys) == 0 &&
           std::memcmp(&a.pads, &b.pads, sizeof a.pads) == 0;
}

int parse(const std::string& text, Settings* settings, Complaints* complaints) {
    return settings_parse(text.data(), text.size(), settings, collect, complaints);
}

TEST(SdlSettings, WhatIsWrittenReadsBackTheSame) {
    Settings defaults;
    settings_default(&defaults);
    Settings changed = defaults;
    changed.fullscreen = 0;
    changed.window_width = 1366;
    changed.window_height = 700;
    changed.scale_mode = SCALE_FIT;
    changed.colours = 2;
    changed.gamepad = 0;
    changed.keys.keys[ROLE_JUMP][0] = KEYCODE_SPACE;
    changed.keys.keys[ROLE_JUMP][1] = 0x40000000 | 225;  // Left Shift
    changed.keys.keys[ROLE_LEFT][1] = 0;
    changed.keys.keys[ROLE_PAUSE][1] = KEYCODE_F12;
    changed.keys.keys[ROLE_MUTE][0] = KEYCODE_F10;
    changed.effects_volume = 0;
    changed.music_volume = 100;
    changed.muted = 1;
    changed.show_timer = 1;
    changed.show_ghost = 1;
    changed.keys.keys[ROLE_GHOST][0] = 'k';
    changed.speed = 75;
    changed.keys.keys[ROLE_TIMER][0] = KEYCODE_F9;
    changed.pads.buttons[ROLE_JUMP] = PAD_NORTH | PAD_RIGHT_SHOULDER;
    changed.pads.buttons[ROLE_QUICK_LOAD] = 0;
    changed.pads.buttons[ROLE_HELP] = PAD_LEFT_SHOULDER;
    for (const Settings& original : {defaults, changed}) {
        char text[8192];
        const size_t length = settings_format(&original, text, sizeof text);
        ASSERT_GT(length, 0u);
        Settings read;
        settings_default(&read);
        Complaints complaints;
        EXPECT_EQ(settings_parse(text, length, &read, collect, &complaints), 0)
            << (complaints.messages.empty() ? "" : complaints.messages[0]);
        EXPECT_TRUE(same(read, original)) << text;
    }
    char tiny[64];
    EXPECT_EQ(settings_format(&defaults, tiny, sizeof tiny), 0u);
    // The game's speed: only the assist's own speeds are taken, and full speed is not written,
    // so a file that never had the line reads as it did.
    Settings read = defaults;
    Complaints complaints;
    EXPECT_EQ(parse("[display]\nspeed = 33\nspeed = 50\nspeed = 75%\n", &read, &complaints), 2);
    EXPECT_EQ(complaints.lines, (std::vector<int>{2, 4}));
    EXPECT_EQ(read.speed, 50);
    EXPECT_EQ(defaults.speed, 100);
    char text[8192];
    const size_t length = settings_format(&defaults, text, sizeof text);
    EXPECT_EQ(std::string(text, length).find("speed"), std::string::npos);
}

TEST(SdlSettings, BadLinesAreReportedByNumberAndSkippedWhileTheRestApplies) {
    Settings s;
    settings_default(&s);
    Complaints c;
    const std::string text =
        "orphan = 1\n"            // 1: before any section
        "[display]\n"             // 2
        "fullscreen = maybe\n"    // 3: bad value
        "window = 800by600\n"     // 4: bad size
        "scale = fit\n"           // 5: good
        "colours = blue\n"        // 6: not a filter's name
        "no equals sign\n"        // 7
        "[keys]\n"                // 8
        "jump = Space, Spcae\n"   // 9: one unknown key name, the other applies
        "run = Nothing\n"         // 10: no known key: run keeps its keys
        "fly = F\n"               // 11: unknown action
        "left =\n"                // 12: no value
        "[colours]\n"             // 13: unknown section...
        "volume = 3\n"            // ...whose lines are skipped quietly
        "[gamepad]  # pads\n"     // 15
        "enabled = off # now\n"   // 16
        "[broken\n"               // 17
        "   \n# comment\r\n"      // 18, 19
        "[Sound]\n"               // 20
        "effects = 101\n"         // 21: above 100
        "music = 40%\n"           // 22: not a bare number
        "music = -1\n"            // 23
        "mute = loud\n"           // 24
        "volume = 5\n"            // 25: unknown setting
        "effects = 35\n"          // 26: good
        "MUTE = yes\n"            // 27: good
        "mute = \x1b]0;x\x07\n"   // 28: echoed escaped, never as the terminal's commands
        "[gamepad]\n"             // 29
        "jump = North, Nrth\n"    // 30: one unknown button, the other applies
        "run = Trigger\n"         // 31: no known button: run keeps its buttons
        "pause = none\n"          // 32: good
        "rewind = West, East\n";  // 33: good
    EXPECT_EQ(parse(text, &s, &c), 19);
    EXPECT_EQ(c.lines, (std::vector<int>{1, 3, 4, 6, 7, 9, 10, 11, 12, 13, 17, 21, 22, 23, 24, 25,
                                         28, 30, 31}));
    EXPECT_NE(c.messages[17].find("no pad button is called \"Nrth\"; the line's other"),
              std::string::npos);
    EXPECT_EQ(s.pads.buttons[ROLE_JUMP], static_cast<uint32_t>(PAD_NORTH));
    EXPECT_EQ(s.pads.buttons[ROLE_RUN], static_cast<uint32_t>(PAD_WEST | PAD_EAST));
    EXPECT_EQ(s.pads.buttons[ROLE_PAUSE], 0u);
    EXPECT_EQ(s.pads.buttons[ROLE_REWIND], static_cast<uint32_t>(PAD_WEST | PAD_EAST));
    EXPECT_NE(c.messages[16].find("not \"\\x1b]0;x\\x07\""), std::string::npos) << c.messages[16];
    EXPECT_NE(c.messages[11].find("percent from 0 to 100, not \"101\""), std::string::npos);
    EXPECT_EQ(s.effects_volume, 35);
    EXPECT_EQ(s.music_volume, 70);  // the default, every music line having been refused
    EXPECT_EQ(s.muted, 1);
    EXPECT_NE(c.messages[5].find("Spcae"), std::string::npos);
    EXPECT_EQ(s.fullscreen, 1);
    EXPECT_EQ(s.window_width, 0);
    EXPECT_EQ(s.scale_mode, SCALE_FIT);
    EXPECT_EQ(s.gamepad, 0);
    EXPECT_EQ(s.keys.keys[ROLE_JUMP][0], KEYCODE_SPACE);
    EXPECT_EQ(s.keys.keys[ROLE_JUMP][1], 0);
    Settings defaults;
    settings_default(&defaults);
    EXPECT_EQ(std::memcmp(s.keys.keys[ROLE_RUN], defaults.keys.keys[ROLE_RUN],
                          sizeof s.keys.keys[ROLE_RUN]),
              0);
}

TEST(SdlSettings, OddInputNeverOverrunsOrStops) {
    Settings s;
    settings_default(&s);
    Complaints c;
    std::string text = "[keys]\njump = " + std::string(2000, 'x') + "\n";
    const char zero_inside[] = "[display]\nscale = integer\0junk\n";
    text += std::string(zero_inside, sizeof(zero_inside) - 1);
    // Larger than any display: refused.
    text += "window = 8193x600\nwindow = 640x480";  // no newline at the end
    parse(text, &s, &c);
    EXPECT_EQ(c.lines, (std::vector<int>{2, 4, 5}));
    EXPECT_EQ(s.scale_mode, SCALE_AUTO);  // the line with a zero byte is refused whole
    EXPECT_EQ(s.window_width, 640);
    EXPECT_EQ(s.keys.keys[ROLE_UP][0], KEYCODE_UP);
    // Five keys for one action: the fifth is reported and left out.
    c = {};
    parse("[keys]\nup = A, B, C, D, E\n", &s, &c);
    EXPECT_EQ(c.lines, std::vector<int>{2});
    EXPECT_EQ(s.keys.keys[ROLE_UP][3], 'd');
}

TEST(SdlSettings, FilesAreFoundLoadedAndReplacedWhole) {
    char path[512];
    ASSERT_EQ(settings_path("/cfg", "/home/p", path, sizeof path), 1);
    EXPECT_STREQ(path, "/cfg/quellaro/settings.ini");
    ASSERT_EQ(settings_path("relative", "/home/p", path, sizeof path), 1);
    EXPECT_STREQ(path, "/home/p/.config/quellaro/settings.ini");
    EXPECT_EQ(settings_path(nullptr, nullptr, path, sizeof path), 0);

    const std::string dir = test_temp_dir();
    const std::string file = dir + "/deep/er/settings.ini";
    Settings s;
    settings_default(&s);
    Complaints c;
    EXPECT_EQ(settings_load(file.c_str(), &s, collect, &c), 0);  // none yet: defaults

    // The folders are made, and what is read is what was written.
    s.scale_mode = SCALE_INTEGER;
    s.fullscreen = 0;
    char why[FILE_WHY_MAX] = "";
    ASSERT_EQ(settings_save(file.c_str(), &s, nullptr, why, sizeof why), 1) << why;
    Settings read;
    settings_default(&read);
    EXPECT_EQ(settings_load(file.c_str(), &read, collect, &c), 1);
    EXPECT_TRUE(same(read, s));
    EXPECT_TRUE(c.lines.empty());

    // Where the file cannot be put, the save says why.
    std::filesystem::create_directories(dir + "/taken/settings.ini");
    EXPECT_EQ(settings_save((dir + "/taken/settings.ini").c_str(), &s, nullptr, why, sizeof why),
              0);
    EXPECT_STREQ(why, std::strerror(EISDIR));
    std::ofstream(dir + "/plain") << "x";
    EXPECT_EQ(settings_save((dir + "/plain/settings.ini").c_str(), &s, nullptr, why, sizeof why),
              0);
    EXPECT_NE(std::string(why).find(std::strerror(ENOTDIR)), std::string::npos) << why;
}

// The game's rewrite of a file loses nothing the player wrote: comments stay in their
// sections, and every line it did not use comes back under a comment saying why, to be
// reported again; the game's own values come after them, so they win.
TEST(SdlSettings, WhatTheGameDidNotUseIsWrittenBackUnderItsReason) {
    const std::string file =
        "# my settings, by hand\n"
        "[display]\n"
        "fullscreen = no   # I like windows\n"
        "vsync = on\n"
        "[keys]\n"
        "jump = Space, Spcae\n"
        "[video]   # from a newer version\n"
        "gamma = 2.2\n"
        "# under video\n"
        "[sound]\n"
        "music = 150\n"
        "\n"
        "effects = 40\n";
    Settings s;
    settings_default(&s);
    Complaints c;
    static SettingsKept kept;
    EXPECT_EQ(settings_parse(file.data(), file.size(), &s, collect, &c, &kept), 4);
    EXPECT_EQ(s.fullscreen, 0);
    EXPECT_EQ(s.effects_volume, 40);
    s.keys.keys[ROLE_JUMP][0] = 'c';  // changed while playing
    static char text[SETTINGS_FILE_MAX];
    const size_t length = settings_format(&s, text, sizeof text, &kept);
    ASSERT_GT(length, 0u);
    const std::string written(text, length);
    const auto at = [&](const std::string& part) {
        const size_t where = written.find(part);
        EXPECT_NE(where, std::string::npos) << part << "\n" << written;
        return where;
    };
    EXPECT_LT(at("\n# my settings, by hand\n"), at("[display]"));
    EXPECT_LT(at("[display]"), at("# I like windows\n"));
    EXPECT_LT(at("# I like windows\n"), at("[keys]"));
    at("# Not used: no display setting is called \"vsync\"; the line is skipped\nvsync = on\n");
    EXPECT_LT(at("# Not used: no key is called \"Spcae\"; the line's other keys apply\n"
                 "jump = Space, Spcae\n"),
              at("\njump = C\n"));
    at("# Not used: music must be a percent from 0 to 100, not \"150\"; the line is skipped\n"
       "music = 150\n");
    // The section the game does not know comes last, whole, under its reason.
    EXPECT_GT(at("\n\n# Not used: no section is called [video]; its lines are skipped\n"
                 "[video]   # from a newer version\ngamma = 2.2\n# under video\n"),
              at("[sound]"));

    // Read back: the same settings (the game's binding winning), the same complaints, and
    // written again byte for byte: nothing doubles from one rewrite to the next.
    Settings again;
    settings_default(&again);
    Complaints c2;
    static SettingsKept kept_again;
    EXPECT_EQ(settings_parse(text, length, &again, collect, &c2, &kept_again), 4);
    EXPECT_TRUE(same(again, s));
    std::sort(c.messages.begin(), c.messages.end());
    std::sort(c2.messages.begin(), c2.messages.end());
    EXPECT_EQ(c2.messages, c.messages);
    static char text_again[SETTINGS_FILE_MAX];
    ASSERT_EQ(settings_format(&again, text_again, sizeof text_again, &kept_again), length);
    EXPECT_EQ(std::string(text_again, length), written);

    // Too much kept to write back within the size limit: the save refuses and says so.
    std::string huge = "[keys]\n";
    while (huge.size() < SETTINGS_FILE_MAX - 100)
        huge += "fly = " + std::string(400, 'x') + "\n";
    settings_parse(huge.data(), huge.size(), &again, collect, &c2, &kept_again);
    char why[FILE_WHY_MAX] = "";
    const std::string target = test_temp_dir() + "/settings.ini";
    EXPECT_EQ(settings_save(target.c_str(), &again, &kept_again, why, sizeof why), 0);
    EXPECT_NE(std::string(why).find("over the size limit of 64 KiB"), std::string::npos) << why;
    EXPECT_FALSE(std::filesystem::exists(target));
}

// A file past the size limit is refused whole (it was once read cut at the limit, the cut
// line's value cut with it, and written back so); a FIFO, a folder or a link loop is refused
// at once, never waited on. Within the limit, long lines and long comments cut nothing.
TEST(SdlSettings, AFileItCannotReadWholeIsRefusedWithTheReasonAndNoLineIsCut) {
    const std::string dir = test_temp_dir();
    const std::string file = dir + "/settings.ini";
    std::string text = "[sound]\n# " + std::string(SETTINGS_FILE_MAX - 16, '-') + "\n";
    text += "music = 35\n";  // across the limit
    std::ofstream(file) << text;
    Settings s;
    settings_default(&s);
    Complaints c;
    static SettingsKept kept;
    EXPECT_EQ(settings_load(file.c_str(), &s, collect, &c, &kept), -1);
    EXPECT_EQ(s.music_volume, 70);
    ASSERT_EQ(c.lines, std::vector<int>{0});
    EXPECT_NE(c.messages[0].find("over the size limit of 64 KiB"), std::string::npos)
        << c.messages[0];
    EXPECT_NE(c.messages[0].find("leaves the file as it is"), std::string::npos);

    mkfifo((dir + "/fifo.ini").c_str(), 0600);
    symlink("loop.ini", (dir + "/loop.ini").c_str());
    alarm(20);  // a FIFO that is waited on fails the test instead of stalling it
    for (const char* name : {"fifo.ini", "loop.ini", "."}) {
        c = {};
        EXPECT_EQ(settings_load((dir + "/" + name).c_str(), &s, collect, &c), -1) << name;
        EXPECT_EQ(c.lines, std::vector<int>{0}) << name;
    }
    alarm(0);
    EXPECT_NE(c.messages[0].find("a folder"), std::string::npos) << c.messages[0];

    // A long setting is skipped whole; a long comment after a setting is only a comment.
    c = {};
    std::ofstream(file) << "[sound]\nmusic = " << std::string(3000, '5') << "\neffects = 20  # "
                        << std::string(3000, '.') << "\nmusic = 35\n";
    EXPECT_EQ(settings_load(file.c_str(), &s, collect, &c, &kept), 1);
    EXPECT_EQ(c.lines, std::vector<int>{2});
    EXPECT_EQ(s.effects_volume, 20);
    EXPECT_EQ(s.music_volume, 35);
}

int options(std::vector<const char*> args, Options* out, std::string* error = nullptr) {
    args.insert(args.begin(), "quellaro");
    char message[256] = "";
    const int ok = options_parse(static_cast<int>(args.size()), const_cast<char**>(args.data()),
                                 out, message, sizeof message);
    if (error)
        *error = message;
    return ok;
}

TEST(SdlOptions, EveryOptionInEveryForm) {
    Options o;
    ASSERT_EQ(options({}, &o), 1);
    EXPECT_EQ(o.window, -1);
    EXPECT_EQ(o.scale_mode, -1);
    EXPECT_EQ(o.data_dir, nullptr);
    ASSERT_EQ(options({"--help"}, &o), 1);
    EXPECT_EQ(o.help, 1);
    ASSERT_EQ(options({"--version"}, &o), 1);
    EXPECT_EQ(o.version, 1);
    ASSERT_EQ(options({"--window"}, &o), 1);
    EXPECT_EQ(o.window, 1);
    EXPECT_EQ(o.window_width, 0);
    ASSERT_EQ(options({"--window=1280x960", "--scale=fit"}, &o), 1);
    EXPECT_EQ(o.window_width, 1280);
    EXPECT_EQ(o.window_height, 960);
    EXPECT_EQ(o.scale_mode, SCALE_FIT);
    ASSERT_EQ(options({"--fullscreen", "--scale", "integer"}, &o), 1);
    EXPECT_EQ(o.window, 0);
    EXPECT_EQ(o.scale_mode, SCALE_INTEGER);
    ASSERT_EQ(options({"--data", "/d", "--record=r.txt"}, &o), 1);
    EXPECT_STREQ(o.data_dir, "/d");
    EXPECT_STREQ(o.record_path, "r.txt");
    ASSERT_EQ(options({"--data=/e", "--replay", "p.txt"}, &o), 1);
    EXPECT_STREQ(o.data_dir, "/e");
    EXPECT_STREQ(o.replay_path, "p.txt");
    EXPECT_EQ(o.mute, 0);
    ASSERT_EQ(options({"--mute"}, &o), 1);
    EXPECT_EQ(o.mute, 1);
}

TEST(SdlOptions, BadArgumentsAreRefusedWithAReason) {
    Options o;
    std::string error;
    const std::vector<std::vector<const char*>> bad = {
        {"--windowed"},
        {"--window=big"},
        {"--window=0x480"},
        {"--window=16384x16384"},
        {"--scale=huge"},
        {"--scale"},
        {"--data"},
        {"--record="},
        {"--replay"},
        {"extra"},
        {"-x"},
        {"--fullscreen", "--window"},
        {"--window=800x600", "--fullscreen"},
        {"--record", "a", "--replay", "b"},
        {"--mute=yes"},
    };
    for (const auto& args : bad) {
        EXPECT_EQ(options(args, &o, &error), 0) << args[0];
        EXPECT_FALSE(error.empty()) << args[0];
    }
    EXPECT_NE(std::string(options_usage()).find("--replay FILE"), std::string::npos);
    // What the terminal would take as its commands is shown escaped.
    EXPECT_EQ(options({"--\x1b[2J"}, &o, &error), 0);
    EXPECT_EQ(error, "unknown argument \"--\\x1b[2J\"");
}

}  // namespace
