// The browser backend's plain logic: key names to the settings' key codes, the held-key
// slots, pointer positions to frame pixels, and the gamepad mapping.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "platform/platform.h"
#include "platform/sdl/keymap.h"
#include "platform/types.h"
#include "platform/web/gamepad.h"
#include "platform/web/keys.h"
#include "platform/web/pointer.h"

namespace {

TEST(WebKeys, BrowserKeysAreTheSettingsKeyCodes) {
    struct Row {
        const char* key;
        const char* code;
        const char* name;  // the settings' name of the key
    };
    const Row rows[] = {
        {"Enter", "Enter", "Return"},
        {"Escape", "Escape", "Escape"},
        {"Esc", "", "Escape"},
        {"ArrowLeft", "ArrowLeft", "Left"},
        {"Left", "", "Left"},
        {"ArrowDown", "ArrowDown", "Down"},
        {"PageDown", "PageDown", "PageDown"},
        {"Delete", "Delete", "Delete"},
        {"Del", "", "Delete"},
        {"Backspace", "Backspace", "Backspace"},
        {" ", "Space", "Space"},
        {"F5", "F5", "F5"},
        {"F10", "F10", "F10"},
        // Letters whatever their case, as the layout names them: AZERTY's A is on KeyQ.
        {"z", "KeyZ", "Z"},
        {"Z", "KeyZ", "Z"},
        {"a", "KeyQ", "A"},
        // Shift changed the character: the key's place.
        {"!", "Digit1", "1"},
        {"?", "Slash", "/"},
        // Another alphabet: the key's place too.
        {"\u0444", "KeyA", "A"},
        // The keypad and the modifiers' sides by their place, whatever NumLock gives.
        {"1", "Numpad1", "Keypad 1"},
        {"End", "Numpad1", "Keypad 1"},
        {"Enter", "NumpadEnter", "Keypad Enter"},
        {"Shift", "ShiftRight", "Right Shift"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(keycode_from_dom(row.key, row.code), keycode_from_name(row.name))
            << row.key << " " << row.code;
        EXPECT_NE(keycode_from_name(row.name), 0) << row.name;
    }
    EXPECT_EQ(keycode_from_dom("ArrowRight", "ArrowRight"), KEYCODE_RIGHT);
    EXPECT_EQ(keycode_from_dom("c", "KeyC"), 'c');
}

TEST(WebKeys, KeysTheSettingsCannotNameGiveNothing) {
    const char* const rows[][2] = {
        {"Unidentified", ""},
        {"Dead", ""},
        {"AudioVolumeUp", "AudioVolumeUp"},
        {"", ""},
        {"Enterprise", "Foo"},
        {"\xC3\xA4", ""},
        {"aa", ""},
        {"Process", "KeyAA"},
        {"ContextMenu", "ContextMenu"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(keycode_from_dom(row[0], row[1]), 0) << row[0] << " " << row[1];
    }
    EXPECT_EQ(keycode_from_dom(nullptr, nullptr), 0);
}

TEST(WebHeldKeys, AReleaseFindsItsPressByThePhysicalKey) {
    HeldKeys held{};
    held_press(&held, "Digit1", '1');
    held_press(&held, "Digit1", '1');  // auto-repeat
    EXPECT_TRUE(held_is_down(&held, '1'));
    // Shift went down meanwhile: the release is named "!", but the physical key is the same.
    held_release(&held, "Digit1");
    EXPECT_FALSE(held_is_down(&held, '1'));

    // Two physical keys giving one virtual key: held until both are up.
    held_press(&held, "ShiftLeft", KEYCODE_RETURN);
    held_press(&held, "Enter", KEYCODE_RETURN);
    held_release(&held, "Enter");
    EXPECT_TRUE(held_is_down(&held, KEYCODE_RETURN));
    held_release(&held, "ShiftLeft");
    EXPECT_FALSE(held_is_down(&held, KEYCODE_RETURN));
    held_release(&held, "KeyQ");  // never pressed: nothing happens
    EXPECT_EQ(held.count, 0);
}

TEST(WebHeldKeys, FullSlotsDropNewPressesAndClearForgetsAll) {
    HeldKeys held{};
    for (int i = 0; i < HeldKeys::SLOTS + 4; i++) {
        const std::string code = "Key" + std::to_string(i);
        held_press(&held, code.c_str(), 100 + i);
    }
    EXPECT_EQ(held.count, HeldKeys::SLOTS);
    EXPECT_TRUE(held_is_down(&held, 100 + HeldKeys::SLOTS - 1));
    EXPECT_FALSE(held_is_down(&held, 100 + HeldKeys::SLOTS));
    // A code longer than a slot holds is cut, and its release still finds it.
    const std::string long_code(80, 'x');
    held_clear(&held);
    EXPECT_FALSE(held_is_down(&held, 100));
    held_press(&held, long_code.c_str(), KEYCODE_LEFT);
    EXPECT_TRUE(held_is_down(&held, KEYCODE_LEFT));
    held_release(&held, long_code.c_str());
    EXPECT_FALSE(held_is_down(&held, KEYCODE_LEFT));
}

TEST(WebPointer, PositionsMapToFramePixelsAtAnyShownSize) {
    EXPECT_EQ(frame_pixel_at(0.0, 640.0, 640), 0);
    EXPECT_EQ(frame_pixel_at(639.99, 640.0, 640), 639);
    EXPECT_EQ(frame_pixel_at(1.99, 1280.0, 640), 0);
    EXPECT_EQ(frame_pixel_at(2.0, 1280.0, 640), 1);
    // A phone's 390 CSS pixels for 640 frame pixels, and an uneven width.
    EXPECT_EQ(frame_pixel_at(195.0, 390.0, 640), 320);
    EXPECT_EQ(frame_pixel_at(389.999, 390.0, 640), 639);
    EXPECT_EQ(frame_pixel_at(933.3333, 933.3334, 640), 639);
    // The first menu entry's left edge (x 247) at 1.5 times.
    EXPECT_EQ(frame_pixel_at(247 * 1.5, 960.0, 640), 247);
    EXPECT_EQ(frame_pixel_at(247 * 1.5 - 0.01, 960.0, 640), 246);
}

TEST(WebPointer, OutsideOrEmptyGivesNoPixel) {
    EXPECT_EQ(frame_pixel_at(-0.01, 640.0, 640), -1);
    EXPECT_EQ(frame_pixel_at(640.0, 640.0, 640), -1);
    EXPECT_EQ(frame_pixel_at(10.0, 0.0, 640), -1);
    EXPECT_EQ(frame_pixel_at(std::nan(""), 640.0, 640), -1);
    EXPECT_EQ(frame_pixel_at(10.0, std::nan(""), 640), -1);
    EXPECT_EQ(frame_pixel_at(10.0, 640.0, 0), -1);
}

PadState pad_with(std::initializer_list<int> buttons, double stick_x = 0.0) {
    PadState pad{};
    for (int b : buttons) {
        pad.buttons[b] = true;
    }
    pad.stick_x = stick_x;
    return pad;
}

// The keys held, as letters: L(eft), R(ight), r(un), j(ump), and ? for any other.
std::string held_names(const uint8_t held[256]) {
    std::string names;
    for (int key = 0; key < 256; key++) {
        if (held[key]) {
            names += key == KEY_LEFT     ? 'L'
                     : key == KEY_RIGHT  ? 'R'
                     : key == KEY_DELETE ? 'r'
                     : key == KEY_NEXT   ? 'j'
                                         : '?';
        }
    }
    return names;
}

TEST(WebGamepad, ButtonsAndStickHoldTheHeroKeys) {
    struct Case {
        PadState pad;
        const char* held;
    };
    const Case cases[] = {
        {pad_with({}), ""},
        {pad_with({WEB_PAD_SOUTH}), "j"},
        {pad_with({WEB_PAD_WEST}), "r"},
        {pad_with({WEB_PAD_EAST, WEB_PAD_DPAD_RIGHT}), "Rr"},
        {pad_with({WEB_PAD_DPAD_LEFT, WEB_PAD_SOUTH}), "jL"},
        {pad_with({}, 0.29), ""},
        {pad_with({}, 0.3), "R"},
        {pad_with({}, -0.3), "L"},
        {pad_with({}, -1.0), "L"},
        // Menu buttons hold nothing.
        {pad_with({WEB_PAD_START, WEB_PAD_BACK, WEB_PAD_NORTH, WEB_PAD_DPAD_UP, WEB_PAD_DPAD_DOWN}),
         ""},
    };
    for (const Case& c : cases) {
        uint8_t held[256] = {};
        pad_held_keys(c.pad, held);
        EXPECT_EQ(held_names(held), c.held);
    }
    // Two pads add up.
    uint8_t held[256] = {};
    pad_held_keys(pad_with({WEB_PAD_SOUTH}), held);
    pad_held_keys(pad_with({}, -0.8), held);
    EXPECT_EQ(held_names(held), "jL");
}

TEST(WebGamepad, MenuButtonsPressOnceWhenTheyGoDown) {
    int keys[4];
    const PadState idle = pad_with({});
    const PadState start = pad_with({WEB_PAD_START});
    ASSERT_EQ(pad_pressed_keys(idle, start, keys, 4), 1);
    EXPECT_EQ(keys[0], KEY_S);
    EXPECT_EQ(pad_pressed_keys(start, start, keys, 4), 0);  // held: no repeat
    EXPECT_EQ(pad_pressed_keys(start, idle, keys, 4), 0);   // let go

    const PadState many =
        pad_with({WEB_PAD_BACK, WEB_PAD_DPAD_UP, WEB_PAD_DPAD_DOWN, WEB_PAD_SOUTH});
    ASSERT_EQ(pad_pressed_keys(idle, many, keys, 4), 3);
    EXPECT_EQ(keys[0], KEY_ESCAPE);
    EXPECT_EQ(keys[1], KEY_UP);
    EXPECT_EQ(keys[2], KEY_DOWN);
    EXPECT_EQ(pad_pressed_keys(idle, many, keys, 1), 1);  // never more than asked for
}

TEST(WebGamepad, ShouldersAndNorthAreThePracticeTools) {
    int commands[4];
    const PadState idle = pad_with({});
    const PadState both = pad_with({WEB_PAD_LEFT_SHOULDER, WEB_PAD_RIGHT_SHOULDER, WEB_PAD_NORTH});
    EXPECT_EQ(pad_held_commands(both), 1u << COMMAND_REWIND);
    EXPECT_EQ(pad_held_commands(idle), 0u);
    ASSERT_EQ(pad_pressed_commands(idle, both, commands, 4), 2);
    EXPECT_EQ(commands[0], COMMAND_QUICK_SAVE);
    EXPECT_EQ(commands[1], COMMAND_QUICK_LOAD);
    EXPECT_EQ(pad_pressed_commands(both, both, commands, 4), 0);
    // None of them is a key of the game.
    uint8_t held[256] = {};
    pad_held_keys(both, held);
    int keys[4];
    EXPECT_EQ(std::count(held, held + 256, 1), 0);
    EXPECT_EQ(pad_pressed_keys(idle, both, keys, 4), 0);
}

}  // namespace
