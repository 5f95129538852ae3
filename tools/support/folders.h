// Folders for the asset generators: where the source tree's assets are, and making them.
#pragma once
#include <string>

bool tool_is_dir(const std::string& path);
// The source tree's assets/ for a generator whose sources live in TOOL_FOLDER (e.g.
// "tools/artgen"): the current directory's when run from the top of the tree, else the one
// beside SOURCE_FILE (the caller's __FILE__), else "assets" as it stands.
std::string tool_assets_dir(const char* tool_folder, const char* source_file);
// Makes DIR unless it is there; false, after saying so as TOOL on standard error, when it
// cannot.
bool tool_make_dir(const char* tool, const std::string& dir);
