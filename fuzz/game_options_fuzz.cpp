// The desktop game's command line on any words (the input's NUL bytes part them): a line
// taken gives options within their ranges, with paths that are words of the line, and the
// same options again when written out in their "--name=value" form; a line refused says why in
// one line of printable text, whatever bytes the words hold.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/fuzz_targets.h"
#include "fuzz/fuzz_words.h"
#include "programs/desktop/options.h"

namespace {

bool is_word(const char* path, const std::vector<char*>& argv) {
    for (const char* word : argv) {
        if (word != nullptr && path >= word && path <= word + std::strlen(word))
            return true;
    }
    return false;
}

bool same(const Options& a, const Options& b) {
    const auto same_text = [](const char* x, const char* y) {
        return (x == nullptr && y == nullptr) || (x && y && std::strcmp(x, y) == 0);
    };
    return a.help == b.help && a.version == b.version && a.window == b.window &&
           a.window_width == b.window_width && a.window_height == b.window_height &&
           a.scale_mode == b.scale_mode && a.mute == b.mute && same_text(a.data_dir, b.data_dir) &&
           same_text(a.record_path, b.record_path) && same_text(a.replay_path, b.replay_path);
}

// The options as a command line of their own.
void written(const Options& o, FuzzWords* line) {
    std::vector<std::string>& words = line->words;
    words.assign(1, "quellaro");
    if (o.help)
        words.emplace_back("--help");
    if (o.version)
        words.emplace_back("--version");
    if (o.mute)
        words.emplace_back("--mute");
    if (o.window == 0)
        words.emplace_back("--fullscreen");
    if (o.window == 1) {
        words.emplace_back(o.window_width > 0 ? "--window=" + std::to_string(o.window_width) + "x" +
                                                    std::to_string(o.window_height)
                                              : "--window");
    }
    static const char* const scales[] = {"auto", "integer", "fit"};
    if (o.scale_mode >= 0)
        words.emplace_back(std::string("--scale=") + scales[o.scale_mode]);
    if (o.data_dir)
        words.emplace_back(std::string("--data=") + o.data_dir);
    if (o.record_path)
        words.emplace_back(std::string("--record=") + o.record_path);
    if (o.replay_path)
        words.emplace_back(std::string("--replay=") + o.replay_path);
    fuzz_words_point(line);
}

}  // namespace

int fuzz_game_options(const uint8_t* data, size_t size) {
    FuzzWords line;
    fuzz_words("quellaro", data, size, &line);
    std::vector<char*>& argv = line.argv;
    Options options;
    char error[256];
    std::memset(error, 'x', sizeof error);
    if (!options_parse(line.argc(), line.argv.data(), &options, error, sizeof error)) {
        const size_t length = strnlen(error, sizeof error);
        FUZZ_CHECK(length > 0 && length < sizeof error);
        for (size_t i = 0; i < length; ++i)
            FUZZ_CHECK(static_cast<unsigned char>(error[i]) >= 0x20 && error[i] != 0x7f);
        return 0;
    }
    FUZZ_CHECK(options.help == 0 || options.help == 1);
    FUZZ_CHECK(options.version == 0 || options.version == 1);
    FUZZ_CHECK(options.mute == 0 || options.mute == 1);
    FUZZ_CHECK(options.window >= -1 && options.window <= 1);
    FUZZ_CHECK(options.scale_mode >= -1 && options.scale_mode <= 2);
    const bool sized = options.window_width > 0;
    FUZZ_CHECK(sized == (options.window_height > 0));
    FUZZ_CHECK(!sized || (options.window == 1 && options.window_width <= 8192 &&
                          options.window_height <= 8192));
    FUZZ_CHECK(!(options.record_path && options.replay_path));
    for (const char* path : {options.data_dir, options.record_path, options.replay_path})
        FUZZ_CHECK(path == nullptr || (path[0] != '\0' && is_word(path, argv)));

    FuzzWords again_line;
    written(options, &again_line);
    Options again;
    FUZZ_CHECK(
        options_parse(again_line.argc(), again_line.argv.data(), &again, error, sizeof error) == 1);
    FUZZ_CHECK(same(again, options));
    return 0;
}

FUZZ_ENTRY(fuzz_game_options)
