// Fuzz inputs as command lines: the input's NUL bytes part the words.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A command line owning its words; argv points into them (so it must not be copied) and ends
// with the null pointer a program's argv ends with.
struct FuzzWords {
    std::vector<std::string> words;
    std::vector<char*> argv;
    int argc() const { return static_cast<int>(words.size()); }
};

// The program's name, then the input's words; an empty word between two NUL bytes is a word,
// an empty last word is not.
void fuzz_words(const char* program, const uint8_t* data, size_t size, FuzzWords* out);
// Fills out->argv from out->words (after the words are set or changed).
void fuzz_words_point(FuzzWords* out);
