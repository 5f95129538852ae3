// The recording writer.
#include "platform/sdl/recording.h"

#include <cstring>

#include "shell/window.h"

namespace {

struct ScriptKey {
    int key;
    const char* name;
};

// The runner's names for the keys that are not a letter or digit.
const ScriptKey script_keys[] = {
    {KEY_LEFT, "LEFT"},     {KEY_RIGHT, "RIGHT"},   {KEY_UP, "UP"},         {KEY_DOWN, "DOWN"},
    {KEY_RETURN, "RETURN"}, {KEY_ESCAPE, "ESCAPE"}, {KEY_DELETE, "DELETE"}, {KEY_NEXT, "NEXT"},
};

void note(Recorder* recorder, int written) {
    if (written < 0) {
        recorder->failed = 1;
    }
}

void end_stretch(Recorder* recorder, int key, int last) {
    char name[8];
    recorder_key_name(key, name);
    note(recorder,
         std::fprintf(recorder->file, "hold %d %d %s\n", recorder->held_since[key], last, name));
    recorder->held_since[key] = -1;
}

}  // namespace

void recorder_key_name(int key, char out[8]) {
    for (const ScriptKey& k : script_keys) {
        if (k.key == key) {
            std::snprintf(out, 8, "%s", k.name);
            return;
        }
    }
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) {
        out[0] = static_cast<char>(key);
        out[1] = '\0';
        return;
    }
    std::snprintf(out, 8, "0x%02x", key & 0xFF);
}

int recorder_open(Recorder* recorder, const char* path) {
    *recorder = Recorder{};
    for (int& since : recorder->held_since) {
        since = -1;
    }
    recorder->last_pass = -1;
    recorder->file = std::fopen(path, "w");
    if (recorder->file == nullptr) {
        return 0;
    }
    note(recorder, std::fprintf(recorder->file,
                                "# Quellaro 2005 recording: replay it with quellaro --replay "
                                "FILE, or quellaro-headless --script FILE\n"));
    return recorder->failed ? 0 : 1;
}

void recorder_key(Recorder* recorder, int pass, int key) {
    if (recorder->file == nullptr) {
        return;
    }
    char name[8];
    recorder_key_name(key, name);
    note(recorder, std::fprintf(recorder->file, "key %d %s\n", pass, name));
}

void recorder_click(Recorder* recorder, int pass, int x, int y, int double_click) {
    if (recorder->file != nullptr) {
        note(recorder, std::fprintf(recorder->file, "%s %d %d %d\n",
                                    double_click ? "dblclick" : "click", pass, x, y));
    }
}

void recorder_close_request(Recorder* recorder, int pass) {
    if (recorder->file != nullptr) {
        note(recorder, std::fprintf(recorder->file, "close %d\n", pass));
    }
}

void recorder_held(Recorder* recorder, int pass, const uint8_t held[256]) {
    if (recorder->file == nullptr) {
        return;
    }
    for (int key = 0; key < 256; key++) {
        if (held[key] && recorder->held_since[key] < 0) {
            recorder->held_since[key] = pass;
        } else if (!held[key] && recorder->held_since[key] >= 0) {
            end_stretch(recorder, key, recorder->last_pass);
        }
    }
    recorder->last_pass = pass;
}

int recorder_finish(Recorder* recorder, const char* comment) {
    if (recorder->file == nullptr) {
        return 0;
    }
    for (int key = 0; key < 256; key++) {
        if (recorder->held_since[key] >= 0) {
            end_stretch(recorder, key, recorder->last_pass);
        }
    }
    if (comment != nullptr) {
        note(recorder, std::fprintf(recorder->file, "# %s\n", comment));
    }
    if (std::fclose(recorder->file) != 0) {
        recorder->failed = 1;
    }
    recorder->file = nullptr;
    return recorder->failed ? 0 : 1;
}
