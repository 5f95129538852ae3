// The program's note: one at a time, timed from when it is first shown.
#include "programs/common/notes.h"

#include <cstdio>

namespace {

// The note, how long it shows, when it was first shown and whether it has been.
char text[128];
uint32_t duration, since;
bool started;

}  // namespace

void note_say(const char* said, uint32_t ms) {
    std::snprintf(text, sizeof text, "%s", said != nullptr ? said : "");
    duration = ms;
    started = false;
}

const char* note_shown(uint32_t now_ms) {
    if (text[0] == '\0')
        return nullptr;
    if (!started) {
        started = true;
        since = now_ms;
    }
    if (now_ms - since >= duration) {
        text[0] = '\0';
        return nullptr;
    }
    return text;
}

void note_clear() {
    text[0] = '\0';
    started = false;
}
