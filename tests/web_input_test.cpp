// The browser backend's plain logic: key names to the settings' key codes, the held-key
// slots, pointer positions to frame pixels, and the gamepads as the desktop's pad state.
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

WebPadState pad_with(std::initializer_list<int> buttons, double stick_x = 0.0) {
    WebPadState pad{};
    for (int b : buttons) {
        pad.buttons[b] = true;
    }
    pad.stick_x = stick_x;
    return pad;
}

// The browser's pads reach the desktop's mapping: every standard button as its PadButton,
// several pads together, the stick pushed furthest deciding, its travel held to range.
TEST(WebGamepad, StandardButtonsAndSticksAreTheDesktopsPadState) {
    const struct {
        int index;
        uint32_t bit;
    } buttons[] = {{WEB_PAD_SOUTH, PAD_SOUTH},
                   {WEB_PAD_EAST, PAD_EAST},
                   {WEB_PAD_WEST, PAD_WEST},
                   {WEB_PAD_NORTH, PAD_NORTH},
                   {WEB_PAD_LEFT_SHOULDER, PAD_LEFT_SHOULDER},
                   {WEB_PAD_RIGHT_SHOULDER, PAD_RIGHT_SHOULDER},
                   {WEB_PAD_BACK, PAD_BACK},
                   {WEB_PAD_START, PAD_START},
                   {WEB_PAD_DPAD_UP, PAD_UP},
                   {WEB_PAD_DPAD_DOWN, PAD_DOWN},
                   {WEB_PAD_DPAD_LEFT, PAD_LEFT},
                   {WEB_PAD_DPAD_RIGHT, PAD_RIGHT}};
    uint32_t all_bits = 0;
    for (const auto& b : buttons) {
        PadState state{};
        web_pad_add(pad_with({b.index}), &state);
        EXPECT_EQ(state.buttons, b.bit) << b.index;
        all_bits |= b.bit;
    }
    EXPECT_EQ(all_bits, (1u << PAD_BUTTON_COUNT) - 1);  // every button has a place
    PadState state{};
    web_pad_add(pad_with({WEB_PAD_SOUTH}, 0.3), &state);
    web_pad_add(pad_with({WEB_PAD_START, 16}, -0.9), &state);  // 16: the home button, unused
    EXPECT_EQ(state.buttons, PAD_SOUTH | PAD_START);
    EXPECT_EQ(state.stick_x, -29490);
    web_pad_add(pad_with({}, 0.5), &state);  // pushed less: the other still decides
    EXPECT_EQ(state.stick_x, -29490);
    PadState wild{};
    WebPadState out_of_range = pad_with({}, 7.0);
    out_of_range.stick_y = std::nan("");
    web_pad_add(out_of_range, &wild);
    EXPECT_EQ(wild.stick_x, 32767);
    EXPECT_EQ(wild.stick_y, 0);
}

// Rebound on the Controls page, a browser pad plays by the new binding: jump on North, and
// South, no longer jump, does nothing in play.
TEST(WebGamepad, APadPlaysByThePlayersBindings) {
    PadBindings pads;
    pad_bindings_default(&pads);
    pads.buttons[ROLE_JUMP] = PAD_NORTH;
    pads.buttons[ROLE_QUICK_LOAD] = 0;
    PadMapper mapper;
    pad_mapper_reset(&mapper);
    PadOutput out;
    PadState idle{};
    pad_map(&mapper, &pads, &idle, 1, 0, &out);
    PadState north{}, south{};
    web_pad_add(pad_with({WEB_PAD_NORTH}), &north);
    web_pad_add(pad_with({WEB_PAD_SOUTH}), &south);
    pad_map(&mapper, &pads, &north, 1, 16, &out);
    EXPECT_EQ(out.held_roles, 1u << ROLE_JUMP);
    EXPECT_EQ(out.press_count, 0);
    pad_map(&mapper, &pads, &south, 1, 32, &out);
    EXPECT_EQ(out.held_roles, 0u);
    EXPECT_EQ(out.press_count, 0);
}

}  // namespace
