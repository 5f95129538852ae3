// The play-script reader on any text: every line is read or refused with its word and why,
// what it reads lies in range, and the script written back reads to the same script; an old
// recording's closing note is read in range or not at all.
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz/fuzz_targets.h"
#include "platform/script.h"

namespace {

void check_error(const ScriptError& error, void* lines) {
    FUZZ_CHECK(error.line >= 1 && error.line <= *static_cast<int*>(lines));
    FUZZ_CHECK(error.why != nullptr && error.why[0] != '\0');
}

void check_in_range(const Script& script) {
    for (const ScriptEvent& e : script.events) {
        FUZZ_CHECK(e.pass >= 0);
        if (e.command == ScriptCommand::key)
            FUZZ_CHECK(e.a >= 0 && e.a <= 255);
        if (e.command == ScriptCommand::click || e.command == ScriptCommand::double_click)
            FUZZ_CHECK(e.a >= 0 && e.a < SCRIPT_FRAME_WIDTH && e.b >= 0 &&
                       e.b < SCRIPT_FRAME_HEIGHT);
    }
    for (const ScriptHold& h : script.holds) {
        FUZZ_CHECK(h.first >= 0 && h.first <= h.last && !h.keys.empty());
        for (int key : h.keys)
            FUZZ_CHECK(key >= 0 && key <= 255);
    }
}

}  // namespace

int fuzz_script(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    int lines = 1;
    for (char c : text)
        lines += c == '\n';
    Script script;
    const int bad = script_parse(text, &script, check_error, &lines);
    FUZZ_CHECK(bad >= 0 && bad <= lines);
    check_in_range(script);
    Script again;
    FUZZ_CHECK(script_parse(script_write(script), &again) == 0);
    FUZZ_CHECK(script == again);
    // An old recording's closing note: in range when read, and read back as written.
    int pass = -1;
    uint64_t digest = 0;
    if (script_last_frame(text, &pass, &digest)) {
        FUZZ_CHECK(pass >= 0);
        char note[64];
        std::snprintf(note, sizeof note, "# last frame: pass %d, digest %llx\n", pass,
                      static_cast<unsigned long long>(digest));
        int pass_again = -1;
        uint64_t digest_again = 0;
        FUZZ_CHECK(script_last_frame(note, &pass_again, &digest_again));
        FUZZ_CHECK(pass_again == pass && digest_again == digest);
    }
    // The same text as one option value.
    int number = 0;
    if (script_read_number(text.c_str(), 0, INT_MAX, &number))
        FUZZ_CHECK(number >= 0);
    return 0;
}

FUZZ_ENTRY(fuzz_script)
