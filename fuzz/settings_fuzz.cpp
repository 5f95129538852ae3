// The desktop game's settings file on any text: each line applies or is reported with its
// number, the result stays within the ranges the game can use, a file over the size limit is
// refused whole, and the file written back (with what the game did not use) reads back to the
// same settings and is written again byte for byte the same.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "fuzz/fuzz_targets.h"
#include "fuzz/memory_file.h"
#include "platform/sdl/settings.h"

namespace {

struct Lines {
    int count;
    int file_reports;  // reports about the whole file (line 0)
};

void check_report(void* context, int line, const char* message) {
    auto* lines = static_cast<Lines*>(context);
    FUZZ_CHECK(line >= 0 && line <= lines->count);
    lines->file_reports += line == 0;
    FUZZ_CHECK(message != nullptr && message[0] != '\0');
    // Bytes of the file are escaped: no control character reaches a terminal.
    for (const char* c = message; *c; ++c)
        FUZZ_CHECK(static_cast<unsigned char>(*c) >= 0x20 && *c != 0x7f);
}

Lines lines_of(const char* text, size_t size) {
    Lines lines = {1, 0};
    for (size_t i = 0; i < size; ++i)
        lines.count += text[i] == '\n';
    return lines;
}

bool same(const Settings& a, const Settings& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Outside the function: the records are large.
SettingsKept kept, kept_again, kept_loaded;
char text[SETTINGS_FILE_MAX], again_text[SETTINGS_FILE_MAX];

}  // namespace

int fuzz_settings(const uint8_t* data, size_t size) {
    const char* input = reinterpret_cast<const char*>(data);
    Lines lines = lines_of(input, size);
    Settings settings;
    settings_default(&settings);
    const int bad = settings_parse(input, size, &settings, check_report, &lines, &kept);
    FUZZ_CHECK(bad >= 0 && lines.file_reports == 0);
    FUZZ_CHECK(settings.fullscreen == 0 || settings.fullscreen == 1);
    FUZZ_CHECK(settings.gamepad == 0 || settings.gamepad == 1);
    FUZZ_CHECK(settings.window_width >= 0 && settings.window_width <= 8192);
    FUZZ_CHECK(settings.window_height >= 0 && settings.window_height <= 8192);

    // The same bytes as the file the game reads at start: read the same, or refused whole
    // over the size limit, the defaults kept.
    Settings loaded;
    settings_default(&loaded);
    Lines file_lines = lines;
    file_lines.file_reports = 0;
    const int read = settings_load(memory_file_path(data, size), &loaded, check_report, &file_lines,
                                   &kept_loaded);
    if (size > SETTINGS_FILE_MAX) {
        Settings defaults;
        settings_default(&defaults);
        FUZZ_CHECK(read == -1 && file_lines.file_reports == 1 && same(loaded, defaults));
        FUZZ_CHECK(kept_loaded.length == 0);
    } else {
        FUZZ_CHECK(read == 1 && same(loaded, settings));
        FUZZ_CHECK(kept_loaded.length == kept.length && kept_loaded.overflow == kept.overflow &&
                   std::memcmp(kept_loaded.text, kept.text, kept.length) == 0);
    }

    // The game's own lines alone read back without a complaint.
    size_t length = settings_format(&settings, text, sizeof text);
    FUZZ_CHECK(length > 0);
    Settings again;
    settings_default(&again);
    lines = lines_of(text, length);
    FUZZ_CHECK(settings_parse(text, length, &again, check_report, &lines) == 0);
    FUZZ_CHECK(same(again, settings));

    // With what was kept: the same settings, and once written, written the same again.
    length = settings_format(&settings, text, sizeof text, &kept);
    if (length == 0)
        return 0;  // too much kept to write back: the save says so
    settings_default(&again);
    lines = lines_of(text, length);
    settings_parse(text, length, &again, check_report, &lines, &kept_again);
    FUZZ_CHECK(same(again, settings));
    FUZZ_CHECK(settings_format(&again, again_text, sizeof again_text, &kept_again) == length);
    FUZZ_CHECK(std::memcmp(text, again_text, length) == 0);
    return 0;
}

FUZZ_ENTRY(fuzz_settings)
