// Savestates on any bytes, against the game started on its own pictures: the first byte
// chooses the whole saved form (header, version, data digest, checksum) or the state alone
// (so that mutations reach the blocks past the checksum). A form is refused, with a reason
// and the game as it was, or taken; a state taken writes back to the same bytes, and the
// game plays on from it for a few passes before it is put back as it was.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "fuzz/fuzz_targets.h"
#include "shell/app.h"
#include "shell/game_state.h"
#include "shell/savestate.h"
#include "shell/snapshot.h"

namespace {

constexpr int PASSES_FROM_A_STATE = 3;

// The game as it stood before the first input, to go back to after each.
std::vector<uint8_t> start_state;

// The game reads its pictures from the working folder: the fuzzer moves into the assets
// folder first (the tests run there already).
bool enter_assets() {
    return access("menubackground1.bmp", R_OK) == 0 || chdir(QUELLARO_ASSETS_DIR) == 0;
}

bool start_game() {
    if (!start_state.empty() && main_window != nullptr)
        return true;
    if (!enter_assets() || !app_start(nullptr))
        return false;
    start_state.resize(GAME_SNAPSHOT_MAX);
    start_state.resize(game_snapshot(start_state.data(), start_state.size()));
    return !start_state.empty();
}

std::vector<uint8_t> state_now() {
    std::vector<uint8_t> bytes(GAME_SNAPSHOT_MAX);
    bytes.resize(game_snapshot(bytes.data(), bytes.size()));
    return bytes;
}

}  // namespace

int fuzz_savestate(const uint8_t* data, size_t size) {
    FUZZ_CHECK(start_game());
    if (size == 0)
        return 0;
    const bool whole_form = data[0] % 2 == 0;
    const uint8_t* form = data + 1;
    const size_t length = size - 1;
    char why[SAVESTATE_WHY_MAX] = "";
    const char* reason = "";
    const int taken = whole_form ? savestate_read(form, length, nullptr, why, sizeof why)
                                 : game_restore(form, length, &reason);
    if (!taken) {
        FUZZ_CHECK((whole_form ? why[0] : reason[0]) != '\0');
        FUZZ_CHECK(state_now() == start_state);
        return 0;
    }
    const std::vector<uint8_t> taken_state = state_now();
    if (!whole_form)
        FUZZ_CHECK(taken_state == std::vector<uint8_t>(form, form + length));
    InputRecord record = INPUT_RECORD_EMPTY;
    bool ended = false;
    for (int i = 0; i < PASSES_FROM_A_STATE && !ended; ++i)
        ended = app_run_pass(&record) == 0;
    if (ended) {
        // A quit taken ends the loop for good: the game starts again for the next input.
        app_finish();
        start_state.clear();
        FUZZ_CHECK(start_game());
        return 0;
    }
    FUZZ_CHECK(game_restore(start_state.data(), start_state.size(), &reason));
    return 0;
}

FUZZ_ENTRY(fuzz_savestate)

#ifdef QUELLARO_FUZZING
// Before the fuzzer reads its corpus folders and places its findings: those paths, given
// from where it was started, are made absolute, then it moves into the assets folder.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static std::vector<std::string> kept;
    static std::vector<char*> args;
    for (int i = 0; i < *argc; ++i) {
        std::string arg = (*argv)[i];
        const size_t equals = arg.find('=');
        const bool option = arg[0] == '-';
        const std::string name = option && equals != std::string::npos ? arg.substr(0, equals) : "";
        if (i > 0 && (!option || name == "-artifact_prefix" || name == "-exact_artifact_path" ||
                      name == "-dict")) {
            const size_t at = option ? equals + 1 : 0;
            std::error_code error;
            const std::filesystem::path whole = std::filesystem::absolute(arg.substr(at), error);
            if (!error)
                arg = arg.substr(0, at) + whole.string();
        }
        kept.push_back(arg);
    }
    for (std::string& arg : kept)
        args.push_back(arg.data());
    args.push_back(nullptr);
    *argv = args.data();
    FUZZ_CHECK(enter_assets());
    return 0;
}
#endif
