// Opening and reading outside input: regular files only, never waiting on a FIFO or a device,
// and never more than a cap.
#include "platform/file_read.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

bool tell(int error, const char* own, char* why, size_t why_size) {
    if (why != nullptr && why_size > 0)
        std::snprintf(why, why_size, "%s", own != nullptr ? own : std::strerror(error));
    errno = error;
    return false;
}

// What a file that is not a regular one is, for the reason.
const char* kind_of(mode_t mode) {
    if (S_ISDIR(mode))
        return "a folder, not a file";
    if (S_ISFIFO(mode))
        return "a FIFO, not a regular file";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "a device, not a regular file";
    return "not a regular file";
}

bool read_all(int fd, void* out, size_t length) {
    auto* bytes = static_cast<unsigned char*>(out);
    while (length > 0) {
        const ssize_t n = read(fd, bytes, length);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            // A file that shrank while it was read ends early: not the file that was measured.
            if (n == 0)
                errno = EIO;
            return false;
        }
        bytes += n;
        length -= static_cast<size_t>(n);
    }
    return true;
}

// Opens and measures the file, refusing it when it is over the cap; -1 with the reason told.
int open_capped(const char* path, size_t cap, size_t* length, char* why, size_t why_size) {
    int64_t size = 0;
    const int fd = file_open_input(path, &size, why, why_size);
    if (fd < 0)
        return -1;
    if (static_cast<uint64_t>(size) > cap) {
        close(fd);
        char text[FILE_READ_WHY_MAX];
        std::snprintf(text, sizeof text, "over the size limit of %s (%lld bytes)",
                      file_size_text(cap).c_str(), static_cast<long long>(size));
        tell(EFBIG, text, why, why_size);
        return -1;
    }
    *length = static_cast<size_t>(size);
    return fd;
}

}  // namespace

int file_open_input(const char* path, int64_t* size, char* why, size_t why_size) {
    if (path == nullptr || path[0] == '\0') {
        tell(ENOENT, nullptr, why, why_size);
        return -1;
    }
    // Non-blocking, so that opening a FIFO does not wait for a writer.
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        tell(errno, nullptr, why, why_size);
        return -1;
    }
    struct stat info;
    if (fstat(fd, &info) != 0) {
        const int error = errno;
        close(fd);
        tell(error, nullptr, why, why_size);
        return -1;
    }
    if (!S_ISREG(info.st_mode)) {
        close(fd);
        tell(S_ISDIR(info.st_mode) ? EISDIR : EINVAL, kind_of(info.st_mode), why, why_size);
        return -1;
    }
    const int flags = fcntl(fd, F_GETFL);
    if (flags >= 0)
        static_cast<void>(fcntl(fd, F_SETFL, flags & ~O_NONBLOCK));
    *size = static_cast<int64_t>(info.st_size);
    return fd;
}

bool file_read_whole(const char* path, size_t cap, std::string* text, char* why, size_t why_size) {
    size_t length = 0;
    const int fd = open_capped(path, cap, &length, why, why_size);
    if (fd < 0)
        return false;
    text->resize(length);
    const bool read = read_all(fd, text->data(), length);
    const int error = errno;
    close(fd);
    if (!read) {
        text->clear();
        return tell(error, nullptr, why, why_size);
    }
    return true;
}

int64_t file_read_into(const char* path, void* out, size_t cap, char* why, size_t why_size) {
    size_t length = 0;
    const int fd = open_capped(path, cap, &length, why, why_size);
    if (fd < 0)
        return -1;
    const bool read = read_all(fd, out, length);
    const int error = errno;
    close(fd);
    if (!read) {
        tell(error, nullptr, why, why_size);
        return -1;
    }
    return static_cast<int64_t>(length);
}

std::string file_size_text(size_t bytes) {
    if (bytes >= (size_t{1} << 20) && bytes % (size_t{1} << 20) == 0)
        return std::to_string(bytes >> 20) + " MiB";
    if (bytes >= 1024 && bytes % 1024 == 0)
        return std::to_string(bytes >> 10) + " KiB";
    return std::to_string(bytes) + " bytes";
}
