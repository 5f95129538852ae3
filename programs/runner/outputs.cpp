// The runner's text outputs through the file writer, and the check that outputs and inputs
// name different files.
#include "programs/runner/outputs.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include "platform/text_escape.h"

namespace {

// The stream's writes go into the writer, which keeps the first failure for the commit.
ssize_t write_into(void* cookie, const char* data, size_t size) {
    auto* writer = static_cast<FileWriter*>(cookie);
    if (file_writer_write(writer, data, size))
        return static_cast<ssize_t>(size);
    errno = writer->state.error;
    return -1;
}

bool to_standard_output(const RunnerOutput* out) {
    return std::strcmp(out->path, "-") == 0;
}

std::string shown(const char* path) {
    return std::strcmp(path, "-") == 0 ? "standard output" : text_escaped(path);
}

void report(RunnerOutput* out, const char* why) {
    std::fprintf(stderr, "quellaro-headless: cannot write %s: %s\n", shown(out->path).c_str(), why);
    out->failed = true;
}

// The writer's own reason for its first failure.
const char* writer_why(const FileWriter& writer) {
    return writer.state.why != nullptr ? writer.state.why : std::strerror(writer.state.error);
}

// Who a file is: its device and inode when it is there (links followed), else the path it
// would be made at. Devices and sockets are left out of the comparison.
struct Identity {
    bool exists;
    bool compared;
    dev_t device;
    ino_t inode;
    std::string path;
};

Identity identify(const char* path, bool output) {
    Identity id{false, true, 0, 0, ""};
    struct stat info;
    bool found = false;
    if (std::strcmp(path, "-") == 0) {
        found = fstat(output ? STDOUT_FILENO : STDIN_FILENO, &info) == 0;
    } else {
        char target[FILE_WRITE_PATH_MAX];
        const char* resolved = file_write_target(path, target, sizeof target) ? target : path;
        found = stat(resolved, &info) == 0;
        std::error_code error;
        const std::filesystem::path whole =
            std::filesystem::weakly_canonical(std::filesystem::absolute(resolved, error), error);
        id.path = error ? std::string(resolved) : whole.string();
    }
    if (found) {
        id.exists = true;
        id.device = info.st_dev;
        id.inode = info.st_ino;
        id.compared = !S_ISCHR(info.st_mode) && !S_ISSOCK(info.st_mode);
    } else if (id.path.empty()) {
        id.compared = false;  // a closed standard stream
    }
    return id;
}

bool same(const Identity& a, const Identity& b) {
    if (!a.compared || !b.compared)
        return false;
    if (a.exists || b.exists)
        return a.exists && b.exists && a.device == b.device && a.inode == b.inode;
    return a.path == b.path;
}

// "000042.png": a name the frames are written under.
bool frame_name(const std::string& name) {
    const size_t digits = name.size() >= 4 ? name.size() - 4 : 0;
    if (digits < 6 || name.compare(digits, 4, ".png") != 0)
        return false;
    for (size_t i = 0; i < digits; ++i) {
        if (name[i] < '0' || name[i] > '9')
            return false;
    }
    return true;
}

void refuse(const RunnerFile& a, const RunnerFile& b) {
    std::fprintf(stderr,
                 "quellaro-headless: %s %s and %s %s name the same file; one would be written "
                 "over the other\n",
                 b.option, shown(b.path).c_str(), a.option, shown(a.path).c_str());
}

}  // namespace

bool runner_output_open(RunnerOutput* out) {
    out->failed = false;
    out->file = nullptr;
    if (out->path == nullptr)
        return true;
    if (to_standard_output(out)) {
        out->file = stdout;
        return true;
    }
    // The runner leaves this folder for the assets' before the file is put in place.
    std::error_code error;
    const std::string whole = std::filesystem::absolute(out->path, error).string();
    char why[FILE_WHY_MAX];
    if (!file_writer_open(&out->writer, error ? out->path : whole.c_str(), why, sizeof why)) {
        report(out, why);
        return false;
    }
    const cookie_io_functions_t functions = {nullptr, write_into, nullptr, nullptr};
    out->file = fopencookie(&out->writer, "w", functions);
    if (out->file == nullptr) {
        report(out, std::strerror(errno));
        file_writer_abandon(&out->writer);
        return false;
    }
    return true;
}

bool runner_output_check(RunnerOutput* out) {
    if (out->file == nullptr || out->failed)
        return !out->failed;
    if (std::ferror(out->file))
        report(out, to_standard_output(out) ? std::strerror(errno) : writer_why(out->writer));
    return !out->failed;
}

void runner_output_flush(RunnerOutput* out) {
    if (out->file == nullptr)
        return;
    std::fflush(out->file);
    if (!to_standard_output(out))
        static_cast<void>(file_writer_flush(&out->writer));
    runner_output_check(out);
}

bool runner_output_close(RunnerOutput* out) {
    if (out->file == nullptr)
        return !out->failed;
    runner_output_check(out);
    const bool flushed = std::fflush(out->file) == 0;
    const int error = errno;
    if (to_standard_output(out)) {
        if (!flushed && !out->failed)
            report(out, std::strerror(error));
    } else {
        std::fclose(out->file);
        char why[FILE_WHY_MAX];
        if (out->failed)
            file_writer_abandon(&out->writer);
        else if (!file_writer_commit(&out->writer, why, sizeof why))
            report(out, why);
    }
    out->file = nullptr;
    return !out->failed;
}

void runner_output_abandon(RunnerOutput* out) {
    if (out->file != nullptr && !to_standard_output(out)) {
        std::fclose(out->file);
        file_writer_abandon(&out->writer);
    }
    out->file = nullptr;
}

bool runner_files_apart(const RunnerFile* files, int count, const char* frames_dir) {
    Identity ids[16] = {};
    if (count > 16)
        count = 16;
    for (int i = 0; i < count; ++i) {
        if (files[i].path != nullptr)
            ids[i] = identify(files[i].path, files[i].output);
    }
    Identity frames{};
    if (frames_dir != nullptr && frames_dir[0] != '\0')
        frames = identify(frames_dir, true);
    for (int i = 0; i < count; ++i) {
        if (files[i].path == nullptr)
            continue;
        for (int j = 0; j < i; ++j) {
            if (files[j].path != nullptr && (files[i].output || files[j].output) &&
                same(ids[i], ids[j])) {
                refuse(files[i], files[j]);
                return false;
            }
        }
        if (frames_dir == nullptr || frames_dir[0] == '\0' || std::strcmp(files[i].path, "-") == 0)
            continue;
        const std::filesystem::path path(ids[i].path);
        if (frame_name(path.filename().string()) &&
            same(identify(path.parent_path().c_str(), true), frames)) {
            refuse(files[i], {"--frames-out", frames_dir, true});
            return false;
        }
    }
    return true;
}
