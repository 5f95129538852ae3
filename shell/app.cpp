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

void report_failed_start() {
    char text[1024];
    app_describe_failed_start(text, sizeof(text));
    std::fprintf(stderr, "%s\n", text);
}

}  // namespace

void app_describe_failed_start(char* out, size_t size) {
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::current_path(error);
    if (load_failed_file[0]) {
        std::snprintf(out, size, "Quellaro 2005: cannot read the picture \"%s\" in the folder %s",
                      load_failed_file, error ? "(unknown)" : folder.c_str());
    } else {
        std::snprintf(out, size, "Quellaro 2005: start-up failed (out of display memory)");
    }
}

void app_set_loop_hooks(const AppLoopHooks* hooks) {
    loop_hooks = hooks ? *hooks : AppLoopHooks{nullptr, nullptr};
}

int app_main(void* instance, void*, const char*, int) {
    static const WindowClass window_class = {
        CLASS_VREDRAW | CLASS_HREDRAW | CLASS_DBLCLKS | CLASS_OWNDC, window_proc, "WINCLASS1", 101,
        9};
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
        return 1;
    }

    int exit_code = 0;
    for (int pass = 0;; ++pass) {
        if (loop_hooks.before_pass && loop_hooks.before_pass(pass))
            break;
        clock_start();
        WindowMessage message;
        if (window_peek(&message)) {
            if (message.message == MSG_QUIT) {
                exit_code = static_cast<int>(message.wparam);
                break;
            }
            window_dispatch(&message);
        }
        game_frame();
        if (loop_hooks.after_frame)
            loop_hooks.after_frame(pass);
        clock_wait(FRAME_MS);
    }
    game_shutdown();
    window_destroy(main_window);
    return exit_code;
}
