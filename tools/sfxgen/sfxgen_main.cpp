// The sound generator: renders every sound effect (each variant) into assets/sounds/ (or
// --out DIR) as 16-bit mono WAVE files brought to one loudness, byte for byte the same on
// every run; --tunes DIR also writes the two tunes in stereo, as the game renders them while
// it plays them, twice through, for listening.
#include <cstdio>
#include <string>

#include "engine/sound_ids.h"
#include "engine/tunes.h"
#include "engine/wav.h"
#include "tools/sfxgen/render.h"
#include "tools/support/folders.h"
#include "tools/support/options.h"

namespace {

bool write_file(const std::string& path, const Rendered& r) {
    const int64_t frames = static_cast<int64_t>(r.samples.size()) / r.channels;
    std::string bytes(wav_file_size(frames, r.channels), '\0');
    wav_write(r.samples.data(), frames, SOUND_RATE, reinterpret_cast<uint8_t*>(bytes.data()),
              r.channels);
    return tool_write_file("sfxgen", path, bytes.data(), bytes.size());
}

// Renders and writes one effect; refuses one that is malformed or too loud at its peak.
bool write_effect(const std::string& dir, SoundId id, int variant) {
    char stem[48];
    sound_file_stem(id, variant, stem, sizeof stem);
    const Rendered r = render_effect(id, variant);
    if (!r.ok) {
        std::fprintf(stderr, "sfxgen: %s: malformed notes, or its peak %d passes %d\n", stem,
                     r.peak, EFFECT_PEAK_MAX);
        return false;
    }
    return write_file(dir + "/" + stem + ".wav", r);
}

bool write_tune(const std::string& dir, MusicId id) {
    const Tune& tune = *music_tune(id);
    const Rendered r = render_tune(tune, SOUND_RATE, 2 * tune_frames(tune, SOUND_RATE));
    if (!r.ok || r.peak >= 32767) {
        std::fprintf(stderr, "sfxgen: %s: malformed notes, or its peak %d clips\n", MUSIC_NAMES[id],
                     r.peak);
        return false;
    }
    return write_file(dir + "/" + MUSIC_NAMES[id] + ".wav", r);
}

// The usage on out; the status to exit with.
int usage(FILE* out, int status) {
    std::fprintf(out,
                 "usage: sfxgen [--out DIR] [--tunes DIR]\n"
                 "  --out DIR    where the effects go (default assets/sounds)\n"
                 "  --tunes DIR  also write the tunes there, to listen to\n");
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    const char* out = nullptr;
    const char* tunes = nullptr;
    const ToolOption options[] = {{"--out", &out}, {"--tunes", &tunes}};
    if (tool_help_asked(argc, argv))
        return usage(stdout, 0);
    if (!tool_read_options("sfxgen", argc, argv, options, 2))
        return usage(stderr, 2);
    std::string out_dir = out ? out : "";
    const std::string tunes_dir = tunes ? tunes : "";
    if (out_dir.empty())
        out_dir = tool_assets_dir("tools/sfxgen", __FILE__) + "/sounds";
    bool ok = tool_make_dir("sfxgen", out_dir);
    for (int id = 0; ok && id < SOUND_COUNT; ++id) {
        for (int variant = 0; ok && variant < sound_variants(id); ++variant)
            ok = write_effect(out_dir, static_cast<SoundId>(id), variant);
    }
    if (ok && !tunes_dir.empty()) {
        ok = tool_make_dir("sfxgen", tunes_dir);
        for (int id = MUSIC_NONE + 1; ok && id < MUSIC_COUNT; ++id)
            ok = write_tune(tunes_dir, static_cast<MusicId>(id));
    }
    return ok ? 0 : 1;
}
