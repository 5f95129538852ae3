// The state line: the game's state after a pass as one line of JSON (mode, counters, the
// hero, the enemies, the blocks...), the proof that replays, the verifier and the tests
// compare. Its fields are digested one by one, so that a difference can be named.
//
// The line here leaves out what is not the game's own: the clock's tick and the pass's sound
// events, which the headless runner adds to the lines it prints (state_line_print).
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>

// The fields after "pass", in the line's order; the digests name them.
constexpr int STATE_LINE_FIELDS = 22;
constexpr size_t STATE_LINE_MAX = 8192;

struct StateLine {
    char text[STATE_LINE_MAX];  // {"pass":N,...} without tick and sounds, NUL-terminated
    size_t length;
    // Where each field begins (its comma), and where the last one ends (before the '}'). A
    // field the game does not have yet (no hero before start-up) is empty.
    size_t field_at[STATE_LINE_FIELDS + 1];
};

// The line of the game's state now, numbered pass.
void state_line_make(StateLine* line, int pass);
// A field's name ("hero", "skivits"), or "" past the last.
const char* state_line_field_name(int field);
// The field's own text: ,"name":value.
const char* state_line_field(const StateLine& line, int field, size_t* length);

// FNV-1a 64, the digest every digest here is made from.
uint64_t replay_fnv64(const void* bytes, size_t count, uint64_t hash = 14695981039346656037ull);
// The whole line's digest.
uint64_t state_line_digest(const StateLine& line);
// One field's digest folded into a byte.
uint8_t state_line_field_byte(const StateLine& line, int field);

// The line as the runner prints it: the tick after "pass", the sounds' names last (a JSON
// array's text, such as ["coin"]), and a newline.
void state_line_print(FILE* out, const StateLine& line, uint32_t tick, const char* sounds);
