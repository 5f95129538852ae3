// The tools' command lines: option and value pairs.
#include "tools/support/options.h"

#include <cstring>

bool tool_read_options(int argc, char** argv, const ToolOption* options, int count) {
    for (int i = 1; i < argc; i += 2) {
        if (i + 1 >= argc)
            return false;
        const ToolOption* option = nullptr;
        for (int k = 0; k < count && !option; ++k) {
            if (std::strcmp(argv[i], options[k].name) == 0)
                option = &options[k];
        }
        if (!option || (option->accepts && !option->accepts(argv[i + 1])))
            return false;
        *option->value = argv[i + 1];
    }
    return true;
}
