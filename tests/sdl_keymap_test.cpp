// Key names and the bindings of roles to keys: the defaults are the keys the game always
// had, every name reads back to its key, and the game's queries find the right role.
#include <gtest/gtest.h>

#include <string>

#include "platform/sdl/keymap.h"
#include "shell/window.h"

namespace {

TEST(SdlKeymap, EveryKeyNameReadsBackToItsKeyIgnoringCaseAndBlanks) {
    int count = 0;
    for (int i = 0; keycode_at(i) != 0; i++, count++) {
        const int32_t keycode = keycode_at(i);
        const char* name = keycode_name(keycode);
        ASSERT_NE(name, nullptr) << keycode;
        EXPECT_EQ(keycode_from_name(name), keycode) << name;
        std::string shouted;
        for (const char* p = name; *p; p++)
            shouted += static_cast<char>(std::toupper(static_cast<unsigned char>(*p)));
        EXPECT_EQ(keycode_from_name(shouted.c_str()), keycode) << shouted;
    }
    EXPECT_GT(count, 90);
    EXPECT_EQ(keycode_from_name("page down"), KEYCODE_PAGEDOWN);
    EXPECT_EQ(keycode_from_name("  z "), 'z');
    EXPECT_EQ(keycode_from_name("leftshift"), 0x40000000 | 225);
    for (const char* unknown : {"", "  ", "Spcae", "ZZ", "F13", "Keypad", "é"})
        EXPECT_EQ(keycode_from_name(unknown), 0) << unknown;
    EXPECT_EQ(keycode_from_name(nullptr), 0);
    EXPECT_EQ(keycode_name('A'), nullptr);  // SDL's letter codes are lower case
    EXPECT_STREQ(keycode_name('q'), "Q");
}

TEST(SdlKeymap, DefaultsAreTheGamesKeysAndEachRoleHasAName) {
    KeyBindings keys;
    key_bindings_default(&keys);
    struct Expect {
        int role;
        int32_t keycode;
    };
    const Expect defaults[] = {
        {ROLE_RIGHT, KEYCODE_RIGHT},
        {ROLE_RIGHT, 'd'},
        {ROLE_LEFT, KEYCODE_LEFT},
        {ROLE_LEFT, 'a'},
        {ROLE_RUN, KEYCODE_DELETE},
        {ROLE_RUN, 'z'},
        {ROLE_JUMP, KEYCODE_PAGEDOWN},
        {ROLE_JUMP, 'c'},
        {ROLE_ENTER, KEYCODE_RETURN},
        {ROLE_ENTER, KEYCODE_KP_ENTER},
        {ROLE_ESCAPE, KEYCODE_ESCAPE},
        {ROLE_UP, KEYCODE_UP},
        {ROLE_DOWN, KEYCODE_DOWN},
        {ROLE_START, 's'},
        {ROLE_HELP, 'h'},
        {ROLE_ABOUT, 'a'},
        {ROLE_QUIT, 'q'},
        {ROLE_PAUSE, 'p'},
        {ROLE_FULLSCREEN, KEYCODE_F11},
        {ROLE_SCALE, KEYCODE_F10},
        {ROLE_SCREENSHOT, KEYCODE_F12},
        {ROLE_MUTE, 'm'},
        {ROLE_TIMER, 't'},
        {ROLE_GHOST, 'g'},
    };
    for (const Expect& e : defaults)
        EXPECT_EQ(key_has_role(&keys, e.role, e.keycode), 1) << key_role_name(e.role);
    EXPECT_EQ(key_has_role(&keys, ROLE_JUMP, 0), 0);  // empty places never match
    EXPECT_EQ(key_has_role(&keys, ROLE_COUNT, 'c'), 0);
    for (int role = 0; role < ROLE_COUNT; role++)
        EXPECT_EQ(key_role_from_name(key_role_name(role)), role);
    EXPECT_EQ(key_role_from_name("fly"), -1);
}

TEST(SdlKeymap, PressesPostTheMenuKeysAndQueriesFindTheirHeldRole) {
    EXPECT_EQ(key_role_message(ROLE_ENTER), KEY_RETURN);
    EXPECT_EQ(key_role_message(ROLE_ESCAPE), KEY_ESCAPE);
    EXPECT_EQ(key_role_message(ROLE_UP), KEY_UP);
    EXPECT_EQ(key_role_message(ROLE_DOWN), KEY_DOWN);
    EXPECT_EQ(key_role_message(ROLE_START), KEY_S);
    EXPECT_EQ(key_role_message(ROLE_HELP), KEY_H);
    EXPECT_EQ(key_role_message(ROLE_ABOUT), KEY_A);
    EXPECT_EQ(key_role_message(ROLE_QUIT), KEY_Q);
    for (int role : {ROLE_RIGHT, ROLE_JUMP, ROLE_PAUSE, ROLE_SCREENSHOT, ROLE_MUTE})
        EXPECT_EQ(key_role_message(role), 0);
    // The eight keys the hero polls, in pairs.
    EXPECT_EQ(key_role_held_by(KEY_RIGHT), ROLE_RIGHT);
    EXPECT_EQ(key_role_held_by(KEY_D), ROLE_RIGHT);
    EXPECT_EQ(key_role_held_by(KEY_LEFT), ROLE_LEFT);
    EXPECT_EQ(key_role_held_by(KEY_A), ROLE_LEFT);
    EXPECT_EQ(key_role_held_by(KEY_DELETE), ROLE_RUN);
    EXPECT_EQ(key_role_held_by(KEY_Z), ROLE_RUN);
    EXPECT_EQ(key_role_held_by(KEY_NEXT), ROLE_JUMP);
    EXPECT_EQ(key_role_held_by(KEY_C), ROLE_JUMP);
    for (int key : {0, int{KEY_RETURN}, int{KEY_UP}, int{KEY_S}, int{'P'}, 255})
        EXPECT_EQ(key_role_held_by(key), -1) << key;
}

}  // namespace
