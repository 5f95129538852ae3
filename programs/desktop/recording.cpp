// The recording writer: each line as the play scripts write it, put out when it is known,
// so a recording cut short by a crash still holds everything up to then.
#include "programs/desktop/recording.h"

#include <string>

#include "platform/script.h"

namespace {

void put(Recorder* recorder, const Script& line) {
    const std::string text = script_write(line);
    if (std::fputs(text.c_str(), recorder->file) < 0) {
        recorder->failed = 1;
    }
}

void put_event(Recorder* recorder, ScriptCommand command, int pass, int a, int b) {
    if (recorder->file != nullptr) {
        Script line;
        line.events.push_back({command, pass, a, b});
        put(recorder, line);
    }
}

void end_stretch(Recorder* recorder, int key, int last) {
    Script line;
    line.holds.push_back({recorder->held_since[key], last, {key}});
    put(recorder, line);
    recorder->held_since[key] = -1;
}

}  // namespace

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
    if (std::fputs("# Quellaro 2005 recording: replay it with quellaro --replay FILE, or "
                   "quellaro-headless --script FILE\n",
                   recorder->file) < 0) {
        recorder->failed = 1;
    }
    return recorder->failed ? 0 : 1;
}

void recorder_key(Recorder* recorder, int pass, int key) {
    put_event(recorder, ScriptCommand::key, pass, key, 0);
}

void recorder_click(Recorder* recorder, int pass, int x, int y, int double_click) {
    put_event(recorder, double_click ? ScriptCommand::double_click : ScriptCommand::click, pass, x,
              y);
}

void recorder_close_request(Recorder* recorder, int pass) {
    put_event(recorder, ScriptCommand::close, pass, 0, 0);
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

void recorder_pass(Recorder* recorder, int pass, const InputRecord& record) {
    switch (record.message) {
        case INPUT_KEY:
            recorder_key(recorder, pass, record.key);
            break;
        case INPUT_CLICK:
        case INPUT_DOUBLE_CLICK:
            recorder_click(recorder, pass, record.x, record.y,
                           record.message == INPUT_DOUBLE_CLICK);
            break;
        case INPUT_CLOSE:
            recorder_close_request(recorder, pass);
            break;
        default:
            break;
    }
    uint8_t held[INPUT_KEYS];
    for (int key = 0; key < INPUT_KEYS; key++) {
        held[key] = input_held(record, key) ? 1 : 0;
    }
    recorder_held(recorder, pass, held);
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
    if (comment != nullptr && std::fprintf(recorder->file, "# %s\n", comment) < 0) {
        recorder->failed = 1;
    }
    if (std::fclose(recorder->file) != 0) {
        recorder->failed = 1;
    }
    recorder->file = nullptr;
    return recorder->failed ? 0 : 1;
}
