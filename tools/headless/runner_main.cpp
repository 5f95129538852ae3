// quellaro-headless: runs the real program on the headless backend from a script of key
// presses, clicks, held keys and close requests, printing the game state of every pass as
// one JSON line and writing chosen frames as PNG files.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "platform/headless/headless.h"
#include "shell/app.h"
#include "shell/game.h"
#include "shell/window.h"
#include "tools/support/png.h"
#include "world/level.h"

namespace {

enum class Command { Key, Click, DoubleClick, Close };

struct Event {
    Command command;
    int pass;
    int a, b;  // key, or x and y
};

struct Hold {
    int first, last;
    std::vector<int> keys;
};

std::vector<Event> events;
std::vector<Hold> holds;
long pass_limit = -1;
FILE* state_out;
std::string frames_dir;
int frame_every = 1;
FILE* digest_out;  // one line a pass: the pass and a digest of the frame as shown
bool frame_lost;   // a frame could not be written: the run ends with a failure status

struct KeyName {
    const char* name;
    int code;
};
const KeyName key_names[] = {
    {"LEFT", KEY_LEFT},     {"RIGHT", KEY_RIGHT},   {"UP", KEY_UP},         {"DOWN", KEY_DOWN},
    {"RETURN", KEY_RETURN}, {"ENTER", KEY_RETURN},  {"ESCAPE", KEY_ESCAPE}, {"DELETE", KEY_DELETE},
    {"NEXT", KEY_NEXT},     {"PAGEDOWN", KEY_NEXT},
};

bool parse_int(const char* text, long* out) {
    if (!text || !*text)
        return false;
    char* end = nullptr;
    const long value = std::strtol(text, &end, 0);
    if (*end != '\0')
        return false;
    *out = value;
    return true;
}

bool parse_key(const char* text, int* out) {
    for (const KeyName& k : key_names) {
        if (std::strcmp(text, k.name) == 0) {
            *out = k.code;
            return true;
        }
    }
    if (std::strlen(text) == 1 &&
        ((text[0] >= 'A' && text[0] <= 'Z') || (text[0] >= '0' && text[0] <= '9'))) {
        *out = static_cast<unsigned char>(text[0]);
        return true;
    }
    long value;
    if (parse_int(text, &value) && value >= 0 && value <= 255) {
        *out = static_cast<int>(value);
        return true;
    }
    return false;
}

bool load_script(const char* path) {
    FILE* file = std::fopen(path, "r");
    if (!file) {
        std::fprintf(stderr, "quellaro-headless: cannot open script %s\n", path);
        return false;
    }
    char line[1024];
    int number = 0;
    bool ok = true;
    while (std::fgets(line, sizeof(line), file)) {
        ++number;
        if (char* hash = std::strchr(line, '#'))
            *hash = '\0';
        std::vector<char*> words;
        for (char* w = std::strtok(line, " \t\r\n"); w; w = std::strtok(nullptr, " \t\r\n")) {
            words.push_back(w);
        }
        if (words.empty())
            continue;
        const std::string command = words[0];
        long p = 0, q = 0, r = 0;
        int key = 0;
        bool good = false;
        if (command == "key" && words.size() == 3 && parse_int(words[1], &p) &&
            parse_key(words[2], &key)) {
            events.push_back({Command::Key, static_cast<int>(p), key, 0});
            good = true;
        } else if ((command == "click" || command == "dblclick") && words.size() == 4 &&
                   parse_int(words[1], &p) && parse_int(words[2], &q) && parse_int(words[3], &r)) {
            events.push_back({command == "click" ? Command::Click : Command::DoubleClick,
                              static_cast<int>(p), static_cast<int>(q), static_cast<int>(r)});
            good = true;
        } else if (command == "close" && words.size() == 2 && parse_int(words[1], &p)) {
            events.push_back({Command::Close, static_cast<int>(p), 0, 0});
            good = true;
        } else if (command == "hold" && words.size() >= 4 && parse_int(words[1], &p) &&
                   parse_int(words[2], &q)) {
            Hold hold{static_cast<int>(p), static_cast<int>(q), {}};
            good = true;
            for (size_t i = 3; i < words.size() && good; ++i) {
                good = parse_key(words[i], &key);
                hold.keys.push_back(key);
            }
            if (good)
                holds.push_back(hold);
        }
        if (!good) {
            std::fprintf(stderr, "quellaro-headless: %s:%d: cannot read this line\n", path, number);
            ok = false;
        }
    }
    std::fclose(file);
    return ok;
}

int before_pass(int pass) {
    if (pass_limit >= 0 && pass >= pass_limit)
        return 1;
    headless_release_all_keys();
    for (const Hold& hold : holds) {
        if (pass >= hold.first && pass <= hold.last) {
            for (int key : hold.keys)
                headless_set_key_held(key, 1);
        }
    }
    for (const Event& e : events) {
        if (e.pass != pass)
            continue;
        switch (e.command) {
            case Command::Key:
                window_input_key_down(e.a);
                break;
            case Command::Click:
                window_input_button_down(e.a, e.b, 0);
                break;
            case Command::DoubleClick:
                window_input_button_down(e.a, e.b, 1);
                break;
            case Command::Close:
                window_input_close();
                break;
        }
    }
    return 0;
}

void print_sprite_core(FILE* out, const SpriteObject& s) {
    std::fprintf(out, "\"state\":%d,\"x\":%.9g,\"y\":%.9g,\"vx\":%.9g,\"vy\":%.9g", s.state,
                 static_cast<double>(s.x), static_cast<double>(s.y), static_cast<double>(s.vx),
                 static_cast<double>(s.vy));
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
    std::fprintf(out, "}\n");
}

// FNV-1a over the presented frame with the palette applied (red, green, blue a pixel), so
// the digest says what the player sees, whatever the surfaces hold inside.
uint64_t frame_digest() {
    uint64_t hash = 14695981039346656037ull;
    const uint8_t* pixels = headless_frame_pixels();
    const PaletteEntry* palette = headless_frame_palette();
    const int count = headless_frame_width() * headless_frame_height();
    for (int i = 0; i < count; ++i) {
        const PaletteEntry& c = palette[pixels[i]];
        for (uint8_t byte : {c.red, c.green, c.blue}) {
            hash ^= byte;
            hash *= 1099511628211ull;
        }
    }
    return hash;
}

void after_frame(int pass) {
    if (state_out)
        write_state(state_out, pass);
    if (digest_out && headless_frames_presented() > 0)
        std::fprintf(digest_out, "%d %016llx\n", pass,
                     static_cast<unsigned long long>(frame_digest()));
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

}  // namespace

int main(int argc, char** argv) {
    const char* assets = nullptr;
    const char* script = nullptr;
    const char* state_path = nullptr;
    const char* digest_path = nullptr;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        long number = 0;
        if (!value)
            return usage();
        if (arg == "--assets") {
            assets = value;
        } else if (arg == "--script") {
            script = value;
        } else if (arg == "--passes" && parse_int(value, &number) && number >= 0) {
            pass_limit = number;
        } else if (arg == "--state") {
            state_path = value;
        } else if (arg == "--frame-digests") {
            digest_path = value;
        } else if (arg == "--frames-out") {
            frames_dir = value;
        } else if (arg == "--every" && parse_int(value, &number) && number > 0) {
            frame_every = static_cast<int>(number);
        } else {
            return usage();
        }
        ++i;
    }
    if (script && !load_script(script))
        return 2;
    if (state_path) {
        state_out = std::strcmp(state_path, "-") == 0 ? stdout : std::fopen(state_path, "w");
        if (!state_out) {
            std::fprintf(stderr, "quellaro-headless: cannot write %s\n", state_path);
            return 2;
        }
    }
    if (digest_path) {
        digest_out = std::strcmp(digest_path, "-") == 0 ? stdout : std::fopen(digest_path, "w");
        if (!digest_out) {
            std::fprintf(stderr, "quellaro-headless: cannot write %s\n", digest_path);
            return 2;
        }
    }
    if (!frames_dir.empty()) {
        std::error_code error;
        std::filesystem::create_directories(frames_dir, error);
        if (error) {
            std::fprintf(stderr, "quellaro-headless: cannot write frames to %s: %s\n",
                         frames_dir.c_str(), error.message().c_str());
            return 2;
        }
        frames_dir = std::filesystem::absolute(frames_dir, error).string();
    }
    // The game reads its pictures from the working directory.
    std::error_code error;
    if (assets) {
        std::filesystem::current_path(assets, error);
    } else if (!std::filesystem::exists("menubackground1.bmp", error)) {
        std::filesystem::current_path(QUELLARO_ASSETS_DIR, error);
    }
    if (error) {
        std::fprintf(stderr, "quellaro-headless: cannot use the assets folder: %s\n",
                     error.message().c_str());
        return 2;
    }
    static const AppLoopHooks hooks = {before_pass, after_frame};
    app_set_loop_hooks(&hooks);
    const int result = app_main(nullptr, nullptr, nullptr, 0);
    if (state_out && state_out != stdout)
        std::fclose(state_out);
    if (digest_out && digest_out != stdout)
        std::fclose(digest_out);
    return result == 1 || frame_lost ? 1 : 0;
}
