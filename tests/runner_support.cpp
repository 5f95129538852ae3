// Runs of the headless runner for the tests.
#include "tests/runner_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "tests/png_read.h"
#include "tests/test_support.h"

RunnerRun::RunnerRun() : dir(test_temp_dir()) {}

RunnerRun::~RunnerRun() {
    if (!::testing::Test::HasFailure()) {
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }
}

void RunnerRun::play(const std::string& script, const std::string& options) {
    const std::string script_path = dir + "/script.txt";
    const std::string state_path = dir + "/state.jsonl";
    const std::string errors_path = dir + "/stderr.txt";
    std::ofstream(script_path) << script;
    std::string command = QUELLARO_RUNNER;
    command.append(" --script ").append(script_path).append(" --state ").append(state_path);
    command.append(" ").append(options).append(" 2>").append(errors_path);
    status = std::system(command.c_str());
    state_text = read_text_file(state_path);
    errors = read_text_file(errors_path);
    states.clear();
    std::istringstream lines(state_text);
    for (std::string line; std::getline(lines, line);) {
        states.push_back(nlohmann::json::parse(line, nullptr, false));
        EXPECT_TRUE(states.back().is_object()) << "state line " << states.size() << ": " << line;
    }
}

std::vector<uint8_t> RunnerRun::frame(int pass, int* width, int* height) const {
    char name[32];
    std::snprintf(name, sizeof(name), "/frames/%06d.png", pass);
    PngPicture picture;
    if (!png_read(dir + name, &picture) || picture.channels != 3)
        return {};
    *width = picture.width;
    *height = picture.height;
    return picture.pixels;
}

std::string scripts_dir() {
    return QUELLARO_SOURCE_DIR "/tests/scripts/";
}

std::string assets_dir() {
    return QUELLARO_SOURCE_DIR "/assets";
}

std::string read_text_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

double num(const nlohmann::json& line, const std::string& pointer) {
    if (!pointer.empty() && pointer[0] == '/') {
        const nlohmann::json::json_pointer at(pointer);
        if (line.contains(at) && line[at].is_number())
            return line[at].get<double>();
    }
    ADD_FAILURE() << "no number at " << pointer << " in " << line.dump();
    return std::nan("");
}

uint64_t fnv1a(const uint8_t* bytes, size_t count) {
    uint64_t hash = 14695981039346656037ull;
    for (size_t i = 0; i < count; ++i) {
        hash ^= bytes[i];
        hash *= 1099511628211ull;
    }
    return hash;
}
