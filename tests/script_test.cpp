// Play scripts: every command read, written back and read again to the same script; lines
// that cannot be read named by number, word and reason, with nothing of them kept; numbers
// read in range and without wrapping; a pass's input handed over in the script's order.
#include "platform/script.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/types.h"

namespace {

using namespace std::string_literals;

const char* const EVERY_COMMAND =
    "# a comment, then a blank line\n"
    "\n"
    "key 0 S\n"
    "key 0x10 ESCAPE   # hexadecimal pass\n"
    "key 3 ENTER\n"
    "key 4 PAGEDOWN\n"
    "key 5 7\n"
    "key 6 200\n"
    "key 6 00   # code 0, not the digit key 0\n"
    "click 7 250 280\n"
    "dblclick 0008 639 479   # leading zeros are decimal\n"
    "close\t9\r\n"
    "hold 1 40 RIGHT Z C 9\n";

std::vector<std::string> delivered;
void on_key(int key) {
    delivered.push_back("key " + std::to_string(key));
}
void on_button(int x, int y, int double_click) {
    delivered.push_back((double_click ? "dbl " : "click ") + std::to_string(x) + "," +
                        std::to_string(y));
}
void on_close() {
    delivered.push_back("close");
}
const PlatformInput recorder = {on_key, on_button, on_close};

}  // namespace

TEST(Script, EveryCommandIsReadAndWrittenBackToTheSameScript) {
    Script script;
    ASSERT_EQ(script_parse(EVERY_COMMAND, &script), 0);
    ASSERT_EQ(script.events.size(), 10u);
    EXPECT_EQ(script.events[1].pass, 16);
    EXPECT_EQ(script.events[1].a, KEY_ESCAPE);
    EXPECT_EQ(script.events[2].a, KEY_RETURN);
    EXPECT_EQ(script.events[3].a, KEY_NEXT);
    EXPECT_EQ(script.events[4].a, '7');  // a digit is its key, not a code
    EXPECT_EQ(script.events[5].a, 200);
    EXPECT_EQ(script.events[6].a, 0);  // and written back so (a fuzzer's finding)
    EXPECT_EQ(script.events[8].command, ScriptCommand::double_click);
    EXPECT_EQ(script.events[8].pass, 8);
    EXPECT_EQ(script.events[8].b, 479);
    EXPECT_EQ(script.events[9].command, ScriptCommand::close);
    ASSERT_EQ(script.holds.size(), 1u);
    EXPECT_EQ(script.holds[0].keys, (std::vector<int>{KEY_RIGHT, KEY_Z, KEY_C, '9'}));

    Script again;
    ASSERT_EQ(script_parse(script_write(script), &again), 0) << script_write(script);
    EXPECT_TRUE(script == again) << script_write(script);
}

TEST(Script, LinesThatCannotBeReadAreNamedWithTheirWordAndNothingOfThemIsKept) {
    struct Bad {
        std::string line;
        const char* word;  // as a message shows it
        const char* why;   // a part of the reason
    };
    const Bad bad[] = {
        {"key 5\0junk S"s, "5\\x00junk", "NUL byte"},  // not "key 5 S"
        {"# \0"s, "\\x00", "NUL byte"},
        {"key 1 \x1b[2J", "\\x1b[2J", "not a key"},
        {"key 1", "key", "needs a pass and a key"},
        {"key 1 s", "s", "not a key"},  // letters are capitals
        {"key 1 256", "256", "not a key"},
        {"key 1 FOO", "FOO", "not a key"},
        {"key 1 S S", "S", "more than"},
        {"key 4294967296 S", "4294967296", "not a pass"},  // no wrap to pass 0
        {"key -1 S", "-1", "not a pass"},
        {"key 0x S", "0x", "not a pass"},
        {"click 1 2", "click", "needs a pass, x and y"},
        {"click 0 65783 65810", "65783", "not an x inside"},  // no cut to 16 bits
        {"click 0 640 0", "640", "not an x inside"},
        {"dblclick 0 0 480", "480", "not a y inside"},
        {"click 0 -1 5", "-1", "not an x inside"},
        {"hold 1 2", "hold", "needs"},
        {"hold 5 2 RIGHT", "2", "ends before it starts"},
        {"hold 1 2 RIGHT ?", "?", "not a key"},
        {"close 1x", "1x", "not a pass"},
        {"jump 3", "jump", "not a command"},
    };
    std::string text = "key 1 S\n";
    for (const Bad& b : bad)
        text += b.line + "\n";
    text += "key 2 Q";  // the last line needs no newline
    std::vector<ScriptError> errors;
    Script script;
    const int count = script_parse(
        text, &script,
        [](const ScriptError& e, void* out) {
            static_cast<std::vector<ScriptError>*>(out)->push_back(e);
        },
        &errors);
    ASSERT_EQ(count, static_cast<int>(std::size(bad)));
    ASSERT_EQ(errors.size(), std::size(bad));
    for (size_t i = 0; i < std::size(bad); ++i) {
        EXPECT_EQ(errors[i].line, static_cast<int>(i) + 2) << bad[i].line;
        EXPECT_EQ(errors[i].word, bad[i].word) << bad[i].line;
        EXPECT_NE(std::string(errors[i].why).find(bad[i].why), std::string::npos)
            << bad[i].line << ": " << errors[i].why;
    }
    ASSERT_EQ(script.events.size(), 2u);  // what could be read is kept
    EXPECT_EQ(script.events[1].a, KEY_Q);
    EXPECT_TRUE(script.holds.empty());
}

TEST(Script, LinesOfAnyLengthAreReadWhole) {
    // A long comment's tail is still comment; a long hold keeps every key.
    std::string text = "# " + std::string(5000, 'x') + " key 0 Q\nhold 0 1";
    for (int i = 0; i < 3000; ++i)
        text += " RIGHT";
    text += " C\n";
    Script script;
    ASSERT_EQ(script_parse(text, &script), 0);
    EXPECT_TRUE(script.events.empty());
    ASSERT_EQ(script.holds.size(), 1u);
    ASSERT_EQ(script.holds[0].keys.size(), 3001u);
    EXPECT_EQ(script.holds[0].keys.back(), KEY_C);
}

TEST(Script, NumbersAreReadInRangeWithoutWrappingOrOctal) {
    int value = -7;
    const char* why = nullptr;
    EXPECT_TRUE(script_read_number("010", 0, 100, &value));
    EXPECT_EQ(value, 10);
    EXPECT_TRUE(script_read_number("0x1f", 0, 100, &value));
    EXPECT_EQ(value, 31);
    EXPECT_TRUE(script_read_number("2147483647", 0, 2147483647, &value));
    EXPECT_EQ(value, 2147483647);
    value = -7;
    for (const char* text : {"2147483648", "4294967296", "18446744073709551617",
                             "99999999999999999999999999", "-4294967295"}) {
        EXPECT_FALSE(script_read_number(text, 0, 2147483647, &value, &why)) << text;
        EXPECT_STREQ(why, "out of range") << text;
    }
    for (const char* text : {"", "0x", "1e3", " 5", "5 ", "--5", "0x-1", "12a"}) {
        EXPECT_FALSE(script_read_number(text, 0, 2147483647, &value, &why)) << text;
        EXPECT_STREQ(why, "not a number") << text;
    }
    EXPECT_EQ(value, -7);  // nothing written on a refusal
}

// An old recording's closing note: read whole and in range, or not at all (the number that
// overflowed an int once wrapped into a pass the replay would check).
TEST(Script, AnOldRecordingsLastFrameNoteIsReadWholeOrNotAtAll) {
    int pass = -1;
    uint64_t digest = 0;
    EXPECT_TRUE(script_last_frame("key 5 S\n# last frame: pass 640, digest 00ff00ff11223344\n",
                                  &pass, &digest));
    EXPECT_EQ(pass, 640);
    EXPECT_EQ(digest, 0x00ff00ff11223344ull);
    for (const char* text :
         {"key 5 S\n", "# last frame: pass 99999999999, digest 1\n",
          "# last frame: pass 2147483648, digest 1\n", "# last frame: pass -1, digest 1\n",
          "# last frame: pass 5, digest 1ffffffffffffffff\n", "# last frame: pass 5, digest \n",
          "# last frame: pass 5, digest 12g\n", "# last frame: pass 5 digest 12\n"}) {
        pass = -7;
        EXPECT_FALSE(script_last_frame(text, &pass, &digest)) << text;
        EXPECT_EQ(pass, -7) << text;
    }
}

TEST(Script, APassGetsItsOwnInputInTheScriptsOrder) {
    Script script;
    ASSERT_EQ(script_parse("click 2 5 6\nkey 1 S\nclose 2\nkey 2 DOWN\ndblclick 2 7 8\n", &script),
              0);
    delivered.clear();
    script_deliver(script, 2, &recorder);
    EXPECT_EQ(delivered, (std::vector<std::string>{"click 5,6", "close", "key 40", "dbl 7,8"}));
    delivered.clear();
    script_deliver(script, 3, &recorder);
    EXPECT_TRUE(delivered.empty());
}

TEST(Script, ARecordLineHoldsItsKeysAndAtMostOneMessage) {
    struct Good {
        const char* line;
        std::vector<int> held;
        uint8_t message;
        int a, b;  // the key, or x and y
    };
    const Good good[] = {
        {"", {}, INPUT_NONE, 0, 0},
        {"  # nothing held", {}, INPUT_NONE, 0, 0},
        {"RIGHT Z", {KEY_RIGHT, KEY_Z}, INPUT_NONE, 0, 0},
        {"key S", {}, INPUT_KEY, KEY_S, 0},
        {"NEXT 0x27 dblclick 639 479", {KEY_NEXT, KEY_RIGHT}, INPUT_DOUBLE_CLICK, 639, 479},
        {"C click 5 6 # a comment", {KEY_C}, INPUT_CLICK, 5, 6},
        {"close", {}, INPUT_CLOSE, 0, 0},
    };
    for (const Good& g : good) {
        InputRecord record;
        ScriptError error{1, "", ""};
        ASSERT_TRUE(script_read_record(g.line, &record, &error)) << g.line << ": " << error.why;
        for (int key = 0; key < INPUT_KEYS; ++key) {
            const bool wanted = std::find(g.held.begin(), g.held.end(), key) != g.held.end();
            EXPECT_EQ(input_held(record, key), wanted) << g.line << " key " << key;
        }
        EXPECT_EQ(record.message, g.message) << g.line;
        EXPECT_EQ(g.message == INPUT_KEY ? record.key : record.x, g.a) << g.line;
        EXPECT_EQ(record.y, g.b) << g.line;
    }
    const char* const bad[][2] = {
        {"RIGHT LEFTY", "LEFTY"},  {"key", "key"},   {"click 5", "click"},
        {"key S key S", "key"},    {"close 3", "3"}, {"RIGHT 256", "256"},
        {"dblclick 640 1", "640"},
    };
    for (const auto& b : bad) {
        InputRecord record;
        ScriptError error{1, "", ""};
        EXPECT_FALSE(script_read_record(b[0], &record, &error)) << b[0];
        EXPECT_EQ(error.word, b[1]) << b[0];
    }
}
