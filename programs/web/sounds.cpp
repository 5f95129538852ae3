// The effects rendered into the page's file system, where the game reads them as files.
#include "programs/web/sounds.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "engine/sound_ids.h"
#include "engine/wav.h"
#include "platform/file_write.h"
#include "tools/sfxgen/render.h"

int web_write_sounds(const char* dir, char* why, size_t why_size) {
    char path[256];
    std::snprintf(path, sizeof path, "%s/sounds", dir);
    if (mkdir(path, 0755) != 0 && errno != EEXIST) {
        std::snprintf(why, why_size, "%s: %s", path, std::strerror(errno));
        return 0;
    }
    std::vector<uint8_t> bytes;
    for (int id = 0; id < SOUND_COUNT; ++id) {
        for (int variant = 0; variant < sound_variants(id); ++variant) {
            char stem[48];
            sound_file_stem(id, variant, stem, sizeof stem);
            std::snprintf(path, sizeof path, "%s/sounds/%s.wav", dir, stem);
            const Rendered r = render_effect(static_cast<SoundId>(id), variant);
            if (!r.ok) {
                std::snprintf(why, why_size, "%s: its notes cannot be rendered", path);
                return 0;
            }
            const auto frames = static_cast<int64_t>(r.samples.size());
            bytes.resize(wav_file_size(frames));
            wav_write(r.samples.data(), frames, SOUND_RATE, bytes.data());
            char reason[FILE_WHY_MAX];
            if (!file_write_whole(path, bytes.data(), bytes.size(), reason, sizeof reason)) {
                std::snprintf(why, why_size, "%s: %s", path, reason);
                return 0;
            }
        }
    }
    return 1;
}
