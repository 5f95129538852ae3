// Files written whole or not at all: a temporary file beside the target, flushed, closed and
// renamed over it; symbolic links followed to the file they name; the append form for
// recordings.
#include "platform/file_write.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

// As many links as the system itself follows before it gives up with ELOOP.
constexpr int MAX_LINK_HOPS = 40;
// Names tried for the temporary file before giving up (each try is a fresh random name).
constexpr int TEMPORARY_TRIES = 100;
// The part of the target's name kept in the temporary file's, which must stay a legal name.
constexpr int TEMPORARY_NAME_PART = 200;

// Our own reasons, for failures the system has no fitting words for.
constexpr const char* NOT_A_FILE = "is neither a regular file nor a device or FIFO";
constexpr const char* NO_READER = "nothing reads from that FIFO";

bool fail(FileWriteState* s, int error, const char* why = nullptr) {
    if (s->error == 0) {
        s->error = error != 0 ? error : EIO;
        s->why = why;
    }
    return false;
}

// The reason of the first failure into why; errno is set to it too, for callers that print
// strerror(errno).
bool tell(int error, const char* own, char* why, size_t why_size) {
    if (why != nullptr && why_size > 0)
        std::snprintf(why, why_size, "%s", own != nullptr ? own : std::strerror(error));
    errno = error;
    return false;
}

bool write_all(int fd, const void* data, size_t size, int* error) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    while (size > 0) {
        const ssize_t n = write(fd, bytes, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            *error = n < 0 ? errno : EIO;
            return false;
        }
        bytes += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

// Follows the symbolic links of the path's last part to the file they name (which may not
// exist yet). The folders on the way may be links themselves: rename works through them.
bool resolve_target(const char* path, char* out, size_t size, int* error) {
    if (std::snprintf(out, size, "%s", path) >= static_cast<int>(size)) {
        *error = ENAMETOOLONG;
        return false;
    }
    for (int hop = 0; hop < MAX_LINK_HOPS; ++hop) {
        struct stat info;
        if (lstat(out, &info) != 0) {
            *error = errno;
            return errno == ENOENT;
        }
        if (!S_ISLNK(info.st_mode))
            return true;
        char link[FILE_WRITE_PATH_MAX];
        const ssize_t n = readlink(out, link, sizeof link - 1);
        if (n < 0 || static_cast<size_t>(n) >= sizeof link - 1) {
            *error = n < 0 ? errno : ENAMETOOLONG;
            return false;
        }
        link[n] = '\0';
        // A relative link is relative to the folder the link lies in.
        const char* slash = std::strrchr(out, '/');
        const int folder =
            link[0] == '/' || slash == nullptr ? 0 : static_cast<int>(slash - out + 1);
        char next[FILE_WRITE_PATH_MAX];
        if (std::snprintf(next, sizeof next, "%.*s%s", folder, out, link) >=
            static_cast<int>(sizeof next)) {
            *error = ENAMETOOLONG;
            return false;
        }
        std::memcpy(out, next, sizeof next);
    }
    *error = ELOOP;
    return false;
}

// A name no one else uses, from the process, a counter and the clock.
unsigned temporary_serial() {
    static unsigned counter;
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<unsigned>(getpid()) * 2654435761u ^ ++counter * 40503u ^
           static_cast<unsigned>(now.tv_nsec);
}

// Makes ".NAME.XXXXXXXX" beside the target, readable as a new file would be.
bool make_temporary(FileWriteState* s) {
    const char* slash = std::strrchr(s->target, '/');
    const int folder = slash == nullptr ? 0 : static_cast<int>(slash - s->target + 1);
    const char* name = s->target + folder;
    for (int attempt = 0; attempt < TEMPORARY_TRIES; ++attempt) {
        if (std::snprintf(s->temporary, sizeof s->temporary, "%.*s.%.*s.%08x", folder, s->target,
                          TEMPORARY_NAME_PART, name,
                          temporary_serial()) >= static_cast<int>(sizeof s->temporary)) {
            s->temporary[0] = '\0';
            return fail(s, ENAMETOOLONG);
        }
        s->fd = open(s->temporary, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (s->fd >= 0) {
            // The new file keeps the permissions the old one had (a settings file kept
            // private stays private); the owner cannot be kept, and need not be.
            if (s->replaces)
                static_cast<void>(fchmod(s->fd, s->replaced_mode & 07777));
            return true;
        }
        if (errno != EEXIST)
            break;
    }
    const int error = errno;
    s->temporary[0] = '\0';
    return fail(s, error);
}

// A character device or FIFO: written straight. Opening does not wait for a reader.
bool open_direct(FileWriteState* s) {
    s->direct = true;
    s->fd = open(s->target, O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (s->fd < 0)
        return errno == ENXIO ? fail(s, ENXIO, NO_READER) : fail(s, errno);
    const int flags = fcntl(s->fd, F_GETFL);
    if (flags < 0 || fcntl(s->fd, F_SETFL, flags & ~O_NONBLOCK) != 0)
        return fail(s, errno);
    return true;
}

bool open_state(FileWriteState* s, const char* path, FileWriteMode mode) {
    *s = FileWriteState{};
    s->fd = -1;
    s->mode = mode;
    int error = 0;
    if (path == nullptr || path[0] == '\0')
        return fail(s, ENOENT);
    if (!resolve_target(path, s->target, sizeof s->target, &error))
        return fail(s, error);
    struct stat info;
    if (error != ENOENT && lstat(s->target, &info) == 0) {
        if (mode == FILE_WRITE_NEW)
            return fail(s, EEXIST);
        if (S_ISDIR(info.st_mode))
            return fail(s, EISDIR);
        if (S_ISCHR(info.st_mode) || S_ISFIFO(info.st_mode))
            return open_direct(s);
        if (!S_ISREG(info.st_mode))
            return fail(s, EINVAL, NOT_A_FILE);
        s->replaces = true;
        s->replaced_mode = info.st_mode;
    }
    return make_temporary(s);
}

void close_state(FileWriteState* s) {
    if (s->fd >= 0)
        close(s->fd);
    s->fd = -1;
    if (s->temporary[0] != '\0')
        unlink(s->temporary);
    s->temporary[0] = '\0';
}

// Only where no file of the name is: a hard link fails rather than replace one. Where the
// file system has no hard links, an empty file claims the name first.
bool place_new(FileWriteState* s) {
    if (link(s->temporary, s->target) == 0) {
        unlink(s->temporary);
        s->temporary[0] = '\0';
        return true;
    }
    if (errno == EEXIST)
        return fail(s, EEXIST);
    const int claim = open(s->target, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (claim < 0)
        return fail(s, errno);
    close(claim);
    if (rename(s->temporary, s->target) != 0) {
        const int error = errno;
        unlink(s->target);
        return fail(s, error);
    }
    s->temporary[0] = '\0';
    return true;
}

// The rename itself reaches the disk with the folder's own flush; a folder that cannot be
// flushed (some file systems refuse) still holds the file, so that is not a failure.
void flush_folder(const char* target) {
    char folder[FILE_WRITE_PATH_MAX];
    const char* slash = std::strrchr(target, '/');
    if (slash == nullptr)
        std::snprintf(folder, sizeof folder, ".");
    else
        std::snprintf(folder, sizeof folder, "%.*s", static_cast<int>(slash - target + 1), target);
    const int fd = open(folder, O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        static_cast<void>(fsync(fd));
        close(fd);
    }
}

bool commit_state(FileWriteState* s) {
    if (s->error != 0 || s->fd < 0)
        return fail(s, EBADF);
    const bool flushed = s->direct || fsync(s->fd) == 0;
    const int flush_error = errno;
    const int fd = s->fd;
    s->fd = -1;
    if (close(fd) != 0 && flushed)
        return fail(s, errno);
    if (!flushed)
        return fail(s, flush_error);
    if (s->direct)
        return true;
    if (s->mode == FILE_WRITE_NEW) {
        if (!place_new(s))
            return false;
    } else if (rename(s->temporary, s->target) != 0) {
        return fail(s, errno);
    }
    s->temporary[0] = '\0';
    flush_folder(s->target);
    return true;
}

bool flush_buffer(FileWriter* w) {
    if (w->buffered == 0 || w->state.error != 0)
        return w->state.error == 0;
    int error = 0;
    const bool ok = write_all(w->state.fd, w->buffer, w->buffered, &error);
    w->buffered = 0;
    return ok || fail(&w->state, error);
}

}  // namespace

bool file_write_whole(const char* path, const void* data, size_t size, char* why, size_t why_size,
                      FileWriteMode mode) {
    FileWriteState s;
    int error = 0;
    const bool written = open_state(&s, path, mode) &&
                         (size == 0 || write_all(s.fd, data, size, &error) || fail(&s, error)) &&
                         commit_state(&s);
    if (written)
        return true;
    close_state(&s);
    return tell(s.error, s.why, why, why_size);
}

bool file_writer_open(FileWriter* writer, const char* path, char* why, size_t why_size,
                      FileWriteMode mode) {
    writer->buffered = 0;
    if (open_state(&writer->state, path, mode))
        return true;
    close_state(&writer->state);
    return tell(writer->state.error, writer->state.why, why, why_size);
}

bool file_writer_write(FileWriter* writer, const void* data, size_t size) {
    if (writer->state.error != 0 || writer->state.fd < 0)
        return fail(&writer->state, EBADF);
    const size_t room = sizeof writer->buffer - writer->buffered;
    if (size > room && !flush_buffer(writer))
        return false;
    if (size >= sizeof writer->buffer) {
        int error = 0;
        return write_all(writer->state.fd, data, size, &error) || fail(&writer->state, error);
    }
    std::memcpy(writer->buffer + writer->buffered, data, size);
    writer->buffered += size;
    return true;
}

bool file_writer_print(FileWriter* writer, const char* format, ...) {
    if (writer->state.error != 0 || writer->state.fd < 0)
        return fail(&writer->state, EBADF);
    for (int attempt = 0; attempt < 2; ++attempt) {
        const size_t room = sizeof writer->buffer - writer->buffered;
        std::va_list arguments;
        va_start(arguments, format);
        const int n = std::vsnprintf(reinterpret_cast<char*>(writer->buffer) + writer->buffered,
                                     room, format, arguments);
        va_end(arguments);
        if (n < 0)
            return fail(&writer->state, errno);
        if (static_cast<size_t>(n) < room) {
            writer->buffered += static_cast<size_t>(n);
            return true;
        }
        if (attempt == 0 && !flush_buffer(writer))
            return false;
    }
    // Longer than the whole buffer: rare enough to be formatted on the heap.
    std::va_list arguments;
    va_start(arguments, format);
    char* text = nullptr;
    const int n = vasprintf(&text, format, arguments);
    va_end(arguments);
    if (n < 0)
        return fail(&writer->state, ENOMEM);
    const bool ok = file_writer_write(writer, text, static_cast<size_t>(n));
    std::free(text);
    return ok;
}

bool file_writer_flush(FileWriter* writer) {
    if (writer->state.error != 0 || writer->state.fd < 0)
        return fail(&writer->state, EBADF);
    return flush_buffer(writer);
}

bool file_write_target(const char* path, char* out, size_t size) {
    int error = 0;
    return path != nullptr && resolve_target(path, out, size, &error);
}

bool file_writer_commit(FileWriter* writer, char* why, size_t why_size) {
    if (writer->state.fd >= 0)
        flush_buffer(writer);
    if (commit_state(&writer->state))
        return true;
    close_state(&writer->state);
    return tell(writer->state.error, writer->state.why, why, why_size);
}

void file_writer_abandon(FileWriter* writer) {
    close_state(&writer->state);
    writer->buffered = 0;
}

bool file_append_open(FileAppender* appender, const char* path, char* why, size_t why_size) {
    *appender = FileAppender{-1, 0, nullptr};
    if (path == nullptr || path[0] == '\0')
        return tell(ENOENT, nullptr, why, why_size);
    // Not blocking on a FIFO that nothing reads from.
    const int fd =
        open(path, O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd < 0)
        return tell(errno, errno == ENXIO ? NO_READER : nullptr, why, why_size);
    struct stat info;
    const int flags = fcntl(fd, F_GETFL);
    int error = 0;
    const char* own = nullptr;
    if (fstat(fd, &info) != 0 || flags < 0 || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        error = errno;
    } else if (!S_ISREG(info.st_mode) && !S_ISCHR(info.st_mode) && !S_ISFIFO(info.st_mode)) {
        error = EINVAL;
        own = NOT_A_FILE;
    }
    if (error != 0) {
        close(fd);
        return tell(error, own, why, why_size);
    }
    appender->fd = fd;
    return true;
}

bool file_append(FileAppender* appender, const void* data, size_t size) {
    if (appender->error != 0)
        return false;
    if (appender->fd < 0) {
        appender->error = EBADF;
        return false;
    }
    int error = 0;
    if (write_all(appender->fd, data, size, &error))
        return true;
    appender->error = error;
    return false;
}

bool file_append_close(FileAppender* appender, char* why, size_t why_size) {
    if (appender->fd < 0)
        return appender->error == 0 || tell(appender->error, appender->why, why, why_size);
    struct stat info;
    // Devices and pipes have nothing to flush to a disk.
    const bool regular = fstat(appender->fd, &info) == 0 && S_ISREG(info.st_mode);
    if (regular && fsync(appender->fd) != 0 && appender->error == 0)
        appender->error = errno;
    if (close(appender->fd) != 0 && appender->error == 0)
        appender->error = errno;
    appender->fd = -1;
    return appender->error == 0 || tell(appender->error, appender->why, why, why_size);
}
