// Files written whole or not at all. Every file the programs write goes through here: the
// bytes go to a new temporary file beside the target, which is flushed to the disk and renamed
// over the target only when every write and the close worked. Readers of the target see the
// old file or the new one, never a part; a failure leaves the target as it was, removes the
// temporary file and says why (the system's words, as strerror gives them).
//
// A target that is a symbolic link (as dotfile managers make) keeps its link: the file it
// points to, however many links away, is the one replaced. A character device or a FIFO
// named as the target (/dev/null, /dev/stdout, a pipe) is written straight, since it cannot
// be replaced; a folder or any other kind of file is refused. After a crash part-way only a
// hidden temporary file ".NAME.XXXXXX" can be left beside the target.
//
// Recordings, which must survive a crash of the program that makes them, have the append form
// below instead. Plain POSIX, no exceptions; nothing is allocated.
#pragma once
#include <cstddef>

// How the finished file is put in place.
enum FileWriteMode : int {
    FILE_WRITE_REPLACE = 0,  // over whatever file of that name there is
    FILE_WRITE_NEW = 1,      // only where there is none: fails with EEXIST, never replaces
};

// A reason fits in this many bytes; a shorter buffer gets it cut.
constexpr size_t FILE_WHY_MAX = 160;
constexpr size_t FILE_WRITE_PATH_MAX = 4096;

// Writes size bytes as the whole file at path. true once they are in place; false, with why
// (when given) saying the reason, and the target untouched.
bool file_write_whole(const char* path, const void* data, size_t size, char* why, size_t why_size,
                      FileWriteMode mode = FILE_WRITE_REPLACE);

// The file a write to path lands on: path with the symbolic links of its last part followed
// (the file need not exist). false when the links loop or the path is too long.
bool file_write_target(const char* path, char* out, size_t size);

// Where a write stands: the target, the temporary file and the first failure.
struct FileWriteState {
    int fd;           // the temporary file's (or the device's); -1 when none is open
    int error;        // errno of the first failure; 0 while all went well
    const char* why;  // a reason of our own for the first failure, or null for error's
    FileWriteMode mode;
    bool direct;    // a device or FIFO written straight: nothing to rename
    bool replaces;  // a regular file is there now, whose permissions the new one keeps
    unsigned replaced_mode;
    char target[FILE_WRITE_PATH_MAX];          // the path, its symbolic links followed
    char temporary[FILE_WRITE_PATH_MAX + 32];  // "" until made
};

// The streaming form, for a writer that makes its bytes in pieces (a PNG encoder, a line a
// pass): open, write and print as often as needed, then commit or abandon. Writes are
// gathered in the record's own buffer; the first failure is kept and every later call is a
// no-op, so a writer may check only at the commit.
struct FileWriter {
    FileWriteState state;
    size_t buffered;
    unsigned char buffer[32768];
};

// Makes the temporary file for path (or opens the device). false, with why, when it cannot:
// the writer is then closed and needs no abandon.
bool file_writer_open(FileWriter* writer, const char* path, char* why, size_t why_size,
                      FileWriteMode mode = FILE_WRITE_REPLACE);
// Adds bytes; false once anything failed.
bool file_writer_write(FileWriter* writer, const void* data, size_t size);
// Adds printf-formatted text; false once anything failed.
bool file_writer_print(FileWriter* writer, const char* format, ...)
    __attribute__((format(printf, 2, 3)));
// Writes out what is gathered in the buffer: a device or FIFO receives it now (a program
// reading a pipe waits for each line); a file still appears only at the commit. false once
// anything failed.
bool file_writer_flush(FileWriter* writer);
// Writes out the rest, flushes it to the disk, closes and renames it into place. true when
// the file is whole at its path; false, with why, when it is not (the target is untouched
// and the temporary file gone).
bool file_writer_commit(FileWriter* writer, char* why, size_t why_size);
// Drops what was written: the temporary file is removed and the target left as it was.
void file_writer_abandon(FileWriter* writer);

// The append form, for a recording that must keep what it has when the program dies: the
// file is made (or emptied) at once at its own path, and each line goes out in one write()
// as it happens, with no buffer in between. The trade-off against the whole-file form: after
// a crash, even SIGKILL, every line written before it is in the file (the last one perhaps
// cut short), but an earlier file of that name is emptied at the start instead of kept until
// the end; and the lines reach the disk itself only at the close (fsync), so a power cut can
// lose the last seconds.
struct FileAppender {
    int fd;  // -1 when closed
    int error;
    const char* why;
};

bool file_append_open(FileAppender* appender, const char* path, char* why, size_t why_size);
// Writes the bytes (a whole line, with its newline) in one go; false once anything failed.
bool file_append(FileAppender* appender, const void* data, size_t size);
// Flushes the file to the disk and closes it; true when every write, the flush and the close
// worked, else false with why.
bool file_append_close(FileAppender* appender, char* why, size_t why_size);
