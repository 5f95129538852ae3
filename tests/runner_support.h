// Runs of the headless runner for the tests: a script played in a new temporary folder, its
// state lines parsed as JSON, and its frames read back.
#pragma once
#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

struct RunnerRun {
    std::string dir;                     // the run's own folder: script, state, frames
    int status = -1;                     // the runner's exit status
    std::string state_text;              // the state lines as written
    std::vector<nlohmann::json> states;  // one object a pass
    std::string errors;                  // what the runner wrote on standard error

    RunnerRun();
    // Removes the folder, unless the test failed (it is kept to look at).
    ~RunnerRun();
    RunnerRun(const RunnerRun&) = delete;
    RunnerRun& operator=(const RunnerRun&) = delete;

    // Plays the script text with --script and --state in dir, then the options (e.g.
    // "--passes 45 --assets DIR"). A state line that is not JSON fails the test.
    void play(const std::string& script, const std::string& options);
    // The frame saved for a pass (--frames-out dir/frames) as RGB; empty when unreadable.
    std::vector<uint8_t> frame(int pass, int* width, int* height) const;
};

// The committed play scripts and the game's own pictures.
std::string scripts_dir();
std::string assets_dir();
std::string read_text_file(const std::string& path);

// The number at a JSON pointer into a state line ("/hero/x", "/skivits/3/state"), or NaN,
// failing the test, when there is none.
double num(const nlohmann::json& line, const std::string& pointer);

// FNV-1a 64 over bytes: the digest the runner and the digest table use.
uint64_t fnv1a(const uint8_t* bytes, size_t count);
