// Temporary folders for tests, made under /tmp and removed when the test program ends. If a
// test failed they are kept for a look and named on standard error. Header-only, so the SDL
// backend's test program, which links none of the other test helpers, has it too.
#pragma once
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace temp_dir_detail {

// Every folder this program made, in order.
inline std::vector<std::string>& made() {
    static std::vector<std::string> dirs;
    return dirs;
}

inline void remove_made() {
    const bool keep = ::testing::UnitTest::GetInstance()->Failed();
    for (const std::string& dir : made()) {
        if (keep) {
            std::fprintf(stderr, "test folder kept: %s\n", dir.c_str());
        } else {
            std::error_code ignored;
            std::filesystem::remove_all(dir, ignored);
        }
    }
}

}  // namespace temp_dir_detail

// A new empty folder /tmp/PREFIX-XXXXXX. Without one the test fails, and the path returned
// names a folder that does not exist, so nothing is written anywhere else.
inline std::string make_temp_dir(const char* prefix) {
    std::string path = std::string("/tmp/") + prefix + "-XXXXXX";
    if (mkdtemp(path.data()) == nullptr) {
        ADD_FAILURE() << "cannot make a temporary folder " << path;
        return "/nonexistent/" + std::string(prefix);
    }
    // The list exists before the handler is registered, so it is destroyed after it runs.
    if (temp_dir_detail::made().empty())
        std::atexit(temp_dir_detail::remove_made);
    temp_dir_detail::made().push_back(path);
    return path;
}
