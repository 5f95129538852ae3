// The game's entry on the SDL backend: the command line, the settings, the pictures' folder,
// a display to show them on, then the program's passes, held while paused; recording and
// replay around them.
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include "platform/file_read.h"
#include "platform/script.h"
#include "platform/sdl/parse.h"
#include "platform/sdl/sdl_program.h"
#include "platform/text_escape.h"
#include "programs/common/notes.h"
#include "programs/common/replay_format.h"
#include "programs/desktop/desktop_loop.h"
#include "programs/desktop/kept_runs.h"
#include "programs/desktop/options.h"
#include "programs/desktop/quick_slot.h"
#include "programs/desktop/recording.h"
#include "shell/app.h"

namespace {

// The file every data folder holds; its presence marks the folder.
constexpr const char* DATA_MARKER = "menubackground1.bmp";

// How long the note about the settings file shows: it is read once, at the start.
constexpr uint32_t SETTINGS_NOTE_MS = 6000;

// The settings file's lines not used so far, for the player's note.
int settings_lines_unused;

void report_settings_line(void* context, int line, const char* message) {
    const std::string path = text_escaped(static_cast<const char*>(context));
    char note[64];
    if (line > 0) {
        std::fprintf(stderr, "%s:%d: %s\n", path.c_str(), line, message);
        if (++settings_lines_unused == 1) {
            std::snprintf(note, sizeof note, "Settings: line %d not used", line);
        } else {
            std::snprintf(note, sizeof note, "Settings: %d lines not used", settings_lines_unused);
        }
    } else {
        std::fprintf(stderr, "%s: %s\n", path.c_str(), message);
        std::snprintf(note, sizeof note, "Settings not read: using the defaults");
    }
    // Standard error has the whole story; a player who started us from the desktop sees this.
    note_say(note, SETTINGS_NOTE_MS);
}

// The settings file, then what this run's command line and QUELLARO_WINDOWED say.
void choose_settings(const Options& options) {
    settings_default(&sdl_settings);
    if (settings_path(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"), sdl_settings_path,
                      sizeof sdl_settings_path)) {
        // A file that is there but cannot be read is left as it is: writing over it would
        // lose what it holds.
        if (settings_load(sdl_settings_path, &sdl_settings, report_settings_line, sdl_settings_path,
                          &sdl_settings_kept) < 0) {
            sdl_settings_path[0] = '\0';
        }
    }
    sdl_file_settings = sdl_settings;
    const char* windowed = std::getenv("QUELLARO_WINDOWED");
    int width, height;
    if (windowed != nullptr && windowed[0] != '\0') {
        if (parse_window_size(windowed, &width, &height)) {
            sdl_settings.fullscreen = 0;
            sdl_settings.window_width = width;
            sdl_settings.window_height = height;
            sdl_run_only |= RUN_ONLY_FULLSCREEN | RUN_ONLY_WINDOW_SIZE;
        } else {
            std::fprintf(stderr,
                         "QUELLARO_WINDOWED=%s is not WxH (like 1280x960, 8192 at most each way); "
                         "ignored\n",
                         text_escaped(windowed).c_str());
        }
    }
    if (options.window >= 0) {
        sdl_settings.fullscreen = options.window ? 0 : 1;
        sdl_run_only |= RUN_ONLY_FULLSCREEN;
    }
    if (options.window_width > 0) {
        sdl_settings.window_width = options.window_width;
        sdl_settings.window_height = options.window_height;
        sdl_run_only |= RUN_ONLY_WINDOW_SIZE;
    }
    if (options.scale_mode >= 0) {
        sdl_settings.scale_mode = options.scale_mode;
        sdl_run_only |= RUN_ONLY_SCALE;
    }
    if (options.mute) {
        sdl_settings.muted = 1;
        sdl_run_only |= RUN_ONLY_MUTE;
    }
}

// A folder named with --data must be there: taking the pictures from another folder instead
// would hide the mistake. Says why when it is not.
bool data_option_names_a_folder(const char* option, char* why, size_t why_size) {
    struct stat info;
    if (option == nullptr) {
        return true;
    }
    if (stat(option, &info) != 0) {
        std::snprintf(why, why_size, "--data %s: %s", text_escaped(option).c_str(),
                      std::strerror(errno));
        return false;
    }
    if (!S_ISDIR(info.st_mode)) {
        std::snprintf(why, why_size, "--data %s: not a folder", text_escaped(option).c_str());
        return false;
    }
    return true;
}

// Finds the pictures and works from their folder (the game reads them by plain names).
bool enter_data_folder(const char* option) {
    char base[FILE_PATH_MAX];
    const int base_known = sdl_base_path(base, sizeof base);
    DataDirSearch search;
    data_dir_candidates(option, std::getenv("QUELLARO_DATA"), base_known ? base : nullptr, &search);
    const int found = data_dir_find(&search, DATA_MARKER);
    std::error_code error;
    if (found >= 0) {
        std::filesystem::current_path(search.tried[found], error);
    }
    if (found < 0 || error) {
        char list[DATA_DIR_CANDIDATES * (FILE_PATH_MAX + 4)];
        data_dir_list(&search, list, sizeof list);
        static char text[sizeof list + 256];
        std::snprintf(text, sizeof text,
                      "Quellaro 2005: cannot find the game's pictures (%s). Looked in:\n%s"
                      "Name their folder with --data DIR or QUELLARO_DATA.",
                      DATA_MARKER, list);
        sdl_show_error(text);
        return false;
    }
    return true;
}

// Paths from the command line name files from where the program was started.
std::filesystem::path absolute(const char* path) {
    std::error_code error;
    std::filesystem::path whole = std::filesystem::absolute(path, error);
    return error ? std::filesystem::path(path) : whole;
}

// The old play script being replayed (--replay with a script rather than a replay).
Script replay;

// The word is escaped already.
void report_replay_line(const ScriptError& error, void* path) {
    std::fprintf(stderr, "%s:%d: \"%.60s\": %s\n",
                 text_escaped(static_cast<const char*>(path)).c_str(), error.line,
                 error.word.c_str(), error.why);
}

// Reads the replay (or an old play script, or a link's text); false after saying why.
bool load_replay(const char* path) {
    char why[REPLAY_WHY_MAX + FILE_PATH_MAX] = "";
    const int read = desktop_replay_read(path, why, sizeof why);
    if (read == DESKTOP_REPLAY_READ) {
        return true;
    }
    if (read == DESKTOP_REPLAY_BAD) {
        char message[sizeof why + FILE_PATH_MAX + 64];
        std::snprintf(message, sizeof message, "Quellaro 2005: the replay %s: %s",
                      text_escaped(path).c_str(), why);
        sdl_show_error(message);
        return false;
    }
    std::string whole;
    char script_why[FILE_READ_WHY_MAX];
    // A folder or an unreadable file is an error, not an empty replay.
    if (!script_read_file(path, &whole, script_why, sizeof script_why)) {
        const std::string message =
            "Quellaro 2005: cannot read the script " + text_escaped(path) + ": " + script_why;
        sdl_show_error(message.c_str());
        return false;
    }
    if (script_parse(whole, &replay, report_replay_line, const_cast<char*>(path)) != 0) {
        return false;
    }
    // A recording ends with the last frame the player saw; the replay checks it sees the same.
    int check_pass = -1;
    uint64_t check_digest = 0;
    if (!script_last_frame(whole, &check_pass, &check_digest))
        check_pass = -1;
    desktop_set_replay(&replay, check_pass, check_digest);
    return true;
}

// The frame loop; a window that could not be opened ends the program with status 1.
int run_game() {
    char slot_path[FILE_PATH_MAX];
    if (quick_save_path(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"), slot_path,
                        sizeof slot_path)) {
        desktop_set_slot(quick_slot_at(slot_path));
    }
    char runs_path[FILE_PATH_MAX];
    if (kept_runs_folder(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"), runs_path,
                         sizeof runs_path)) {
        desktop_keep_runs_in(runs_path);
    }
    int status = desktop_run();
    if (sdl_window_failed) {
        sdl_show_error("Quellaro 2005: the window could not be opened.");
        status = 1;
    }
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    sdl_main_start_us = sdl_now_us();
    sdl_program_start();
    Options options;
    char error[256];
    if (!options_parse(argc, argv, &options, error, sizeof error)) {
        std::fprintf(stderr, "quellaro: %s\n%s", error, options_usage());
        return 2;
    }
    if (options.help) {
        std::fputs(options_usage(), stdout);
        return 0;
    }
    if (options.version) {
        std::printf("Quellaro 2005 %s\n", QUELLARO_VERSION);
        return 0;
    }
    if (!data_option_names_a_folder(options.data_dir, error, sizeof error)) {
        std::fprintf(stderr, "quellaro: %s\n%s", error, options_usage());
        return 2;
    }
    choose_settings(options);
    const std::filesystem::path record_path =
        options.record_path ? absolute(options.record_path) : std::filesystem::path();
    const std::filesystem::path replay_path =
        options.replay_path ? absolute(options.replay_path) : std::filesystem::path();
    if (!enter_data_folder(options.data_dir) || !sdl_video_start()) {
        return 1;
    }
    // A replay that cannot be read, or a script that cannot, ends with status 2 as the
    // headless runner's --verify does.
    if (options.replay_path != nullptr && !load_replay(replay_path.c_str())) {
        return 2;
    }
    if (options.record_path != nullptr) {
        desktop_record_to(record_path.c_str());
    }
    const int status = run_game();
    sdl_program_end();
    return status;
}
