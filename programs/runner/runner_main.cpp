// quellaro-headless: runs the real program on the headless backend from a script of key
// presses, clicks, held keys and close requests, printing the game state of every pass as
// one JSON line and writing chosen frames as PNG files.
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <string>
#include <system_error>

#include "engine/clock.h"
#include "engine/sound_ids.h"
#include "engine/wav.h"
#include "platform/file_read.h"
#include "platform/file_write.h"
#include "platform/frame_digest.h"
#include "platform/headless/headless.h"
#include "platform/png.h"
#include "platform/script.h"
#include "platform/text_escape.h"
#include "programs/common/replay_line.h"
#include "programs/runner/outputs.h"
#include "programs/runner/random_play.h"
#include "programs/runner/replay_modes.h"
#include "shell/app.h"
#include "shell/savestate.h"
#include "shell/window.h"
#include "tools/support/options.h"

namespace {

// What the command line asked for.
Script script;
int pass_limit = -1;
std::string frames_dir;
int frame_every = 1;
bool random_play;  // a seeded random player adds its input to the script's
// Savestates: the pass to save the state before and where, and the state to start from.
int save_pass = -1;
std::string save_path, load_path;
// The run recorded as a replay (--replay-out), and what the replay modes end with.
std::string replay_out;
int replay_status;
// Step mode: one record a line from here instead of the script (standard input for "-"),
// and the line read last.
FILE* records_in;
int records_line;

RunnerOutput state_out;   // one JSON line a pass
RunnerOutput digest_out;  // one line a pass: the pass and a digest of the frame as shown
// An output could not be written: the run ends after this pass, with a failure status.
bool output_failed;

constexpr int EXIT_OUTPUT_FAILED = 1;
constexpr int EXIT_STATE_FAILED = 1;
constexpr uint32_t FRAME_MS = 30;
constexpr int EXIT_USAGE = 2;
// Standard input that fails while it is read.
constexpr int EXIT_INPUT_FAILED = 1;
// A record holds every key's name and a message in far less; a longer line is not one (and
// /dev/zero would be one line without end).
constexpr size_t RECORD_LINE_MAX = 64 * 1024;
// A savestate could not be written or read, or a record line read: the run ends with this.
int run_failed;

// A write that failed (a full disk, a closed pipe) is told once and ends the run.
void check_output(RunnerOutput* out) {
    if (!runner_output_check(out))
        output_failed = true;
}

// A script line that cannot be read, named by file and line, with the word and why.
void report_bad_line(const ScriptError& error, void* path) {
    std::fprintf(stderr, "quellaro-headless: %s:%d: \"%.60s%s\": %s\n",
                 text_escaped(static_cast<const char*>(path)).c_str(), error.line,
                 error.word.c_str(), error.word.size() > 60 ? "..." : "", error.why);
}

bool load_script(const char* path) {
    std::string text;
    char why[FILE_READ_WHY_MAX];
    if (!script_read_file(path, &text, why, sizeof why)) {
        std::fprintf(stderr, "quellaro-headless: cannot read the script %s: %s\n",
                     text_escaped(path).c_str(), why);
        return false;
    }
    return script_parse(text, &script, report_bad_line, const_cast<char*>(path)) == 0;
}

// The record of a pass: what the script holds and presses then, and the random player's
// keys and presses after the script's.
void make_record(int pass, InputRecord* record) {
    *record = INPUT_RECORD_EMPTY;
    script_hold(script, pass, record);
    script_deliver(script, pass, &input_queue);
    if (random_play)
        random_play_pass(record, &input_queue);
    input_queue_take(record);
}

// The sound events of the pass by name, as a JSON array: effects, and tunes asked for as
// "music:NAME".
const char* sounds_text() {
    static char text[HEADLESS_SOUNDS_MAX * 24 + 8];
    size_t at = 0;
    text[at++] = '[';
    const int count = std::min(headless_sound_count(), HEADLESS_SOUNDS_MAX);
    for (int i = 0; i < count; ++i) {
        const HeadlessSound s = headless_sound(i);
        const bool known = s.id >= 0 && s.id < (s.music ? int{MUSIC_COUNT} : int{SOUND_COUNT});
        const int written = std::snprintf(text + at, sizeof text - at, "%s\"%s%s\"", i ? "," : "",
                                          s.music ? "music:" : "",
                                          !known    ? "?"
                                          : s.music ? MUSIC_NAMES[s.id]
                                                    : SOUND_NAMES[s.id]);
        if (written < 0 || at + static_cast<size_t>(written) >= sizeof text - 2)
            break;  // cannot happen: the longest name fits many times over
        at += static_cast<size_t>(written);
    }
    text[at++] = ']';
    text[at] = '\0';
    return text;
}

void after_frame(int pass) {
    if (state_out.file) {
        static StateLine line;
        state_line_make(&line, pass);
        state_line_print(state_out.file, line, headless_time(), sounds_text());
        // A program stepping the game waits for each line.
        if (records_in)
            runner_output_flush(&state_out);
        check_output(&state_out);
    }
    headless_clear_sounds();
    if (digest_out.file && headless_frames_presented() > 0) {
        std::fprintf(digest_out.file, "%d %016llx\n", pass,
                     static_cast<unsigned long long>(frame_digest(
                         headless_frame_pixels(), headless_frame_width(), headless_frame_width(),
                         headless_frame_height(), headless_frame_palette())));
        check_output(&digest_out);
    }
    if (!frames_dir.empty() && pass % frame_every == 0 && headless_frames_presented() > 0) {
        char name[64];
        std::snprintf(name, sizeof(name), "/%06d.png", pass);
        const std::string path = frames_dir + name;
        char why[FILE_WHY_MAX];
        if (!output_failed &&
            !png_write_rgb(path.c_str(), headless_frame_rgb(), headless_frame_width(),
                           headless_frame_height(), why, sizeof why)) {
            std::fprintf(stderr, "quellaro-headless: cannot write %s: %s\n",
                         text_escaped(path).c_str(), why);
            output_failed = true;
        }
    }
}

// The usage on out; the status to exit with.
int usage(FILE* out, int status) {
    std::fputs(
        "usage: quellaro-headless [--assets DIR] [--script FILE] [--passes N] [--state FILE|-]\n"
        "                         [--frames-out DIR] [--every K] [--frame-digests FILE|-]\n"
        "                         [--random-play SEED] [--audio FILE.wav] [--save-state PASS "
        "FILE]\n"
        "                         [--load-state FILE] [--records FILE|-] [--replay-out FILE]\n"
        "       quellaro-headless --verify REPLAY [--state FILE|-] [--frame-digests FILE|-]\n"
        "       quellaro-headless --diff A B\n"
        "       quellaro-headless --link REPLAY\n"
        "Plays the script (and, with a seed, a random player who never quits) until the game\n"
        "quits or N passes have run; --audio records the sound as the desktop mixes it (16-bit\n"
        "stereo). --save-state writes the game as it is before pass PASS; --load-state starts\n"
        "from such a file, its pass numbers going on from there. --records reads one input\n"
        "record a line instead of a script (step mode: the keys held, then \"key KEY\",\n"
        "\"click X Y\", \"dblclick X Y\" or \"close\"), one pass a line, and writes each pass's\n"
        "state line (to standard output unless --state says otherwise) as soon as it is known.\n"
        "Every output file is written whole or not at all, and none may name a file the run\n"
        "reads or another output.\n"
        "Exit status: 0 when the run went through; 1 when the game could not start, a state\n"
        "could not be saved or loaded, or an output could not be made or written (a full disk,\n"
        "a file-size limit); 2 for a bad command line (an output naming an input or another\n"
        "output among it), script or record line.\n"
        "--replay-out records the run as a replay: each pass appended as it runs (a run cut\n"
        "short leaves a journal that still plays), the finished replay written whole at the end.\n"
        "--verify plays a replay (a file, or a link's text) and prints OK with its final digest,\n"
        "or the first pass and state field that differ: exit status 0 when it matches, 1 when\n"
        "it differs, 2 when the file cannot be read or played here. --diff prints the first pass\n"
        "and field where two replays, or two files of state lines, part (0 the same, 1 they\n"
        "differ, 2 unreadable). --link prints a replay as the text of a link to it.\n",
        out);
    return status;
}

const char* refuses_count(const char* text) {
    int number = 0;
    return script_read_number(text, 0, INT_MAX, &number) ? nullptr
                                                         : "not a number from 0 to 2147483647";
}

const char* refuses_positive(const char* text) {
    int number = 0;
    return script_read_number(text, 1, INT_MAX, &number) ? nullptr
                                                         : "not a number from 1 to 2147483647";
}

// The folder for the frames, made when missing; false when it cannot be.
bool open_frames_dir(const char* frames) {
    std::error_code error;
    std::filesystem::create_directories(frames, error);
    if (!error)
        frames_dir = std::filesystem::absolute(frames, error).string();
    if (error) {
        std::fprintf(stderr, "quellaro-headless: cannot write frames to %s: %s\n",
                     text_escaped(frames).c_str(), error.message().c_str());
    }
    return !error;
}

// Paths from the command line name files from where the runner was started, which it leaves
// for the assets folder.
std::string absolute_path(const char* path) {
    std::error_code error;
    const std::filesystem::path whole = std::filesystem::absolute(path, error);
    return error ? std::string(path) : whole.string();
}

// Step mode's input: a file, a pipe (which a program writes as it goes) or standard input;
// a folder would read as no records at all.
bool open_records(const char* path) {
    records_in = std::strcmp(path, "-") == 0 ? stdin : std::fopen(path, "r");
    struct stat info;
    const char* why = records_in == nullptr ? std::strerror(errno)
                      : fstat(fileno(records_in), &info) == 0 && S_ISDIR(info.st_mode)
                          ? "a folder, not a file"
                          : nullptr;
    if (why != nullptr) {
        std::fprintf(stderr, "quellaro-headless: cannot read the records %s: %s\n",
                     text_escaped(path).c_str(), why);
        if (records_in != nullptr && records_in != stdin)
            std::fclose(records_in);
        records_in = nullptr;
        return false;
    }
    return true;
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

// The next record of step mode; false at the end of the input, or after saying what is
// wrong with a line (the run then fails).
bool read_record(InputRecord* record) {
    std::string line;
    int c;
    while ((c = std::fgetc(records_in)) != EOF && c != '\n' && line.size() <= RECORD_LINE_MAX)
        line += static_cast<char>(c);
    ++records_line;
    if (std::ferror(records_in)) {
        std::fprintf(stderr, "quellaro-headless: cannot read record line %d: %s\n", records_line,
                     std::strerror(errno));
        run_failed = EXIT_INPUT_FAILED;
        return false;
    }
    if (line.size() > RECORD_LINE_MAX) {
        std::fprintf(stderr, "quellaro-headless: record line %d is longer than %s\n", records_line,
                     file_size_text(RECORD_LINE_MAX).c_str());
        run_failed = EXIT_USAGE;
        return false;
    }
    if (c == EOF && line.empty())
        return false;
    ScriptError error{records_line, "", ""};
    if (script_read_record(line, record, &error))
        return true;
    std::fprintf(stderr, "quellaro-headless: record line %d: \"%.60s\": %s\n", records_line,
                 error.word.c_str(), error.why);
    run_failed = EXIT_USAGE;
    return false;
}

// Starts from the savestate asked for: the game as it was, its pass numbers and its clock.
bool load_state() {
    char why[SAVESTATE_WHY_MAX];
    uint32_t ticks = 0;
    if (!savestate_load_file(load_path.c_str(), &ticks, why, sizeof why)) {
        std::fprintf(stderr, "quellaro-headless: cannot start from %s: %s\n",
                     text_escaped(load_path).c_str(), why);
        run_failed = EXIT_STATE_FAILED;
        return false;
    }
    headless_set_time(ticks);
    // The tune the restore asked for is not an event of the pass that follows.
    headless_clear_sounds();
    return true;
}

void save_state() {
    char why[SAVESTATE_WHY_MAX];
    if (!savestate_save_file(save_path.c_str(), headless_time(), why, sizeof why)) {
        std::fprintf(stderr, "quellaro-headless: the state before pass %d is not saved: %s\n",
                     save_pass, why);
        run_failed = EXIT_STATE_FAILED;
    }
    save_pass = -1;
}

// The frame loop, paced by the virtual clock, until the game quits, the passes asked for have
// run, the records end or an output failed; the program's exit code.
int play() {
    if (app_start(nullptr) && runner_replay_started() && (load_path.empty() || load_state()) &&
        (replay_out.empty() || runner_record_begin(replay_out.c_str()))) {
        for (;;) {
            const int pass = app_next_pass();
            if ((pass_limit >= 0 && pass >= pass_limit) || output_failed || run_failed)
                break;
            if (pass == save_pass)
                save_state();
            clock_start();
            InputRecord record;
            if (runner_verifying()) {
                if (!runner_verify_record(&record))
                    break;
            } else if (!records_in) {
                make_record(pass, &record);
            } else if (!read_record(&record)) {
                break;
            }
            const int going = app_run_pass(&record);
            const bool on = runner_replay_after(record, going);
            if (!going)
                break;
            after_frame(pass);
            if (!on)
                break;
            clock_wait(FRAME_MS);
        }
    } else if (runner_verifying()) {
        run_failed = REPLAY_EXIT_UNREADABLE;
    }
    if (save_pass >= 0 && !run_failed) {
        std::fprintf(stderr, "quellaro-headless: the run ended before pass %d: no state saved\n",
                     save_pass);
        run_failed = EXIT_STATE_FAILED;
    }
    replay_status = runner_replay_finish();
    return app_finish();
}

// The sound recorded while the game ran, as a stereo WAVE file; false after saying why.
bool write_audio(const char* path) {
    const int16_t* samples = nullptr;
    const int64_t frames = headless_recording(HEADLESS_MIX, &samples);
    if (frames < 0) {
        std::fprintf(stderr,
                     "quellaro-headless: the sound could not all be recorded (out of "
                     "memory); %s is not written\n",
                     path);
        return false;
    }
    std::string bytes(wav_file_size(frames, 2), '\0');
    wav_write(samples, frames, SOUND_RATE, reinterpret_cast<uint8_t*>(bytes.data()), 2);
    char why[FILE_WHY_MAX];
    if (!file_write_whole(path, bytes.data(), bytes.size(), why, sizeof why)) {
        std::fprintf(stderr, "quellaro-headless: cannot write %s: %s\n", text_escaped(path).c_str(),
                     why);
        return false;
    }
    return true;
}

// The numbers of the command line, checked as they were read.
void take_numbers(const char* passes, const char* every, const char* seed, const char* save_at) {
    if (passes)
        static_cast<void>(script_read_number(passes, 0, INT_MAX, &pass_limit));
    if (every)
        static_cast<void>(script_read_number(every, 1, INT_MAX, &frame_every));
    if (seed) {
        int number = 0;
        static_cast<void>(script_read_number(seed, 0, INT_MAX, &number));
        random_play_start(static_cast<uint32_t>(number));
        random_play = true;
    }
    if (save_at)
        static_cast<void>(script_read_number(save_at, 0, INT_MAX, &save_pass));
}

// false, after naming both, when an output names a file the run reads or another output.
bool files_apart(const char* script_path, const char* records, const char* load_from,
                 const char* audio, const char* save_to, const char* frames, const char* verify,
                 const char* record_to) {
    const RunnerFile files[] = {
        {"--script", script_path, false},
        {"--verify", verify, false},
        {"--replay-out", record_to, true},
        {"--records", records, false},
        {"--load-state", load_from, false},
        {"--state", state_out.path, true},
        {"--frame-digests", digest_out.path, true},
        {"--audio", audio, true},
        {"--save-state", save_to, true},
    };
    return runner_files_apart(files, static_cast<int>(std::size(files)), frames);
}

// The replay to verify read and the replay to record named; 0, or the exit status.
int take_replays(const char* verify, const char* record_to, bool other_records) {
    if (verify && other_records) {
        std::fprintf(stderr,
                     "quellaro-headless: --verify plays the replay's own records: no "
                     "--script, --records, --random-play or --load-state with it\n");
        return usage(stderr, EXIT_USAGE);
    }
    if (verify && !runner_verify_read(verify))
        return REPLAY_EXIT_UNREADABLE;
    if (record_to)
        replay_out = absolute_path(record_to);
    return 0;
}

// Puts the outputs in place after the run that ended with result; the exit status.
int finish(int result, const char* audio) {
    const bool state_written = runner_output_close(&state_out);
    const bool digests_written = runner_output_close(&digest_out);
    if (records_in && records_in != stdin)
        std::fclose(records_in);
    if (result == 1)
        return 1;
    if (run_failed)
        return run_failed;
    if (replay_status != 0)
        return replay_status;
    const bool audio_written = !audio || write_audio(audio);
    return output_failed || !state_written || !digests_written || !audio_written
               ? EXIT_OUTPUT_FAILED
               : 0;
}

}  // namespace

int main(int argc, char** argv) {
    const char *assets = nullptr, *script_path = nullptr, *passes = nullptr, *every = nullptr;
    const char *frames = nullptr, *seed = nullptr, *audio = nullptr, *save_at = nullptr;
    const char *save_to = nullptr, *load_from = nullptr, *records = nullptr;
    const char *verify = nullptr, *record_to = nullptr, *diff = nullptr, *diff_with = nullptr;
    const char* link = nullptr;
    const ToolOption options[] = {
        {"--assets", &assets},
        {"--script", &script_path},
        {"--passes", &passes, refuses_count},
        {"--state", &state_out.path},
        {"--frame-digests", &digest_out.path},
        {"--frames-out", &frames},
        {"--every", &every, refuses_positive},
        {"--random-play", &seed, refuses_count},
        {"--audio", &audio},
        {"--save-state", &save_at, refuses_count, &save_to},
        {"--load-state", &load_from},
        {"--records", &records},
        {"--verify", &verify},
        {"--replay-out", &record_to},
        {"--diff", &diff, nullptr, &diff_with},
        {"--link", &link},
    };
    if (tool_help_asked(argc, argv))
        return usage(stdout, 0);
    if (!tool_read_options("quellaro-headless", argc, argv, options,
                           static_cast<int>(std::size(options))))
        return usage(stderr, EXIT_USAGE);
    // Comparing files and making links play nothing.
    if (diff || link)
        return diff ? runner_diff(diff, diff_with) : runner_link(link);
    // At a file-size limit the signal would end the run without a word; the write fails with
    // EFBIG instead, and is told.
    std::signal(SIGXFSZ, SIG_IGN);
    take_numbers(passes, every, seed, save_at);
    // Step mode's state lines go to standard output unless asked otherwise.
    if (records && !state_out.path)
        state_out.path = "-";
    if (!files_apart(script_path, records, load_from, audio, save_to, frames, verify, record_to))
        return EXIT_USAGE;
    if (const int status =
            take_replays(verify, record_to, script_path || records || seed || load_from))
        return status;
    if (script_path && !load_script(script_path))
        return EXIT_USAGE;
    if (save_at)
        save_path = absolute_path(save_to);
    if (load_from)
        load_path = absolute_path(load_from);
    if (records && !open_records(records))
        return EXIT_USAGE;
    if (frames && *frames && !open_frames_dir(frames))
        return EXIT_OUTPUT_FAILED;
    if (!runner_output_open(&state_out) || !runner_output_open(&digest_out)) {
        runner_output_abandon(&state_out);
        return EXIT_OUTPUT_FAILED;
    }
    // The game works from its assets folder: a recording named from here stays here.
    const std::string audio_path = audio ? absolute_path(audio) : std::string();
    audio = audio ? audio_path.c_str() : nullptr;
    if (!enter_assets(assets)) {
        runner_output_abandon(&state_out);
        runner_output_abandon(&digest_out);
        return EXIT_USAGE;
    }
    headless_record_audio(audio ? 1 : 0);
    return finish(play(), audio);
}
