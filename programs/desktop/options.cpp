// The command-line parser and its usage text.
#include "programs/desktop/options.h"

#include <cstdio>
#include <cstring>

#include "platform/sdl/letterbox.h"
#include "platform/sdl/parse.h"
#include "platform/text_escape.h"

namespace {

// "--name" or "--name=value" as the option name; the value after '=' or null.
bool is_option(const char* arg, const char* name, const char** value) {
    size_t length = std::strlen(name);
    if (std::strncmp(arg, name, length) != 0) {
        return false;
    }
    if (arg[length] == '\0') {
        *value = nullptr;
        return true;
    }
    if (arg[length] == '=') {
        *value = arg + length + 1;
        return true;
    }
    return false;
}

}  // namespace

const char* options_usage() {
    return "usage: quellaro [OPTION]...\n"
           "Run and jump through level 1-1.\n"
           "\n"
           "  --fullscreen         full screen on the desktop's own mode\n"
           "  --window[=WxH]       a window (of that size, like 1280x960)\n"
           "  --scale=MODE         integer (whole multiples), fit (as large as fits) or auto\n"
           "  --mute               start without sound (M turns it on and off)\n"
           "  --data DIR           read the game's pictures from DIR\n"
           "  --record FILE        record what you play as a replay (quellaro-headless --verify)\n"
           "  --replay FILE        play a replay (or a link to one, or a play script) back\n"
           "  --help               show this help and stop\n"
           "  --version            show the version and stop\n"
           "\n"
           "Keys: Alt+Enter or F11 full screen or window, F10 scale mode, P pause,\n"
           "F12 screenshot, M sound on or off. Settings: ~/.config/quellaro/settings.ini.\n";
}

namespace {

// The value of "--name VALUE" when it was not given as "--name=VALUE".
const char* value_or_next(const char* value, int argc, char** argv, int* i) {
    if (value == nullptr && *i + 1 < argc) {
        return argv[++*i];
    }
    return value;
}

// --fullscreen (window 0) or --window[=WxH] (window 1); the two exclude each other.
bool parse_window(int window, const char* value, Options* options, char* error, size_t error_size) {
    if (options->window == 1 - window) {
        std::snprintf(error, error_size, "--fullscreen and --window exclude each other");
        return false;
    }
    options->window = window;
    if (value != nullptr &&
        !parse_window_size(value, &options->window_width, &options->window_height)) {
        char shown[128];
        std::snprintf(error, error_size,
                      "--window=%s is not a size like 1280x960 (8192 at most each way)",
                      text_escape(value, std::strlen(value), shown, sizeof shown));
        return false;
    }
    return true;
}

bool parse_scale(const char* value, Options* options, char* error, size_t error_size) {
    static const char* const names[] = {"auto", "integer", "fit"};
    options->scale_mode = -1;
    for (int mode = 0; mode < 3 && value != nullptr; mode++) {
        if (std::strcmp(value, names[mode]) == 0) {
            options->scale_mode = mode;
        }
    }
    if (options->scale_mode < 0) {
        std::snprintf(error, error_size, "--scale takes integer, fit or auto");
        return false;
    }
    return true;
}

bool parse_path(const char* name, const char* what, const char* value, const char** slot,
                char* error, size_t error_size) {
    if (value == nullptr || value[0] == '\0') {
        std::snprintf(error, error_size, "%s needs a %s", name, what);
        return false;
    }
    *slot = value;
    return true;
}

// One argument (and its value, when that is the next argument: *i then moves past it).
bool parse_argument(int argc, char** argv, int* i, Options* options, char* error,
                    size_t error_size) {
    const char* arg = argv[*i];
    const char* value = nullptr;
    if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
        options->help = 1;
    } else if (std::strcmp(arg, "--version") == 0) {
        options->version = 1;
    } else if (std::strcmp(arg, "--mute") == 0) {
        options->mute = 1;
    } else if (std::strcmp(arg, "--fullscreen") == 0) {
        return parse_window(0, nullptr, options, error, error_size);
    } else if (is_option(arg, "--window", &value)) {
        return parse_window(1, value, options, error, error_size);
    } else if (is_option(arg, "--scale", &value)) {
        return parse_scale(value_or_next(value, argc, argv, i), options, error, error_size);
    } else if (is_option(arg, "--data", &value)) {
        return parse_path("--data", "folder", value_or_next(value, argc, argv, i),
                          &options->data_dir, error, error_size);
    } else if (is_option(arg, "--record", &value)) {
        return parse_path("--record", "file", value_or_next(value, argc, argv, i),
                          &options->record_path, error, error_size);
    } else if (is_option(arg, "--replay", &value)) {
        return parse_path("--replay", "file", value_or_next(value, argc, argv, i),
                          &options->replay_path, error, error_size);
    } else {
        char shown[128];
        std::snprintf(error, error_size, "unknown argument \"%s\"",
                      text_escape(arg, std::strlen(arg), shown, sizeof shown));
        return false;
    }
    return true;
}

}  // namespace

int options_parse(int argc, char** argv, Options* options, char* error, size_t error_size) {
    *options = Options{0, 0, -1, 0, 0, -1, 0, nullptr, nullptr, nullptr};
    for (int i = 1; i < argc; i++) {
        if (!parse_argument(argc, argv, &i, options, error, error_size)) {
            return 0;
        }
    }
    if (options->record_path != nullptr && options->replay_path != nullptr) {
        std::snprintf(error, error_size, "--record and --replay exclude each other");
        return 0;
    }
    return 1;
}
