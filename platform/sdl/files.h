// Where the game's files live: the data folder it searches for, the screenshot folder and
// names, and making folders. No SDL in here.
#pragma once
#include <cstddef>
#include <ctime>

#include "platform/file_write.h"

constexpr int DATA_DIR_CANDIDATES = 4;
constexpr size_t FILE_PATH_MAX = 4096;

// The folders searched for the pictures, in order; empty sources are left out.
struct DataDirSearch {
    char tried[DATA_DIR_CANDIDATES][FILE_PATH_MAX];
    int count;
};

// --data, then $QUELLARO_DATA, then the executable's folder, then ../share/quellaro beside
// it (the installed layout). Any argument may be null.
void data_dir_candidates(const char* option, const char* environment, const char* executable_dir,
                         DataDirSearch* search);
// The first folder that holds the marker file; -1 when none does.
int data_dir_find(const DataDirSearch* search, const char* marker);
// The folders tried, one a line, each indented, for the message of a failed search.
void data_dir_list(const DataDirSearch* search, char* out, size_t size);

// The screenshot folder: $XDG_PICTURES_DIR (or the pictures folder named in the user-dirs
// file's text) with "Quellaro 2005" in it; else $XDG_DATA_HOME/quellaro/screenshots; else
// ~/.local/share/quellaro/screenshots. 0 when no absolute folder comes out.
int screenshot_folder(const char* pictures_dir, const char* user_dirs_text, const char* data_home,
                      const char* home, char* out, size_t size);
// "quellaro-2026-01-31-14-05-09.png" for the local time; serial 2 and on adds "-2" and so on.
int screenshot_name(const std::tm* when, int serial, char* out, size_t size);

// The user-dirs file (where the desktop names the pictures folder) is small; one over this is
// not read.
constexpr size_t USER_DIRS_MAX = 16 * 1024;
// Reads $XDG_CONFIG_HOME/user-dirs.dirs (else ~/.config/user-dirs.dirs) into text (of at least
// USER_DIRS_MAX + 1 bytes) as a C string: 1. 0 when there is no such file, which is usual;
// -1 when it cannot be read, is not a regular file, is over the limit or holds a NUL byte,
// with why saying which (text is then empty).
int user_dirs_read(const char* config_home, const char* home, char* text, char* why,
                   size_t why_size);
// Opens a new screenshot file in folder, named for the time when, never over an earlier one
// (the first free serial of that second): true with *path the file's path; false with why
// saying the reason (a folder that takes no files, a full disk: the system's words).
bool screenshot_create(FileWriter* writer, const char* folder, const std::tm* when, char* path,
                       size_t path_size, char* why, size_t why_size);

// Makes the folder and every folder above it; 1 when it exists afterwards, else 0 with errno
// saying why.
int make_folders(const char* path);
// Makes the folders above a file; 1 when they exist afterwards.
int make_parent_folders(const char* file_path);
