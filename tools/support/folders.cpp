// Folders and files for the asset generators.
#include "tools/support/folders.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/file_write.h"

bool tool_is_dir(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string tool_assets_dir(const char* tool_folder, const char* source_file) {
    if (tool_is_dir(tool_folder) && tool_is_dir("assets"))
        return "assets";
    const std::string here = source_file;
    const size_t cut = here.rfind(std::string(tool_folder) + "/");
    if (cut != std::string::npos && tool_is_dir(here.substr(0, cut) + "assets"))
        return here.substr(0, cut) + "assets";
    return "assets";
}

bool tool_make_dir(const char* tool, const std::string& dir) {
    if (!tool_is_dir(dir) && mkdir(dir.c_str(), 0777) != 0) {
        std::fprintf(stderr, "%s: cannot create %s: %s\n", tool, dir.c_str(), std::strerror(errno));
        return false;
    }
    return true;
}

bool tool_write_file(const char* tool, const std::string& path, const void* data, size_t size) {
    char why[FILE_WHY_MAX];
    if (file_write_whole(path.c_str(), data, size, why, sizeof why))
        return true;
    std::fprintf(stderr, "%s: cannot write %s: %s\n", tool, path.c_str(), why);
    return false;
}
