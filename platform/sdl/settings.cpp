// The settings file: a small INI dialect (sections, "name = value", # comments).
#include "platform/sdl/settings.h"

#include <strings.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/file_read.h"
#include "platform/file_write.h"
#include "platform/sdl/files.h"
#include "platform/sdl/letterbox.h"
#include "platform/sdl/parse.h"
#include "platform/text_escape.h"

namespace {

// A setting's text (before any comment) longer than this is refused; a comment may be of any
// length. Lines are never cut: a long one is skipped whole and the next read like any other.
constexpr size_t MAX_LINE = 512;
// A message echoes at most one escaped line, four characters a byte.
constexpr size_t MAX_MESSAGE = MAX_LINE * 4 + 160;
constexpr const char* SCALE_NAMES[] = {"auto", "integer", "fit"};
constexpr const char* COLOUR_NAMES[] = {"none", "red-green", "blue-yellow", "high-contrast"};
constexpr int COLOUR_COUNT = 4;

enum Section {
    SECTION_NONE,
    SECTION_DISPLAY,
    SECTION_KEYS,
    SECTION_GAMEPAD,
    SECTION_SOUND,
    SECTION_UNKNOWN
};
constexpr int DEFAULT_EFFECTS_VOLUME = 100;
constexpr int DEFAULT_MUSIC_VOLUME = 70;

// The game's own comments, which it writes again each time and so does not keep; the ones
// earlier versions wrote are among them, so that files they wrote do not keep those for ever.
constexpr const char* HEADER[] = {
    "# Quellaro 2005 settings. The game rewrites this file when you change something",
    "# while playing (Alt+Enter, F10, the window's size). A line it cannot use is kept,",
    "# under a comment saying why.",
};
constexpr const char* SCALE_COMMENT = "# auto, integer (whole multiples) or fit (as large as fits)";
constexpr const char* KEYS_COMMENT = "# Up to four keys an action, by name, separated by commas.";
constexpr const char* SOUND_COMMENT = "# Volumes in percent, 0 to 100; M mutes and unmutes.";
constexpr const char* PAD_COMMENT =
    "# Pad buttons an action: South, East, West, North, Back, Start, Up, Down, Left, Right,";
constexpr const char* PAD_COMMENT_2 = "# Left Shoulder, Right Shoulder, by commas; or none.";
constexpr const char* OWN_COMMENTS[] = {
    HEADER[0],
    HEADER[1],
    HEADER[2],
    SCALE_COMMENT,
    KEYS_COMMENT,
    SOUND_COMMENT,
    PAD_COMMENT,
    PAD_COMMENT_2,
    "# while playing (Alt+Enter, F10, the window's size); lines it cannot read are",
    "# reported and skipped.",
};
// Starts the comment written above a line that was not used; it is written again from the
// line's complaint at each rewrite.
constexpr const char* NOT_USED = "# Not used: ";

// Kept entries: the section they go back into ('0' + a known Section, or 'u' under the last
// unknown heading), then what they are.
constexpr char GROUP_UNKNOWN = 'u';
constexpr char KEPT_LINE = 'L';     // a line or comment, written back as it was
constexpr char KEPT_REASON = 'R';   // why the next line was not used
constexpr char KEPT_HEADING = 'H';  // a heading the game does not know, starting a section

struct Parser {
    Settings* settings;
    SettingsReport report;
    void* context;
    SettingsKept* kept;
    char group;  // where the line's complaints and kept bytes go
    int line;
    int bad;
};

char group_of(Section section) {
    return section == SECTION_UNKNOWN ? GROUP_UNKNOWN : static_cast<char>('0' + section);
}

void keep(Parser* p, char kind, const char* bytes, size_t length) {
    SettingsKept* kept = p->kept;
    if (kept == nullptr || kept->overflow) {
        return;
    }
    if (length + 3 > sizeof kept->text - kept->length) {
        kept->overflow = true;
        return;
    }
    char* at = kept->text + kept->length;
    at[0] = p->group;
    at[1] = kind;
    std::memcpy(at + 2, bytes, length);
    at[2 + length] = '\n';
    kept->length += length + 3;
}

// Reports a bad line; what (bytes of the file) is shown escaped.
void complain(Parser* p, const char* format, const char* what) {
    char shown[MAX_LINE * 4 + 4];
    text_escape(what, std::strlen(what), shown, sizeof shown);
    char message[MAX_MESSAGE];
    std::snprintf(message, sizeof message, format, shown);
    p->bad++;
    if (p->report) {
        p->report(p->context, p->line, message);
    }
    keep(p, KEPT_REASON, message, std::strlen(message));
}
char* trim(char* text) {
    while (*text == ' ' || *text == '\t') {
        text++;
    }
    char* end = text + std::strlen(text);
    while (end > text && (end[-1] == ' ' || end[-1] == '\t' || end[-1] == '\r')) {
        *--end = '\0';
    }
    return text;
}

// yes/no, true/false, on/off, 1/0; -1 for anything else.
int read_switch(const char* value) {
    static const char* const on[] = {"yes", "true", "on", "1"};
    static const char* const off[] = {"no", "false", "off", "0"};
    for (int i = 0; i < 4; i++) {
        if (strcasecmp(value, on[i]) == 0) {
            return 1;
        }
        if (strcasecmp(value, off[i]) == 0) {
            return 0;
        }
    }
    return -1;
}

void display_line(Parser* p, const char* name, const char* value) {
    Settings* s = p->settings;
    if (strcasecmp(name, "fullscreen") == 0) {
        int on = read_switch(value);
        if (on < 0) {
            complain(p, "fullscreen must be yes or no, not \"%s\"; the line is skipped", value);
        } else {
            s->fullscreen = on;
        }
    } else if (strcasecmp(name, "window") == 0) {
        int width, height;
        if (parse_window_size(value, &width, &height)) {
            s->window_width = width;
            s->window_height = height;
        } else {
            complain(p,
                     "window must be a size like 1280x960 (8192 at most each way), not \"%s\"; "
                     "the line is skipped",
                     value);
        }
    } else if (strcasecmp(name, "scale") == 0) {
        for (int mode = 0; mode < 3; mode++) {
            if (strcasecmp(value, SCALE_NAMES[mode]) == 0) {
                s->scale_mode = mode;
                return;
            }
        }
        complain(p, "scale must be auto, integer or fit, not \"%s\"; the line is skipped", value);
    } else if (strcasecmp(name, "colours") == 0) {
        for (int filter = 0; filter < COLOUR_COUNT; filter++) {
            if (strcasecmp(value, COLOUR_NAMES[filter]) == 0) {
                s->colours = filter;
                return;
            }
        }
        complain(p,
                 "colours must be none, red-green, blue-yellow or high-contrast, not \"%s\"; "
                 "the line is skipped",
                 value);
    } else if (strcasecmp(name, "speed") == 0) {
        for (const char* percent : {"100", "90", "75", "50"}) {
            if (strcmp(value, percent) == 0) {
                s->speed = std::atoi(percent);
                return;
            }
        }
        complain(p, "speed must be 100, 90, 75 or 50, not \"%s\"; the line is skipped", value);
    } else if (strcasecmp(name, "timer") == 0) {
        int on = read_switch(value);
        if (on < 0) {
            complain(p, "timer must be yes or no, not \"%s\"; the line is skipped", value);
        } else {
            s->show_timer = on;
        }
    } else if (strcasecmp(name, "ghost") == 0) {
        int on = read_switch(value);
        if (on < 0) {
            complain(p, "ghost must be yes or no, not \"%s\"; the line is skipped", value);
        } else {
            s->show_ghost = on;
        }
    } else {
        complain(p, "no display setting is called \"%s\"; the line is skipped", name);
    }
}

// "jump = Page Down, C": the named keys replace the role's keys; unknown names are reported
// and skipped, and a line with no known key leaves the role as it was.
void keys_line(Parser* p, const char* name, char* value) {
    int role = key_role_from_name(name);
    if (role < 0) {
        complain(p, "no key action is called \"%s\"; the line is skipped", name);
        return;
    }
    int32_t keys[KEYS_PER_ROLE] = {};
    int count = 0;
    char* unknown[KEYS_PER_ROLE * 4];
    int unknown_count = 0;
    for (char* item = value; item != nullptr;) {
        char* comma = std::strchr(item, ',');
        if (comma != nullptr) {
            *comma = '\0';
        }
        char* key_name = trim(item);
        int32_t keycode = keycode_from_name(key_name);
        if (keycode == 0) {
            if (unknown_count < KEYS_PER_ROLE * 4) {
                unknown[unknown_count++] = key_name;
            }
        } else if (count == KEYS_PER_ROLE) {
            complain(p, "at most four keys an action; \"%s\" is left out", key_name);
        } else {
            keys[count++] = keycode;
        }
        item = comma ? comma + 1 : nullptr;
    }
    for (int i = 0; i < unknown_count; i++) {
        complain(p,
                 count > 0 ? "no key is called \"%s\"; the line's other keys apply"
                           : "no key is called \"%s\"; the line is skipped",
                 unknown[i]);
    }
    if (count > 0) {
        std::memcpy(p->settings->keys.keys[role], keys, sizeof keys);
    }
}

// "run = West, East": the named buttons replace the action's; "none" leaves it to the keys.
// Unknown names are reported and skipped, and a line with no known button leaves it as it was.
void pad_buttons_line(Parser* p, int role, char* value) {
    if (strcasecmp(value, "none") == 0) {
        p->settings->pads.buttons[role] = 0;
        return;
    }
    uint32_t buttons = 0;
    char* unknown[PAD_BUTTON_COUNT];
    int unknown_count = 0;
    for (char* item = value; item != nullptr;) {
        char* comma = std::strchr(item, ',');
        if (comma != nullptr) {
            *comma = '\0';
        }
        char* name = trim(item);
        const uint32_t button = pad_button_from_name(name);
        if (button != 0) {
            buttons |= button;
        } else if (unknown_count < PAD_BUTTON_COUNT) {
            unknown[unknown_count++] = name;
        }
        item = comma ? comma + 1 : nullptr;
    }
    for (int i = 0; i < unknown_count; i++) {
        complain(p,
                 buttons != 0 ? "no pad button is called \"%s\"; the line's other buttons apply"
                              : "no pad button is called \"%s\"; the line is skipped",
                 unknown[i]);
    }
    if (buttons != 0) {
        p->settings->pads.buttons[role] = buttons;
    }
}

void gamepad_line(Parser* p, const char* name, char* value) {
    if (strcasecmp(name, "enabled") != 0) {
        const int role = key_role_from_name(name);
        if (role < 0) {
            complain(p, "no gamepad setting is called \"%s\"; the line is skipped", name);
        } else {
            pad_buttons_line(p, role, value);
        }
        return;
    }
    int on = read_switch(value);
    if (on < 0) {
        complain(p, "enabled must be yes or no, not \"%s\"; the line is skipped", value);
    } else {
        p->settings->gamepad = on;
    }
}

// "effects = 80": a whole percent from 0 to 100.
void volume_line(Parser* p, const char* name, const char* value, int* volume) {
    char* end = nullptr;
    const long percent = std::strtol(value, &end, 10);
    if (end == value || *end != '\0' || percent < 0 || percent > 100) {
        char format[96];
        std::snprintf(format, sizeof format,
                      "%s must be a percent from 0 to 100, not \"%%s\"; the line is skipped", name);
        complain(p, format, value);
        return;
    }
    *volume = static_cast<int>(percent);
}

void sound_line(Parser* p, const char* name, const char* value) {
    Settings* s = p->settings;
    if (strcasecmp(name, "effects") == 0) {
        volume_line(p, "effects", value, &s->effects_volume);
    } else if (strcasecmp(name, "music") == 0) {
        volume_line(p, "music", value, &s->music_volume);
    } else if (strcasecmp(name, "mute") == 0) {
        int on = read_switch(value);
        if (on < 0) {
            complain(p, "mute must be yes or no, not \"%s\"; the line is skipped", value);
        } else {
            s->muted = on;
        }
    } else {
        complain(p, "no sound setting is called \"%s\"; the line is skipped", name);
    }
}

Section section_named(const char* name) {
    if (strcasecmp(name, "display") == 0) {
        return SECTION_DISPLAY;
    }
    if (strcasecmp(name, "keys") == 0) {
        return SECTION_KEYS;
    }
    if (strcasecmp(name, "gamepad") == 0) {
        return SECTION_GAMEPAD;
    }
    if (strcasecmp(name, "sound") == 0) {
        return SECTION_SOUND;
    }
    return SECTION_UNKNOWN;
}

// Appends to a bounded buffer; *used goes past size when the text does not fit.
void append(char* out, size_t size, size_t* used, const char* format, const char* a = "",
            const char* b = "") {
    if (*used < size) {
        int n = std::snprintf(out + *used, size - *used, format, a, b);
        *used += n > 0 ? static_cast<size_t>(n) : 0;
    }
}

// Appends bytes as they are (a kept line may hold any byte but a newline).
void append_bytes(char* out, size_t size, size_t* used, const char* bytes, size_t length) {
    if (*used < size && length < size - *used) {
        std::memcpy(out + *used, bytes, length);
    }
    *used += length;
}

// Every action's pad buttons, "none" for an action the pad does not do.
void append_pads(const PadBindings* pads, char* out, size_t size, size_t* used) {
    append(out, size, used, "%s\n%s\n", PAD_COMMENT, PAD_COMMENT_2);
    for (int role = 0; role < ROLE_COUNT; role++) {
        append(out, size, used, "%s =", key_role_name(role));
        int written = 0;
        for (int bit = 0; bit < PAD_BUTTON_COUNT; bit++) {
            if (pads->buttons[role] & (1u << bit)) {
                append(out, size, used, "%s %s", written ? "," : "", pad_button_name_at(bit));
                written++;
            }
        }
        append(out, size, used, "%s\n", written ? "" : " none");
    }
}

// "[name]": the section the lines after it belong to.
Section heading_line(Parser* p, char* content) {
    char* close = std::strchr(content, ']');
    if (close == nullptr || *trim(close + 1) != '\0') {
        complain(p, "\"%s\" is not a section heading like [keys]; the lines under it are skipped",
                 content);
        return SECTION_UNKNOWN;
    }
    *close = '\0';
    const Section section = section_named(trim(content + 1));
    if (section == SECTION_UNKNOWN) {
        complain(p, "no section is called [%s]; its lines are skipped", trim(content + 1));
    }
    return section;
}

// "name = value" in the given section.
void setting_line(Parser* p, Section section, char* content) {
    char* equals = std::strchr(content, '=');
    if (equals == nullptr) {
        complain(p, "\"%s\" is not a setting like name = value; the line is skipped", content);
        return;
    }
    *equals = '\0';
    char* name = trim(content);
    char* value = trim(equals + 1);
    if (*value == '\0') {
        complain(p, "%s has no value; the line is skipped", name);
        return;
    }
    switch (section) {
        case SECTION_DISPLAY:
            display_line(p, name, value);
            break;
        case SECTION_KEYS:
            keys_line(p, name, value);
            break;
        case SECTION_GAMEPAD:
            gamepad_line(p, name, value);
            break;
        case SECTION_SOUND:
            sound_line(p, name, value);
            break;
        case SECTION_NONE:
            complain(p, "%s comes before any section heading; the line is skipped", name);
            break;
        case SECTION_UNKNOWN:
            break;  // reported once, at the heading
    }
}

bool is_blank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

// A comment of the player's, kept where it was; the game's own are written again anyway.
void keep_comment(Parser* p, const char* comment, size_t length) {
    while (length > 0 && is_blank(comment[length - 1])) {
        length--;
    }
    const char* text = comment;
    while (text < comment + length && is_blank(*text)) {
        text++;
    }
    const size_t shown = length - static_cast<size_t>(text - comment);
    if (shown >= std::strlen(NOT_USED) && std::memcmp(text, NOT_USED, std::strlen(NOT_USED)) == 0) {
        return;
    }
    for (const char* own : OWN_COMMENTS) {
        if (shown == std::strlen(own) && std::memcmp(text, own, shown) == 0) {
            return;
        }
    }
    keep(p, KEPT_LINE, comment, length);
}

// A line of the file kept as it was, but for the blanks at its end: they mean nothing, and a
// carriage return there would be read as part of the newline when the file is read again, so
// each rewrite would lose one.
void keep_line(Parser* p, char kind, const char* raw, size_t length) {
    while (length > 0 && is_blank(raw[length - 1])) {
        length--;
    }
    keep(p, kind, raw, length);
}

// One line of the file (its newline and a carriage return before it left off).
void read_line(Parser* p, Section* section, const char* raw, size_t length) {
    p->group = group_of(*section);
    const int bad_before = p->bad;
    if (std::memchr(raw, '\0', length) != nullptr) {
        complain(p, "%sthe line holds a zero byte; it is skipped", "");
        keep_line(p, KEPT_LINE, raw, length);
        return;
    }
    // A comment runs from '#' to the end of the line, after a setting too.
    const char* hash = static_cast<const char*>(std::memchr(raw, '#', length));
    const char* begin = raw;
    const char* end = hash != nullptr ? hash : raw + length;
    while (begin < end && is_blank(*begin)) {
        begin++;
    }
    while (end > begin && is_blank(end[-1])) {
        end--;
    }
    if (begin == end || *begin == ';') {
        if (begin != end || hash != nullptr) {
            keep_comment(p, raw, length);  // blank lines are not kept: the game writes its own
        }
        return;
    }
    if (static_cast<size_t>(end - begin) > MAX_LINE) {
        complain(p, "the line is longer than %s characters; it is skipped", "512");
        keep_line(p, KEPT_LINE, raw, length);
        return;
    }
    char line[MAX_LINE + 1];
    std::memcpy(line, begin, static_cast<size_t>(end - begin));
    line[end - begin] = '\0';
    if (line[0] == '[') {
        p->group = GROUP_UNKNOWN;  // a heading that is refused starts a section not known
        *section = heading_line(p, line);
        if (*section == SECTION_UNKNOWN) {
            keep_line(p, KEPT_HEADING, raw, length);
            return;
        }
        p->group = group_of(*section);
    } else {
        setting_line(p, *section, line);
        if (*section == SECTION_UNKNOWN || p->bad > bad_before) {
            keep_line(p, KEPT_LINE, raw, length);
            return;
        }
    }
    if (hash != nullptr) {
        keep_comment(p, hash, length - static_cast<size_t>(hash - raw));
    }
}

// The kept entries of one section; for the sections the game does not know, their headings
// and lines, an empty line before each heading and the reasons above it.
void append_kept(const SettingsKept* kept, char group, char* out, size_t size, size_t* used) {
    if (kept == nullptr) {
        return;
    }
    bool after_reason = false;
    for (size_t at = 0; at < kept->length;) {
        const char* entry = kept->text + at;
        const char* end =
            static_cast<const char*>(std::memchr(entry + 2, '\n', kept->length - at - 2));
        const size_t length = static_cast<size_t>(end - entry - 2);
        at += length + 3;
        if (entry[0] != group) {
            continue;
        }
        if (group == GROUP_UNKNOWN && entry[1] != KEPT_LINE && !after_reason) {
            append(out, size, used, "\n");
        }
        after_reason = entry[1] == KEPT_REASON;
        if (after_reason) {
            append(out, size, used, "%s", NOT_USED);
        }
        append_bytes(out, size, used, entry + 2, length);
        append(out, size, used, "\n");
    }
}

}  // namespace

void settings_default(Settings* settings) {
    *settings = Settings{};
    settings->fullscreen = 1;
    settings->scale_mode = SCALE_AUTO;
    settings->gamepad = 1;
    settings->speed = 100;
    settings->effects_volume = DEFAULT_EFFECTS_VOLUME;
    settings->music_volume = DEFAULT_MUSIC_VOLUME;
    key_bindings_default(&settings->keys);
    pad_bindings_default(&settings->pads);
}

int settings_parse(const char* text, size_t length, Settings* settings, SettingsReport report,
                   void* context, SettingsKept* kept) {
    Parser p = {settings, report, context, kept, group_of(SECTION_NONE), 0, 0};
    if (kept != nullptr) {
        kept->length = 0;
        kept->overflow = false;
    }
    Section section = SECTION_NONE;
    size_t at = 0;
    while (at < length) {
        const char* newline = static_cast<const char*>(std::memchr(text + at, '\n', length - at));
        size_t end = newline != nullptr ? static_cast<size_t>(newline - text) : length;
        const size_t next = end + 1;
        if (end > at && text[end - 1] == '\r') {
            end--;
        }
        p.line++;
        read_line(&p, &section, text + at, end - at);
        at = next;
    }
    return p.bad;
}

size_t settings_format(const Settings* s, char* out, size_t size, const SettingsKept* kept) {
    if (kept != nullptr && kept->overflow) {
        return 0;
    }
    size_t used = 0;
    for (const char* line : HEADER) {
        append(out, size, &used, "%s\n", line);
    }
    append_kept(kept, group_of(SECTION_NONE), out, size, &used);
    append(out, size, &used, "\n[display]\n");
    append_kept(kept, group_of(SECTION_DISPLAY), out, size, &used);
    append(out, size, &used, "fullscreen = %s\n", s->fullscreen ? "yes" : "no");
    if (s->window_width > 0 && s->window_height > 0) {
        char size_text[32];
        std::snprintf(size_text, sizeof size_text, "%dx%d", s->window_width, s->window_height);
        append(out, size, &used, "window = %s\n", size_text);
    }
    int mode = s->scale_mode >= 0 && s->scale_mode < 3 ? s->scale_mode : SCALE_AUTO;
    append(out, size, &used, "%s\n", SCALE_COMMENT);
    append(out, size, &used, "scale = %s\n", SCALE_NAMES[mode]);
    // Written only when chosen, so a file that never had it reads as it did.
    if (s->colours > 0 && s->colours < COLOUR_COUNT) {
        append(out, size, &used, "colours = %s\n", COLOUR_NAMES[s->colours]);
    }
    // Written only when chosen, as the colours are.
    if (s->speed == 90 || s->speed == 75 || s->speed == 50) {
        append(out, size, &used, "speed = %s\n",
               s->speed == 90   ? "90"
               : s->speed == 75 ? "75"
                                : "50");
    }
    append(out, size, &used, "timer = %s\nghost = %s\n\n[keys]\n", s->show_timer ? "yes" : "no",
           s->show_ghost ? "yes" : "no");
    append(out, size, &used, "%s\n", KEYS_COMMENT);
    append_kept(kept, group_of(SECTION_KEYS), out, size, &used);
    for (int role = 0; role < ROLE_COUNT; role++) {
        append(out, size, &used, "%s =", key_role_name(role));
        int written = 0;
        for (int32_t keycode : s->keys.keys[role]) {
            const char* name = keycode_name(keycode);
            if (name != nullptr) {
                append(out, size, &used, "%s %s", written ? "," : "", name);
                written++;
            }
        }
        append(out, size, &used, "\n");
    }
    append(out, size, &used, "\n[gamepad]\n");
    append_kept(kept, group_of(SECTION_GAMEPAD), out, size, &used);
    append(out, size, &used, "enabled = %s\n", s->gamepad ? "yes" : "no");
    append_pads(&s->pads, out, size, &used);
    char effects[16], music[16];
    std::snprintf(effects, sizeof effects, "%d", s->effects_volume);
    std::snprintf(music, sizeof music, "%d", s->music_volume);
    append(out, size, &used, "\n[sound]\n%s\n", SOUND_COMMENT);
    append_kept(kept, group_of(SECTION_SOUND), out, size, &used);
    append(out, size, &used, "effects = %s\nmusic = %s\n", effects, music);
    append(out, size, &used, "mute = %s\n", s->muted ? "yes" : "no");
    append_kept(kept, GROUP_UNKNOWN, out, size, &used);
    return used < size ? used : 0;
}

int settings_path(const char* config_home, const char* home, char* out, size_t size) {
    int n;
    if (config_home != nullptr && config_home[0] == '/') {
        n = std::snprintf(out, size, "%s/quellaro/settings.ini", config_home);
    } else if (home != nullptr && home[0] == '/') {
        n = std::snprintf(out, size, "%s/.config/quellaro/settings.ini", home);
    } else {
        return 0;
    }
    return n > 0 && static_cast<size_t>(n) < size;
}

int settings_load(const char* path, Settings* settings, SettingsReport report, void* context,
                  SettingsKept* kept) {
    if (kept != nullptr) {
        kept->length = 0;
        kept->overflow = false;
    }
    static char text[SETTINGS_FILE_MAX];
    char why[FILE_READ_WHY_MAX];
    const int64_t length = file_read_into(path, text, sizeof text, why, sizeof why);
    if (length < 0) {
        if (errno == ENOENT) {
            return 0;
        }
        if (report) {
            char message[FILE_READ_WHY_MAX + 128];
            std::snprintf(message, sizeof message,
                          "%s; the game uses the defaults and leaves the file as it is", why);
            report(context, 0, message);
        }
        return -1;
    }
    settings_parse(text, static_cast<size_t>(length), settings, report, context, kept);
    return 1;
}

int settings_save(const char* path, const Settings* settings, const SettingsKept* kept, char* why,
                  size_t why_size) {
    // Never larger than the game reads back.
    static char text[SETTINGS_FILE_MAX];
    const size_t length = settings_format(settings, text, sizeof text, kept);
    if (length == 0) {
        std::snprintf(why, why_size,
                      "with the lines kept from the file it would be over the size limit of %s",
                      file_size_text(SETTINGS_FILE_MAX).c_str());
        return 0;
    }
    if (!make_parent_folders(path)) {
        std::snprintf(why, why_size, "cannot make its folder (%s)", std::strerror(errno));
        return 0;
    }
    return file_write_whole(path, text, length, why, why_size) ? 1 : 0;
}
