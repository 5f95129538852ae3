// Folders and files for the asset generators: where the source tree's assets are, making
// them, and writing a file whole.
#pragma once
#include <cstddef>
#include <string>

bool tool_is_dir(const std::string& path);
// The source tree's assets/ for a generator whose sources live in TOOL_FOLDER (e.g.
// "tools/artgen"): the current directory's when run from the top of the tree, else the one
// beside SOURCE_FILE (the caller's __FILE__), else "assets" as it stands.
std::string tool_assets_dir(const char* tool_folder, const char* source_file);
// Makes DIR unless it is there; false, after saying so as TOOL on standard error, when it
// cannot.
bool tool_make_dir(const char* tool, const std::string& dir);
// Writes the file whole or not at all (platform/file_write.h); false, after saying which file
// and why as TOOL on standard error, when it cannot.
bool tool_write_file(const char* tool, const std::string& path, const void* data, size_t size);
