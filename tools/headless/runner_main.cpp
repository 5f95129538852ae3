// quellaro-headless: runs the real program on the headless backend from a script of key
// presses, clicks, held keys and close requests, printing the game state of every pass as
// one JSON line and writing chosen frames as PNG files.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>

#include "engine/sound_ids.h"
#include "platform/frame_digest.h"
#include "platform/headless/headless.h"
#include "platform/png.h"
#include "platform/script.h"
#include "shell/app.h"
#include "shell/game_state.h"
#include "shell/window.h"
#include "tools/support/options.h"
#include "world/objects.h"
#include "world/world_state.h"

namespace {

// What the command line asked for.
Script script;
long pass_limit = -1;
FILE* state_out;
std::string frames_dir;
int frame_every = 1;
FILE* digest_out;  // one line a pass: the pass and a digest of the frame as shown
bool frame_lost;   // a frame could not be written: the run ends with a failure status

void report_bad_line(int number, void* path) {
    std::fprintf(stderr, "quellaro-headless: %s:%d: cannot read this line\n",
                 static_cast<const char*>(path), number);
}

bool load_script(const char* path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        std::fprintf(stderr, "quellaro-headless: cannot open script %s\n", path);
        return false;
    }
    const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    return script_parse(text, &script, report_bad_line, const_cast<char*>(path)) == 0;
}

int before_pass(int pass) {
    if (pass_limit >= 0 && pass >= pass_limit)
        return 1;
    headless_release_all_keys();
    for (const ScriptHold& hold : script.holds) {
        if (pass >= hold.first && pass <= hold.last) {
            for (int key : hold.keys)
                headless_set_key_held(key, 1);
        }
    }
    script_deliver(script, pass, &window_input);
    return 0;
}

void print_sprite_core(FILE* out, const SpriteObject& s) {
    std::fprintf(out, "\"state\":%d,\"x\":%.9g,\"y\":%.9g,\"vx\":%.9g,\"vy\":%.9g", s.state,
                 static_cast<double>(s.x), static_cast<double>(s.y), static_cast<double>(s.vx),
                 static_cast<double>(s.vy));
}

// The sound events of the pass by name, last in the line: effects, and tunes asked for as
// "music:NAME".
void write_sounds(FILE* out) {
    std::fprintf(out, ",\"sounds\":[");
    const int count = std::min(headless_sound_count(), HEADLESS_SOUNDS_MAX);
    for (int i = 0; i < count; ++i) {
        const HeadlessSound s = headless_sound(i);
        const bool known = s.id >= 0 && s.id < (s.music ? int{MUSIC_COUNT} : int{SOUND_COUNT});
        std::fprintf(out, "%s\"%s%s\"", i ? "," : "", s.music ? "music:" : "",
                     !known    ? "?"
                     : s.music ? MUSIC_NAMES[s.id]
                               : SOUND_NAMES[s.id]);
    }
    std::fprintf(out, "]");
}

void write_state(FILE* out, int pass) {
    std::fprintf(out,
                 "{\"pass\":%d,\"tick\":%u,\"game_mode\":%d,\"menu_selection\":%d,\"score\":%d,"
                 "\"coins\":%d,\"time_left\":%.9g,\"level_won\":%d,\"cursor_visible\":%s",
                 pass, headless_time(), game_mode, menu_selection, score, coins,
                 static_cast<double>(time_left), level_won,
                 window_cursor_visible() ? "true" : "false");
    if (hero) {
        std::fprintf(out, ",\"hero\":{\"form\":\"%s\",", hero == &hero_large ? "large" : "small");
        print_sprite_core(out, *hero);
        std::fprintf(out, ",\"frame\":%d,\"anim\":%d}", hero->frame, hero->anim);
        std::fprintf(out,
                     ",\"hero_is_large\":%d,\"hero_airborne\":%d,\"jump_lift\":%.9g,"
                     "\"morph_timer\":%d,\"death_timer\":%d,\"scroll_total\":%d,"
                     "\"scroll_step\":%d,\"stomp_value\":%d,\"power_up\":{",
                     hero_is_large, hero_airborne, static_cast<double>(jump_lift), morph_timer,
                     death_timer, scroll_total, scroll_step, stomp_value);
        print_sprite_core(out, power_up);
        std::fprintf(out, "},\"skivits\":[");
        for (int i = 0; i < SKIVIT_COUNT; ++i) {
            std::fprintf(out, "%s{\"aux_state\":%d,\"frame\":%d,", i ? "," : "",
                         skivits[i].aux_state, skivits[i].frame);
            print_sprite_core(out, skivits[i]);
            std::fprintf(out, "}");
        }
        std::fprintf(out, "],\"qblocks\":[");
        for (int i = 0; i < QBLOCK_COUNT; ++i) {
            std::fprintf(out, "%s{\"state\":%d,\"x\":%.9g,\"y\":%.9g,\"frame\":%d}", i ? "," : "",
                         qblocks[i].state, static_cast<double>(qblocks[i].x),
                         static_cast<double>(qblocks[i].y), qblocks[i].frame);
        }
        std::fprintf(out, "],\"bricks\":[");
        for (int i = 0; i < BRICK_COUNT; ++i) {
            std::fprintf(out, "%s{\"state\":%d,\"x\":%.9g,\"y\":%.9g}", i ? "," : "",
                         bricks[i].state, static_cast<double>(bricks[i].x),
                         static_cast<double>(bricks[i].y));
        }
        std::fprintf(out, "],\"coin_step\":[%d,%d],\"bump_step\":%d", coin_step[0], coin_step[1],
                     bump_step);
    }
    write_sounds(out);
    std::fprintf(out, "}\n");
}

void after_frame(int pass) {
    if (state_out)
        write_state(state_out, pass);
    headless_clear_sounds();
    if (digest_out && headless_frames_presented() > 0)
        std::fprintf(digest_out, "%d %016llx\n", pass,
                     static_cast<unsigned long long>(frame_digest(
                         headless_frame_pixels(), headless_frame_width(), headless_frame_width(),
                         headless_frame_height(), headless_frame_palette())));
    if (!frames_dir.empty() && pass % frame_every == 0 && headless_frames_presented() > 0) {
        char name[64];
        std::snprintf(name, sizeof(name), "/%06d.png", pass);
        const std::string path = frames_dir + name;
        if (!png_write_rgb(path.c_str(), headless_frame_rgb(), headless_frame_width(),
                           headless_frame_height())) {
            std::fprintf(stderr, "quellaro-headless: cannot write %s\n", path.c_str());
            frame_lost = true;
        }
    }
}

int usage() {
    std::fprintf(stderr,
                 "usage: quellaro-headless [--assets DIR] [--script FILE] [--passes N] "
                 "[--state FILE|-] [--frames-out DIR] [--every K] [--frame-digests FILE|-]\n");
    return 2;
}

bool is_count(const char* text) {
    long number = 0;
    return script_read_number(text, &number) && number >= 0;
}

bool is_positive(const char* text) {
    long number = 0;
    return script_read_number(text, &number) && number > 0;
}

// An output named on the command line: standard output for "-", else a new file.
bool open_output(const char* path, FILE** out) {
    if (!path)
        return true;
    *out = std::strcmp(path, "-") == 0 ? stdout : std::fopen(path, "w");
    if (!*out)
        std::fprintf(stderr, "quellaro-headless: cannot write %s\n", path);
    return *out != nullptr;
}

void close_output(FILE* out) {
    if (out && out != stdout)
        std::fclose(out);
}

// The folder for the frames, made when missing; false when it cannot be.
bool open_frames_dir(const char* frames) {
    std::error_code error;
    std::filesystem::create_directories(frames, error);
    if (!error)
        frames_dir = std::filesystem::absolute(frames, error).string();
    if (error) {
        std::fprintf(stderr, "quellaro-headless: cannot write frames to %s: %s\n", frames,
                     error.message().c_str());
    }
    return !error;
}

// The game reads its pictures from the working directory: the one asked for, else this one
// when it holds them, else the source tree's.
bool enter_assets(const char* assets) {
    std::error_code error;
    if (assets) {
        std::filesystem::current_path(assets, error);
    } else if (!std::filesystem::exists("menubackground1.bmp", error)) {
        std::filesystem::current_path(QUELLARO_ASSETS_DIR, error);
    }
    if (error) {
        std::fprintf(stderr, "quellaro-headless: cannot use the assets folder: %s\n",
                     error.message().c_str());
    }
    return !error;
}

}  // namespace

int main(int argc, char** argv) {
    const char *assets = nullptr, *script_path = nullptr, *state_path = nullptr;
    const char *digest_path = nullptr, *passes = nullptr, *every = nullptr, *frames = nullptr;
    const ToolOption options[] = {
        {"--assets", &assets},
        {"--script", &script_path},
        {"--passes", &passes, is_count},
        {"--state", &state_path},
        {"--frame-digests", &digest_path},
        {"--frames-out", &frames},
        {"--every", &every, is_positive},
    };
    if (!tool_read_options(argc, argv, options, static_cast<int>(std::size(options))))
        return usage();
    if (passes)
        pass_limit = std::strtol(passes, nullptr, 0);
    if (every)
        frame_every = static_cast<int>(std::strtol(every, nullptr, 0));
    if (script_path && !load_script(script_path))
        return 2;
    if (!open_output(state_path, &state_out) || !open_output(digest_path, &digest_out))
        return 2;
    if (frames && *frames && !open_frames_dir(frames))
        return 2;
    if (!enter_assets(assets))
        return 2;
    static const AppLoopHooks hooks = {before_pass, after_frame};
    app_set_loop_hooks(&hooks);
    const int result = app_main(nullptr, nullptr, nullptr, 0);
    close_output(state_out);
    close_output(digest_out);
    return result == 1 || frame_lost ? 1 : 0;
}
