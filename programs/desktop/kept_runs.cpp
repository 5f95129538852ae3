// The kept runs' files.
#include "programs/desktop/kept_runs.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "platform/file_read.h"
#include "platform/file_write.h"
#include "platform/sdl/files.h"

namespace {

constexpr int SERIAL_DIGITS = 6;

// The number of a kept run's file name, or -1 for any other name.
long serial_of(const std::string& name) {
    const size_t digits = name.size() - std::strlen("run-.qrpl");
    if (name.size() <= std::strlen("run-.qrpl") || name.compare(0, 4, "run-") != 0 ||
        name.compare(name.size() - 5, 5, ".qrpl") != 0 || digits < SERIAL_DIGITS || digits > 9)
        return -1;
    long serial = 0;
    for (size_t i = 4; i < 4 + digits; ++i) {
        if (name[i] < '0' || name[i] > '9')
            return -1;
        serial = serial * 10 + (name[i] - '0');
    }
    return serial;
}

// The serials of the runs in folder, unsorted; false when it cannot be listed.
bool serials(const char* folder, std::vector<long>* out, std::error_code* error) {
    std::filesystem::directory_iterator it(folder, *error);
    for (; !*error && it != std::filesystem::directory_iterator(); it.increment(*error)) {
        const long serial = serial_of(it->path().filename().string());
        if (serial >= 0)
            out->push_back(serial);
    }
    return !*error;
}

std::string in(const char* folder, const char* name) {
    return std::string(folder) + "/" + name;
}

}  // namespace

int kept_runs_folder(const char* data_home, const char* home, char* out, size_t size) {
    int n = -1;
    if (data_home != nullptr && data_home[0] == '/') {
        n = std::snprintf(out, size, "%s/quellaro/runs", data_home);
    } else if (home != nullptr && home[0] == '/') {
        n = std::snprintf(out, size, "%s/.local/share/quellaro/runs", home);
    }
    return n > 0 && static_cast<size_t>(n) < size;
}

bool kept_runs_write(const char* folder, const uint8_t* bytes, size_t size, char* name,
                     size_t name_size, char* why, size_t why_size) {
    if (!make_folders(folder)) {
        std::snprintf(why, why_size, "cannot make the folder: %s", std::strerror(errno));
        return false;
    }
    std::vector<long> kept;
    std::error_code error;
    if (!serials(folder, &kept, &error)) {
        std::snprintf(why, why_size, "cannot list the folder: %s", error.message().c_str());
        return false;
    }
    long next = 1;
    for (const long serial : kept)
        next = serial >= next ? serial + 1 : next;
    std::snprintf(name, name_size, "run-%0*ld.qrpl", SERIAL_DIGITS, next);
    // A new name each time: a run never replaces another, even one another game wrote.
    if (!file_write_whole(in(folder, name).c_str(), bytes, size, why, why_size, FILE_WRITE_NEW))
        return false;
    char old[32];
    for (const long serial : kept) {
        if (serial > next - KEPT_RUNS)
            continue;
        std::snprintf(old, sizeof old, "run-%0*ld.qrpl", SERIAL_DIGITS, serial);
        std::filesystem::remove(in(folder, old), error);
    }
    return true;
}

bool kept_runs_write_best(const char* folder, const PersonalBest& best, const uint8_t* win,
                          size_t win_size, char* why, size_t why_size) {
    if (!make_folders(folder)) {
        std::snprintf(why, why_size, "cannot make the folder: %s", std::strerror(errno));
        return false;
    }
    if (win != nullptr &&
        !file_write_whole(in(folder, "best-win.qrpl").c_str(), win, win_size, why, why_size))
        return false;
    char text[PERSONAL_BEST_TEXT_MAX];
    personal_best_text(best, text, sizeof text);
    return file_write_whole(in(folder, "best.txt").c_str(), text, std::strlen(text), why, why_size);
}

bool kept_runs_read_best(const char* folder, PersonalBest* out, char* why, size_t why_size) {
    *out = PERSONAL_BEST_NONE;
    const std::string path = in(folder, "best.txt");
    std::error_code error;
    if (!std::filesystem::exists(std::filesystem::symlink_status(path, error)))
        return true;
    std::string text;
    if (!file_read_whole(path.c_str(), PERSONAL_BEST_TEXT_MAX, &text, why, why_size))
        return false;
    if (!personal_best_parse(text.data(), text.size(), out)) {
        std::snprintf(why, why_size, "it is not a best's figures");
        return false;
    }
    return true;
}

bool kept_runs_read_best_win(const char* folder, std::string* bytes, char* why, size_t why_size) {
    why[0] = '\0';
    bytes->clear();
    const std::string path = in(folder, "best-win.qrpl");
    std::error_code error;
    if (!std::filesystem::exists(std::filesystem::symlink_status(path, error)))
        return false;
    return file_read_whole(path.c_str(), REPLAY_FILE_MAX, bytes, why, why_size);
}
