// The program's entry: window class and window, start-up, the frame loop, shutdown.
#include "shell/app.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include "engine/clock.h"
#include "engine/display.h"
#include "engine/picture.h"
#include "engine/sound.h"
#include "platform/text_escape.h"
#include "shell/commands.h"
#include "shell/game.h"
#include "shell/window.h"

namespace {

constexpr uint32_t FRAME_MS = 30;
constexpr int EXIT_START_FAILED = 1;

// The program instance, kept for the window class.
void* main_instance;
// Whether the game started, whether its frame loop still runs, the number of the next pass,
// and the code the program ends with.
bool started;
bool running;
int next_pass;
int exit_code;
// Why the last start-up failed, composed before the shutdown that follows it forgets which
// file was refused; the message box shows this very line.
char failed_start[1024];

int pass_allowed(const void* saved) {
    int pass;
    std::memcpy(&pass, saved, sizeof pass);
    return pass >= 0 ? 1 : 0;
}

const StateBlock state_blocks[] = {
    {"app.cpp:next_pass", STATE_BYTES, &next_pass, sizeof next_pass, pass_allowed},
};

int end_loop() {
    running = false;
    return 0;
}

// The line naming the file refused, from what the loaders say before they are shut down.
void describe_refusal(char* out, size_t size) {
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::current_path(error);
    const std::string shown = error ? "(unknown)" : text_escaped(folder.string());
    if (picture_refused()[0]) {
        std::snprintf(out, size, "Quellaro 2005: the picture \"%s\" in the folder %s %s",
                      picture_refused(), shown.c_str(), picture_refused_why());
    } else if (sound_refused()[0]) {
        std::snprintf(out, size, "Quellaro 2005: the sound \"%s\" in the folder %s %s",
                      sound_refused(), shown.c_str(), sound_refused_why());
    } else {
        std::snprintf(out, size, "Quellaro 2005: start-up failed (out of display memory)");
    }
}

void report_failed_start() {
    describe_refusal(failed_start, sizeof failed_start);
    std::fprintf(stderr, "%s\n", failed_start);
}

// The game runs without the palette file (the pictures bring their own palette), but a file
// that is missing or malformed is still told.
void report_palette_file() {
    if (display_palette_file_read())
        return;
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::current_path(error);
    std::fprintf(stderr,
                 "Quellaro 2005: the palette file \"%s\" in the folder %s is missing or not 256 "
                 "entries of four numbers from 0 to 255; going on without it\n",
                 DISPLAY_PALETTE_FILE, error ? "(unknown)" : text_escaped(folder.string()).c_str());
}

}  // namespace

const StateBlockList app_state = {state_blocks, 1};

void app_describe_failed_start(char* out, size_t size) {
    if (size > 0)
        std::snprintf(out, size, "%s", failed_start);
}

int app_start(void* instance) {
    // The class style keeps the old flags; only the double clicks change what arrives.
    static const WindowClass window_class = {
        CLASS_VREDRAW | CLASS_HREDRAW | CLASS_DBLCLKS | CLASS_OWNDC, window_proc, "WINCLASS1", 101,
        9};
    main_instance = instance;
    exit_code = 0;
    failed_start[0] = '\0';
    if (!window_register_class(&window_class))
        return 0;
    main_window =
        window_create("WINCLASS1", "Quellaro 2005", STYLE_POPUP | STYLE_VISIBLE, 0, 0, 640, 480);
    if (!main_window)
        return 0;
    const int game_started = game_init();
    report_palette_file();
    // Without its pictures the game cannot run: say which one is missing, and stop.
    if (!game_started) {
        report_failed_start();
        game_shutdown();
        window_destroy(main_window);
        exit_code = EXIT_START_FAILED;
        return 0;
    }
    started = running = true;
    return 1;
}

int app_run_pass(const InputRecord* record) {
    if (!running)
        return 0;
    ++next_pass;
    window_begin_pass(record);
    WindowMessage message;
    if (window_peek(&message)) {
        if (message.message == MSG_QUIT) {
            exit_code = static_cast<int>(message.wparam);
            return end_loop();
        }
        static_cast<void>(window_dispatch(&message));
    }
    game_frame();
    return 1;
}

int app_next_pass() {
    return next_pass;
}

int app_finish() {
    if (started) {
        game_shutdown();
        static_cast<void>(window_destroy(main_window));  // a close request destroyed it already
    }
    window_service_reset();
    main_window = nullptr;
    main_instance = nullptr;
    started = running = false;
    next_pass = 0;
    return exit_code;
}

int app_main(void* instance, void*, const char*, int) {
    if (app_start(instance)) {
        for (;;) {
            clock_start();
            InputRecord record;
            input_take_live(&record);
            if (!app_run_pass(&record))
                break;
            clock_wait(FRAME_MS);
        }
    }
    return app_finish();
}
