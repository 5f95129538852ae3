// The SDL window: video on a real display only, full screen on the desktop's own mode or a
// resizable window, the switches between them and between the scale modes, the settings they
// change, our own cursor and icon, and fatal messages in a box.
//
// QUELLARO_WINDOWED=WxH (for example 1280x960) opens a window of that size for this run, as
// --window=WxH does; the tests and the measurements use it.
#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>

#include "platform/file_read.h"
#include "platform/platform.h"
#include "platform/sdl/frame_stats.h"
#include "platform/sdl/parse.h"
#include "platform/sdl/pixels.h"
#include "platform/sdl/sdl_backend.h"
#include "platform/text_escape.h"

int sdl_frame_width = 640, sdl_frame_height = 480;
SDL_Window* sdl_window;
Settings sdl_settings;
char sdl_settings_path[FILE_PATH_MAX];
SettingsKept sdl_settings_kept;
int sdl_run_only;
Settings sdl_file_settings;
int sdl_window_failed;
int sdl_stats_enabled;

namespace {

// Palette index that the cursor and icon pictures use for "no pixel here".
constexpr int ART_TRANSPARENT_INDEX = 253;
constexpr const char* CURSOR_FILE = "cursor.bmp";
constexpr const char* CURSOR_HOTSPOT_FILE = "cursor_hotspot.txt";
constexpr const char* ICON_FILE = "icon32.bmp";
// A change of the settings is written once they have been left alone this long.
constexpr Uint32 SETTINGS_SAVE_DELAY_MS = 500;
constexpr int MIN_WINDOW_WIDTH = 160, MIN_WINDOW_HEIGHT = 120;

// Whether SDL's video is started (by sdl_video_start).
bool video_started;
// Our cursor, or null while SDL's default is in use.
SDL_Cursor* cursor;
// When the settings are due to be written; 0 when nothing waits.
Uint32 settings_due;
bool settings_waiting;

constexpr const char* NO_DISPLAY =
    "Quellaro 2005: no display to open a window on (neither X11 nor Wayland answers: DISPLAY "
    "and WAYLAND_DISPLAY are unset or wrong). Run it in a desktop session.\n";

// Drivers that show nothing on a screen: taken only when asked for by name.
bool is_invisible_driver(const char* name) {
    return name != nullptr && (std::strcmp(name, "offscreen") == 0 ||
                               std::strcmp(name, "dummy") == 0 || std::strcmp(name, "evdev") == 0);
}

// The desktop's own pictures are small; a file over this is not one of them.
constexpr size_t ART_FILE_MAX = 1 << 20;
constexpr int ART_SIZE = 32;

// A picture or hot-spot file that cannot be used, told like the game's own pictures; the
// system's cursor or icon stays.
void report_art(const char* file, const char* why, const char* kept) {
    std::fprintf(stderr, "Quellaro 2005: \"%s\" %s; %s\n", file, why, kept);
}

// An 8-bit 32 x 32 picture file as an ARGB surface, its transparent index see-through; null,
// after saying why, when the file cannot be used, so the caller keeps SDL's default.
SDL_Surface* load_art(const char* file, const char* kept) {
    std::string bytes;
    char why[FILE_READ_WHY_MAX];
    if (!file_read_whole(file, ART_FILE_MAX, &bytes, why, sizeof why)) {
        report_art(file, (std::string("cannot be opened (") + why + ")").c_str(), kept);
        return nullptr;
    }
    SDL_Surface* picture = SDL_LoadBMP_RW(SDL_RWFromConstMem(bytes.data(), bytes.size()), 1);
    if (picture == nullptr) {
        report_art(file, "is not a picture file the game reads", kept);
        return nullptr;
    }
    SDL_Palette* colors = picture->format->palette;
    char wrong[96] = "";
    if (picture->format->BitsPerPixel != 8 || colors == nullptr) {
        std::snprintf(wrong, sizeof wrong, "is not an 8-bit picture");
    } else if (picture->w != ART_SIZE || picture->h != ART_SIZE) {
        std::snprintf(wrong, sizeof wrong, "is %d x %d pixels, not %d x %d", picture->w, picture->h,
                      ART_SIZE, ART_SIZE);
    }
    SDL_Surface* art = wrong[0] ? nullptr
                                : SDL_CreateRGBSurfaceWithFormat(0, picture->w, picture->h, 32,
                                                                 SDL_PIXELFORMAT_ARGB8888);
    if (art == nullptr) {
        report_art(file, wrong[0] ? wrong : SDL_GetError(), kept);
        SDL_FreeSurface(picture);
        return nullptr;
    }
    PaletteEntry entries[256] = {};
    for (int i = 0; i < colors->ncolors && i < 256; i++) {
        entries[i] = {colors->colors[i].r, colors->colors[i].g, colors->colors[i].b, 0};
    }
    ColourTable table;
    palette_to_argb(entries, ART_TRANSPARENT_INDEX, &table);
    SDL_LockSurface(picture);
    for (int y = 0; y < picture->h; y++) {
        convert_row_8(
            static_cast<const uint8_t*>(picture->pixels) + y * picture->pitch, picture->w, table,
            reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(art->pixels) + y * art->pitch));
    }
    SDL_UnlockSurface(picture);
    SDL_FreeSurface(picture);
    return art;
}

// The cursor's hot spot from its text file; (0, 0), after saying why, when the file cannot be
// read or does not hold one.
void load_hotspot(int width, int height, int* x, int* y) {
    *x = 0;
    *y = 0;
    char text[64];
    char why[FILE_READ_WHY_MAX];
    const int64_t length =
        file_read_into(CURSOR_HOTSPOT_FILE, text, sizeof text - 1, why, sizeof why);
    if (length < 0) {
        report_art(CURSOR_HOTSPOT_FILE, (std::string("cannot be opened (") + why + ")").c_str(),
                   "the hot spot is 0 0");
        return;
    }
    text[length] = '\0';
    // A NUL would hide what follows it from the reader.
    if (std::strlen(text) != static_cast<size_t>(length) ||
        !parse_hotspot(text, width, height, x, y)) {
        report_art(CURSOR_HOTSPOT_FILE, "does not hold a hot spot \"x y\" inside the cursor",
                   "the hot spot is 0 0");
    }
}

void install_artwork() {
    if (SDL_Surface* icon = load_art(ICON_FILE, "the window keeps the system's icon")) {
        SDL_SetWindowIcon(sdl_window, icon);  // SDL keeps its own copy
        SDL_FreeSurface(icon);
    }
    if (SDL_Surface* art = load_art(CURSOR_FILE, "the system's cursor is used")) {
        int hot_x, hot_y;
        load_hotspot(art->w, art->h, &hot_x, &hot_y);
        cursor = SDL_CreateColorCursor(art, hot_x, hot_y);
        SDL_FreeSurface(art);
        if (cursor != nullptr) {
            SDL_SetCursor(cursor);
        }
    }
}

// The window's size when none is set: the largest whole multiple of the frame that leaves
// room for the desktop's panels and the window's frame.
void default_window_size(int* width, int* height) {
    *width = sdl_frame_width;
    *height = sdl_frame_height;
    SDL_Rect usable;
    if (SDL_GetDisplayUsableBounds(0, &usable) != 0) {
        return;
    }
    for (int k = 2; k <= 8; k++) {
        if (sdl_frame_width * k * 10 <= usable.w * 9 && sdl_frame_height * k * 10 <= usable.h * 9) {
            *width = sdl_frame_width * k;
            *height = sdl_frame_height * k;
        }
    }
}

// The window's size as set, held within the display's usable area: a size set for a larger
// display (or by hand) would open a window partly off the screen.
void window_size(int* width, int* height) {
    if (sdl_settings.window_width > 0 && sdl_settings.window_height > 0) {
        *width = sdl_settings.window_width;
        *height = sdl_settings.window_height;
        SDL_Rect usable;
        if (SDL_GetDisplayUsableBounds(0, &usable) == 0 && usable.w > 0 && usable.h > 0) {
            *width = std::max(std::min(*width, usable.w), MIN_WINDOW_WIDTH);
            *height = std::max(std::min(*height, usable.h), MIN_WINDOW_HEIGHT);
        }
    } else {
        default_window_size(width, height);
    }
}

void print_stats_summary() {
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (status != nullptr) {
        char line[256];
        while (std::fgets(line, sizeof line, status)) {
            if (std::strncmp(line, "VmHWM:", 6) == 0) {
                std::fprintf(stderr, "peak memory (RSS) %s", line + 6);
            }
        }
        std::fclose(status);
    }
}

}  // namespace

int sdl_video_start() {
    if (video_started) {
        return 1;
    }
    // Without a display server to talk to there is nothing to show the game on; SDL would
    // fall back on a driver that shows nothing. Asking for a driver by name skips the test.
    const char* asked = SDL_getenv("SDL_VIDEODRIVER");
    const char* x11 = SDL_getenv("DISPLAY");
    const char* wayland = SDL_getenv("WAYLAND_DISPLAY");
    if ((asked == nullptr || asked[0] == '\0') && (x11 == nullptr || x11[0] == '\0') &&
        (wayland == nullptr || wayland[0] == '\0')) {
        std::fprintf(stderr, "%s", NO_DISPLAY);
        return 0;
    }
    // The processor's present draws into the window's own surface (shared memory on X11);
    // a texture behind it would send every frame through a renderer again.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    // Crisp pixels when the GPU scales the frame; must be set before the texture is made.
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr,
                     "Quellaro 2005: no display to open a window on (%s). Run it in a desktop "
                     "session (X11 or Wayland).\n",
                     SDL_GetError());
        return 0;
    }
    video_started = true;
    // With no display SDL falls back on drivers that show nothing; a game nobody can see
    // would run until killed. They are fine when asked for by name (tests, measurements).
    const char* driver = SDL_GetCurrentVideoDriver();
    if (is_invisible_driver(driver) &&
        (asked == nullptr || std::strstr(asked, driver) == nullptr)) {
        std::fprintf(stderr, "%s", NO_DISPLAY);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        video_started = false;
        return 0;
    }
    const char* stats = SDL_getenv("QUELLARO_FRAME_STATS");
    sdl_stats_enabled = stats != nullptr && stats[0] != '\0' && std::strcmp(stats, "0") != 0;
    return 1;
}

void sdl_show_error(const char* text) {
    std::fprintf(stderr, "%s\n", text);
    sdl_note_message(text);
    // Without a display the box cannot show; the line above is all there is.
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "Quellaro 2005", text, sdl_window);
}

int platform_open_window(const char* caption, int width, int height) {
    if (sdl_window != nullptr || width <= 0 || height <= 0 || !sdl_video_start()) {
        sdl_window_failed = 1;
        return 0;
    }
    sdl_frame_width = width;
    sdl_frame_height = height;
    int window_width, window_height;
    window_size(&window_width, &window_height);
    Uint32 flags = SDL_WINDOW_RESIZABLE | SDL_WINDOW_HIDDEN;
    if (sdl_settings.fullscreen) {
        // The full screen's own size for the window too: without a window manager to apply
        // the full-screen state (a bare X server), the window still covers the screen.
        SDL_DisplayMode desktop;
        if (SDL_GetDesktopDisplayMode(0, &desktop) == 0 && desktop.w > 0 && desktop.h > 0) {
            window_width = desktop.w;
            window_height = desktop.h;
        }
        flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    }
    sdl_window = SDL_CreateWindow(caption, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                  window_width, window_height, flags);
    if (sdl_window == nullptr || !sdl_present_start()) {
        std::fprintf(stderr, "Quellaro 2005: cannot open the window: %s\n", SDL_GetError());
        platform_close_window();
        sdl_window_failed = 1;
        return 0;
    }
    SDL_SetWindowMinimumSize(sdl_window, MIN_WINDOW_WIDTH, MIN_WINDOW_HEIGHT);
    install_artwork();
    return 1;
}

void platform_close_window() {
    sdl_settings_flush(1);
    if (sdl_stats_enabled && sdl_window != nullptr) {
        print_stats_summary();
    }
    sdl_present_stop();
    sdl_input_stop();
    if (cursor != nullptr) {
        SDL_FreeCursor(cursor);
        cursor = nullptr;
    }
    if (sdl_window != nullptr) {
        SDL_DestroyWindow(sdl_window);
        sdl_window = nullptr;
    }
    if (video_started) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        video_started = false;
    }
}

void sdl_toggle_fullscreen() {
    if (sdl_window == nullptr) {
        return;
    }
    const bool leaving = (SDL_GetWindowFlags(sdl_window) & SDL_WINDOW_FULLSCREEN) != 0;
    if (SDL_SetWindowFullscreen(sdl_window, leaving ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) {
        std::fprintf(stderr, "cannot switch between full screen and window: %s\n", SDL_GetError());
        return;
    }
    if (leaving) {
        // The window as the player had it, not the size it was made with for full screen.
        int width, height;
        window_size(&width, &height);
        SDL_SetWindowSize(sdl_window, width, height);
        SDL_SetWindowPosition(sdl_window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    }
    sdl_settings.fullscreen = leaving ? 0 : 1;
    sdl_run_only &= ~RUN_ONLY_FULLSCREEN;
    sdl_settings_changed();
    sdl_present_again();
}

void sdl_toggle_scale() {
    int width, height;
    sdl_frame_box(&width, &height);
    sdl_settings.scale_mode = scale_mode_toggled(sdl_settings.scale_mode, width, height,
                                                 sdl_frame_width, sdl_frame_height);
    sdl_run_only &= ~RUN_ONLY_SCALE;
    sdl_settings_changed();
    sdl_present_again();
}

void sdl_set_fullscreen(int on) {
    const bool now =
        sdl_window != nullptr && (SDL_GetWindowFlags(sdl_window) & SDL_WINDOW_FULLSCREEN) != 0;
    if (now != (on != 0)) {
        sdl_toggle_fullscreen();
    }
}

void sdl_set_scale_mode(int mode) {
    if (mode < SCALE_AUTO || mode > SCALE_FIT || mode == sdl_settings.scale_mode) {
        return;
    }
    sdl_settings.scale_mode = mode;
    sdl_run_only &= ~RUN_ONLY_SCALE;
    sdl_settings_changed();
    sdl_settings_flush(1);
    sdl_present_again();
}

void sdl_keys_changed() {
    sdl_settings_changed();
    sdl_settings_flush(1);
}

void sdl_settings_changed() {
    settings_waiting = true;
    settings_due = SDL_GetTicks() + SETTINGS_SAVE_DELAY_MS;
}

void sdl_settings_flush(int now) {
    if (!settings_waiting || sdl_settings_path[0] == '\0' ||
        (!now && static_cast<int32_t>(SDL_GetTicks() - settings_due) < 0)) {
        return;
    }
    settings_waiting = false;
    Settings kept = sdl_settings;
    if (sdl_run_only & RUN_ONLY_FULLSCREEN) {
        kept.fullscreen = sdl_file_settings.fullscreen;
    }
    if (sdl_run_only & RUN_ONLY_WINDOW_SIZE) {
        kept.window_width = sdl_file_settings.window_width;
        kept.window_height = sdl_file_settings.window_height;
    }
    if (sdl_run_only & RUN_ONLY_SCALE) {
        kept.scale_mode = sdl_file_settings.scale_mode;
    }
    if (sdl_run_only & RUN_ONLY_MUTE) {
        kept.muted = sdl_file_settings.muted;
    }
    char why[FILE_WHY_MAX];
    if (!settings_save(sdl_settings_path, &kept, &sdl_settings_kept, why, sizeof why)) {
        std::fprintf(stderr, "Quellaro 2005: cannot write the settings to %s: %s\n",
                     text_escaped(sdl_settings_path).c_str(), why);
        sdl_say("Settings not saved");
    }
}
