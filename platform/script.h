// Play scripts: the input of a run as text, one command a line, for the headless runner, the
// desktop game's replays and the fuzzers. Pure C++: it reads and writes the text and hands
// the input of a pass to a PlatformInput.
//
//   key PASS KEY             a key press at the start of pass PASS
//   click PASS X Y           a left-button press at frame pixel (X, Y)
//   dblclick PASS X Y        the second press of a double click there
//   close PASS               a request to close the window
//   hold FIRST LAST KEY...   keys held down from pass FIRST to pass LAST, both included
//
// Numbers are as strtol reads them with base 0 (decimal, 0x hexadecimal, leading 0 octal).
// A KEY is a name (LEFT, RIGHT, UP, DOWN, RETURN or ENTER, ESCAPE, DELETE, NEXT or PAGEDOWN),
// a capital letter or a digit, or a virtual-key code 0..255. '#' starts a comment.
#pragma once
#include <string>
#include <vector>

#include "platform/platform.h"

enum class ScriptCommand { key, click, double_click, close };

struct ScriptEvent {
    ScriptCommand command;
    int pass;
    int a, b;  // the key, or x and y
};

struct ScriptHold {
    int first, last;
    std::vector<int> keys;
};

struct Script {
    std::vector<ScriptEvent> events;  // in the order of the text
    std::vector<ScriptHold> holds;
};

// Reads script text into script, after what it holds already. Returns the number of lines
// that could not be read; bad_line, when given, is called with the number of each (from 1).
int script_parse(const std::string& text, Script* script,
                 void (*bad_line)(int number, void* context) = nullptr, void* context = nullptr);
// A number as scripts write them (the runner's options too); false when text is not one.
bool script_read_number(const char* text, long* out);
// The script as text that script_parse reads back into the same script.
std::string script_write(const Script& script);
// Hands the key presses, clicks and close requests of pass to input, in the script's order.
void script_deliver(const Script& script, int pass, const PlatformInput* input);
