// The SDL backend's key table, both ways: key codes to virtual-key codes and back.
#include <gtest/gtest.h>

#include "platform/sdl/keymap.h"
#include "shell/window.h"

namespace {

constexpr int32_t KEYCODE_SPACE = ' ';
constexpr int32_t KEYCODE_LSHIFT = 0x40000000 | 225;
constexpr int32_t KEYCODE_F1 = 0x40000000 | 58;
constexpr int32_t KEYCODE_PAGEUP = 0x40000000 | 75;
constexpr int32_t KEYCODE_KP_2 = 0x40000000 | 90;

TEST(SdlKeymap, NamedLettersAndDigitsGiveTheirVirtualKeys) {
    EXPECT_EQ(key_from_keycode(KEYCODE_RETURN), 13);
    EXPECT_EQ(key_from_keycode(KEYCODE_KP_ENTER), 13);
    EXPECT_EQ(key_from_keycode(KEYCODE_ESCAPE), 27);
    EXPECT_EQ(key_from_keycode(KEYCODE_LEFT), 37);
    EXPECT_EQ(key_from_keycode(KEYCODE_UP), 38);
    EXPECT_EQ(key_from_keycode(KEYCODE_RIGHT), 39);
    EXPECT_EQ(key_from_keycode(KEYCODE_DOWN), 40);
    EXPECT_EQ(key_from_keycode(KEYCODE_PAGEDOWN), 0x22);
    EXPECT_EQ(key_from_keycode(KEYCODE_DELETE), 0x2E);
    for (int i = 0; i < 26; i++) {
        EXPECT_EQ(key_from_keycode('a' + i), 'A' + i) << char('a' + i);
    }
    for (int i = 0; i < 10; i++) {
        EXPECT_EQ(key_from_keycode('0' + i), '0' + i);
    }
}

TEST(SdlKeymap, OtherKeysAreIgnored) {
    // Upper-case letters are never SDL key codes; 'A' (65) must not pass as a letter.
    for (int32_t keycode : {KEYCODE_SPACE, KEYCODE_LSHIFT, KEYCODE_F1, KEYCODE_PAGEUP, KEYCODE_KP_2,
                            int32_t{'A'}, int32_t{'Z'}, int32_t{0}, int32_t{-1}}) {
        EXPECT_EQ(key_from_keycode(keycode), 0) << keycode;
    }
}

TEST(SdlKeymap, HeldKeysFindTheirKeyCodes) {
    int32_t found[4];
    // The eight play keys, each from exactly one key.
    const int play_keys[][2] = {
        {KEY_RIGHT, KEYCODE_RIGHT},   {KEY_D, 'd'}, {KEY_LEFT, KEYCODE_LEFT},     {KEY_A, 'a'},
        {KEY_DELETE, KEYCODE_DELETE}, {KEY_Z, 'z'}, {KEY_NEXT, KEYCODE_PAGEDOWN}, {KEY_C, 'c'}};
    for (const auto& pair : play_keys) {
        ASSERT_EQ(keycodes_for_key(pair[0], found, 4), 1) << pair[0];
        EXPECT_EQ(found[0], pair[1]);
    }
    // Enter is held when either Enter key is.
    ASSERT_EQ(keycodes_for_key(KEY_RETURN, found, 4), 2);
    EXPECT_EQ(found[0], KEYCODE_RETURN);
    EXPECT_EQ(found[1], KEYCODE_KP_ENTER);
    // Never more than asked for.
    found[1] = -7;
    EXPECT_EQ(keycodes_for_key(KEY_RETURN, found, 1), 1);
    EXPECT_EQ(found[1], -7);
    // Page Up, Space, lower-case codes: no key gives them.
    EXPECT_EQ(keycodes_for_key(0x21, found, 4), 0);
    EXPECT_EQ(keycodes_for_key(' ', found, 4), 0);
    EXPECT_EQ(keycodes_for_key('a', found, 4), 0);
    EXPECT_EQ(keycodes_for_key(0, found, 4), 0);
}

TEST(SdlKeymap, EveryVirtualKeyRoundTrips) {
    int32_t found[4];
    for (int key = 1; key < 256; key++) {
        int count = keycodes_for_key(key, found, 4);
        for (int i = 0; i < count; i++) {
            EXPECT_EQ(key_from_keycode(found[i]), key) << key;
        }
    }
}

}  // namespace
