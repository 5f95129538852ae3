// The tools' option reader on any command line (the input's NUL bytes part the words): a
// line taken holds only known options, each with a value its option takes, and every option
// keeps the last value given; a line refused is told in one message and nothing else.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/fuzz_targets.h"
#include "fuzz/fuzz_words.h"
#include "tools/support/options.h"

namespace {

const char* refuses_empty(const char* value) {
    return value[0] == '\0' ? "an empty value" : nullptr;
}

const char* refuses_letters(const char* value) {
    for (const char* p = value; *p; ++p) {
        if (*p < '0' || *p > '9')
            return "not a number";
    }
    return nullptr;
}

}  // namespace

int fuzz_options(const uint8_t* data, size_t size) {
    FuzzWords line;
    fuzz_words("tool", data, size, &line);
    std::vector<char*>& argv = line.argv;
    const int argc = line.argc();

    const char *out = nullptr, *every = nullptr, *name = nullptr;
    const ToolOption options[] = {
        {"--out", &out}, {"--every", &every, refuses_letters}, {"--name", &name, refuses_empty}};
    // The messages go to a buffer: a refusal must say something, a line taken nothing.
    static char told[4096];
    FILE* messages = fmemopen(told, sizeof told, "w");
    FUZZ_CHECK(messages != nullptr);
    const bool taken = tool_read_options("tool", argc, argv.data(), options, 3, messages);
    const long length = std::ftell(messages);
    std::fclose(messages);
    static_cast<void>(tool_help_asked(argc, argv.data()));
    if (!taken) {
        FUZZ_CHECK(length > 0);
        return 0;
    }
    FUZZ_CHECK(length == 0);
    FUZZ_CHECK(argc % 2 == 1);
    const char* last_out = nullptr;
    const char* last_every = nullptr;
    const char* last_name = nullptr;
    for (int i = 1; i < argc; i += 2) {
        const char* value = argv[i + 1];
        const bool known = std::strcmp(argv[i], "--out") == 0 ||
                           std::strcmp(argv[i], "--every") == 0 ||
                           std::strcmp(argv[i], "--name") == 0;
        FUZZ_CHECK(known);
        if (std::strcmp(argv[i], "--out") == 0)
            last_out = value;
        else if (std::strcmp(argv[i], "--every") == 0)
            last_every = value;
        else
            last_name = value;
    }
    FUZZ_CHECK(out == last_out && every == last_every && name == last_name);
    FUZZ_CHECK(!every || refuses_letters(every) == nullptr);
    FUZZ_CHECK(!name || name[0] != '\0');
    return 0;
}

FUZZ_ENTRY(fuzz_options)
