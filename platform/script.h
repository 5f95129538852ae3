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
// Numbers are decimal (leading zeros are still decimal) or 0x hexadecimal. Passes run from
// 0 to 2147483647, a hold's last pass is not before its first, and a click lies inside the
// 640 x 480 frame. A KEY is a name (LEFT, RIGHT, UP, DOWN, RETURN or ENTER, ESCAPE, DELETE,
// NEXT or PAGEDOWN), a capital letter or a digit, or a virtual-key code 0..255. '#' starts a
// comment. Lines may be of any length.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/input_record.h"

constexpr int SCRIPT_FRAME_WIDTH = 640, SCRIPT_FRAME_HEIGHT = 480;

enum class ScriptCommand { key, click, double_click, close };

struct ScriptEvent {
    ScriptCommand command;
    int pass;
    int a, b;  // the key, or x and y
    bool operator==(const ScriptEvent&) const = default;
};

struct ScriptHold {
    int first, last;
    std::vector<int> keys;
    bool operator==(const ScriptHold&) const = default;
};

struct Script {
    std::vector<ScriptEvent> events;  // in the order of the text
    std::vector<ScriptHold> holds;
    bool operator==(const Script&) const = default;
};

// A line that cannot be read: its number (from 1), the word at fault (the command when a
// word is missing), escaped as a message may show it (platform/text_escape.h), and why, in a
// few words. A line holding a NUL byte is not text and is refused whole.
struct ScriptError {
    int line;
    std::string word;
    const char* why;
};

// Reads script text into script, after what it holds already; a line that cannot be read
// adds nothing. Returns the number of such lines; bad_line, when given, hears of each.
int script_parse(const std::string& text, Script* script,
                 void (*bad_line)(const ScriptError& error, void* context) = nullptr,
                 void* context = nullptr);
// A number as scripts write them (the runner's options too), from min to max. true and *out
// set; else false and *why, when given, says what is wrong ("not a number" or "out of
// range").
bool script_read_number(const char* text, int min, int max, int* out, const char** why = nullptr);
// Scripts are read whole, and one over this is refused rather than read without end (a
// recording of hours of play is a few megabytes).
constexpr size_t SCRIPT_FILE_MAX = size_t{64} << 20;
// The whole text of a script file into *text; false, with errno and why (when given) saying
// the reason, when it is not a regular file, is over SCRIPT_FILE_MAX or cannot be read to its
// end.
bool script_read_file(const char* path, std::string* text, char* why = nullptr,
                      size_t why_size = 0);
// The note an old recording ends with, "# last frame: pass P, digest D" (D in hex): true
// with *pass and *digest set when the text holds one whole and in range, else false.
bool script_last_frame(const std::string& text, int* pass, uint64_t* digest);
// The script as text that script_parse reads back into the same script.
std::string script_write(const Script& script);
// One input record as a line of text (the runner's step mode): the keys held, then at most
// one message, "key KEY", "click X Y", "dblclick X Y" or "close", as in scripts; '#' starts a
// comment. "RIGHT Z", "key S", "RIGHT C click 250 280" and "" are records. true and *record
// set, or false with *error saying what is wrong (its line is left to the caller).
bool script_read_record(const std::string& line, InputRecord* record, ScriptError* error);
// Hands the key presses, clicks and close requests of pass to input, in the script's order.
void script_deliver(const Script& script, int pass, const PlatformInput* input);
// Adds the keys the script holds during pass to the record's held keys.
void script_hold(const Script& script, int pass, InputRecord* record);
// The record of pass: the keys the script holds then, and the oldest message of the input
// queue once the pass's presses, clicks and close requests have joined it.
void script_record(const Script& script, int pass, InputRecord* record);
