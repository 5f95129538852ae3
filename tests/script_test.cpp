// Play scripts: every command read, written back and read again to the same script; lines
// that cannot be read named by number; a pass's input handed over in the script's order.
#include "platform/script.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/types.h"

namespace {

const char* const EVERY_COMMAND =
    "# a comment, then a blank line\n"
    "\n"
    "key 0 S\n"
    "key 0x10 ESCAPE   # hexadecimal pass\n"
    "key 3 ENTER\n"
    "key 4 PAGEDOWN\n"
    "key 5 7\n"
    "key 6 200\n"
    "click 7 250 280\n"
    "dblclick 8 -3 99999\n"
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

bool same(const Script& a, const Script& b) {
    if (a.events.size() != b.events.size() || a.holds.size() != b.holds.size())
        return false;
    for (size_t i = 0; i < a.events.size(); ++i) {
        const ScriptEvent &x = a.events[i], &y = b.events[i];
        if (x.command != y.command || x.pass != y.pass || x.a != y.a || x.b != y.b)
            return false;
    }
    for (size_t i = 0; i < a.holds.size(); ++i) {
        if (a.holds[i].first != b.holds[i].first || a.holds[i].last != b.holds[i].last ||
            a.holds[i].keys != b.holds[i].keys)
            return false;
    }
    return true;
}

}  // namespace

TEST(Script, EveryCommandIsReadAndWrittenBackToTheSameScript) {
    Script script;
    ASSERT_EQ(script_parse(EVERY_COMMAND, &script), 0);
    ASSERT_EQ(script.events.size(), 9u);
    EXPECT_EQ(script.events[1].pass, 16);
    EXPECT_EQ(script.events[1].a, KEY_ESCAPE);
    EXPECT_EQ(script.events[2].a, KEY_RETURN);
    EXPECT_EQ(script.events[3].a, KEY_NEXT);
    EXPECT_EQ(script.events[4].a, '7');  // a digit is its key, not a code
    EXPECT_EQ(script.events[5].a, 200);
    EXPECT_EQ(script.events[7].command, ScriptCommand::double_click);
    EXPECT_EQ(script.events[7].a, -3);
    EXPECT_EQ(script.events[8].command, ScriptCommand::close);
    ASSERT_EQ(script.holds.size(), 1u);
    EXPECT_EQ(script.holds[0].keys, (std::vector<int>{KEY_RIGHT, KEY_Z, KEY_C, '9'}));

    Script again;
    ASSERT_EQ(script_parse(script_write(script), &again), 0) << script_write(script);
    EXPECT_TRUE(same(script, again)) << script_write(script);
}

TEST(Script, LinesThatCannotBeReadAreCountedAndNamed) {
    const char* text =
        "key 1 S\n"
        "key 1\n"             // 2: no key
        "key 1 s\n"           // 3: letters are capitals
        "key 1 256\n"         // 4: past the codes
        "click 1 2\n"         // 5: no y
        "hold 1 2\n"          // 6: no key held
        "hold 1 2 RIGHT ?\n"  // 7: one key unknown spoils the line
        "close 1x\n"          // 8: not a number
        "jump 3\n"            // 9: no such command
        "key 2 Q";            // 10: the last line needs no newline
    Script script;
    std::vector<int> bad;
    const int count = script_parse(
        text, &script,
        [](int line, void* out) { static_cast<std::vector<int>*>(out)->push_back(line); }, &bad);
    EXPECT_EQ(count, 8);
    EXPECT_EQ(bad, (std::vector<int>{2, 3, 4, 5, 6, 7, 8, 9}));
    ASSERT_EQ(script.events.size(), 2u);  // what could be read is kept
    EXPECT_EQ(script.events[1].a, KEY_Q);
    EXPECT_TRUE(script.holds.empty());
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
