// The settings file: a small INI dialect (sections, "name = value", # comments).
#include "platform/sdl/settings.h"

#include <fcntl.h>
#include <strings.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/sdl/files.h"
#include "platform/sdl/letterbox.h"
#include "platform/sdl/parse.h"

namespace {

// Larger files are not settings anyone wrote by hand; the rest is ignored and reported.
constexpr size_t MAX_FILE = 64 * 1024;
constexpr size_t MAX_LINE = 512;
constexpr const char* SCALE_NAMES[] = {"auto", "integer", "fit"};

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

struct Parser {
    Settings* settings;
    SettingsReport report;
    void* context;
    int line;
    int bad;
};

void complain(Parser* p, const char* format, const char* what) {
    char message[MAX_LINE + 128];
    std::snprintf(message, sizeof message, format, what);
    p->bad++;
    if (p->report) {
        p->report(p->context, p->line, message);
    }
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
            complain(p, "window must be a size like 1280x960, not \"%s\"; the line is skipped",
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

void gamepad_line(Parser* p, const char* name, const char* value) {
    if (strcasecmp(name, "enabled") != 0) {
        complain(p, "no gamepad setting is called \"%s\"; the line is skipped", name);
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
        char message[MAX_LINE + 96];
        std::snprintf(message, sizeof message,
                      "%s must be a percent from 0 to 100, not \"%s\"; the line is skipped", name,
                      value);
        complain(p, "%s", message);
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

}  // namespace

void settings_default(Settings* settings) {
    *settings = Settings{};
    settings->fullscreen = 1;
    settings->scale_mode = SCALE_AUTO;
    settings->gamepad = 1;
    settings->effects_volume = DEFAULT_EFFECTS_VOLUME;
    settings->music_volume = DEFAULT_MUSIC_VOLUME;
    key_bindings_default(&settings->keys);
}

namespace {

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

}  // namespace

int settings_parse(const char* text, size_t length, Settings* settings, SettingsReport report,
                   void* context) {
    Parser p = {settings, report, context, 0, 0};
    Section section = SECTION_NONE;
    size_t at = 0;
    while (at < length) {
        size_t end = at;
        while (end < length && text[end] != '\n') {
            end++;
        }
        p.line++;
        char line[MAX_LINE + 1];
        const size_t kept = std::min<size_t>(end - at, MAX_LINE);
        const bool too_long = end - at > MAX_LINE;
        std::memcpy(line, text + at, kept);
        line[kept] = '\0';
        at = end + 1;
        if (std::memchr(line, '\0', kept) != nullptr) {
            complain(&p, "%sthe line holds a zero byte; it is skipped", "");
            continue;
        }
        // A comment runs from '#' to the end of the line, after a setting too.
        if (char* hash = std::strchr(line, '#')) {
            *hash = '\0';
        }
        char* content = trim(line);
        if (*content == '\0' || *content == ';') {
            continue;
        }
        if (too_long) {
            complain(&p, "the line is longer than %s characters; it is skipped", "512");
        } else if (*content == '[') {
            section = heading_line(&p, content);
        } else {
            setting_line(&p, section, content);
        }
    }
    return p.bad;
}

size_t settings_format(const Settings* s, char* out, size_t size) {
    size_t used = 0;
    append(out, size, &used,
           "# Quellaro 2005 settings. The game rewrites this file when you change something\n"
           "# while playing (Alt+Enter, F10, the window's size); lines it cannot read are\n"
           "# reported and skipped.\n\n[display]\n");
    append(out, size, &used, "fullscreen = %s\n", s->fullscreen ? "yes" : "no");
    if (s->window_width > 0 && s->window_height > 0) {
        char size_text[32];
        std::snprintf(size_text, sizeof size_text, "%dx%d", s->window_width, s->window_height);
        append(out, size, &used, "window = %s\n", size_text);
    }
    int mode = s->scale_mode >= 0 && s->scale_mode < 3 ? s->scale_mode : SCALE_AUTO;
    append(out, size, &used, "# auto, integer (whole multiples) or fit (as large as fits)\n");
    append(out, size, &used, "scale = %s\n\n[keys]\n", SCALE_NAMES[mode]);
    append(out, size, &used, "# Up to four keys an action, by name, separated by commas.\n");
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
    append(out, size, &used, "\n[gamepad]\nenabled = %s\n", s->gamepad ? "yes" : "no");
    char effects[16], music[16];
    std::snprintf(effects, sizeof effects, "%d", s->effects_volume);
    std::snprintf(music, sizeof music, "%d", s->music_volume);
    append(out, size, &used, "\n[sound]\n# Volumes in percent, 0 to 100; M mutes and unmutes.\n");
    append(out, size, &used, "effects = %s\nmusic = %s\n", effects, music);
    append(out, size, &used, "mute = %s\n", s->muted ? "yes" : "no");
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

int settings_load(const char* path, Settings* settings, SettingsReport report, void* context) {
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        if (errno == ENOENT) {
            return 0;
        }
        if (report) {
            report(context, 0, std::strerror(errno));
        }
        return -1;
    }
    static char text[MAX_FILE];
    size_t length = std::fread(text, 1, sizeof text, file);
    bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        if (report) {
            report(context, 0, "the file cannot be read");
        }
        return -1;
    }
    settings_parse(text, length, settings, report, context);
    return 1;
}

int settings_save(const char* path, const Settings* settings) {
    static char text[16 * 1024];
    size_t length = settings_format(settings, text, sizeof text);
    char temporary[4096];
    if (length == 0 || !make_parent_folders(path) ||
        std::snprintf(temporary, sizeof temporary, "%s.tmp", path) >=
            static_cast<int>(sizeof temporary)) {
        return 0;
    }
    int fd = open(temporary, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        return 0;
    }
    bool ok = write(fd, text, length) == static_cast<ssize_t>(length) && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    if (!ok || std::rename(temporary, path) != 0) {
        unlink(temporary);
        return 0;
    }
    return 1;
}
