// The tools' command lines: option and value pairs.
#include "tools/support/options.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/text_escape.h"

bool tool_help_asked(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0)
            return true;
    }
    return false;
}

bool tool_read_options(const char* tool, int argc, char** argv, const ToolOption* options,
                       int count, std::FILE* messages) {
    for (int i = 1; i < argc;) {
        const ToolOption* option = nullptr;
        for (int k = 0; k < count && !option; ++k) {
            if (std::strcmp(argv[i], options[k].name) == 0)
                option = &options[k];
        }
        const std::string name = text_escaped(argv[i]);
        if (!option) {
            std::fprintf(messages, "%s: %s: not an option\n", tool, name.c_str());
            return false;
        }
        const int values = option->second ? 2 : 1;
        if (i + values >= argc) {
            std::fprintf(messages, "%s: %s: needs %s\n", tool, name.c_str(),
                         values == 2 ? "two values" : "a value");
            return false;
        }
        const char* why = option->refuses ? option->refuses(argv[i + 1]) : nullptr;
        if (why) {
            std::fprintf(messages, "%s: %s %s: %s\n", tool, name.c_str(),
                         text_escaped(argv[i + 1]).c_str(), why);
            return false;
        }
        *option->value = argv[i + 1];
        if (option->second)
            *option->second = argv[i + 2];
        i += 1 + values;
    }
    return true;
}
