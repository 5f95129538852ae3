// Reading outside input: regular files only, so that a FIFO, a device or a folder put where a
// file should be is refused at once instead of blocking start-up or reading without end; and
// a cap on the bytes read, said in the reason when a file is over it. Reasons are short and
// follow "cannot read FILE: ", like the system's own (strerror).
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

constexpr size_t FILE_READ_WHY_MAX = 160;

// Opens path for reading when it is a regular file, without waiting on anything: the file
// descriptor and *size (its length now), or -1 with errno and why saying what it is instead.
int file_open_input(const char* path, int64_t* size, char* why, size_t why_size);

// The whole of a regular file of at most cap bytes into *text. false, with errno and why, when
// it cannot be opened or read to its end, or is over the cap ("over the size limit of
// 64 MiB (70000000 bytes)"); nothing of it is read then.
bool file_read_whole(const char* path, size_t cap, std::string* text, char* why, size_t why_size);

// The same into a buffer of cap bytes; the length read, or -1.
int64_t file_read_into(const char* path, void* out, size_t cap, char* why, size_t why_size);

// "64 MiB", "16 KiB" or "100 bytes": a limit as it is told.
std::string file_size_text(size_t bytes);
