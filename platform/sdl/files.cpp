// Data folder search, screenshot places and folder making.
#include "platform/sdl/files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/file_read.h"

namespace {

void add_candidate(DataDirSearch* search, const char* first, const char* second) {
    if (first == nullptr || first[0] == '\0' || search->count == DATA_DIR_CANDIDATES) {
        return;
    }
    char* out = search->tried[search->count];
    size_t length = std::strlen(first);
    // Without the separator doubled when the folder ends in one (SDL's base path does).
    bool slash = length > 1 && first[length - 1] == '/';
    int n = std::snprintf(out, FILE_PATH_MAX, "%.*s%s", static_cast<int>(length - (slash ? 1 : 0)),
                          first, second ? second : "");
    if (n > 0 && static_cast<size_t>(n) < FILE_PATH_MAX) {
        search->count++;
    }
}

// The executable's folder with its last component dropped: /usr/bin -> /usr.
void parent_of(const char* folder, char* out, size_t size) {
    std::snprintf(out, size, "%s", folder);
    size_t length = std::strlen(out);
    while (length > 1 && out[length - 1] == '/') {
        out[--length] = '\0';
    }
    char* slash = std::strrchr(out, '/');
    if (slash == nullptr) {
        std::snprintf(out, size, "..");
    } else if (slash == out) {
        out[1] = '\0';
    } else {
        *slash = '\0';
    }
}

// The value of XDG_PICTURES_DIR in a user-dirs file ("$HOME/Pictures"); 0 when absent, or
// when it is the home folder itself (which means no pictures folder is set up).
int user_dirs_pictures(const char* text, const char* home, char* out, size_t size) {
    const char* key = "XDG_PICTURES_DIR=\"";
    for (const char* line = text; line != nullptr && *line;) {
        const char* end = std::strchr(line, '\n');
        size_t length = end ? static_cast<size_t>(end - line) : std::strlen(line);
        if (std::strncmp(line, key, std::strlen(key)) == 0) {
            const char* value = line + std::strlen(key);
            const size_t rest = length - static_cast<size_t>(value - line);
            const char* close = static_cast<const char*>(std::memchr(value, '"', rest));
            if (close == nullptr) {
                return 0;
            }
            int value_length = static_cast<int>(close - value);
            int n;
            if (std::strncmp(value, "$HOME/", 6) == 0 && home != nullptr) {
                n = std::snprintf(out, size, "%s/%.*s", home, value_length - 6, value + 6);
            } else if (value[0] == '/') {
                n = std::snprintf(out, size, "%.*s", value_length, value);
            } else {
                return 0;
            }
            if (n <= 0 || static_cast<size_t>(n) >= size) {
                return 0;
            }
            while (n > 1 && out[n - 1] == '/') {
                out[--n] = '\0';
            }
            return 1;
        }
        line = end ? end + 1 : nullptr;
    }
    return 0;
}

}  // namespace

void data_dir_candidates(const char* option, const char* environment, const char* executable_dir,
                         DataDirSearch* search) {
    search->count = 0;
    add_candidate(search, option, nullptr);
    add_candidate(search, environment, nullptr);
    add_candidate(search, executable_dir, nullptr);
    if (executable_dir != nullptr && executable_dir[0] != '\0') {
        char parent[FILE_PATH_MAX];
        parent_of(executable_dir, parent, sizeof parent);
        add_candidate(search, parent,
                      std::strcmp(parent, "/") == 0 ? "share/quellaro" : "/share/quellaro");
    }
}

int data_dir_find(const DataDirSearch* search, const char* marker) {
    for (int i = 0; i < search->count; i++) {
        char path[FILE_PATH_MAX + 64];
        std::snprintf(path, sizeof path, "%s/%s", search->tried[i], marker);
        struct stat info;
        if (stat(path, &info) == 0 && S_ISREG(info.st_mode)) {
            return i;
        }
    }
    return -1;
}

void data_dir_list(const DataDirSearch* search, char* out, size_t size) {
    size_t used = 0;
    out[0] = '\0';
    for (int i = 0; i < search->count && used < size; i++) {
        int n = std::snprintf(out + used, size - used, "  %s\n", search->tried[i]);
        used += n > 0 ? static_cast<size_t>(n) : 0;
    }
}

int screenshot_folder(const char* pictures_dir, const char* user_dirs_text, const char* data_home,
                      const char* home, char* out, size_t size) {
    char pictures[FILE_PATH_MAX];
    int n = -1;
    bool home_ok = home != nullptr && home[0] == '/';
    if (pictures_dir != nullptr && pictures_dir[0] == '/') {
        n = std::snprintf(out, size, "%s/Quellaro 2005", pictures_dir);
    } else if (user_dirs_pictures(user_dirs_text, home_ok ? home : nullptr, pictures,
                                  sizeof pictures) &&
               !(home_ok && std::strcmp(pictures, home) == 0) && pictures[0] == '/') {
        n = std::snprintf(out, size, "%s/Quellaro 2005", pictures);
    } else if (data_home != nullptr && data_home[0] == '/') {
        n = std::snprintf(out, size, "%s/quellaro/screenshots", data_home);
    } else if (home_ok) {
        n = std::snprintf(out, size, "%s/.local/share/quellaro/screenshots", home);
    }
    return n > 0 && static_cast<size_t>(n) < size;
}

int screenshot_name(const std::tm* when, int serial, char* out, size_t size) {
    char stamp[32];
    if (std::strftime(stamp, sizeof stamp, "%Y-%m-%d-%H-%M-%S", when) == 0) {
        return 0;
    }
    int n = serial > 1 ? std::snprintf(out, size, "quellaro-%s-%d.png", stamp, serial)
                       : std::snprintf(out, size, "quellaro-%s.png", stamp);
    return n > 0 && static_cast<size_t>(n) < size;
}

int make_folders(const char* path) {
    char folder[FILE_PATH_MAX];
    if (path[0] == '\0' || std::strlen(path) >= sizeof folder) {
        return 0;
    }
    std::strcpy(folder, path);
    for (char* p = folder + 1; *p; p++) {
        if (*p == '/') {
            *p = '\0';
            if (mkdir(folder, 0755) != 0 && errno != EEXIST) {
                return 0;
            }
            *p = '/';
        }
    }
    struct stat info;
    if ((mkdir(folder, 0755) != 0 && errno != EEXIST) || stat(folder, &info) != 0) {
        return 0;
    }
    if (!S_ISDIR(info.st_mode)) {
        errno = ENOTDIR;  // a file of that name is in the way
        return 0;
    }
    return 1;
}

int make_parent_folders(const char* file_path) {
    char folder[FILE_PATH_MAX];
    if (std::strlen(file_path) >= sizeof folder) {
        return 0;
    }
    std::strcpy(folder, file_path);
    char* slash = std::strrchr(folder, '/');
    if (slash == nullptr || slash == folder) {
        return 1;
    }
    *slash = '\0';
    return make_folders(folder);
}

int user_dirs_read(const char* config_home, const char* home, char* text, char* why,
                   size_t why_size) {
    text[0] = '\0';
    char path[FILE_PATH_MAX];
    int n = 0;
    if (config_home != nullptr && config_home[0] == '/') {
        n = std::snprintf(path, sizeof path, "%s/user-dirs.dirs", config_home);
    } else if (home != nullptr && home[0] == '/') {
        n = std::snprintf(path, sizeof path, "%s/.config/user-dirs.dirs", home);
    } else {
        return 0;
    }
    if (n <= 0 || static_cast<size_t>(n) >= sizeof path) {
        return 0;
    }
    const int64_t length = file_read_into(path, text, USER_DIRS_MAX, why, why_size);
    if (length < 0) {
        return errno == ENOENT ? 0 : -1;
    }
    text[length] = '\0';
    // A NUL would cut the text short where the pictures folder may still follow.
    if (std::strlen(text) != static_cast<size_t>(length)) {
        text[0] = '\0';
        std::snprintf(why, why_size, "holds a NUL byte: not text");
        return -1;
    }
    return 1;
}

bool screenshot_create(FileWriter* writer, const char* folder, const std::tm* when, char* path,
                       size_t path_size, char* why, size_t why_size) {
    // Up to 99 in one second; the names need not go further.
    for (int serial = 1; serial < 100; serial++) {
        char name[64];
        if (!screenshot_name(when, serial, name, sizeof name) ||
            std::snprintf(path, path_size, "%s/%s", folder, name) >= static_cast<int>(path_size)) {
            std::snprintf(why, why_size, "%s", std::strerror(ENAMETOOLONG));
            return false;
        }
        if (file_writer_open(writer, path, why, why_size, FILE_WRITE_NEW)) {
            return true;
        }
        // Only a name in use moves on to the next; any other failure is the folder's.
        if (errno != EEXIST) {
            return false;
        }
    }
    std::snprintf(why, why_size, "every name of this second is taken");
    return false;
}
