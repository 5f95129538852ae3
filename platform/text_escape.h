// Bytes from a file as a message may show them on a terminal: printable text, UTF-8 included,
// as it is; control characters (escape sequences begin with one), bytes that are not UTF-8 and
// the characters that turn text direction around as \xNN; a backslash doubled. A file can
// then neither drive the terminal nor pass for other text.
#pragma once
#include <cstddef>
#include <string>

// The escaped text of length bytes into out (size bytes, the NUL included), cut with "..."
// where it does not fit; returns out.
const char* text_escape(const void* bytes, size_t length, char* out, size_t size);
// The same as a string, whole.
std::string text_escaped(const std::string& bytes);
