// Savestates: the header, the data digest, the checksum, and files written whole.
#include "shell/savestate.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "engine/display.h"
#include "engine/sound_ids.h"
#include "platform/file_read.h"
#include "platform/file_write.h"
#include "platform/text_escape.h"
#include "world/object_groups.h"

namespace {

constexpr char MAGIC[8] = {'Q', 'L', 'R', 'S', 'T', 'A', 'T', 'E'};
// The layout of the form and of its blocks; a new one refuses the old.
constexpr uint32_t FORMAT = 1;
constexpr size_t VERSION_BYTES = 16;
// Where each header field lies.
constexpr size_t AT_FORMAT = 8, AT_VERSION = 12, AT_DATA = 28, AT_TICKS = 36, AT_LENGTH = 40,
                 AT_CHECKSUM = 44;
static_assert(AT_CHECKSUM + 8 == SAVESTATE_HEADER, "the header ends with the checksum");

// The data files: every picture, the palette file and every sound the game reads.
constexpr int MENU_PICTURES = 4, INFO_FIRST = 2, INFO_LAST = 3, BACKDROPS = 13;
constexpr const char* HERO_SHEETS[] = {"dorvosprites.bmp", "dorvospritelarge.bmp"};
constexpr int sound_files() {
    int count = 0;
    for (int id = 0; id < SOUND_COUNT; ++id)
        count += sound_variants(id);
    return count;
}
constexpr int DATA_FILES = MENU_PICTURES + (INFO_LAST - INFO_FIRST + 1) + BACKDROPS + 2 +
                           OBJECT_GROUP_COUNT + 1 + sound_files();

// The names, made once; and the digest, worked out once a run (both derived from the code
// and the files, not state of the game).
char data_names[DATA_FILES][48];
bool data_names_made;
uint64_t data_digest;
bool data_digest_known;

void make_data_names() {
    int n = 0;
    for (int i = 1; i <= MENU_PICTURES; ++i)
        std::snprintf(data_names[n++], sizeof data_names[0], "menubackground%d.bmp", i);
    for (int i = INFO_FIRST; i <= INFO_LAST; ++i)
        std::snprintf(data_names[n++], sizeof data_names[0], "option%d.bmp", i);
    for (int i = 1; i <= BACKDROPS; ++i)
        std::snprintf(data_names[n++], sizeof data_names[0], "dorvo%d.bmp", i);
    for (const char* sheet : HERO_SHEETS)
        std::snprintf(data_names[n++], sizeof data_names[0], "%s", sheet);
    for (const ObjectGroup* group : object_groups)
        std::snprintf(data_names[n++], sizeof data_names[0], "%s", group->picture);
    std::snprintf(data_names[n++], sizeof data_names[0], "%s", DISPLAY_PALETTE_FILE);
    for (int id = 0; id < SOUND_COUNT; ++id) {
        for (int variant = 0; variant < sound_variants(id); ++variant) {
            char stem[32];
            sound_file_stem(id, variant, stem, sizeof stem);
            std::snprintf(data_names[n++], sizeof data_names[0], "sounds/%s.wav", stem);
        }
    }
    data_names_made = true;
}

struct Fnv {
    uint64_t hash = 14695981039346656037ull;
    void add(const void* bytes, size_t count) {
        const auto* p = static_cast<const uint8_t*>(bytes);
        for (size_t i = 0; i < count; ++i) {
            hash ^= p[i];
            hash *= 1099511628211ull;
        }
    }
};

// The file's name, then its bytes (a missing file counts as its name alone).
void add_file(Fnv* fnv, const char* name) {
    fnv->add(name, std::strlen(name) + 1);
    std::FILE* file = std::fopen(name, "rb");
    if (file == nullptr)
        return;
    uint8_t chunk[16384];
    size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        fnv->add(chunk, got);
    std::fclose(file);
}

void put32(uint8_t* out, uint32_t value) {
    std::memcpy(out, &value, sizeof value);
}
void put64(uint8_t* out, uint64_t value) {
    std::memcpy(out, &value, sizeof value);
}
uint32_t get32(const uint8_t* in) {
    uint32_t value;
    std::memcpy(&value, in, sizeof value);
    return value;
}
uint64_t get64(const uint8_t* in) {
    uint64_t value;
    std::memcpy(&value, in, sizeof value);
    return value;
}

uint64_t checksum(const uint8_t* bytes, size_t count) {
    Fnv fnv;
    fnv.add(bytes, count);
    return fnv.hash;
}

// Checks the header and the checksum; false with why set.
bool header_allowed(const uint8_t* in, size_t size, char* why, size_t why_size) {
    if (size < SAVESTATE_HEADER || std::memcmp(in, MAGIC, sizeof MAGIC) != 0) {
        std::snprintf(why, why_size, "it is not a Quellaro 2005 savestate");
        return false;
    }
    char version[VERSION_BYTES + 1] = {};
    std::memcpy(version, in + AT_VERSION, VERSION_BYTES);
    if (get32(in + AT_FORMAT) != FORMAT || std::strcmp(version, QUELLARO_VERSION) != 0) {
        // Only printable characters of a name read from outside are shown.
        for (char& c : version)
            c = c != '\0' && (c < ' ' || c > '~') ? '?' : c;
        std::snprintf(why, why_size, "it is from another version of the game (%s, this is %s)",
                      version[0] ? version : "unnamed", QUELLARO_VERSION);
        return false;
    }
    if (get64(in + AT_DATA) != savestate_data_digest()) {
        std::snprintf(why, why_size, "it was made with other pictures and sounds");
        return false;
    }
    const uint32_t length = get32(in + AT_LENGTH);
    if (length != size - SAVESTATE_HEADER) {
        std::snprintf(why, why_size, "it is cut short or too long");
        return false;
    }
    if (get64(in + AT_CHECKSUM) != checksum(in + SAVESTATE_HEADER, length)) {
        std::snprintf(why, why_size, "it is damaged (its checksum does not match)");
        return false;
    }
    return true;
}

}  // namespace

const char* savestate_data_file(int index) {
    if (!data_names_made)
        make_data_names();
    return index >= 0 && index < DATA_FILES ? data_names[index] : nullptr;
}

uint64_t savestate_data_digest() {
    if (!data_digest_known) {
        Fnv fnv;
        for (int i = 0; const char* name = savestate_data_file(i); ++i)
            add_file(&fnv, name);
        data_digest = fnv.hash;
        data_digest_known = true;
    }
    return data_digest;
}

size_t savestate_write(uint8_t* out, size_t room, uint32_t ticks) {
    if (room < SAVESTATE_HEADER)
        return 0;
    const size_t length = game_snapshot(out + SAVESTATE_HEADER, room - SAVESTATE_HEADER);
    if (length == 0)
        return 0;
    std::memcpy(out, MAGIC, sizeof MAGIC);
    put32(out + AT_FORMAT, FORMAT);
    // The version's name, cut to its field and padded with zeros.
    char version[VERSION_BYTES + 1] = {};
    std::snprintf(version, sizeof version, "%s", QUELLARO_VERSION);
    std::memcpy(out + AT_VERSION, version, VERSION_BYTES);
    put64(out + AT_DATA, savestate_data_digest());
    put32(out + AT_TICKS, ticks);
    put32(out + AT_LENGTH, static_cast<uint32_t>(length));
    put64(out + AT_CHECKSUM, checksum(out + SAVESTATE_HEADER, length));
    return SAVESTATE_HEADER + length;
}

int savestate_read(const uint8_t* in, size_t size, uint32_t* ticks, char* why, size_t why_size) {
    char unused[SAVESTATE_WHY_MAX];
    if (why == nullptr) {
        why = unused;
        why_size = sizeof unused;
    }
    if (!header_allowed(in, in ? size : 0, why, why_size))
        return 0;
    const char* reason = "";
    if (!game_restore(in + SAVESTATE_HEADER, size - SAVESTATE_HEADER, &reason)) {
        std::snprintf(why, why_size, "%s", reason);
        return 0;
    }
    if (ticks)
        *ticks = get32(in + AT_TICKS);
    return 1;
}

int savestate_store_file(const char* path, const uint8_t* form, size_t size, char* why,
                         size_t why_size) {
    char reason[FILE_WHY_MAX] = "";
    if (file_write_whole(path, form, size, reason, sizeof reason))
        return 1;
    std::snprintf(why, why_size, "cannot write %s: %s", text_escaped(path).c_str(), reason);
    return 0;
}

size_t savestate_fetch_file(const char* path, uint8_t* out, size_t room, char* why,
                            size_t why_size) {
    why[0] = '\0';
    char reason[FILE_READ_WHY_MAX] = "";
    const int64_t got = file_read_into(path, out, room, reason, sizeof reason);
    if (got < 0) {
        // No file is an empty slot, not a failure.
        if (errno != ENOENT)
            std::snprintf(why, why_size, "cannot read %s: %s", text_escaped(path).c_str(), reason);
        return 0;
    }
    if (got == 0)
        std::snprintf(why, why_size, "%s is empty", text_escaped(path).c_str());
    return static_cast<size_t>(got);
}

int savestate_save_file(const char* path, uint32_t ticks, char* why, size_t why_size) {
    static uint8_t form[SAVESTATE_MAX];
    const size_t length = savestate_write(form, sizeof form, ticks);
    if (length == 0) {
        std::snprintf(why, why_size, "the game's state does not fit a savestate");
        return 0;
    }
    return savestate_store_file(path, form, length, why, why_size);
}

int savestate_load_file(const char* path, uint32_t* ticks, char* why, size_t why_size) {
    static uint8_t form[SAVESTATE_MAX];
    const size_t length = savestate_fetch_file(path, form, sizeof form, why, why_size);
    if (length == 0) {
        if (why[0] == '\0')
            std::snprintf(why, why_size, "cannot read %s: %s", text_escaped(path).c_str(),
                          std::strerror(ENOENT));
        return 0;
    }
    return savestate_read(form, length, ticks, why, why_size);
}
