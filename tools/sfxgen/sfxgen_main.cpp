// The sound generator: renders every sound effect into assets/sounds/ (or --out DIR) as
// 16-bit mono WAVE files, byte for byte the same on every run; --tunes DIR also writes the
// two tunes, which the game renders for itself, for listening.
#include <cstdio>
#include <string>

#include "engine/sound_ids.h"
#include "engine/tunes.h"
#include "engine/wav.h"
#include "tools/sfxgen/effects.h"
#include "tools/sfxgen/render.h"
#include "tools/support/folders.h"
#include "tools/support/options.h"

namespace {

// Renders and writes one sound; refuses sounds that would clip.
bool write(const std::string& dir, const char* name, const Tune& tune) {
    Rendered r = render_tune(tune, SOUND_RATE);
    if (!r.ok) {
        std::fprintf(stderr, "sfxgen: %s: malformed notes\n", name);
        return false;
    }
    if (r.peak >= 32767) {
        std::fprintf(stderr, "sfxgen: %s: peak %d clips\n", name, r.peak);
        return false;
    }
    const int64_t frames = static_cast<int64_t>(r.samples.size());
    std::string bytes(wav_file_size(frames), '\0');
    wav_write(r.samples.data(), frames, SOUND_RATE, reinterpret_cast<uint8_t*>(bytes.data()));
    return tool_write_file("sfxgen", dir + "/" + name + ".wav", bytes.data(), bytes.size());
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
    for (int id = 0; ok && id < SOUND_COUNT; ++id)
        ok = write(out_dir, SOUND_NAMES[id], effect_tune(static_cast<SoundId>(id)));
    if (ok && !tunes_dir.empty()) {
        ok = tool_make_dir("sfxgen", tunes_dir);
        for (int id = MUSIC_NONE + 1; ok && id < MUSIC_COUNT; ++id)
            ok = write(tunes_dir, MUSIC_NAMES[id], *music_tune(static_cast<MusicId>(id)));
    }
    return ok ? 0 : 1;
}
