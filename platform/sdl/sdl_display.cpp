// The SDL window: full screen on the desktop's own mode (or a test window), the frame shown
// through a streaming texture, letterboxed and nearest-neighbour scaled; our own cursor
// and window icon.
//
// QUELLARO_WINDOWED=WxH (for example 1280x960) opens a normal, resizable window of that
// size instead of the full screen, for trying the game at other sizes.
// QUELLARO_FRAME_STATS=1 prints the intervals between presented frames and the processor
// time used when the window closes (on standard error).
#include <SDL.h>

#include <cstdio>
#include <cstring>
#include <ctime>

#include "platform/platform.h"
#include "platform/sdl/frame_stats.h"
#include "platform/sdl/letterbox.h"
#include "platform/sdl/parse.h"
#include "platform/sdl/pixels.h"
#include "platform/sdl/sdl_backend.h"

int sdl_frame_width = 640, sdl_frame_height = 480;

namespace {

// Palette index that the cursor and icon pictures use for "no pixel here".
constexpr int ART_TRANSPARENT_INDEX = 253;
constexpr const char* CURSOR_FILE = "cursor.bmp";
constexpr const char* CURSOR_HOTSPOT_FILE = "cursor_hotspot.txt";
constexpr const char* ICON_FILE = "icon32.bmp";

// Whether SDL's video is started (by platform_open_window).
bool video_started;
SDL_Window* window;
SDL_Renderer* renderer;
// The frame in ARGB, filled by each present; made once when the window opens.
SDL_Texture* frame_texture;
// Our cursor, or null while SDL's default is in use.
SDL_Cursor* cursor;
// The visibility last given to SDL; -1 before the first call.
int cursor_shown = -1;
// The palette of the frame being presented, as ARGB.
uint32_t palette_argb[256];

// Frame pacing diagnostics (QUELLARO_FRAME_STATS).
bool stats_enabled;
FrameStats present_stats;  // between presented frames
FrameStats pass_stats;     // between event pumps, one at the top of each frame-loop pass
std::clock_t stats_cpu_start;
int64_t stats_wall_start_us;

int64_t now_us() {
    return static_cast<int64_t>(SDL_GetPerformanceCounter() * 1000000.0 /
                                static_cast<double>(SDL_GetPerformanceFrequency()));
}

// An 8-bit picture file as an ARGB surface, its transparent index see-through; null when
// the file is missing or not 8-bit, so the caller keeps SDL's default.
SDL_Surface* load_art(const char* file) {
    SDL_Surface* picture = SDL_LoadBMP(file);
    if (picture == nullptr) {
        return nullptr;
    }
    SDL_Palette* colors = picture->format->palette;
    if (picture->format->BitsPerPixel != 8 || colors == nullptr) {
        std::fprintf(stderr, "%s is not an 8-bit picture; keeping the default\n", file);
        SDL_FreeSurface(picture);
        return nullptr;
    }
    SDL_Surface* art =
        SDL_CreateRGBSurfaceWithFormat(0, picture->w, picture->h, 32, SDL_PIXELFORMAT_ARGB8888);
    if (art == nullptr) {
        SDL_FreeSurface(picture);
        return nullptr;
    }
    PaletteEntry entries[256] = {};
    for (int i = 0; i < colors->ncolors && i < 256; i++) {
        entries[i] = {colors->colors[i].r, colors->colors[i].g, colors->colors[i].b, 0};
    }
    uint32_t table[256];
    palette_to_argb(entries, ART_TRANSPARENT_INDEX, table);
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

// The cursor's hot spot from its text file; (0, 0) when the file is missing or unreadable.
void load_hotspot(int width, int height, int* x, int* y) {
    *x = 0;
    *y = 0;
    std::FILE* file = std::fopen(CURSOR_HOTSPOT_FILE, "r");
    if (file == nullptr) {
        return;
    }
    char line[64] = {};
    if (std::fgets(line, sizeof line, file) == nullptr ||
        !parse_hotspot(line, width, height, x, y)) {
        std::fprintf(stderr, "%s does not hold a hot spot \"x y\" inside the cursor; using 0 0\n",
                     CURSOR_HOTSPOT_FILE);
    }
    std::fclose(file);
}

void install_artwork() {
    if (SDL_Surface* icon = load_art(ICON_FILE)) {
        SDL_SetWindowIcon(window, icon);  // SDL keeps its own copy
        SDL_FreeSurface(icon);
    }
    if (SDL_Surface* art = load_art(CURSOR_FILE)) {
        int hot_x, hot_y;
        load_hotspot(art->w, art->h, &hot_x, &hot_y);
        cursor = SDL_CreateColorCursor(art, hot_x, hot_y);
        SDL_FreeSurface(art);
        if (cursor != nullptr) {
            SDL_SetCursor(cursor);
        } else {
            std::fprintf(stderr, "cannot make the cursor: %s\n", SDL_GetError());
        }
    }
}

// Window size and flags: the desktop's full screen, or QUELLARO_WINDOWED's test window.
Uint32 window_mode(int* width, int* height) {
    const char* windowed = SDL_getenv("QUELLARO_WINDOWED");
    if (windowed != nullptr && windowed[0] != '\0') {
        if (parse_window_size(windowed, width, height)) {
            return SDL_WINDOW_RESIZABLE;
        }
        std::fprintf(stderr, "QUELLARO_WINDOWED=%s is not WxH (like 1280x960); full screen\n",
                     windowed);
    }
    // The full screen's own size for the window too: without a window manager to apply the
    // full-screen state (a bare X server), the window still covers the screen.
    SDL_DisplayMode desktop;
    if (SDL_GetDesktopDisplayMode(0, &desktop) == 0 && desktop.w > 0 && desktop.h > 0) {
        *width = desktop.w;
        *height = desktop.h;
    }
    return SDL_WINDOW_FULLSCREEN_DESKTOP;
}

}  // namespace

int platform_open_window(const char* caption, int width, int height) {
    if (window != nullptr || width <= 0 || height <= 0) {
        return 0;
    }
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "cannot start SDL video: %s\n", SDL_GetError());
        return 0;
    }
    video_started = true;
    sdl_frame_width = width;
    sdl_frame_height = height;
    int window_width = width, window_height = height;
    Uint32 flags = window_mode(&window_width, &window_height);
    // Crisp pixels when the frame is scaled up; must be set before the texture is made.
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");
    window = SDL_CreateWindow(caption, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, window_width,
                              window_height, flags);
    if (window != nullptr) {
        // No vertical sync: the frame clock paces the game, and a wait for the display's
        // refresh would stretch its 30 ms frames.
        renderer = SDL_CreateRenderer(window, -1, 0);
        if (renderer == nullptr) {
            renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
        }
    }
    if (renderer != nullptr) {
        frame_texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888,
                                          SDL_TEXTUREACCESS_STREAMING, width, height);
    }
    if (frame_texture == nullptr) {
        std::fprintf(stderr, "cannot open the window: %s\n", SDL_GetError());
        platform_close_window();
        return 0;
    }
    install_artwork();
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    SDL_RenderPresent(renderer);

    const char* stats = SDL_getenv("QUELLARO_FRAME_STATS");
    stats_enabled = stats != nullptr && stats[0] != '\0' && std::strcmp(stats, "0") != 0;
    frame_stats_reset(&present_stats);
    frame_stats_reset(&pass_stats);
    stats_cpu_start = std::clock();
    stats_wall_start_us = now_us();
    return 1;
}

void platform_close_window() {
    if (stats_enabled && window != nullptr) {
        SDL_RendererInfo info = {};
        SDL_GetRendererInfo(renderer, &info);
        std::fprintf(stderr, "renderer %s\nbetween presents: ", info.name);
        frame_stats_print(&present_stats, stderr);
        std::fprintf(stderr, "between event pumps: ");
        frame_stats_print(&pass_stats, stderr);
        double cpu = static_cast<double>(std::clock() - stats_cpu_start) / CLOCKS_PER_SEC;
        double wall = static_cast<double>(now_us() - stats_wall_start_us) / 1e6;
        std::fprintf(stderr, "processor time %.2f s over %.2f s (%.1f%% of one core)\n", cpu, wall,
                     wall > 0 ? 100.0 * cpu / wall : 0.0);
    }
    if (cursor != nullptr) {
        SDL_FreeCursor(cursor);
        cursor = nullptr;
    }
    if (frame_texture != nullptr) {
        SDL_DestroyTexture(frame_texture);
        frame_texture = nullptr;
    }
    if (renderer != nullptr) {
        SDL_DestroyRenderer(renderer);
        renderer = nullptr;
    }
    if (window != nullptr) {
        SDL_DestroyWindow(window);
        window = nullptr;
    }
    cursor_shown = -1;
    if (video_started) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        video_started = false;
    }
}

void platform_present(const uint8_t* pixels, int pitch, int width, int height, int bpp,
                      const PaletteEntry* palette) {
    if (frame_texture == nullptr || pixels == nullptr || width <= 0 || height <= 0) {
        return;
    }
    if (bpp == 8) {
        if (palette == nullptr) {
            return;
        }
        palette_to_argb(palette, -1, palette_argb);
    } else if (bpp != 15 && bpp != 16) {
        return;
    }
    void* texels;
    int texture_pitch;
    if (SDL_LockTexture(frame_texture, nullptr, &texels, &texture_pitch) != 0) {
        return;
    }
    // A smaller frame leaves black around it; a larger one is cut to the texture.
    const int rows = height < sdl_frame_height ? height : sdl_frame_height;
    const int columns = width < sdl_frame_width ? width : sdl_frame_width;
    for (int y = 0; y < sdl_frame_height; y++) {
        uint32_t* out =
            reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(texels) + y * texture_pitch);
        if (y >= rows) {
            std::memset(out, 0, sizeof(uint32_t) * sdl_frame_width);
            continue;
        }
        const uint8_t* row = pixels + static_cast<ptrdiff_t>(y) * pitch;
        if (bpp == 8) {
            convert_row_8(row, columns, palette_argb, out);
        } else {
            convert_row_16(row, columns, bpp, out);
        }
        if (columns < sdl_frame_width) {
            std::memset(out + columns, 0, sizeof(uint32_t) * (sdl_frame_width - columns));
        }
    }
    SDL_UnlockTexture(frame_texture);

    int output_width = 0, output_height = 0;
    SDL_GetRendererOutputSize(renderer, &output_width, &output_height);
    Letterbox box = letterbox_fit(output_width, output_height, sdl_frame_width, sdl_frame_height);
    SDL_Rect destination = {box.x, box.y, box.width, box.height};
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);  // the bars
    SDL_RenderCopy(renderer, frame_texture, nullptr, &destination);
    SDL_RenderPresent(renderer);
    if (stats_enabled) {
        frame_stats_add(&present_stats, now_us());
    }
}

void sdl_note_pump() {
    if (stats_enabled) {
        frame_stats_add(&pass_stats, now_us());
    }
}

void platform_set_cursor_visible(int visible) {
    int shown = visible ? 1 : 0;
    if (shown != cursor_shown) {
        SDL_ShowCursor(shown ? SDL_ENABLE : SDL_DISABLE);
        cursor_shown = shown;
    }
}
