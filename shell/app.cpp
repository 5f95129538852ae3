// The program's entry: window class and window, start-up, the frame loop, shutdown.
#include "shell/app.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "engine/clock.h"
#include "shell/commands.h"
#include "shell/game.h"
#include "shell/window.h"

namespace {

constexpr uint32_t FRAME_MS = 30;
AppLoopHooks loop_hooks;
// The number of the next pass, counted from 0 by app_pass.
int pass_number;
// The exit code carried by the quit message that ended the loop.
int quit_code;

void report_failed_start() {
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::current_path(error);
    if (load_failed_file[0]) {
        std::fprintf(stderr, "Quellaro 2005: cannot read the picture \"%s\" in the folder %s\n",
                     load_failed_file, error ? "(unknown)" : folder.c_str());
    } else {
        std::fprintf(stderr, "Quellaro 2005: start-up failed (out of display memory)\n");
    }
}

}  // namespace

void app_set_loop_hooks(const AppLoopHooks* hooks) {
    loop_hooks = hooks ? *hooks : AppLoopHooks{nullptr, nullptr};
}

int app_start(void* instance, int* exit_code) {
    static const WindowClass window_class = {
        CLASS_VREDRAW | CLASS_HREDRAW | CLASS_DBLCLKS | CLASS_OWNDC, window_proc, "WINCLASS1", 101,
        9};
    *exit_code = 0;
    pass_number = 0;
    quit_code = 0;
    main_instance = instance;
    if (!window_register_class(&window_class))
        return 0;
    main_window =
        window_create("WINCLASS1", "Quellaro 2005", STYLE_POPUP | STYLE_VISIBLE, 0, 0, 640, 480);
    if (!main_window)
        return 0;

    // Without its pictures the game cannot run: say which one is missing, and stop.
    if (!game_init()) {
        report_failed_start();
        game_shutdown();
        window_destroy(main_window);
        *exit_code = 1;
        return 0;
    }
    return 1;
}

int app_pass() {
    const int pass = pass_number++;
    if (loop_hooks.before_pass && loop_hooks.before_pass(pass))
        return 0;
    WindowMessage message;
    if (window_peek(&message)) {
        if (message.message == MSG_QUIT) {
            quit_code = static_cast<int>(message.wparam);
            return 0;
        }
        window_dispatch(&message);
    }
    game_frame();
    if (loop_hooks.after_frame)
        loop_hooks.after_frame(pass);
    return 1;
}

int app_finish() {
    game_shutdown();
    window_destroy(main_window);
    return quit_code;
}

int app_main(void* instance, void*, const char*, int) {
    int exit_code = 0;
    if (!app_start(instance, &exit_code))
        return exit_code;
    for (;;) {
        clock_start();
        if (!app_pass())
            break;
        clock_wait(FRAME_MS);
    }
    return app_finish();
}
