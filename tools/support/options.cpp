// The tools' command lines: option and value pairs.
#include "tools/support/options.h"

#include <cstdio>
#include <cstring>

bool tool_help_asked(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0)
            return true;
    }
    return false;
}

bool tool_read_options(const char* tool, int argc, char** argv, const ToolOption* options,
                       int count) {
    for (int i = 1; i < argc;) {
        const ToolOption* option = nullptr;
        for (int k = 0; k < count && !option; ++k) {
            if (std::strcmp(argv[i], options[k].name) == 0)
                option = &options[k];
        }
        if (!option) {
            std::fprintf(stderr, "%s: %s: not an option\n", tool, argv[i]);
            return false;
        }
        const int values = option->second ? 2 : 1;
        if (i + values >= argc) {
            std::fprintf(stderr, "%s: %s: needs %s\n", tool, argv[i],
                         values == 2 ? "two values" : "a value");
            return false;
        }
        const char* why = option->refuses ? option->refuses(argv[i + 1]) : nullptr;
        if (why) {
            std::fprintf(stderr, "%s: %s %s: %s\n", tool, argv[i], argv[i + 1], why);
            return false;
        }
        *option->value = argv[i + 1];
        if (option->second)
            *option->second = argv[i + 2];
        i += 1 + values;
    }
    return true;
}
