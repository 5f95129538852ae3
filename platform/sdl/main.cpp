// The game's entry on the SDL backend: the command line, the settings, the pictures' folder,
// a display to show them on, then the program; recording and replay around its passes.
#define SDL_MAIN_HANDLED  // our own main, on every platform
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "platform/sdl/options.h"
#include "platform/sdl/parse.h"
#include "platform/sdl/recording.h"
#include "platform/sdl/sdl_backend.h"
#include "shell/app.h"

namespace {

// The file every data folder holds; its presence marks the folder.
constexpr const char* DATA_MARKER = "menubackground1.bmp";

void report_settings_line(void* context, int line, const char* message) {
    const char* path = static_cast<const char*>(context);
    if (line > 0) {
        std::fprintf(stderr, "%s:%d: %s\n", path, line, message);
    } else {
        std::fprintf(stderr, "%s: %s; using the defaults\n", path, message);
    }
}

// The settings file, then what this run's command line and QUELLARO_WINDOWED say.
void choose_settings(const Options& options) {
    settings_default(&sdl_settings);
    if (settings_path(SDL_getenv("XDG_CONFIG_HOME"), SDL_getenv("HOME"), sdl_settings_path,
                      sizeof sdl_settings_path)) {
        settings_load(sdl_settings_path, &sdl_settings, report_settings_line, sdl_settings_path);
    }
    sdl_file_settings = sdl_settings;
    const char* windowed = SDL_getenv("QUELLARO_WINDOWED");
    int width, height;
    if (windowed != nullptr && windowed[0] != '\0') {
        if (parse_window_size(windowed, &width, &height)) {
            sdl_settings.fullscreen = 0;
            sdl_settings.window_width = width;
            sdl_settings.window_height = height;
            sdl_run_only |= RUN_ONLY_FULLSCREEN | RUN_ONLY_WINDOW_SIZE;
        } else {
            std::fprintf(stderr, "QUELLARO_WINDOWED=%s is not WxH (like 1280x960); ignored\n",
                         windowed);
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
}

// Finds the pictures and works from their folder (the game reads them by plain names).
bool enter_data_folder(const char* option) {
    char* base = SDL_GetBasePath();
    DataDirSearch search;
    data_dir_candidates(option, SDL_getenv("QUELLARO_DATA"), base, &search);
    SDL_free(base);
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

Recorder recorder;

int before_pass(int pass) {
    sdl_pass = pass;
    sdl_wait_while_paused();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    sdl_main_start_us = sdl_now_us();
    SDL_SetMainReady();
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
    choose_settings(options);
    const std::filesystem::path record_path =
        options.record_path ? absolute(options.record_path) : std::filesystem::path();
    if (!enter_data_folder(options.data_dir) || !sdl_video_start()) {
        return 1;
    }
    if (options.record_path != nullptr) {
        if (!recorder_open(&recorder, record_path.c_str())) {
            char text[FILE_PATH_MAX + 64];
            std::snprintf(text, sizeof text, "Quellaro 2005: cannot write the recording %s",
                          record_path.c_str());
            sdl_show_error(text);
            return 1;
        }
        sdl_recorder = &recorder;
    }

    static const AppLoopHooks hooks = {before_pass, nullptr};
    app_set_loop_hooks(&hooks);
    constexpr int SHOW_NORMAL = 1;
    int status = app_main(nullptr, nullptr, "", SHOW_NORMAL);
    if (status == 1) {
        // Standard error has the line already; a player who started us from a menu sees the
        // box.
        char text[1024];
        app_describe_failed_start(text, sizeof text);
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "Quellaro 2005", text, nullptr);
    } else if (sdl_window_failed) {
        sdl_show_error("Quellaro 2005: the window could not be opened.");
        status = 1;
    }
    if (sdl_recorder != nullptr) {
        char comment[96];
        std::snprintf(comment, sizeof comment, "last frame: pass %d, digest %016llx",
                      sdl_last_frame_pass(),
                      static_cast<unsigned long long>(sdl_last_frame_digest()));
        sdl_recorder = nullptr;
        if (!recorder_finish(&recorder, comment)) {
            std::fprintf(stderr, "Quellaro 2005: the recording %s is incomplete\n",
                         record_path.c_str());
            status = status ? status : 1;
        } else {
            std::fprintf(stderr, "Quellaro 2005: recorded %d passes in %s\n", sdl_pass + 1,
                         record_path.c_str());
        }
    }
    SDL_Quit();
    return status;
}
