// The quick-save slot as a file.
#include "programs/desktop/quick_slot.h"

#include <cstdio>
#include <cstring>

#include "platform/sdl/files.h"
#include "shell/savestate.h"

namespace {

// The slot's file.
char slot_path[FILE_PATH_MAX];

int store(const uint8_t* form, size_t size, char* why, size_t why_size) {
    if (!make_parent_folders(slot_path)) {
        std::snprintf(why, why_size, "cannot make the folder of %s", slot_path);
        return 0;
    }
    return savestate_store_file(slot_path, form, size, why, why_size);
}

size_t fetch(uint8_t* out, size_t room, char* why, size_t why_size) {
    return savestate_fetch_file(slot_path, out, room, why, why_size);
}

const PracticeSlot file_slot = {store, fetch};

}  // namespace

int quick_save_path(const char* data_home, const char* home, char* out, size_t size) {
    int n = -1;
    if (data_home != nullptr && data_home[0] == '/') {
        n = std::snprintf(out, size, "%s/quellaro/quicksave.sav", data_home);
    } else if (home != nullptr && home[0] == '/') {
        n = std::snprintf(out, size, "%s/.local/share/quellaro/quicksave.sav", home);
    }
    return n > 0 && static_cast<size_t>(n) < size;
}

const PracticeSlot* quick_slot_at(const char* path) {
    std::snprintf(slot_path, sizeof slot_path, "%s", path);
    return &file_slot;
}
