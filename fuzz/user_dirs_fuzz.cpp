// The desktop's user-dirs file on any bytes, read as the game reads it before a screenshot: a
// file is read whole or refused with a reason, and the screenshot folder that comes of it is
// absolute, on one line, and the pictures folder's "Quellaro 2005" or the data folder's.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "fuzz/fuzz_targets.h"
#include "fuzz/memory_file.h"
#include "platform/file_read.h"
#include "platform/sdl/files.h"

namespace {

void check_folder(const char* text, const char* home) {
    char folder[FILE_PATH_MAX];
    FUZZ_CHECK(screenshot_folder(nullptr, text, "/data", home, folder, sizeof folder) == 1);
    const std::string got = folder;
    FUZZ_CHECK(got[0] == '/' && got.find('\n') == std::string::npos);
    const std::string from_data = "/data/quellaro/screenshots";
    const std::string own = "/Quellaro 2005";
    FUZZ_CHECK(got == from_data || (got.size() > own.size() &&
                                    got.compare(got.size() - own.size(), own.size(), own) == 0));
}

}  // namespace

int fuzz_user_dirs(const uint8_t* data, size_t size) {
    const std::string path = std::string(memory_folder()) + "/user-dirs.dirs";
    FILE* file = std::fopen(path.c_str(), "wb");
    FUZZ_CHECK(file != nullptr);
    FUZZ_CHECK(size == 0 || std::fwrite(data, 1, size, file) == size);
    FUZZ_CHECK(std::fclose(file) == 0);

    static char text[USER_DIRS_MAX + 1];
    char why[FILE_READ_WHY_MAX] = "";
    const int read = user_dirs_read(memory_folder(), "/home/p", text, why, sizeof why);
    const bool has_nul = std::memchr(data, '\0', size) != nullptr;
    if (size > USER_DIRS_MAX || has_nul) {
        FUZZ_CHECK(read == -1 && why[0] != '\0' && text[0] == '\0');
    } else {
        FUZZ_CHECK(read == 1 && std::strlen(text) == size && std::memcmp(text, data, size) == 0);
    }
    check_folder(text, "/home/p");
    check_folder(text, nullptr);
    return 0;
}

FUZZ_ENTRY(fuzz_user_dirs)
