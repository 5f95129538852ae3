#include "fuzz/fuzz_words.h"

void fuzz_words_point(FuzzWords* out) {
    out->argv.clear();
    out->argv.reserve(out->words.size() + 1);
    for (std::string& w : out->words)
        out->argv.push_back(w.data());
    out->argv.push_back(nullptr);
}

void fuzz_words(const char* program, const uint8_t* data, size_t size, FuzzWords* out) {
    out->words.assign(1, program);
    std::string word;
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == '\0') {
            out->words.push_back(word);
            word.clear();
        } else {
            word += static_cast<char>(data[i]);
        }
    }
    if (!word.empty())
        out->words.push_back(word);
    fuzz_words_point(out);
}
