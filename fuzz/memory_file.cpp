// Fuzz inputs as files: one in-memory file (memfd), opened by the loaders through its
// /proc/self/fd path, so any way of reading a named file works on it.
#include "fuzz/memory_file.h"

#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace {
// The in-memory file, made at the first input, and its path.
int file = -1;
char path[64];
// The folder of memory_folder(), "" until made.
char folder[64];
}  // namespace

const char* memory_file_path(const uint8_t* data, size_t size) {
    if (file < 0) {
        file = memfd_create("fuzz-input", 0);
        if (file < 0) {
            std::perror("memfd_create");
            std::abort();
        }
        std::snprintf(path, sizeof path, "/proc/self/fd/%d", file);
    }
    if (ftruncate(file, 0) != 0 ||
        (size > 0 && pwrite(file, data, size, 0) != static_cast<ssize_t>(size))) {
        std::perror("fuzz input");
        std::abort();
    }
    return path;
}

const char* memory_folder() {
    if (folder[0] == '\0') {
        struct stat info;
        const bool shm = stat("/dev/shm", &info) == 0 && S_ISDIR(info.st_mode);
        std::snprintf(folder, sizeof folder, "%s/quellaro-fuzz-XXXXXX", shm ? "/dev/shm" : "/tmp");
        if (mkdtemp(folder) == nullptr) {
            std::perror("fuzz folder");
            std::abort();
        }
        // Gone when the program ends, as the tests that replay the targets leave nothing.
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(folder, ignored);
        });
    }
    return folder;
}
