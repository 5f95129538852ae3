// The state line, written into a fixed buffer with each field's place noted.
#include "programs/common/replay_line.h"

#include <cstdarg>
#include <cstring>

#include "shell/game_state.h"
#include "shell/window.h"
#include "world/objects.h"
#include "world/world_state.h"

namespace {

constexpr const char* FIELD_NAMES[STATE_LINE_FIELDS] = {
    "game_mode",   "menu_selection", "score",       "coins",         "time_left",
    "level_won",   "cursor_visible", "hero",        "hero_is_large", "hero_airborne",
    "jump_lift",   "morph_timer",    "death_timer", "scroll_total",  "scroll_step",
    "stomp_value", "power_up",       "skivits",     "qblocks",       "bricks",
    "coin_step",   "bump_step"};

// Appends to the line; a line that would not fit is cut (it cannot happen: the longest line
// the game's objects make is about 3 KB).
void add(StateLine* line, const char* format, ...) __attribute__((format(printf, 2, 3)));
void add(StateLine* line, const char* format, ...) {
    const size_t room = STATE_LINE_MAX - line->length;
    va_list args;
    va_start(args, format);
    const int written = std::vsnprintf(line->text + line->length, room, format, args);
    va_end(args);
    if (written > 0)
        line->length +=
            static_cast<size_t>(written) < room ? static_cast<size_t>(written) : room - 1;
}

void begin_field(StateLine* line, int field) {
    line->field_at[field] = line->length;
    add(line, ",\"%s\":", FIELD_NAMES[field]);
}

double wide(float value) {
    return static_cast<double>(value);
}

void add_sprite_core(StateLine* line, const SpriteObject& s) {
    add(line, "\"state\":%d,\"x\":%.9g,\"y\":%.9g,\"vx\":%.9g,\"vy\":%.9g", s.state, wide(s.x),
        wide(s.y), wide(s.vx), wide(s.vy));
}

void add_world(StateLine* line) {
    begin_field(line, 7);
    add(line, "{\"form\":\"%s\",", hero == &hero_large ? "large" : "small");
    add_sprite_core(line, *hero);
    add(line, ",\"frame\":%d,\"anim\":%d}", hero->frame, hero->anim);
    const int counters[] = {hero_is_large, hero_airborne};
    for (int i = 0; i < 2; ++i) {
        begin_field(line, 8 + i);
        add(line, "%d", counters[i]);
    }
    begin_field(line, 10);
    add(line, "%.9g", wide(jump_lift));
    const int more[] = {morph_timer, death_timer, scroll_total, scroll_step, stomp_value};
    for (int i = 0; i < 5; ++i) {
        begin_field(line, 11 + i);
        add(line, "%d", more[i]);
    }
    begin_field(line, 16);
    add(line, "{");
    add_sprite_core(line, power_up);
    add(line, "}");
    begin_field(line, 17);
    for (int i = 0; i < SKIVIT_COUNT; ++i) {
        add(line, "%s{\"aux_state\":%d,\"frame\":%d,", i ? "," : "[", skivits[i].aux_state,
            skivits[i].frame);
        add_sprite_core(line, skivits[i]);
        add(line, "}");
    }
    add(line, "]");
    begin_field(line, 18);
    for (int i = 0; i < QBLOCK_COUNT; ++i) {
        add(line, "%s{\"state\":%d,\"x\":%.9g,\"y\":%.9g,\"frame\":%d}", i ? "," : "[",
            qblocks[i].state, wide(qblocks[i].x), wide(qblocks[i].y), qblocks[i].frame);
    }
    add(line, "]");
    begin_field(line, 19);
    for (int i = 0; i < BRICK_COUNT; ++i) {
        add(line, "%s{\"state\":%d,\"x\":%.9g,\"y\":%.9g}", i ? "," : "[", bricks[i].state,
            wide(bricks[i].x), wide(bricks[i].y));
    }
    add(line, "]");
    begin_field(line, 20);
    add(line, "[%d,%d]", coin_step[0], coin_step[1]);
    begin_field(line, 21);
    add(line, "%d", bump_step);
}

}  // namespace

void state_line_make(StateLine* line, int pass) {
    line->length = 0;
    add(line, "{\"pass\":%d", pass);
    const int counters[] = {game_mode, menu_selection, score, coins};
    for (int i = 0; i < 4; ++i) {
        begin_field(line, i);
        add(line, "%d", counters[i]);
    }
    begin_field(line, 4);
    add(line, "%.9g", wide(time_left));
    begin_field(line, 5);
    add(line, "%d", level_won);
    begin_field(line, 6);
    add(line, "%s", window_cursor_visible() ? "true" : "false");
    if (hero) {
        add_world(line);
    } else {
        for (int field = 7; field < STATE_LINE_FIELDS; ++field)
            line->field_at[field] = line->length;
    }
    line->field_at[STATE_LINE_FIELDS] = line->length;
    add(line, "}");
}

const char* state_line_field_name(int field) {
    return field >= 0 && field < STATE_LINE_FIELDS ? FIELD_NAMES[field] : "";
}

const char* state_line_field(const StateLine& line, int field, size_t* length) {
    *length = line.field_at[field + 1] - line.field_at[field];
    return line.text + line.field_at[field];
}

uint64_t replay_fnv64(const void* bytes, size_t count, uint64_t hash) {
    const auto* p = static_cast<const uint8_t*>(bytes);
    for (size_t i = 0; i < count; ++i) {
        hash ^= p[i];
        hash *= 1099511628211ull;
    }
    return hash;
}

uint64_t state_line_digest(const StateLine& line) {
    return replay_fnv64(line.text, line.length);
}

uint8_t state_line_field_byte(const StateLine& line, int field) {
    size_t length = 0;
    const char* text = state_line_field(line, field, &length);
    uint64_t hash = replay_fnv64(text, length);
    hash ^= hash >> 32;
    hash ^= hash >> 16;
    hash ^= hash >> 8;
    return static_cast<uint8_t>(hash);
}

void state_line_print(FILE* out, const StateLine& line, uint32_t tick, const char* sounds) {
    const size_t head = line.field_at[0];
    std::fwrite(line.text, 1, head, out);
    std::fprintf(out, ",\"tick\":%u", tick);
    std::fwrite(line.text + head, 1, line.field_at[STATE_LINE_FIELDS] - head, out);
    std::fprintf(out, ",\"sounds\":%s}\n", sounds);
}
