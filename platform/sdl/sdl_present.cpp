// Presenting the frame. With a real GPU the frame is uploaded and the GPU scales it; without
// one (no GPU device, or OpenGL drawn by a software rasterizer) the frame is converted and
// scaled in one pass straight into the window's surface and only the frame's box is sent to
// the display, the bars only when the window's size changes. A frame identical to the last
// one is not presented again. QUELLARO_PRESENT=gpu|cpu forces the path;
// QUELLARO_FRAME_STATS=1 says which was taken and why, and prints the intervals between
// presented frames and the processor time used when the window closes.
#include <dirent.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>

#include "platform/frame_digest.h"
#include "platform/platform.h"
#include "platform/png.h"
#include "platform/sdl/frame_stats.h"
#include "platform/sdl/pixels.h"
#include "platform/sdl/scale.h"
#include "platform/sdl/sdl_backend.h"
#include "platform/text_escape.h"

int64_t sdl_frames_shown;

namespace {

// How frames reach the screen: not at all (no window), by the processor into the window's
// surface, or through a renderer's texture.
enum Path { PATH_NONE, PATH_CPU, PATH_GPU };
constexpr Uint32 BAR_COLOUR = 0xFF000000u;
// OpenGL renderer names of rasterizers that run on the processor.
constexpr const char* SOFTWARE_GL[] = {"llvmpipe", "softpipe", "swrast", "Software Rasterizer"};

// The path chosen when the window opened.
Path path;
// GPU path: the renderer and the frame as a texture.
SDL_Renderer* renderer;
SDL_Texture* texture;
// CPU path: the output pixels' mapping, rebuilt when the window's size or the mode changes.
std::unique_ptr<ScaleMap> scale_map;
// The surface's size and the scale mode the map was built for (-1: none yet).
int surface_width, surface_height, map_mode = -1;
const void* surface_memory;  // the surface's pixels then: new memory holds nothing shown yet
bool redraw_all = true;      // the next present paints the bars and sends the whole window

// The last frame as it was drawn (8-bit, pitch = width) and its palette, for the identical
// frame test, the screenshot and the pause mark; a frame in another format is kept as ARGB.
std::unique_ptr<uint8_t[]> last_frame;
std::unique_ptr<uint32_t[]> argb_frame;  // ARGB copy (other formats; the pause mark)
PaletteEntry last_palette[256];
ColourTable palette_argb;  // the palette ready for conversion
// The program's colour filter (null: none): the table is built from the palette through it.
SdlPaletteFilter palette_filter;

void build_table(const PaletteEntry* palette) {
    if (palette_filter == nullptr) {
        palette_to_argb(palette, -1, &palette_argb);
        return;
    }
    PaletteEntry filtered[256];
    palette_filter(palette, filtered, 256);
    palette_to_argb(filtered, -1, &palette_argb);
}
bool have_last, last_is_argb;
// Whether the window shows last_frame as it is (not a paused or other-format frame), and
// which rows of the frame being presented differ from it: on the processor path only those
// are written and sent to the display, which in play is often a small part of the frame.
bool window_shows_last;
std::unique_ptr<uint8_t[]> changed_rows;
// The last frame's digest, kept when the window closes (for the recording's last line), and
// the pass that drew it.
uint64_t closing_digest;
int last_frame_pass = -1;

// Frame pacing diagnostics.
FrameStats present_stats;      // between presented frames, when each is handed to the display
FrameStats handover_stats;     // how long handing a frame over took (the display server's share)
FrameStats pass_stats;         // between event pumps, one at the top of each frame-loop pass
std::clock_t stats_cpu_start;  // processor time when the window opened
int64_t stats_wall_start_us;   // and the wall clock then
int64_t skipped_frames;        // identical frames not shown again
bool first_frame_noted;        // the first frame's time was printed

// A render node is what a GPU driver offers user programs; without one, OpenGL can only be
// a software rasterizer, and asking it costs start-up time and memory for nothing.
bool gpu_device_present() {
#ifdef __linux__
    DIR* dri = opendir("/dev/dri");
    if (dri == nullptr) {
        return false;
    }
    bool found = false;
    while (dirent* entry = readdir(dri)) {
        found = found || std::strncmp(entry->d_name, "renderD", 7) == 0;
    }
    closedir(dri);
    return found;
#else
    return true;
#endif
}

// Whether the renderer draws on a real GPU: accelerated, and for OpenGL not a rasterizer
// on the processor. *why receives the renderer's description.
bool renderer_on_gpu(SDL_Renderer* candidate, char* why, size_t size) {
    SDL_RendererInfo info = {};
    SDL_GetRendererInfo(candidate, &info);
    const char* gl = "";
    if (std::strncmp(info.name, "opengl", 6) == 0) {
        using GetString = const unsigned char* (*)(unsigned int);
        constexpr unsigned int GL_RENDERER = 0x1F01;
        auto get_string = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
        const unsigned char* name = get_string ? get_string(GL_RENDERER) : nullptr;
        gl = name ? reinterpret_cast<const char*>(name) : "";
    }
    std::snprintf(why, size, "%s%s%s", info.name, gl[0] ? " on " : "", gl);
    if (!(info.flags & SDL_RENDERER_ACCELERATED)) {
        return false;
    }
    for (const char* software : SOFTWARE_GL) {
        if (std::strstr(gl, software) != nullptr) {
            return false;
        }
    }
    return true;
}

bool start_gpu() {
    // No vertical sync: the frame clock paces the game, and a wait for the display's
    // refresh would stretch its 30 ms frames.
    renderer = SDL_CreateRenderer(sdl_window, -1, 0);
    if (renderer == nullptr) {
        renderer = SDL_CreateRenderer(sdl_window, -1, SDL_RENDERER_SOFTWARE);
    }
    if (renderer != nullptr) {
        texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                                    sdl_frame_width, sdl_frame_height);
    }
    if (texture == nullptr) {
        return false;
    }
    SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_NONE);
    path = PATH_GPU;
    return true;
}

void stop_gpu() {
    if (texture != nullptr) {
        SDL_DestroyTexture(texture);
        texture = nullptr;
    }
    if (renderer != nullptr) {
        SDL_DestroyRenderer(renderer);
        renderer = nullptr;
    }
}

// The window surface, when it holds 32-bit pixels with 8 bits a channel in ARGB order (what
// X11 gives); null otherwise.
SDL_Surface* window_surface() {
    SDL_Surface* surface = SDL_GetWindowSurface(sdl_window);
    if (surface == nullptr) {
        return nullptr;
    }
    Uint32 format = surface->format->format;
    return format == SDL_PIXELFORMAT_RGB888 || format == SDL_PIXELFORMAT_ARGB8888 ? surface
                                                                                  : nullptr;
}

bool start_cpu() {
    if (window_surface() == nullptr) {
        return false;
    }
    path = PATH_CPU;
    return true;
}

// The GPU path: the frame into the streaming texture, which the renderer scales.
void show_gpu(const uint8_t* frame8, int pitch8, const uint32_t* argb) {
    int output_width, output_height;
    const Letterbox box = sdl_frame_box(&output_width, &output_height);
    if (box.width <= 0 || box.height <= 0) {
        return;  // minimised
    }
    void* texels;
    int texture_pitch;
    if (SDL_LockTexture(texture, nullptr, &texels, &texture_pitch) != 0) {
        return;
    }
    for (int y = 0; y < sdl_frame_height; y++) {
        uint32_t* out =
            reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(texels) + y * texture_pitch);
        if (argb != nullptr) {
            std::memcpy(out, argb + y * sdl_frame_width, 4 * sdl_frame_width);
        } else {
            convert_row_8(frame8 + y * pitch8, sdl_frame_width, palette_argb, out);
        }
    }
    SDL_UnlockTexture(texture);
    const SDL_Rect destination = {box.x, box.y, box.width, box.height};
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);  // the bars
    SDL_RenderCopy(renderer, texture, nullptr, &destination);
    SDL_RenderPresent(renderer);
    redraw_all = false;
}

// The CPU path: the frame scaled straight into the window's surface; the bars are drawn only
// when the box or the window changes. With changed, only the rows showing changed frame rows
// are written and sent.
bool show_cpu(const uint8_t* frame8, int pitch8, const uint32_t* argb, const uint8_t* changed) {
    SDL_Surface* surface = window_surface();
    if (surface == nullptr) {
        return false;
    }
    // The box from the surface itself, so nothing is ever written outside it.
    const Letterbox box = letterbox_for_mode(sdl_settings.scale_mode, surface->w, surface->h,
                                             sdl_frame_width, sdl_frame_height);
    if (box.width <= 0 || box.height <= 0) {
        return false;
    }
    if (surface->w != surface_width || surface->h != surface_height ||
        surface->pixels != surface_memory || sdl_settings.scale_mode != map_mode ||
        scale_map->box.width != box.width || scale_map->box.x != box.x ||
        scale_map->box.y != box.y) {
        surface_width = surface->w;
        surface_height = surface->h;
        surface_memory = surface->pixels;
        map_mode = sdl_settings.scale_mode;
        scale_map_build(scale_map.get(), box);
        redraw_all = true;
    }
    if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) {
        return false;
    }
    uint8_t* pixels = static_cast<uint8_t*>(surface->pixels);
    if (redraw_all) {
        scale_fill_bars(scale_map->box, surface->w, surface->h, BAR_COLOUR, pixels, surface->pitch);
    }
    if (argb != nullptr) {
        scale_frame_32(scale_map.get(), argb, sdl_frame_width, pixels, surface->pitch);
    } else {
        changed = redraw_all ? nullptr : changed;
        scale_frame_8(scale_map.get(), frame8, pitch8, palette_argb, pixels, surface->pitch,
                      changed);
    }
    if (SDL_MUSTLOCK(surface)) {
        SDL_UnlockSurface(surface);
    }
    if (redraw_all) {
        SDL_UpdateWindowSurface(sdl_window);
        redraw_all = false;
    } else if (argb == nullptr && changed != nullptr) {
        // A few bands: each is a request to the display server.
        constexpr int MAX_BANDS = 16;
        ScaleRect bands[MAX_BANDS];
        SDL_Rect rects[MAX_BANDS];
        const int count = scale_changed_bands(scale_map.get(), changed, bands, MAX_BANDS);
        for (int i = 0; i < count; i++) {
            rects[i] = {bands[i].x, bands[i].y, bands[i].width, bands[i].height};
        }
        SDL_UpdateWindowSurfaceRects(sdl_window, rects, count);
    } else {
        const SDL_Rect rect = {scale_map->box.x, scale_map->box.y, scale_map->box.width,
                               scale_map->box.height};
        SDL_UpdateWindowSurfaceRects(sdl_window, &rect, 1);
    }
    return true;
}

// Converts, scales and hands over the frame: 8-bit through the palette table, or the ARGB
// copy; changed (or null: all) names the 8-bit frame's rows that differ from what the window
// shows.
void show(const uint8_t* frame8, int pitch8, const uint32_t* argb,
          const uint8_t* changed = nullptr) {
    sdl_frames_shown++;
    if (path == PATH_GPU) {
        show_gpu(frame8, pitch8, argb);
        window_shows_last = false;
    } else {
        window_shows_last = show_cpu(frame8, pitch8, argb, changed) && argb == nullptr;
    }
}

// The last frame (as last presented) in ARGB, pitch = width.
void last_as_argb(uint32_t* out) {
    if (last_is_argb) {
        std::memcpy(out, argb_frame.get(), 4u * sdl_frame_width * sdl_frame_height);
        return;
    }
    for (int y = 0; y < sdl_frame_height; y++) {
        convert_row_8(last_frame.get() + y * sdl_frame_width, sdl_frame_width, palette_argb,
                      out + y * sdl_frame_width);
    }
}

// The program's drawing over the finished frame, the look it last had on screen (0: none),
// and the frame with it drawn over, kept in its own buffer.
const SdlOverlay* overlay;
int overlay_shown;
std::unique_ptr<uint32_t[]> overlaid_frame;

int overlay_look() {
    return overlay != nullptr ? overlay->look(sdl_paused) : 0;
}

void show_last() {
    if (!have_last) {
        return;
    }
    overlay_shown = overlay_look();
    if (overlay_shown != 0) {
        last_as_argb(overlaid_frame.get());
        overlay->draw(overlaid_frame.get(), sdl_frame_width, sdl_frame_width, sdl_frame_height,
                      sdl_paused);
        show(nullptr, 0, overlaid_frame.get());
    } else if (last_is_argb) {
        show(nullptr, 0, argb_frame.get());
    } else {
        show(last_frame.get(), sdl_frame_width, nullptr);
    }
}

// Frames of another size or format become ARGB of the window's frame size: a smaller frame
// leaves black around it, a larger one is cut.
void keep_as_argb(const uint8_t* pixels, int pitch, int width, int height, int bpp) {
    const int rows = height < sdl_frame_height ? height : sdl_frame_height;
    const int columns = width < sdl_frame_width ? width : sdl_frame_width;
    for (int y = 0; y < sdl_frame_height; y++) {
        uint32_t* out = argb_frame.get() + y * sdl_frame_width;
        std::memset(out, 0, 4u * sdl_frame_width);
        if (y >= rows) {
            continue;
        }
        const uint8_t* row = pixels + static_cast<ptrdiff_t>(y) * pitch;
        if (bpp == 8) {
            convert_row_8(row, columns, palette_argb, out);
        } else {
            convert_row_16(row, columns, bpp, out);
        }
    }
    last_is_argb = true;
}

}  // namespace

int sdl_present_start() {
    const size_t pixels = static_cast<size_t>(sdl_frame_width) * sdl_frame_height;
    last_frame.reset(new uint8_t[pixels]);
    argb_frame.reset(new uint32_t[pixels]);
    overlaid_frame.reset(new uint32_t[pixels]);
    changed_rows.reset(new uint8_t[sdl_frame_height]);
    scale_map.reset(new ScaleMap);
    have_last = last_is_argb = window_shows_last = false;
    redraw_all = true;
    map_mode = -1;
    const char* forced = SDL_getenv("QUELLARO_PRESENT");
    char why[256] = "";
    bool ok;
    if (forced != nullptr && std::strcmp(forced, "gpu") == 0) {
        ok = start_gpu();
        if (ok) {
            renderer_on_gpu(renderer, why, sizeof why);
        }
        std::snprintf(why + std::strlen(why), sizeof why - std::strlen(why),
                      " (forced by QUELLARO_PRESENT)");
    } else if (forced != nullptr && std::strcmp(forced, "cpu") == 0) {
        ok = start_cpu();
        std::snprintf(why, sizeof why, "forced by QUELLARO_PRESENT");
    } else if (!gpu_device_present()) {
        ok = start_cpu();
        std::snprintf(why, sizeof why, "no GPU device (no render node in /dev/dri)");
    } else if (start_gpu() && renderer_on_gpu(renderer, why, sizeof why)) {
        ok = true;
    } else {
        // The renderer draws on the processor: converting and scaling once ourselves is
        // cheaper than handing it an ARGB texture to convert and scale again.
        stop_gpu();
        ok = start_cpu();
        std::snprintf(why + std::strlen(why), sizeof why - std::strlen(why),
                      " draws on the processor");
    }
    // Where the window has no surface of our format (Wayland), a renderer does the work.
    if (!ok && path != PATH_GPU) {
        ok = start_gpu();
        std::snprintf(why, sizeof why, "the window has no 32-bit surface");
    }
    if (sdl_stats_enabled) {
        std::fprintf(stderr, "present: %s path, %s\n",
                     path == PATH_CPU ? "processor (window surface)" : "GPU (renderer)", why);
        frame_stats_reset(&present_stats);
        frame_stats_reset(&handover_stats);
        frame_stats_reset(&pass_stats);
        stats_cpu_start = std::clock();
        stats_wall_start_us = sdl_now_us();
        skipped_frames = 0;
    }
    return ok ? 1 : 0;
}

void sdl_present_stop() {
    if (sdl_stats_enabled && path != PATH_NONE) {
        std::fprintf(stderr, "between presents (%.1f%% within 29-31 ms): ",
                     100.0 * frame_stats_share(&present_stats, 29, 31));
        frame_stats_print(&present_stats, stderr);
        std::fprintf(stderr, "handing a frame to the display took: ");
        frame_stats_print(&handover_stats, stderr);
        std::fprintf(stderr, "between event pumps: ");
        frame_stats_print(&pass_stats, stderr);
        double cpu = static_cast<double>(std::clock() - stats_cpu_start) / CLOCKS_PER_SEC;
        double wall = static_cast<double>(sdl_now_us() - stats_wall_start_us) / 1e6;
        std::fprintf(stderr,
                     "identical frames not presented again: %lld\n"
                     "processor time %.2f s over %.2f s (%.1f%% of one core)\n",
                     static_cast<long long>(skipped_frames), cpu, wall,
                     wall > 0 ? 100.0 * cpu / wall : 0.0);
    }
    closing_digest = sdl_last_frame_digest();
    stop_gpu();
    path = PATH_NONE;
    last_frame.reset();
    argb_frame.reset();
    overlaid_frame.reset();
    changed_rows.reset();
    scale_map.reset();
    have_last = window_shows_last = false;
    surface_width = surface_height = 0;
    surface_memory = nullptr;
}

void platform_present(const uint8_t* pixels, int pitch, int width, int height, int bpp,
                      const PaletteEntry* palette) {
    if (path == PATH_NONE || pixels == nullptr || width <= 0 || height <= 0 ||
        (bpp == 8 && palette == nullptr) || (bpp != 8 && bpp != 15 && bpp != 16)) {
        return;
    }
    last_frame_pass = sdl_pass;
    // The window shows with its first frame: a start-up that fails (a missing picture) never
    // flashes an empty window before its message.
    if (!(SDL_GetWindowFlags(sdl_window) & SDL_WINDOW_SHOWN)) {
        SDL_ShowWindow(sdl_window);
        redraw_all = true;
    }
    const bool whole_8 = bpp == 8 && width == sdl_frame_width && height == sdl_frame_height;
    const uint8_t* changed = nullptr;
    if (whole_8 && have_last && !last_is_argb && !redraw_all &&
        std::memcmp(palette, last_palette, sizeof last_palette) == 0) {
        int changed_count = 0;
        for (int y = 0; y < height; y++) {
            changed_rows[y] = std::memcmp(pixels + static_cast<ptrdiff_t>(y) * pitch,
                                          last_frame.get() + y * width, width) != 0;
            changed_count += changed_rows[y];
        }
        // A frame the same as the last is shown again only when the overlay changed.
        if (changed_count == 0 && overlay_look() == overlay_shown) {
            skipped_frames++;
            return;
        }
        changed = window_shows_last ? changed_rows.get() : nullptr;
    }
    if (bpp == 8 && (!have_last || std::memcmp(palette, last_palette, sizeof last_palette) != 0)) {
        std::memcpy(last_palette, palette, sizeof last_palette);
        build_table(palette);
    }
    have_last = true;
    if (whole_8) {
        for (int y = 0; y < height; y++) {
            std::memcpy(last_frame.get() + y * width, pixels + static_cast<ptrdiff_t>(y) * pitch,
                        width);
        }
        last_is_argb = false;
    } else {
        keep_as_argb(pixels, pitch, width, height, bpp);
    }
    // The statistics time the moment of the hand-over (the game's pacing) and how long the
    // display took the frame (the display server's share), for the frames of the passes only.
    const int64_t start_us = sdl_stats_enabled ? sdl_now_us() : 0;
    // What the program draws over the frame (a pause asked for during this pass shows its
    // mark over the pass's own frame).
    if (overlay_look() != 0 || overlay_shown != 0) {
        show_last();
    } else if (last_is_argb) {
        show(nullptr, 0, argb_frame.get());
    } else {
        show(pixels, pitch, nullptr, changed);
    }
    if (sdl_stats_enabled) {
        frame_stats_add(&present_stats, start_us);
        frame_stats_add_span(&handover_stats, sdl_now_us() - start_us);
        if (!first_frame_noted) {
            first_frame_noted = true;
            // The steady clock's reading lets a launcher add the time before main.
            const auto steady = std::chrono::steady_clock::now().time_since_epoch();
            std::fprintf(stderr,
                         "first frame presented %.1f ms after the program started (steady "
                         "clock at %.3f ms)\n",
                         (sdl_now_us() - sdl_main_start_us) / 1000.0,
                         std::chrono::duration<double, std::milli>(steady).count());
        }
    }
}

Letterbox sdl_frame_box(int* output_width, int* output_height) {
    *output_width = *output_height = 0;
    if (path == PATH_GPU) {
        SDL_GetRendererOutputSize(renderer, output_width, output_height);
    } else if (SDL_Surface* surface = sdl_window ? window_surface() : nullptr) {
        *output_width = surface->w;
        *output_height = surface->h;
    }
    return letterbox_for_mode(sdl_settings.scale_mode, *output_width, *output_height,
                              sdl_frame_width, sdl_frame_height);
}

void sdl_present_again() {
    redraw_all = true;
    show_last();
}

void sdl_set_palette_filter(SdlPaletteFilter filter) {
    palette_filter = filter;
    if (have_last && !last_is_argb) {
        build_table(last_palette);
        sdl_present_again();
    }
}

void sdl_set_overlay(const SdlOverlay* drawn) {
    overlay = drawn;
}

void sdl_present_when_overlay_changed() {
    if (overlay_look() != overlay_shown) {
        show_last();
    }
}

void sdl_note_pump() {
    if (sdl_stats_enabled) {
        frame_stats_add(&pass_stats, sdl_now_us());
    }
}

int sdl_last_frame_pass() {
    return last_frame_pass;
}

uint64_t sdl_last_frame_digest() {
    if (!have_last || last_is_argb) {
        return have_last ? 0 : closing_digest;
    }
    return frame_digest(last_frame.get(), sdl_frame_width, sdl_frame_width, sdl_frame_height,
                        last_palette);
}

int sdl_save_screenshot() {
    if (!have_last) {
        return 0;
    }
    // The user-dirs file's text, read at each screenshot (the desktop may change it).
    static char user_dirs[USER_DIRS_MAX + 1];
    // The screenshot being written, whole or not at all.
    static FileWriter file;
    char why[FILE_WHY_MAX];
    const char* home = SDL_getenv("HOME");
    if (user_dirs_read(SDL_getenv("XDG_CONFIG_HOME"), home, user_dirs, why, sizeof why) < 0) {
        std::fprintf(stderr, "Quellaro 2005: the user-dirs file cannot be read (%s)\n", why);
    }
    char folder[FILE_PATH_MAX];
    if (!screenshot_folder(SDL_getenv("XDG_PICTURES_DIR"), user_dirs, SDL_getenv("XDG_DATA_HOME"),
                           home, folder, sizeof folder)) {
        std::fprintf(stderr, "Quellaro 2005: no folder to save the screenshot in\n");
        return 0;
    }
    std::time_t now = std::time(nullptr);
    std::tm local;
    localtime_r(&now, &local);
    char path_name[FILE_PATH_MAX + 64];
    const bool made = make_folders(folder) != 0;
    if (!made) {
        std::snprintf(why, sizeof why, "%s", std::strerror(errno));
    }
    if (!made ||
        !screenshot_create(&file, folder, &local, path_name, sizeof path_name, why, sizeof why)) {
        std::fprintf(stderr, "Quellaro 2005: cannot save a screenshot in %s: %s\n",
                     text_escaped(folder).c_str(), why);
        return 0;
    }
    if (last_is_argb) {
        // The frame as RGBA bytes, made only for this rare case.
        std::unique_ptr<uint8_t[]> rgba(new uint8_t[4u * sdl_frame_width * sdl_frame_height]);
        for (int i = 0; i < sdl_frame_width * sdl_frame_height; i++) {
            const uint32_t p = argb_frame[i];
            rgba[4 * i] = static_cast<uint8_t>(p >> 16);
            rgba[4 * i + 1] = static_cast<uint8_t>(p >> 8);
            rgba[4 * i + 2] = static_cast<uint8_t>(p);
            rgba[4 * i + 3] = 255;
        }
        png_encode_rgba(&file, rgba.get(), 4 * sdl_frame_width, sdl_frame_width, sdl_frame_height);
    } else {
        png_encode_indexed(&file, last_frame.get(), sdl_frame_width, sdl_frame_width,
                           sdl_frame_height, last_palette);
    }
    // A picture that failed part-way fails the commit too, which says why and removes it.
    if (file_writer_commit(&file, why, sizeof why)) {
        std::fprintf(stderr, "Quellaro 2005: screenshot saved as %s\n",
                     text_escaped(path_name).c_str());
        return 1;
    }
    std::fprintf(stderr, "Quellaro 2005: cannot write the screenshot %s: %s\n",
                 text_escaped(path_name).c_str(), why);
    return 0;
}
