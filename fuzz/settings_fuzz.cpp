// The desktop game's settings file on any text: each line applies or is reported with its
// number, the result stays within the ranges the game can use, and the file written back
// reads back to the same settings without a complaint.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "fuzz/fuzz_targets.h"
#include "fuzz/memory_file.h"
#include "platform/sdl/settings.h"

namespace {

void check_report(void* lines, int line, const char* message) {
    FUZZ_CHECK(line >= 1 && line <= *static_cast<int*>(lines));
    FUZZ_CHECK(message != nullptr && message[0] != '\0');
}

}  // namespace

int fuzz_settings(const uint8_t* data, size_t size) {
    int lines = 1;
    for (size_t i = 0; i < size; ++i)
        lines += data[i] == '\n';
    Settings settings;
    settings_default(&settings);
    const int bad =
        settings_parse(reinterpret_cast<const char*>(data), size, &settings, check_report, &lines);
    FUZZ_CHECK(bad >= 0);
    FUZZ_CHECK(settings.fullscreen == 0 || settings.fullscreen == 1);
    FUZZ_CHECK(settings.gamepad == 0 || settings.gamepad == 1);
    FUZZ_CHECK(settings.window_width >= 0 && settings.window_width <= 16384);
    FUZZ_CHECK(settings.window_height >= 0 && settings.window_height <= 16384);

    // The same bytes as the file the game reads at start.
    Settings loaded;
    settings_default(&loaded);
    FUZZ_CHECK(settings_load(memory_file_path(data, size), &loaded, nullptr, nullptr) == 1);

    static char text[64 * 1024], again_text[64 * 1024];
    const size_t length = settings_format(&settings, text, sizeof text);
    FUZZ_CHECK(length > 0 && length < sizeof text);
    Settings again;
    settings_default(&again);
    int written_lines = 1;
    for (size_t i = 0; i < length; ++i)
        written_lines += text[i] == '\n';
    FUZZ_CHECK(settings_parse(text, length, &again, check_report, &written_lines) == 0);
    FUZZ_CHECK(settings_format(&again, again_text, sizeof again_text) == length);
    FUZZ_CHECK(std::memcmp(text, again_text, length) == 0);
    return 0;
}

FUZZ_ENTRY(fuzz_settings)
